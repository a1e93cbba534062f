// The install's entry: what the wizard's final Next calls with the answers. Its steps, in order, and
// the file that does each:
//   the folder's name and links, and its hold     install_checks.cpp, landing/file_system_win32.cpp
//   who owns the folder, what code is in it       folder_trust.cpp, landing/access_rights_win32.cpp
//   the work folder made or checked, and locked   landing/work_folder.cpp (OpenWorkFolder)
//   an interrupted install finished or undone     landing/commit.cpp (RecoverInterruptedInstall)
//   files in use, links in the way, disk space    install_checks.cpp (CheckInstallTargets)
//   the folder made, the install run              install_sequence.cpp (RunInstall): staging with
//                                                 landing/file_placement.cpp, the commit with
//                                                 landing/commit.cpp
//   the result, no sooner than 5 seconds          here
// Every question and report on the way is one function of install_messages_win32.cpp.
#pragma once

#include "base/setup_state.h"

// What the wizard collected; none of it takes effect before the checks have passed.
struct WizardAnswers {
    char folder[kPathBufferSize];  // the folder field as read, cut to the buffer
    unsigned long typedLength;     // the field's whole length: larger when the read cut it short
    unsigned long unconvertible;   // the first character typed that the code page cannot hold
                                   // (its Unicode value), or 0
    int desktopIcons;              // becomes WantDesktopIcons
    int autoStart;                 // becomes WantAutoStart
    int language;                  // becomes ForceLanguage
};

// What the wizard does once the install entry returns.
enum InstallRunEnd {
    kRunBackToFolder,  // a folder that cannot be used was reported: back to its field
    kRunLeave,         // the result was shown, or the user cancelled at a question: the setup ends
};

// Runs with WizardPage at kPageInstalling; the folder goes into InstallDir at once.
InstallRunEnd RunInstallFromWizard(const WizardAnswers &answers);

// What the wizard asks of the install while it runs.
// 1 while a session that ended would leave the folder as it was: no recovery or commit has begun
// changing it (a question waiting then may let the session end).
int InstallChangedNothing();
// The session ends while the install runs (WM_ENDSESSION with TRUE): the folder is brought to a
// whole state before this returns (landing/commit.h, SettleCommitAtSessionEnd), and the work
// folder and the folders this run made are left as after an install that changed nothing.
void EndInstallForSessionEnd();
