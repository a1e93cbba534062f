// The question about an install folder that exists already and that someone else could control.
#pragma once

#include <windows.h>

// Asked before anything changes. 1 = go on (nothing to ask, or "install anyway"); 0 = the user
// cancelled, and the setup leaves with nothing changed (WizardPage is kPageLeave).
int FolderTrustAccepted(HWND dialog);
