// The whole installation, run synchronously from the wizard's final Next.
#pragma once

struct InstallStep {
    int checkpoint;            // progress position set before this step; 0 = none
    unsigned short payloadId;  // 0 = a checkpoint without extraction
    int required;              // a failing required step ends the install
    int skippedWhenKept;       // not run when the old word base is kept
};

extern const InstallStep InstallSteps[];
extern const int InstallStepCount;

// The 64 names the purge deletes, in order, each "%s\<name>" with InstallDir.
int PurgeFileName(int index, char *name, unsigned size);
enum { kPurgeCount = 64 };

struct ShortcutNames {
    const char *group;
    const char *engine;
    const char *uninstall;
    const char *editor;
};

// English, GBK or Big5 names, by the system language.
const ShortcutNames &ShortcutNamesFor(int uiLanguage);

enum InstallOutcome {
    kInstallFailed = 0,      // a required step failed, or no memory for the payload buffer
    kInstallSucceeded = 1,   // every payload file and the configuration were written
    kInstallIncomplete = 2,  // everything required was written, but not some other file
    kInstallNotUndone = 3,   // failed, and an earlier file could not be put back yet (the next run does)
};
int RunInstall();

// After RunInstall: the installed name of the first file that was not written (or, after
// kInstallNotUndone, that could not be put back), or null.
extern const char *FirstUnwrittenFile;
