// The install as the wizard's final Next runs it: the folder typed is checked, an interrupted run put
// back, the disk and the files checked, the folder made and held, the install run and its result
// shown. Every question and report on the way goes through the wizard's message box.
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
