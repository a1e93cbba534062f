// What the install says to the user on its way: every refusal, question and result, one function a
// message, named for the situation, each in both languages through the wizard's message box. The
// Ask functions return 1 for OK (go on, or retry) and 0 for Cancel.
#pragma once

// The folder as typed.
void SayFolderHasUnconvertibleCharacter(unsigned long character);  // its Unicode value
void SayFolderReachedThroughLink(const char *link);
void SayFolderPathTooLong(unsigned long length, unsigned long longest);
void SayFolderHasDeviceName();
void SayFolderIsDriveRoot();
void SayFolderIsSystemFolder();
void SayFolderPathMalformed();
void SayFolderNameHasBadCharacter();
void SayFolderNameEndsInDotOrSpace();
void SayFolderNameIsDots();
void SayFolderPathPrefixed();
void SayFolderOnNetwork();
void SayFolderPathStartsWithSpace();
void SayFolderNameHasStream();
void SayFolderCannotBeMade();
void SayFolderReadOnly();
void SayNeedsAdministratorRights();

// Who owns the folder, and what is in it.
int AskInstallIntoOtherUsersFolder();
int AskInstallIntoOwnFolder();
int AskInstallBesideForeignCode(const char *name);

// The work folder and an interrupted install.
void SayWorkFolderForeign();
void SayAnotherSetupInstalling();
void SayWorkFolderNotMade();
int AskRetryRecoveryFileHeld(const char *name);
int AskRetryJournalUnread();
int AskRetryFileNotPutBack(const char *name);  // the journal is lost, and name cannot be put back
void SayRecoveredWithoutJournal();
void SayRecoveryKeptFile(const char *name);

// The names the install writes.
void SayDiskTooSmall(unsigned long neededKb, unsigned long freeKb);
int AskRetryFileInUse(const char *name);
void SayTargetNotPlain(const char *name, int what);  // NotPlainKind

// An earlier file held past the retries while the commit is undone.
int AskRetryRestoreFileHeld(const char *name);

// The result.
void SayInstallSucceeded();
void SayInstallIncomplete(const char *name);
void SayInstallNotUndone(const char *name);
void SayInstallFailedHeld(const char *name);
void SayInstallFailedDiskFull(const char *name);
void SayInstallFailedNotPlain(const char *name);
void SayInstallFailedWorkFolderGone(const char *name);
void SayInstallFailedAt(const char *name);
void SayInstallFailed();
