#include "landing/commit.h"

#include "base/path_text.h"
#include "base/setup_state.h"
#include "landing/access_rights.h"
#include "landing/file_placement.h"
#include "landing/program_files.h"
#include "landing/responsive.h"
#include "payload/payload_catalogue.h"

namespace {

const char kCommitRecordText[] = "the commit stands\n";

// The commit, its undo or the recovery under way, for a session that ends in the middle of it (see
// SettleCommitAtSessionEnd): set as each begins, cleared once the folder is whole again.
CommitPlan *PlanUnderWay;
CommitPlan Interrupted;  // the recovery's, read from the journal

int FinalPath(char *out, const char *name) { return JoinPath(out, InstallDir, name); }

// Moves the file at the entry's name aside (when there is one) and puts the staged file there.
int CommitEntryToDisk(CommitEntry *entry) {
    char final[kPathBufferSize], aside[kPathBufferSize], staged[kPathBufferSize];
    if (!FinalPath(final, entry->name) || !KeptAsidePath(aside, entry->name) ||
        !StagedPath(staged, entry->name))
        return 0;
    if (entry->kind != kCommitCreate) {
        switch (KindOfPath(final)) {
        case kPathNotPlain:
            return 0;
        case kPathPlainFile:
            // Renaming leaves the contents, the attribute word and the rights alone; a read-only
            // file can be renamed on both families (the bit guards the contents, not the name).
            if (!ReadAttributeWord(final, &entry->before) || !RenameRetried(final, aside))
                return 0;
            entry->movedAside = 1;
            break;
        }
    }
    if (entry->kind == kCommitPurge)
        return 1;
    // Checked again just before: the folder is the user's, and its name may have been taken by a
    // link since the checks before the install.
    if (KindOfPath(final) != kPathMissing || KindOfPath(staged) != kPathPlainFile ||
        !RenameRetried(staged, final))
        return 0;
    entry->placed = 1;
    // A rename keeps the rights the file was made with in the work folder: a program has its own
    // already; a data file takes those of the install folder, as if it had been written there.
    const PayloadEntry *listed = FindPayloadEntryByName(entry->name);
    if (listed && !IsProgramKind(listed->kind) && !TakeFolderRights(final))
        return 0;
    // The new file takes over the other bits of the one it replaces. Read-only and hidden go on
    // only now, after the rename: the 95 family's rename of a read-only file is not documented.
    unsigned long word = entry->movedAside ? entry->before & ~kAttributeProtection
                                           : static_cast<unsigned long>(kAttributeArchive);
    word |= entry->wantedBits & kAttributeProtection;
    if (word != kAttributeArchive)
        WriteAttributeWord(final, word);
    return 1;
}

// The file moved aside goes back under its name over whatever the commit put there; without one,
// what the commit placed is removed, unless an earlier file was moved aside and is gone: then it
// has been put back already (an undo run again, after a question or at the session's end, finds
// it so). Any staged file of the entry goes. 1 = the name holds what it held before the commit;
// 0 = it could not be put back (a file held open by another program, say), and the file moved
// aside is then the only copy of the earlier one: it must be kept.
int UndoEntry(const CommitEntry *entry) {
    char final[kPathBufferSize], aside[kPathBufferSize], staged[kPathBufferSize];
    if (!FinalPath(final, entry->name) || !KeptAsidePath(aside, entry->name) ||
        !StagedPath(staged, entry->name))
        return 0;
    int back = 1;
    if (KindOfPath(aside) == kPathPlainFile) {
        back = RemovePlainFile(final) && RenameRetried(aside, final);
    } else if (entry->placed && !entry->movedAside) {
        back = RemovePlainFile(final);
    }
    RemovePlainFile(staged);
    return back;
}

}  // namespace

const char *CommitToDisk(CommitPlan *plan) {
    PlanUnderWay = plan;
    for (int i = 0; i < plan->count; i++) {
        if (SessionEnded() || !CommitEntryToDisk(&plan->entries[i]))
            return plan->entries[i].name;
        KeepWizardResponsive();
    }
    return nullptr;
}

const char *UndoCommit(CommitPlan *plan) {
    const char *notBack = nullptr;
    for (int i = plan->count - 1; i >= 0 && !SessionEnded(); i--) {
        if (!UndoEntry(&plan->entries[i]))
            notBack = plan->entries[i].name;
        KeepWizardResponsive();
    }
    if (SessionEnded())
        return nullptr;  // settled as the session ended, in the middle of this undo
    if (!notBack) {
        RemoveWorkFile(kJournalName);
        PlanUnderWay = nullptr;
    }
    return notBack;
}

