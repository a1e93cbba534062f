// What the install needs from the wizard's window: messages, the progress bar and the cursor.
#pragma once

enum { kMessageOk = 0, kMessageOkCancel = 1, kMessageYesNo = 4 };
enum { kAnswerOk = 1, kAnswerCancel = 2, kAnswerYes = 6, kAnswerNo = 7 };

// The bilingual message box, owned by the wizard. Returns the id of the button that ended it.
int ShowWizardMessage(const char *chinese, const char *english, int kind);
void ShowInstallProgress();
void SetProgressCheckpoint(int position);
void ShowWaitCursor();
