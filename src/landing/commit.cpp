#include "landing/commit.h"

#include <cstring>

#include "base/path_text.h"
#include "base/setup_state.h"
#include "landing/access_rights.h"
#include "landing/file_placement.h"
#include "landing/install_names.h"
#include "landing/program_files.h"
#include "landing/responsive.h"
#include "payload/payload_catalogue.h"

namespace {

const char kCommitRecordText[] = "the commit stands\n";

// The commit, its undo or the recovery under way, for a session that ends in the middle of it (see
// SettleCommitAtSessionEnd): set as each begins, cleared once the folder is whole again.
CommitPlan *PlanUnderWay;
CommitPlan Interrupted;  // the recovery's, read from the journal
int StopCause;           // why the last commit or undo step failed (FailureCause)

int FinalPath(char *out, const char *name) { return JoinPath(out, InstallDir, name); }

int Stop(int cause) {
    StopCause = cause;
    return 0;
}

// What an open that did not give a plain file says about why.
int OpenFailure(int opened) { return Stop(opened == kHeldNotPlain ? kCauseNotPlain : LastFailureCause()); }

// Moves the file at the entry's name aside (when there is one) and puts the staged file there. Each
// file is checked and moved on one open (HeldFile): a name swapped for a link between the two
// moves nothing but the file that was checked.
int CommitEntryToDisk(CommitEntry *entry) {
    char final[kPathBufferSize], aside[kPathBufferSize], staged[kPathBufferSize];
    if (!FinalPath(final, entry->name) || !KeptAsidePath(aside, entry->name) ||
        !StagedPath(staged, entry->name))
        return Stop(kCauseOther);
    if (entry->kind != kCommitCreate) {
        HeldFile earlier;
        int opened = OpenHeldFileRetried(final, &earlier);
        if (opened != kHeldOpened && opened != kHeldMissing)
            return OpenFailure(opened);
        if (opened == kHeldOpened) {
            // Renaming leaves the contents, the attribute word and the rights alone; a read-only
            // file can be renamed on both families (the bit guards the contents, not the name).
            entry->before = earlier.attributes;
            int moved = MoveHeldFileRetried(&earlier, aside);
            int cause = moved ? kCauseOther : LastFailureCause();
            CloseHeldFile(&earlier);
            if (!moved) {
                // Under Wine a name swapped at the moment of the rename is what moved: it is in the
                // work folder now, and the undo must find it there (and leave it).
                entry->movedAside = cause == kCauseSwapped;
                return Stop(cause);
            }
            entry->movedAside = 1;
        }
    }
    if (entry->kind == kCommitPurge)
        return 1;
    HeldFile fresh;
    int opened = OpenHeldFileRetried(staged, &fresh);
    if (opened != kHeldOpened)
        return opened == kHeldMissing ? Stop(kCauseWorkFolderGone) : OpenFailure(opened);
    // Renamed only onto a free name: anything at it (a folder, a link planted since the checks) is
    // left, and named.
    if (!MoveHeldFileRetried(&fresh, final)) {
        int cause = LastFailureCause();
        CloseHeldFile(&fresh);
        return Stop(cause);
    }
    entry->placed = 1;
    // While the file is still held, nobody can rename it or put another in its place. A rename
    // keeps the rights the file was made with in the work folder: a program has its own already; a
    // data file takes those of the install folder, as if it had been written there.
    const PayloadEntry *listed = FindPayloadEntryByName(entry->name);
    int done = !listed || IsProgramKind(PayloadKind(listed)) || TakeFolderRights(final);
    // Only the bits that describe the file: archive, the replaced file's not-content-indexed
    // choice, and the protection the catalogue gives. Never offline, temporary or a cloud
    // service's pin bits of the file it replaces: they describe where that file's data was.
    // Read-only and hidden go on only now, after the rename: the 95 family's rename of a read-only
    // file is not documented.
    unsigned long word = kAttributeArchive | (entry->wantedBits & kAttributeProtection) |
                         (entry->movedAside ? entry->before & kAttributeNotContentIndexed : 0);
    if (done && word != fresh.attributes)
        SetHeldFileAttributes(&fresh, word);
    CloseHeldFile(&fresh);
    return done ? 1 : Stop(kCauseOther);
}

// Removes what stands at a name the entry placed, while it still is exactly what was placed ('+'
// names: the product may have written its own file there since, which is kept). 1 = the name is
// free, or (kept set) holds a file that is not the install's.
int RemovePlaced(CommitEntry *entry, const char *final) {
    HeldFile placed;
    int opened = OpenHeldFileRetried(final, &placed);
    if (opened != kHeldOpened)
        return opened == kHeldMissing ? 1 : OpenFailure(opened);
    unsigned long crc = 0;
    if (entry->kind == kCommitCreate &&
        !(HeldFileCrc(&placed, &crc) && IsPlacedFile(entry, placed.bytes, crc))) {
        CloseHeldFile(&placed);
        entry->kept = 1;
        return 1;
    }
    int removed = DeleteHeldFileRetried(&placed);
    int cause = removed ? kCauseOther : LastFailureCause();
    CloseHeldFile(&placed);
    return removed ? 1 : Stop(cause);
}

// The file moved aside goes back under its name over whatever the commit put there; without one,
// what the commit placed is removed, unless an earlier file was moved aside and is gone: then it
// has been put back already (an undo run again, after a question or at the session's end, finds it
// so). Any staged file of the entry goes. 1 = the name holds what it held before the commit (or,
// kept, what the product wrote since); 0 = it could not be put back (a file held open by another
// program, say), and the file moved aside is then the only copy of the earlier one: it must be kept.
int UndoEntry(CommitEntry *entry) {
    char final[kPathBufferSize], aside[kPathBufferSize], staged[kPathBufferSize];
    if (!FinalPath(final, entry->name) || !KeptAsidePath(aside, entry->name) ||
        !StagedPath(staged, entry->name))
        return Stop(kCauseOther);
    int back = 1;
    HeldFile earlier;
    int opened = OpenHeldFileRetried(aside, &earlier);
    if (opened == kHeldOpened) {
        back = RemovePlaced(entry, final) && !entry->kept && MoveHeldFileRetried(&earlier, final);
        if (!back && !entry->kept)
            StopCause = LastFailureCause();
        CloseHeldFile(&earlier);
    } else if (opened == kHeldNotPlain && IsSecondHardLink(aside)) {
        // The user linked their own file while the commit ran: its name comes back as a name.
        back = RemovePlaced(entry, final) && RenameRetried(aside, final);
    } else if (opened != kHeldMissing) {
        back = OpenFailure(opened);
    } else if (entry->placed && !entry->movedAside) {
        back = RemovePlaced(entry, final);
    }
    RemovePlainFile(staged);
    return back;
}

// The record is the setup's own only as a plain file holding exactly its text: anything else at
// the name (a folder, a link) is no record, and never finishes a commit.
int CommitRecordStands() {
    char text[sizeof kCommitRecordText + 1];
    return ReadWorkFile(kCommitRecordName, text, sizeof text) == sizeof kCommitRecordText - 1 &&
           std::strcmp(text, kCommitRecordText) == 0;
}

// Without a journal, each moved-aside file's own name says where it belongs (the work folder is the
// setup's own, so they are the install's): it goes back when its name is free, or holds a file the
// install writes (the new install's, placed before the kill); a name the product wrote since (a
// purged dictionary written again) keeps the product's file, and the earlier one stays in the work
// folder, named. Staged files go. Null = every file is back.
const char *PutBackByOwnNames() {
    const char *notBack = FirstInstallNameWhere([](const char *name) {
        char final[kPathBufferSize], aside[kPathBufferSize];
        HeldFile earlier;
        if (!FinalPath(final, name) || !KeptAsidePath(aside, name))
            return 0;
        int opened = OpenHeldFileRetried(aside, &earlier);
        if (opened == kHeldMissing)
            return 0;
        if (opened != kHeldOpened)
            return 1;
        int free = KindOfPath(final) == kPathMissing;
        if (!free && FindPayloadEntryByName(name))
            free = RemovePlainFile(final);
        int back = free && MoveHeldFileRetried(&earlier, final);
        CloseHeldFile(&earlier);
        KeepWizardResponsive();
        return back ? 0 : 1;
    });
    RemoveStagedFiles();
    return notBack;
}

}  // namespace