int RecordCommit() { return !SessionEnded() && WriteWorkFile(kCommitRecordName, kCommitRecordText); }

// The record goes last: while it is there, a later run finishes this commit and never undoes it,
// whatever is left of the rest.
void FinishCommit(const CommitPlan *plan) {
    int finished = 1;
    for (int i = 0; i < plan->count && !SessionEnded(); i++) {
        char path[kPathBufferSize];
        if (plan->entries[i].movedAside && KeptAsidePath(path, plan->entries[i].name))
            finished &= RemovePlainFile(path);
        KeepWizardResponsive();
    }
    if (finished && RemoveWorkFile(kJournalName))
        RemoveWorkFile(kCommitRecordName);
    PlanUnderWay = nullptr;  // whole, whatever is left for the next run to delete
}

namespace {

RecoveryResult RecoverFromWorkFolder() {
    RecoveryResult result = {kRecovered, nullptr};
    if (WorkFileExists(kCommitRecordName)) {
        // The commit stood: only what it left to delete is deleted. The record must go with the
        // rest before anything else is installed: left beside the journal of a later install, it
        // would have that one finished instead of undone.
        const char *const kLast[] = {kJournalName, kCommitRecordName};
        int removed = RemoveWorkFiles(1);
        for (const char *name : kLast)
            if (!removed || !RemoveWorkFile(name)) {
                result.problem = kRecoveryFileHeld;
                result.name = name;
                return result;
            }
        return result;
    }
    CommitPlan &interrupted = Interrupted;
    if (WorkFileExists(kJournalName)) {
        if (!ReadJournal(&interrupted)) {
            interrupted.count = 0;  // nothing of it is ever undone, at the session's end neither
            // Flushed before the first rename: with nothing moved aside, a journal cut short by a kill
            // is all the commit had done, and it goes with the staged files. Otherwise nothing is
            // deleted.
            if (AnyFileMovedAside() || !RemoveWorkFile(kJournalName)) {
                result.problem = kRecoveryJournalUnread;
                result.name = kJournalName;
                return result;
            }
            RemoveWorkFiles(0);
            return result;
        }
        // What the interrupted run had placed is not known; a created name that exists can only
        // be its.
        for (int i = 0; i < interrupted.count; i++)
            interrupted.entries[i].placed = interrupted.entries[i].kind == kCommitCreate;
        const char *notBack = UndoCommit(&interrupted);
        if (notBack || WorkFileExists(kJournalName)) {
            result.problem = kRecoveryFileHeld;  // the journal and every file moved aside stay
            result.name = notBack ? notBack : kJournalName;
            return result;
        }
        if (SessionEnded())
            return result;
    } else if (AnyFileMovedAside()) {
        // Moved aside before a journal that is now gone: nothing says where each one belongs.
        result.problem = kRecoveryJournalUnread;
        result.name = kJournalName;
        return result;
    }
    RemoveWorkFiles(0);
    return result;
}

}  // namespace

RecoveryResult RecoverInterruptedInstall() {
    Interrupted.count = 0;
    PlanUnderWay = &Interrupted;
    RecoveryResult result = RecoverFromWorkFolder();
    if (result.problem != kRecoveryFileHeld)  // then the undo is tried again, and at the session's end
        PlanUnderWay = nullptr;
    return result;
}

// Runs nested inside the work it settles: inside a wait of the commit's, the undo's or the
// recovery's between two renames. The undo it runs answers messages too, and the system sends
// WM_ENDSESSION once; a second request meanwhile finds the first at work and returns. The undo is
// run again from the start: an entry done already is found done (UndoEntry). Once it returns, the
// interrupted work sees SessionEnded and stops where it stands.
const char *SettleCommitAtSessionEnd() {
    static int settling;
    if (settling || !PlanUnderWay)
        return nullptr;
    settling = 1;
    const char *left = nullptr;
    if (WorkFileExists(kCommitRecordName))
        left = RecoverInterruptedInstall().name;  // the commit stands: finished, as the next run would
    else if (PlanUnderWay->count)  // the recovery's before its journal is read: nothing was changed
        left = UndoCommit(PlanUnderWay);
    settling = 0;
    return left;
}
