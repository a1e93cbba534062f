// Putting a whole install in place, or none of it, and finishing or undoing one that a kill, a
// power cut or the end of the session interrupted.
//
// Whatever the install keeps between its steps lives in the setup's own work folder
// (work_folder.h); the journal is journal.h.
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

#include "landing/journal.h"
#include "landing/work_folder.h"

// Moves aside and places every entry in order. Null = all in place; otherwise the name of the
// entry it stopped at, and UndoCommit must run.
const char *CommitToDisk(CommitPlan *plan);
// Why the last CommitToDisk or UndoCommit stopped at its name (FailureCause, file_system.h).
int CommitStopCause();

// Puts every earlier file back and removes what the commit placed and every staged file of the
// plan, then the journal. Null = the folder is as it was; otherwise the name of an earlier file
// that could not be put back (held open by another program): the journal and the files moved
// aside are then kept, so that the next run can finish putting them back.
const char *UndoCommit(CommitPlan *plan);
// The first entry whose name the undo kept (something other than what was placed stood there).
const char *FirstKeptName(const CommitPlan *plan);

// The commit stands from here on: the record of it, on the disk before anything moved aside is
// deleted. 0 = it could not be written (and none is left): the commit must be undone.
int RecordCommit();

// Deletes what the commit moved aside, then the journal, then the record. What cannot be deleted
// yet (held by another program) is left with the record, and the next run finishes it.
void FinishCommit(const CommitPlan *plan);

// Before anything else on a folder that an earlier run may have left, with the work folder open:
// finishes a commit that has its record, undoes one that has only its journal, and removes staged
// files. Nothing outside the work folder is removed but what an interrupted commit placed, and
// that only while it is exactly what was placed. Without a trusted journal, the files moved aside
// go back by their own names.
enum RecoveryProblem {
    kRecovered,                // the folder is whole: as before the interrupted run, or as after it
    kRecoveryFileHeld,         // an earlier file cannot be put back yet (name says which)
    kRecoveryJournalUnread,    // files were moved aside, and the journal cannot be read now (held)
    kRecoveryNotPutBack,       // the journal is lost, and an earlier file cannot be put back (name)
    kRecoveredWithoutJournal,  // the journal was lost; every earlier file was put back by its name
};
struct RecoveryResult {
    int problem;
    const char *name;
    const char *kept;  // a file the product wrote at a new name since the kill, kept; or null
};
RecoveryResult RecoverInterruptedInstall();

// The session is ending (the wizard got WM_ENDSESSION with TRUE, which arrives while the commit,
// its undo or the recovery waits between two renames, and once it returns the system may end the
// setup at any moment): the folder is brought to a whole state now. A commit whose record stands
// is finished; one without it is undone from its plan in memory (the recovery's from its journal).
// Null = whole (or nothing was under way); otherwise the name of an earlier file that could not be
// put back, kept with the journal for the next run. Should the system end the setup sooner, the
// journal lets the next run do the same.
const char *SettleCommitAtSessionEnd();
