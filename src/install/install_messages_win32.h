// What the install says to the user on its way: every refusal, question and result, one function a
// message, named for the situation, each in both languages through the wizard's message box. The
// Ask functions return 1 for OK (go on, or retry) and 0 for Cancel.
#pragma once

// The messages that name nothing, each shown by its own function below.
enum PlainMessage {
    kPlainFolderHasDeviceName,
    kPlainFolderIsDriveRoot,
    kPlainFolderIsSystemFolder,
    kPlainFolderPathMalformed,
    kPlainFolderNameHasBadCharacter,
    kPlainFolderNameEndsInDotOrSpace,
    kPlainFolderNameIsDots,
    kPlainFolderPathPrefixed,
    kPlainFolderOnNetwork,
    kPlainFolderPathStartsWithSpace,
    kPlainFolderNameHasStream,
    kPlainFolderCannotBeMade,
    kPlainFolderReadOnly,
    kPlainNeedsAdministratorRights,
    kPlainWorkFolderForeign,
    kPlainAnotherSetupInstalling,
    kPlainWorkFolderNotMade,
    kPlainRecoveredWithoutJournal,
    kPlainInstallSucceeded,
    kPlainInstallFailed,
    kPlainMessageCount
};
void SayPlainMessage(int which);  // PlainMessage

// The folder as typed.
void SayFolderHasUnconvertibleCharacter(unsigned long character);  // its Unicode value
void SayFolderReachedThroughLink(const char *link);
void SayFolderPathTooLong(unsigned long length, unsigned long longest);
inline void SayFolderHasDeviceName() { SayPlainMessage(kPlainFolderHasDeviceName); }
inline void SayFolderIsDriveRoot() { SayPlainMessage(kPlainFolderIsDriveRoot); }
inline void SayFolderIsSystemFolder() { SayPlainMessage(kPlainFolderIsSystemFolder); }
inline void SayFolderPathMalformed() { SayPlainMessage(kPlainFolderPathMalformed); }
inline void SayFolderNameHasBadCharacter() { SayPlainMessage(kPlainFolderNameHasBadCharacter); }
inline void SayFolderNameEndsInDotOrSpace() { SayPlainMessage(kPlainFolderNameEndsInDotOrSpace); }
inline void SayFolderNameIsDots() { SayPlainMessage(kPlainFolderNameIsDots); }
inline void SayFolderPathPrefixed() { SayPlainMessage(kPlainFolderPathPrefixed); }
inline void SayFolderOnNetwork() { SayPlainMessage(kPlainFolderOnNetwork); }
inline void SayFolderPathStartsWithSpace() { SayPlainMessage(kPlainFolderPathStartsWithSpace); }
inline void SayFolderNameHasStream() { SayPlainMessage(kPlainFolderNameHasStream); }
inline void SayFolderCannotBeMade() { SayPlainMessage(kPlainFolderCannotBeMade); }
inline void SayFolderReadOnly() { SayPlainMessage(kPlainFolderReadOnly); }
inline void SayNeedsAdministratorRights() { SayPlainMessage(kPlainNeedsAdministratorRights); }

// Who owns the folder, and what is in it.
int AskInstallIntoOtherUsersFolder();
int AskInstallIntoOwnFolder();
int AskInstallBesideForeignCode(const char *name);

// The work folder and an interrupted install.
inline void SayWorkFolderForeign() { SayPlainMessage(kPlainWorkFolderForeign); }
inline void SayAnotherSetupInstalling() { SayPlainMessage(kPlainAnotherSetupInstalling); }
inline void SayWorkFolderNotMade() { SayPlainMessage(kPlainWorkFolderNotMade); }
int AskRetryRecoveryFileHeld(const char *name);
int AskRetryJournalUnread();
int AskRetryFileNotPutBack(const char *name);  // the journal is lost, and name cannot be put back
inline void SayRecoveredWithoutJournal() { SayPlainMessage(kPlainRecoveredWithoutJournal); }
void SayRecoveryKeptFile(const char *name);

// The names the install writes.
void SayDiskTooSmall(unsigned long neededKb, unsigned long freeKb);
int AskRetryFileInUse(const char *name);
void SayTargetNotPlain(const char *name, int what);  // NotPlainKind

// An earlier file held past the retries while the commit is undone.
int AskRetryRestoreFileHeld(const char *name);

// The result.
inline void SayInstallSucceeded() { SayPlainMessage(kPlainInstallSucceeded); }
void SayInstallIncomplete(const char *name);
void SayInstallNotUndone(const char *name);
void SayInstallFailedHeld(const char *name);
void SayInstallFailedDiskFull(const char *name);
void SayInstallFailedNotPlain(const char *name);
void SayInstallFailedWorkFolderGone(const char *name);
void SayInstallFailedAt(const char *name);
inline void SayInstallFailed() { SayPlainMessage(kPlainInstallFailed); }
