// What the install needs from the wizard's window: messages, the progress bar, the cursor and the
// buttons.
#pragma once

#include "base/resource_ids.h"
#include "landing/responsive.h"

enum { kMessageOk = 0, kMessageOkCancel = 1, kMessageYesNo = 4 };

// The bilingual message box, owned by the wizard. Returns the id of the button that ended it:
// IDC_CONFIRM, IDC_CANCEL (also Escape and the close box), IDC_YES_BUTTON or IDC_NO_BUTTON.
int ShowWizardMessage(const char *chinese, const char *english, int kind);
void ShowInstallProgress();
void SetProgressCheckpoint(int position);
void ShowWaitCursor();
// Next, Back, Cancel and the wait label are hidden while the install runs, each repainted at once.
void HideWizardButtons();

// From the install's click to its result the wizard refuses to let the session end (the 95 family,
// NT 4.0 to XP and Vista and later each ask the wizard with WM_QUERYENDSESSION first), and on
// Vista and later gives its reason in the list of programs that hold up the log-off or shut-down;
// but while a question waits and the install has changed nothing yet, it lets the session end. A
// session ended anyway (a forced shut-down, the user's "shut down anyway") brings the folder to a
// whole state before the wizard answers WM_ENDSESSION (EndInstallForSessionEnd), and the install
// then stops where it stands (SessionEnded, landing/responsive.h); a power cut or a kill ends the
// setup where it stands, and the next run's recovery finishes or undoes the commit from its
// journal. Refuse and Allow may each be called again; the wizard asks Refused.
void RefuseSessionEnd();
void AllowSessionEnd();
int SessionEndRefused();
