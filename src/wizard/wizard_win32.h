// The wizard window (template 113): four pages, then the install.
#pragma once

#include <windows.h>

// The wizard with the controls of its first page; null when it cannot be made.
HWND CreateWizard();

// Makes the controls of the later pages, once: soon after the first page is painted, and at the
// latest on the first Next. 0 when one cannot be made, which ends the wizard with exit code 1.
int CompleteWizard();

// 1 when the controls of the later pages could not be made.
int WizardIncomplete();

// Once the install has settled the folder in the wizard's answer to WM_ENDSESSION: SessionEnded
// (landing/responsive.h) is 1 from then on.
void NoteSessionEnded();
