// What the install says to the user on its way: every refusal, question and result, one function a
// message, named for the situation, each in both languages through the wizard's message box. The
// Ask functions return 1 for OK (go on, or retry) and 0 for Cancel.
#pragma once

// The messages that name nothing, each shown by its own function below.
enum PlainMessage {
    kMessageFolderHasDeviceName,
    kMessageFolderIsDriveRoot,
    kMessageFolderIsSystemFolder,
    kMessageFolderPathMalformed,
    kMessageFolderNameHasBadCharacter,
    kMessageFolderNameEndsInDotOrSpace,
    kMessageFolderNameIsDots,
    kMessageFolderPathPrefixed,
    kMessageFolderOnNetwork,
    kMessageFolderPathStartsWithSpace,
    kMessageFolderNameHasStream,
    kMessageFolderCannotBeMade,
    kMessageFolderReadOnly,
    kMessageNeedsAdministratorRights,
    kMessageWorkFolderForeign,
    kMessageAnotherSetupInstalling,
    kMessageWorkFolderNotMade,
    kMessageRecoveredWithoutJournal,
    kMessageInstallSucceeded,
    kMessageInstallFailed,
    kPlainMessageCount
};
void SayPlainMessage(int which);  // PlainMessage

// The folder as typed.
void SayFolderHasUnconvertibleCharacter(unsigned long character);  // its Unicode value
void SayFolderReachedThroughLink(const char *link);
void SayFolderPathTooLong(unsigned long length, unsigned long longest);
inline void SayFolderHasDeviceName() { SayPlainMessage(kMessageFolderHasDeviceName); }
inline void SayFolderIsDriveRoot() { SayPlainMessage(kMessageFolderIsDriveRoot); }
inline void SayFolderIsSystemFolder() { SayPlainMessage(kMessageFolderIsSystemFolder); }
inline void SayFolderPathMalformed() { SayPlainMessage(kMessageFolderPathMalformed); }
inline void SayFolderNameHasBadCharacter() { SayPlainMessage(kMessageFolderNameHasBadCharacter); }
inline void SayFolderNameEndsInDotOrSpace() { SayPlainMessage(kMessageFolderNameEndsInDotOrSpace); }
inline void SayFolderNameIsDots() { SayPlainMessage(kMessageFolderNameIsDots); }
inline void SayFolderPathPrefixed() { SayPlainMessage(kMessageFolderPathPrefixed); }
inline void SayFolderOnNetwork() { SayPlainMessage(kMessageFolderOnNetwork); }
inline void SayFolderPathStartsWithSpace() { SayPlainMessage(kMessageFolderPathStartsWithSpace); }
inline void SayFolderNameHasStream() { SayPlainMessage(kMessageFolderNameHasStream); }
inline void SayFolderCannotBeMade() { SayPlainMessage(kMessageFolderCannotBeMade); }
inline void SayFolderReadOnly() { SayPlainMessage(kMessageFolderReadOnly); }
inline void SayNeedsAdministratorRights() { SayPlainMessage(kMessageNeedsAdministratorRights); }

// Who owns the folder, and what is in it.
int AskInstallIntoOtherUsersFolder();
int AskInstallIntoOwnFolder();
int AskInstallBesideForeignCode(const char *name);

// The work folder and an interrupted install.
inline void SayWorkFolderForeign() { SayPlainMessage(kMessageWorkFolderForeign); }
inline void SayAnotherSetupInstalling() { SayPlainMessage(kMessageAnotherSetupInstalling); }
inline void SayWorkFolderNotMade() { SayPlainMessage(kMessageWorkFolderNotMade); }
int AskRetryRecoveryFileHeld(const char *name);
int AskRetryJournalUnread();
int AskRetryFileNotPutBack(const char *name);  // the journal is lost, and name cannot be put back
inline void SayRecoveredWithoutJournal() { SayPlainMessage(kMessageRecoveredWithoutJournal); }
void SayRecoveryKeptFile(const char *name);

// The names the install writes.
void SayDiskTooSmall(unsigned long neededKb, unsigned long freeKb);
int AskRetryFileInUse(const char *name);
void SayTargetNotPlain(const char *name, int what);  // NotPlainKind

// An earlier file held past the retries while the commit is undone.
int AskRetryRestoreFileHeld(const char *name);

// The result.
inline void SayInstallSucceeded() { SayPlainMessage(kMessageInstallSucceeded); }
void SayInstallIncomplete(const char *name);
void SayInstallNotUndone(const char *name);
void SayInstallFailedHeld(const char *name);
void SayInstallFailedDiskFull(const char *name);
void SayInstallFailedNotPlain(const char *name);
void SayInstallFailedWorkFolderGone(const char *name);
void SayInstallFailedAt(const char *name);
inline void SayInstallFailed() { SayPlainMessage(kMessageInstallFailed); }
