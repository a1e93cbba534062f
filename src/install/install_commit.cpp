#include "install/install_commit.h"

#include <cstdio>
#include <cstring>

#include "base/format_text.h"
#include "base/malloc_buffer.h"
#include "base/setup_state.h"
#include "install/access_rights.h"
#include "install/file_placement.h"
#include "install/install_tables.h"
#include "install/program_files.h"
#include "install/wizard_window.h"
#include "payload/payload_catalogue.h"

const char kWorkFolderName[9] = "~tsowork";
const char kJournalName[13] = "~tsoundo.lst";
const char kCommitRecordName[13] = "~tsodone.lst";
const char kStagedSuffix[8] = ".tsonew";
const char kKeptAsideSuffix[8] = ".tsoold";

namespace {

const unsigned long kJournalCapacity = 16 * 1024;  // 180 lines of at most 66 bytes, and "end"
const char kJournalEnd[] = "end\n";
const char kCommitRecordText[] = "the commit stands\n";
const char kLockName[] = "~tsolock";

// On-access scanners, the search indexer, backup and sync clients open a file that was just
// written or renamed for a moment, often without delete sharing; a rename or delete of it then
// fails with a sharing violation or access denied until they let go, usually within a second.
// Such a failure is tried again every kHeldPauseTicks for up to kHeldRetries times (3 s in all),
// the wizard answering its messages meanwhile; a hold that outlasts that is a real one.
const int kHeldRetries = 30;
const unsigned long kHeldPauseTicks = 100;

// Held from OpenWorkFolder to LeaveWorkFolder: while it is, no other setup uses the folder.
FileLock *WorkFolderLock;

int WorkFolderPath(char *out) { return JoinPath(out, InstallDir, kWorkFolderName); }

// "<InstallDir>\~tsowork\<name><suffix>".
int WorkPath(char *out, const char *name, const char *suffix) {
    char folder[kPathBufferSize];
    if (!WorkFolderPath(folder))
        return 0;
    int length = FormatText(out, kPathBufferSize, "%s" PATH_SEPARATOR "%s%s", folder, name, suffix);
    return length > 0 && length < kPathBufferSize;
}

int FinalPath(char *out, const char *name) { return JoinPath(out, InstallDir, name); }

template <class Step> int RetriedWhileHeld(Step step) {
    for (int attempt = 0;; attempt++) {
        if (step())
            return 1;
        if (attempt == kHeldRetries || !LastFailureWasHeld())
            return 0;
        WaitAnsweringWizard(kHeldPauseTicks);
    }
}

int Rename(const char *source, const char *target) {
    return RetriedWhileHeld([&] { return RenameFile(source, target); });
}

// A plain file only: a folder or a link at one of these names is never removed through. 1 = no
// file is there any more.
int RemovePlainFile(const char *path) {
    int kind = KindOfPath(path);
    if (kind != kPathPlainFile)
        return kind == kPathMissing;
    return WithProtectionLifted(path,
                                [path] { return RetriedWhileHeld([path] { return RemoveFile(path); }); });
}

int IsCommitKind(int c) { return c == kCommitPurge || c == kCommitReplace || c == kCommitCreate; }

int IsPurgedName(const char *name) {
    char purged[kCommitNameSize];
    for (int i = 0; i < kPurgeCount; i++)
        if (PurgeFileName(i, purged, sizeof purged) && std::strcmp(purged, name) == 0)
            return 1;
    return 0;
}

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
            if (!ReadAttributeWord(final, &entry->before) || !Rename(final, aside))
                return 0;
            entry->movedAside = 1;
            break;
        }
    }
    if (entry->kind == kCommitPurge)
        return 1;
    // Checked again just before: the folder is the user's, and its name may have been taken by a
    // link since the checks before the install.
    if (KindOfPath(final) != kPathMissing || KindOfPath(staged) != kPathPlainFile || !Rename(staged, final))
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
// what the commit placed is removed. Any staged file of the entry goes. 1 = the name holds what it
// held before the commit; 0 = it could not be put back (a file held open by another program, say),
// and the file moved aside is then the only copy of the earlier one: it must be kept.
int UndoEntry(const CommitEntry *entry) {
    char final[kPathBufferSize], aside[kPathBufferSize], staged[kPathBufferSize];
    if (!FinalPath(final, entry->name) || !KeptAsidePath(aside, entry->name) ||
        !StagedPath(staged, entry->name))
        return 0;
    int back = 1;
    if (KindOfPath(aside) == kPathPlainFile) {
        back = RemovePlainFile(final) && Rename(aside, final);
    } else if (entry->placed) {
        back = RemovePlainFile(final);
    }
    RemovePlainFile(staged);
    return back;
}