int CommitStopCause() { return StopCause; }

const char *CommitToDisk(CommitPlan *plan) {
    PlanUnderWay = plan;
    StopCause = kCauseOther;
    for (int i = 0; i < plan->count; i++) {
        if (SessionEnded() || !CommitEntryToDisk(&plan->entries[i]))
            return plan->entries[i].name;
        KeepWizardResponsive();
    }
    return nullptr;
}

// A name both purged and installed (pykeys.dic) has two entries and one file moved aside: the
// later entry, undone first, puts it back, and the purge entry is not waited for a second time.
const char *UndoCommit(CommitPlan *plan) {
    const char *notBack = nullptr;
    for (int i = plan->count - 1; i >= 0 && !SessionEnded(); i--) {
        int undoneAlready = 0;
        for (int j = i + 1; j < plan->count; j++)
            undoneAlready |= SamePathText(plan->entries[j].name, plan->entries[i].name);
        if (!undoneAlready && !UndoEntry(&plan->entries[i]))
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

const char *FirstKeptName(const CommitPlan *plan) {
    for (int i = 0; i < plan->count; i++)
        if (plan->entries[i].kept)
            return plan->entries[i].name;
    return nullptr;
}

int RecordCommit() { return !SessionEnded() && WriteWorkFile(kCommitRecordName, kCommitRecordText); }

// The record goes last: while it is there, a later run finishes this commit and never undoes it,
// whatever is left of the rest.
void FinishCommit(const CommitPlan *plan) {
    int finished = 1;
    for (int i = 0; i < plan->count && !SessionEnded(); i++) {
        char path[kPathBufferSize];
        if (plan->entries[i].movedAside && KeptAsidePath(path, plan->entries[i].name))
            finished &= RemoveKeptAsideName(path);
        KeepWizardResponsive();
    }
    if (finished && RemoveWorkFile(kJournalName))
        RemoveWorkFile(kCommitRecordName);
    PlanUnderWay = nullptr;  // whole, whatever is left for the next run to delete
}

namespace {

RecoveryResult RecoverFromWorkFolder() {
    RecoveryResult result = {kRecovered, nullptr, nullptr};
    if (CommitRecordStands()) {
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
    int journal = WorkFileExists(kJournalName) ? ReadJournal(&interrupted) : 0;
    if (journal <= 0)
        interrupted.count = 0;  // nothing of it is ever undone, at the session's end neither
    if (journal < 0) {          // there, but held: nothing is decided without it
        result.problem = kRecoveryJournalUnread;
        result.name = kJournalName;
        return result;
    }
    if (journal > 0) {
        // What the interrupted run had placed is not known; a created name is removed only while it
        // holds exactly the file the journal says was placed there.
        for (int i = 0; i < interrupted.count; i++)
            interrupted.entries[i].placed = interrupted.entries[i].kind == kCommitCreate;
        const char *notBack = UndoCommit(&interrupted);
        result.kept = FirstKeptName(&interrupted);
        if (notBack || WorkFileExists(kJournalName)) {
            result.problem = kRecoveryFileHeld;  // the journal and every file moved aside stay
            result.name = notBack ? notBack : kJournalName;
            return result;
        }
        if (SessionEnded())
            return result;
    } else if (AnyFileMovedAside()) {
        // Moved aside, and the journal missing or unreadable: the files go back by their own names.
        result.name = PutBackByOwnNames();
        if (result.name || !RemoveWorkFile(kJournalName)) {
            result.problem = result.name ? kRecoveryNotPutBack : kRecoveryJournalUnread;
            result.name = result.name ? result.name : kJournalName;
            return result;
        }
        result.problem = kRecoveredWithoutJournal;
        return result;
    } else if (WorkFileExists(kJournalName) && !RemoveWorkFile(kJournalName)) {
        // Flushed before the first rename: with nothing moved aside, a journal cut short by a kill is
        // all the commit had done, and it goes with the staged files.
        result.problem = kRecoveryJournalUnread;
        result.name = kJournalName;
        return result;
    }
    RemoveStagedFiles();
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
    if (CommitRecordStands())
        left = RecoverInterruptedInstall().name;  // the commit stands: finished, as the next run would
    else if (PlanUnderWay->count)  // the recovery's before its journal is read: nothing was changed
        left = UndoCommit(PlanUnderWay);
    settling = 0;
    return left;
}
