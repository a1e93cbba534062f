#include "install/install_commit.h"

#include <cstdio>
#include <cstring>

#include "base/format_text.h"
#include "base/malloc_buffer.h"
#include "base/setup_state.h"
#include "install/file_placement.h"
#include "install/install_tables.h"
#include "install/install_ui.h"
#include "payload/payload_catalogue.h"

const char kJournalName[13] = "~tsoundo.lst";

namespace {

const unsigned long kJournalCapacity = 16 * 1024;  // 180 lines of at most 66 bytes, and "end"
const char kJournalEnd[] = "end\n";
// The single temporary name that earlier versions of this setup wrote every replacement under.
const char kOlderTemporaryName[] = "~tsonew.tmp";

int PathWithSuffix(char *out, const char *name, const char *suffix) {
    char path[kPathBufferSize];
    if (!JoinPath(path, InstallDir, name))
        return 0;
    int length = FormatText(out, kPathBufferSize, "%s%s", path, suffix);
    return length > 0 && length < kPathBufferSize;
}

int FinalPath(char *out, const char *name) { return JoinPath(out, InstallDir, name); }

int JournalPath(char *out) { return JoinPath(out, InstallDir, kJournalName); }

// A plain file only: a folder or a link at one of these names is never removed through.
void RemovePlainFile(const char *path) {
    if (KindOfPath(path) == kPathPlainFile)
        DeleteInstalledFile(path);
}

int IsCommitKind(int c) { return c == kCommitPurge || c == kCommitReplace || c == kCommitCreate; }

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
            // Renaming leaves the contents and the attribute word alone; a read-only file can be
            // renamed on both families (the bit guards the contents, not the name).
            if (!ReadAttributeWord(final, &entry->before) || !RenameFile(final, aside))
                return 0;
            entry->movedAside = 1;
            break;
        }
    }
    if (entry->kind == kCommitPurge)
        return 1;
    // Checked again just before: the folder is the user's, and a name may have been swapped for a
    // link since the checks before the install.
    if (KindOfPath(staged) != kPathPlainFile || !RenameFile(staged, final))
        return 0;
    entry->placed = 1;
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
        RemovePlainFile(final);
        back = RenameFile(aside, final);
    } else if (entry->placed) {
        RemovePlainFile(final);
        back = KindOfPath(final) == kPathMissing;
    }
    RemovePlainFile(staged);
    return back;
}

// Every name an install writes or purges, for the leftovers of an interrupted run.
template <class Visit> void ForEveryInstallName(Visit visit) {
    for (int i = 0; i < PayloadCatalogueCount; i++)
        visit(PayloadCatalogue[i].file);
    for (int i = 0; i < kPurgeCount; i++) {
        char name[kCommitNameSize];
        if (PurgeFileName(i, name, sizeof name))
            visit(name);
    }
}

int ReadJournal(CommitPlan *plan) {
    char path[kPathBufferSize];
    if (!JournalPath(path) || KindOfPath(path) != kPathPlainFile)
        return 0;
    MallocBuffer<char> text = AllocateBuffer<char>(kJournalCapacity + 1);
    std::FILE *file = text ? std::fopen(path, "rb") : nullptr;
    if (!file)
        return 0;
    size_t length = std::fread(text.get(), 1, kJournalCapacity, file);
    int read = !std::ferror(file);
    std::fclose(file);
    text.get()[length] = 0;
    return read && ParseJournal(text.get(), plan);
}

}  // namespace

int StagedPath(char *out, const char *name) { return PathWithSuffix(out, name, ".tsonew"); }

int KeptAsidePath(char *out, const char *name) { return PathWithSuffix(out, name, ".tsoold"); }

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

int WriteJournal(const CommitPlan *plan) {
    char path[kPathBufferSize];
    MallocBuffer<char> text = AllocateBuffer<char>(kJournalCapacity);
    if (!text || !JournalPath(path) || !FormatJournal(plan, text.get(), kJournalCapacity))
        return 0;
    OutputFile *file = CreateOutputFile(path);
    if (!file)
        return 0;
    // On the disk before the first rename, so that not even a power cut keeps the renames without it.
    int written = WriteOutputFile(file, text.get(), static_cast<unsigned long>(std::strlen(text.get()))) &&
                  FlushOutputFile(file);
    if (!CloseOutputFile(file) || !written) {
        RemovePlainFile(path);
        return 0;
    }
    return 1;
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
    for (int i = plan->count - 1; i >= 0; i--)
        if (!UndoEntry(&plan->entries[i]))
            notBack = plan->entries[i].name;
    char path[kPathBufferSize];
    if (!notBack && JournalPath(path))
        RemovePlainFile(path);
    return notBack;
}

// The journal goes first: once it is gone, the commit stands even if the run is killed now. While
// it cannot be deleted, nothing moved aside is deleted either, and the next run undoes the commit.
void FinishCommit(const CommitPlan *plan) {
    char path[kPathBufferSize];
    if (!JournalPath(path))
        return;
    RemovePlainFile(path);
    if (KindOfPath(path) != kPathMissing)
        return;
    for (int i = 0; i < plan->count; i++)
        if (plan->entries[i].movedAside && KeptAsidePath(path, plan->entries[i].name))
            RemovePlainFile(path);
}

const char *RecoverInterruptedInstall() {
    static CommitPlan interrupted;
    if (ReadJournal(&interrupted)) {
        // What the interrupted run had placed is not known; a created name that exists can only
        // be its.
        for (int i = 0; i < interrupted.count; i++)
            interrupted.entries[i].placed = interrupted.entries[i].kind == kCommitCreate;
        if (const char *notBack = UndoCommit(&interrupted))
            return notBack;  // the journal and every file moved aside stay for the next try
    }
    char path[kPathBufferSize];
    if (JournalPath(path))
        RemovePlainFile(path);
    ForEveryInstallName([&path](const char *name) {
        if (StagedPath(path, name))
            RemovePlainFile(path);
        if (KeptAsidePath(path, name))
            RemovePlainFile(path);
        KeepWizardResponsive();
    });
    if (FinalPath(path, kOlderTemporaryName))
        RemovePlainFile(path);
    return nullptr;
}