// Every name an install writes or purges, the wizard answering between them.
template <class Visit> void ForEveryInstallName(Visit visit) {
    FirstInstallNameWhere([&visit](const char *name) {
        visit(name);
        KeepWizardResponsive();
        return 0;
    });
}

// Removes the staged files, and with moved too the moved-aside files, of every name. 1 = none is
// left.
int RemoveWorkFiles(int moved) {
    int removed = 1;
    ForEveryInstallName([&](const char *name) {
        char path[kPathBufferSize];
        if (StagedPath(path, name))
            removed &= RemovePlainFile(path);
        if (moved && KeptAsidePath(path, name))
            removed &= RemovePlainFile(path);
    });
    return removed;
}

int AnyFileMovedAside() {
    return FirstInstallNameWhere([](const char *name) {
               char path[kPathBufferSize];
               return KeptAsidePath(path, name) && KindOfPath(path) != kPathMissing;
           }) != nullptr;
}

int ReadJournal(CommitPlan *plan) {
    char path[kPathBufferSize];
    if (!WorkPath(path, kJournalName, "") || KindOfPath(path) != kPathPlainFile)
        return 0;
    MallocBuffer<char> text = AllocateBuffer<char>(kJournalCapacity + 1);
    std::FILE *file = text ? std::fopen(path, "rb") : nullptr;
    if (!file)
        return 0;
    size_t length = std::fread(text.get(), 1, kJournalCapacity, file);
    int read = !std::ferror(file);
    std::fclose(file);
    text.get()[length] = 0;
    return read && ParseJournal(text.get(), plan) && JournalIsTheSetups(plan);
}

// A small file created new in the work folder and on the disk before the call returns.
int WriteWorkFile(const char *name, const char *text) {
    char path[kPathBufferSize];
    if (!WorkPath(path, name, ""))
        return 0;
    OutputFile *file = CreateOutputFile(path);
    if (!file)
        return 0;
    // On the disk before the next rename, so that not even a power cut keeps the renames without it.
    int written =
        WriteOutputFile(file, text, static_cast<unsigned long>(std::strlen(text))) && FlushOutputFile(file);
    if (!CloseOutputFile(file) || !written) {
        RemovePlainFile(path);
        return 0;
    }
    return 1;
}

int RemoveWorkFile(const char *name) {
    char path[kPathBufferSize];
    return WorkPath(path, name, "") && RemovePlainFile(path);
}

int WorkFileExists(const char *name) {
    char path[kPathBufferSize];
    return WorkPath(path, name, "") && KindOfPath(path) != kPathMissing;
}

}  // namespace

int StagedPath(char *out, const char *name) { return WorkPath(out, name, kStagedSuffix); }

int KeptAsidePath(char *out, const char *name) { return WorkPath(out, name, kKeptAsideSuffix); }

int AddCommitEntry(CommitPlan *plan, const char *name, int kind, unsigned long wantedBits) {
    if (plan->count >= kMaxCommitEntries || std::strlen(name) >= kCommitNameSize || !IsCommitKind(kind))
        return 0;
    CommitEntry &entry = plan->entries[plan->count++];
    std::memset(&entry, 0, sizeof entry);
    std::strcpy(entry.name, name);
    entry.kind = kind;
    entry.wantedBits = wantedBits & kAttributeProtection;
    return 1;
}

int FormatJournal(const CommitPlan *plan, char *text, unsigned long capacity) {
    unsigned long used = 0;
    for (int i = 0; i <= plan->count; i++) {
        int length = i < plan->count
                         ? FormatText(text + used, capacity - used, "%c%lu%s\n", plan->entries[i].kind,
                                      plan->entries[i].wantedBits, plan->entries[i].name)
                         : FormatText(text + used, capacity - used, "%s", kJournalEnd);
        if (length < 0 || used + length >= capacity)
            return 0;
        used += length;
    }
    return 1;
}

int ParseJournal(const char *text, CommitPlan *plan) {
    plan->count = 0;
    for (const char *line = text; *line;) {
        const char *end = std::strchr(line, '\n');
        if (!end)
            return 0;  // cut short
        if (std::strncmp(line, kJournalEnd, sizeof kJournalEnd - 1) == 0)
            return 1;
        size_t length = end - line;
        if (length < 3 || line[1] < '0' || line[1] > '3' || length - 2 >= kCommitNameSize)
            return 0;
        char name[kCommitNameSize];
        std::memcpy(name, line + 2, length - 2);
        name[length - 2] = 0;
        if (std::strchr(name, '\\') || std::strchr(name, '/') || std::strchr(name, ':') ||
            !AddCommitEntry(plan, name, line[0], line[1] - '0'))
            return 0;
        line = end + 1;
    }
    return 0;  // no end line
}

