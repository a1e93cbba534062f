// Putting a whole install in place, or none of it.
//
// Every file is first written complete under its staged name, "<name>.tsonew", beside its final
// name in InstallDir. The commit then moves each file it purges or replaces aside, to
// "<name>.tsoold", and renames each staged file to its final name, setting its protection after
// the rename. Only when every file is in place and checked are the files moved aside deleted; a
// failure before that undoes the commit in reverse order, which puts every earlier file back under
// its name with its attributes. Before the commit begins, a journal ("~tsoundo.lst") lists what it
// touches, and it is deleted first once the commit is over: a run killed during the commit leaves
// it behind, and the next run undoes that commit from it before anything else. A run killed at
// any other moment leaves only staged files (nothing was committed yet) or files moved aside
// (everything was), which the next run removes.
#pragma once

#include "install/file_system.h"

enum CommitKind {
    kCommitPurge = '-',    // an old user dictionary: moved aside, nothing takes its place
    kCommitReplace = '=',  // an installed name that exists: moved aside, the staged file takes it
    kCommitCreate = '+',   // an installed name that does not exist yet: the staged file takes it
};

enum { kCommitNameSize = 64, kMaxCommitEntries = 256 };
enum { kStagedSuffixLength = 7 };    // ".tsonew", ".tsoold"
extern const char kJournalName[13];  // "~tsoundo.lst", in InstallDir

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

// "<InstallDir>\<name>.tsonew" and "<InstallDir>\<name>.tsoold"; 0 when the path would not fit.
int StagedPath(char *out, const char *name);
int KeptAsidePath(char *out, const char *name);

// Adds an entry; 0 when the plan is full or the name too long.
int AddCommitEntry(CommitPlan *plan, const char *name, int kind, unsigned long wantedBits);

// The journal's text: a line per entry (its kind, its wanted bits as a digit, its name), then
// "end". Parsing accepts only a whole journal, as FormatJournal writes it: one cut short by a kill
// means the commit had not begun. Both return 0 on failure.
int FormatJournal(const CommitPlan *plan, char *text, unsigned long capacity);
int ParseJournal(const char *text, CommitPlan *plan);

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

// The commit stands: the journal is deleted, then every file moved aside. One that cannot be
// deleted is left for the next run; while the journal itself cannot be deleted, everything is.
void FinishCommit(const CommitPlan *plan);

// Before anything else on a folder that an earlier run may have left: undoes a commit that a
// journal shows interrupted, then removes staged and moved-aside files of every installed and
// purged name. Nothing but plain files is touched. Null = the folder is whole; otherwise the name
// of an earlier file that cannot be put back yet, and nothing more is done.
const char *RecoverInterruptedInstall();
