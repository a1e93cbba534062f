// Putting a whole install in place, or none of it, and finishing or undoing one that a kill, a
// power cut or the end of the session interrupted.
//
// The threat: the install folder lets every user create files (the product writes its dictionaries
// and configuration there as whichever user runs it), so a journal, a staged file or a moved-aside
// file kept there could be planted by an ordinary user and obeyed by the next, elevated, run: a
// program of that user's put in place of the engine, another user's words deleted. So whatever
// the install keeps between its steps lives in a work folder of the setup's own inside the install
// folder, "~tsowork", which on the NT family only Administrators and SYSTEM can write; an existing
// one is used only when its owner and rights are exactly those (access_rights.h), and a lock on a
// file in it keeps a second setup out of the folder for the whole run.
//
// Every file is first written complete as "~tsowork\<name>.tsonew". The commit then moves each file
// it purges or replaces aside, to "~tsowork\<name>.tsoold", and renames each staged file to its
// final name, setting its protection after the rename. Before the first rename, a journal
// ("~tsowork\~tsoundo.lst") lists what the commit touches; once every file is in place and
// checked, a commit record ("~tsowork\~tsodone.lst") says that the commit stands, and only then are
// the files moved aside deleted, then the journal, then the record. A run interrupted before the
// record is undone by the next run from the journal; one interrupted after it is finished, never
// undone. A journal that cannot be read, or names anything the install does not touch, is never
// acted on: every moved-aside file stays, and the user is told.
#pragma once

#include "install/file_system.h"

enum CommitKind {
    kCommitPurge = '-',    // an old user dictionary: moved aside, nothing takes its place
    kCommitReplace = '=',  // an installed name that exists: moved aside, the staged file takes it
    kCommitCreate = '+',   // an installed name that does not exist yet: the staged file takes it
};

enum { kCommitNameSize = 64, kMaxCommitEntries = 256 };
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

struct CommitEntry {
    char name[kCommitNameSize];  // relative to InstallDir
    int kind;
    unsigned long wantedBits;  // read-only and hidden, set once the staged file is in place
    unsigned long before;      // the attribute word of the file moved aside
    int movedAside;
    int placed;
};

struct CommitPlan {
    CommitEntry entries[kMaxCommitEntries];
    int count;
};

// "<InstallDir>\~tsowork\<name>.tsonew" and "...\<name>.tsoold"; 0 when the path would not fit.
int StagedPath(char *out, const char *name);
int KeptAsidePath(char *out, const char *name);

// Adds an entry; 0 when the plan is full or the name too long.
int AddCommitEntry(CommitPlan *plan, const char *name, int kind, unsigned long wantedBits);

// The journal's text: a line per entry (its kind, its wanted bits as a digit, its name), then
// "end". Parsing accepts only a whole journal, as FormatJournal writes it. Both return 0 on failure.
int FormatJournal(const CommitPlan *plan, char *text, unsigned long capacity);
int ParseJournal(const char *text, CommitPlan *plan);
// Whether every entry names what this setup's own commit would: a purged name as a purge, an
// installed name as a replacement or creation with its listed protection, each name once.
int JournalIsTheSetups(const CommitPlan *plan);

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

// Writes the journal (created new: 0 when anything is at its name already, or on any failure).
int WriteJournal(const CommitPlan *plan);

// Moves aside and places every entry in order. Null = all in place; otherwise the name of the
// entry it stopped at, and UndoCommit must run.
const char *CommitToDisk(CommitPlan *plan);

// Puts every earlier file back and removes what the commit placed and every staged file of the
// plan, then the journal. Null = the folder is as it was; otherwise the name of an earlier file
// that could not be put back (held open by another program): the journal and the files moved
// aside are then kept, so that the next run can finish putting them back.
const char *UndoCommit(CommitPlan *plan);

// The commit stands from here on: the record of it, on the disk before anything moved aside is
// deleted. 0 = it could not be written (and none is left): the commit must be undone.
int RecordCommit();

// Deletes what the commit moved aside, then the journal, then the record. What cannot be deleted
// yet (held by another program) is left with the record, and the next run finishes it.
void FinishCommit(const CommitPlan *plan);

// Before anything else on a folder that an earlier run may have left, with the work folder open:
// finishes a commit that has its record, undoes one that has only its journal, and removes staged
// files. Nothing outside the work folder is removed but what an interrupted commit placed.
enum RecoveryProblem {
    kRecovered,              // the folder is whole: as before the interrupted run, or as after it
    kRecoveryFileHeld,       // an earlier file cannot be put back yet (name says which)
    kRecoveryJournalUnread,  // files were moved aside, and the journal cannot be read or trusted
};
struct RecoveryResult {
    int problem;
    const char *name;
};
RecoveryResult RecoverInterruptedInstall();
