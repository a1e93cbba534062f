// What the install needs from the wizard's window: messages, the progress bar and the cursor.
#pragma once

#include "wizard/resource_ids.h"

enum { kMessageOk = 0, kMessageOkCancel = 1, kMessageYesNo = 4 };

// The bilingual message box, owned by the wizard. Returns the id of the button that ended it:
// IDC_CONFIRM, IDC_CANCEL (also Escape and the close box), IDC_YES_BUTTON or IDC_NO_BUTTON.
int ShowWizardMessage(const char *chinese, const char *english, int kind);
void ShowInstallProgress();
void SetProgressCheckpoint(int position);
void ShowWaitCursor();
