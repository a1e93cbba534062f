// The wizard window (template 113): four pages, then the install.
#pragma once

#include <windows.h>

INT_PTR CALLBACK WizardDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
