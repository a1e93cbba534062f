// The wizard's dialog template read item by item: the window is made with the controls that the
// template shows at first, and the controls that start hidden (pages 1 to 3, the progress bar's
// place and the wait label) are made once the first page is on the screen.
#pragma once

#include <windows.h>

#include "wizard/message_layout.h"

// The wizard from template 113 less its hidden controls; null when it cannot be made.
HWND CreateWizardWithShownControls(DLGPROC procedure);

// Makes the template's hidden controls, hidden, each in its place in the tab order, scaled as the
// wizard was. 1 when every one was made.
int CreateHiddenControls(HWND dialog, Scale scale);
