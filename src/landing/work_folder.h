// The setup's own work folder inside the install folder, "~tsowork", and the names kept in it.
//
// The install folder lets every user create files (the product writes its dictionaries and
// configuration there as whichever user runs it), so a journal, a staged file or a moved-aside file
// kept there could be planted by an ordinary user and obeyed by the next, elevated, run. So whatever
// the install keeps between its steps lives in this folder, which on the NT family only
// Administrators and SYSTEM can write; an existing one is used only when its owner and rights are
// exactly those (access_rights.h), and a lock on a file in it keeps a second setup out of the
// folder for the whole run.
#pragma once

// The names a file has in the work folder while the install runs: "<name>.tsonew" staged, and
// "<name>.tsoold" moved aside.
extern const char kStagedSuffix[8];
extern const char kKeptAsideSuffix[8];
enum { kStagedSuffixLength = sizeof ".tsonew" - 1 };
extern const char kWorkFolderName[9];     // "~tsowork", in InstallDir
extern const char kJournalName[13];       // "~tsoundo.lst", in the work folder
extern const char kCommitRecordName[13];  // "~tsodone.lst", in the work folder
// The longest path the install makes below InstallDir: "~tsowork\" before a name, and a suffix after.
enum { kWorkPathExtra = sizeof "~tsowork\\" - 1 + kStagedSuffixLength };

// "<InstallDir>\~tsowork\<name>.tsonew" and "...\<name>.tsoold"; 0 when the path would not fit.
int StagedPath(char *out, const char *name);
int KeptAsidePath(char *out, const char *name);

// The work folder, before anything is read from it or written to it: made when missing (its
// rights set as it is made), refused when it is anything but the setup's own, and locked for this
// run. Closed again by LeaveWorkFolder, which removes it when nothing is left in it.
enum WorkFolderState {
    kWorkFolderReady,
    kWorkFolderForeign,  // a file, a link, or a folder with other owners or rights: never used
    kWorkFolderLocked,   // another setup holds it: it is installing into this folder now
    kWorkFolderFailed,   // it could not be made or locked
};
int OpenWorkFolder();
void LeaveWorkFolder();

// "<InstallDir>\~tsowork\<name>"; 0 when the path would not fit.
int WorkFilePath(char *out, const char *name);
// A small file created new in the work folder and on the disk before the call returns. 1 = written;
// 0 = nothing is left at its name (or something else was there already).
int WriteWorkFile(const char *name, const char *text);
// Reads the small file name into text (capacity bytes, ended by a 0 after what was read): the count
// read; kWorkFileUnread when it is there but cannot be read now (another program holds it), or no
// memory was given; kWorkFileNotPlain when no plain file is at the name (nothing, a folder, a link).
enum { kWorkFileUnread = -1, kWorkFileNotPlain = -2 };
long ReadWorkFile(const char *name, char *text, unsigned long capacity);
int RemoveWorkFile(const char *name);  // 1 = no file is there any more
int WorkFileExists(const char *name);  // anything at all at the name
// Removes the staged files, and with moved too the moved-aside files, of every name the install
// touches. 1 = none is left.
int RemoveWorkFiles(int moved);
// The one routine that clears what an install staged (after a failure, and at the recovery).
int RemoveStagedFiles();
// Removes a moved-aside file; one with another link loses only this name. 1 = nothing is left.
int RemoveKeptAsideName(const char *path);
int AnyFileMovedAside();