// A name the install both purges and writes (pykeys.dic is one) has a purge entry and an install
// entry; no name has two of either.
int JournalIsTheSetups(const CommitPlan *plan) {
    for (int i = 0; i < plan->count; i++) {
        const CommitEntry &entry = plan->entries[i];
        for (int j = 0; j < i; j++)
            if (SamePathText(plan->entries[j].name, entry.name) &&
                (plan->entries[j].kind == kCommitPurge) == (entry.kind == kCommitPurge))
                return 0;
        const PayloadEntry *installed = FindPayloadEntryByName(entry.name);
        int fits = entry.kind == kCommitPurge ? IsPurgedName(entry.name) && entry.wantedBits == 0
                                              : installed && entry.wantedBits == ListedProtection(installed);
        if (!fits)
            return 0;
    }
    return 1;
}

// The folder is made with its rights, or checked, before anything is read from it; then locked, so
// that two setups on one folder (in two sessions, or under two Wine prefixes, which share no
// single-instance mutex) never take each other's files for an interrupted install's.
int OpenWorkFolder() {
    char folder[kPathBufferSize], lock[kPathBufferSize];
    if (!WorkFolderPath(folder) || !WorkPath(lock, kLockName, ""))
        return kWorkFolderFailed;
    if (KindOfPath(folder) == kPathMissing && !MakePrivateFolder(folder) &&
        KindOfPath(folder) == kPathMissing)
        return kWorkFolderFailed;
    if (!IsPlainFolder(folder) || !PrivateFolderTrusted(folder))
        return kWorkFolderForeign;
    int result = WorkFolderLock ? kLockTaken : TakeFileLock(lock, &WorkFolderLock);
    if (result == kLockHeldElsewhere)
        return kWorkFolderLocked;
    return result == kLockTaken ? kWorkFolderReady : kWorkFolderFailed;
}

// The lock file goes, then the folder, when nothing else is in it: files kept for the next run (an
// earlier file that could not be put back, a commit not finished) keep it.
void LeaveWorkFolder() {
    if (!WorkFolderLock)
        return;
    ReleaseFileLock(WorkFolderLock);
    WorkFolderLock = nullptr;
    char folder[kPathBufferSize];
    if (RemoveWorkFile(kLockName) && WorkFolderPath(folder))
        RemoveFolder(folder);
}

int WriteJournal(const CommitPlan *plan) {
    MallocBuffer<char> text = AllocateBuffer<char>(kJournalCapacity);
    return text && FormatJournal(plan, text.get(), kJournalCapacity) &&
           WriteWorkFile(kJournalName, text.get());
}

const char *CommitToDisk(CommitPlan *plan) {
    for (int i = 0; i < plan->count; i++) {
        if (!CommitEntryToDisk(&plan->entries[i]))
            return plan->entries[i].name;
        KeepWizardResponsive();
    }
    return nullptr;
}

const char *UndoCommit(CommitPlan *plan) {
    const char *notBack = nullptr;
    for (int i = plan->count - 1; i >= 0; i--) {
        if (!UndoEntry(&plan->entries[i]))
            notBack = plan->entries[i].name;
        KeepWizardResponsive();
    }
    if (!notBack)
        RemoveWorkFile(kJournalName);
    return notBack;
}

int RecordCommit() { return WriteWorkFile(kCommitRecordName, kCommitRecordText); }

// The record goes last: while it is there, a later run finishes this commit and never undoes it,
// whatever is left of the rest.
void FinishCommit(const CommitPlan *plan) {
    int finished = 1;
    for (int i = 0; i < plan->count; i++) {
        char path[kPathBufferSize];
        if (plan->entries[i].movedAside && KeptAsidePath(path, plan->entries[i].name))
            finished &= RemovePlainFile(path);
        KeepWizardResponsive();
    }
    if (finished && RemoveWorkFile(kJournalName))
        RemoveWorkFile(kCommitRecordName);
}

RecoveryResult RecoverInterruptedInstall() {
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
    static CommitPlan interrupted;
    if (WorkFileExists(kJournalName)) {
        if (!ReadJournal(&interrupted)) {
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
    } else if (AnyFileMovedAside()) {
        // Moved aside before a journal that is now gone: nothing says where each one belongs.
        result.problem = kRecoveryJournalUnread;
        result.name = kJournalName;
        return result;
    }
    RemoveWorkFiles(0);
    return result;
}
