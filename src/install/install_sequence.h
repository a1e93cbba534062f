// src/install/: everything that changes the disk. The install's tables and steps, staging and the
// whole-or-nothing commit, the checks before it, access rights, the configuration and shortcuts.
//
// The whole installation, run synchronously from the wizard's final Next.
#pragma once

enum InstallOutcome {
    kInstallFailed = 0,      // a required step failed, or no memory for the payload buffer
    kInstallSucceeded = 1,   // every payload file and the configuration were written
    kInstallIncomplete = 2,  // everything required was written, but not some other file
    kInstallNotUndone = 3,   // failed, and an earlier file could not be put back yet (the next run does)
};
int RunInstall();

// After RunInstall: the installed name of the first file that was not written, or null.
extern const char *FirstUnwrittenFile;

// After kInstallNotUndone: the earlier file that could not be put back yet (held by another program
// past the retries), whose moved-aside copy and the journal are kept. UndoInstall tries the undo
// again: kInstallFailed once the folder is as it was, kInstallNotUndone while a file is still held.
extern const char *FileNotPutBack;
int UndoInstall();
// Why it was not written or put back (FailureCause, landing/file_system.h).
extern int FirstUnwrittenCause;
