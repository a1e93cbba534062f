// Browse: the old-style open-file dialog reduced to a directory chooser (template 168).
#pragma once

#include <windows.h>

// Lets the user pick a folder; on OK the wizard's folder field becomes "<folder>\Tesso".
void ChooseInstallFolder(HWND wizard);
