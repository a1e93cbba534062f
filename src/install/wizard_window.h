// What the install needs from the wizard's window: messages, the progress bar, the cursor and the
// buttons.
#pragma once

#include "base/resource_ids.h"

enum { kMessageOk = 0, kMessageOkCancel = 1, kMessageYesNo = 4 };

// The bilingual message box, owned by the wizard. Returns the id of the button that ended it:
// IDC_CONFIRM, IDC_CANCEL (also Escape and the close box), IDC_YES_BUTTON or IDC_NO_BUTTON.
int ShowWizardMessage(const char *chinese, const char *english, int kind);
void ShowInstallProgress();
void SetProgressCheckpoint(int position);
void ShowWaitCursor();
// Next, Back, Cancel and the wait label are hidden while the install runs, each repainted at once.
void HideWizardButtons();

// The install runs inside the wizard's Next command, on the one thread. So that the system never
// takes the wizard for hung (XP and later grey a window out as "Not Responding" after 5 s, and
// Vista and later offer to end it), the long steps call this between pieces of work: the wizard
// answers what is sent to it and repaints itself, while the user's input to it is dropped. It
// looks at the queue at most every kResponsiveTicks milliseconds, so that calling it often costs
// nothing.
enum { kResponsiveTicks = 50 };
void KeepWizardResponsive();
// The same at once, for a wait between two calls.
void AnswerWizardMessages();
// Waits for the given milliseconds, answering the wizard's messages meanwhile (the wait for the
// result, a retry of a file another program holds for a moment).
void WaitAnsweringWizard(unsigned long milliseconds);

// From the install's click to its result the wizard refuses to let the session end (the 95 family,
// NT 4.0 to XP and Vista and later each ask the wizard with WM_QUERYENDSESSION first), and on
// Vista and later gives its reason in the list of programs that hold up the log-off or shut-down.
// A session ended anyway (a forced shut-down, the user's "shut down anyway", a power cut) ends the
// setup where it stands, as a kill does: the next run's recovery finishes or undoes the commit
// from its journal. Refuse and Allow may each be called again; the wizard asks Refused.
void RefuseSessionEnd();
void AllowSessionEnd();
int SessionEndRefused();
