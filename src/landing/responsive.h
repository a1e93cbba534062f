// What the file work below the install needs from the wizard's window: that it keeps answering.
// The wizard implements these; the landing code calls them between pieces of work and while it
// waits for a file another program holds.
#pragma once

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

// 1 once the session has ended while the install ran: the wizard got WM_ENDSESSION with TRUE in the
// middle of the work (it arrives while these answer messages) and the folder was brought to a whole
// state then (SettleCommitAtSessionEnd, commit.h). The work that was interrupted stops where it
// stands and changes nothing more: renames and deletes are refused from then on.
int SessionEnded();
