#include "landing/journal.h"

#include <cstdlib>
#include <cstring>

#include "base/format_text.h"
#include "base/malloc_buffer.h"
#include "base/path_text.h"
#include "landing/file_system.h"
#include "landing/install_names.h"
#include "landing/program_files.h"
#include "landing/work_folder.h"

namespace {

const unsigned long kJournalCapacity = 16 * 1024;  // 180 lines of at most 66 bytes, and "end"
const char kJournalEnd[] = "end\n";

int IsCommitKind(int c) { return c == kCommitPurge || c == kCommitReplace || c == kCommitCreate; }

int IsPurgedName(const char *name) {
    char purged[kCommitNameSize];
    for (int i = 0; i < kPurgeCount; i++)
        if (PurgeFileName(i, purged, sizeof purged) && std::strcmp(purged, name) == 0)
            return 1;
    return 0;
}

}  // namespace

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

int IsPlacedFile(const CommitEntry *entry, unsigned long bytes, unsigned long crc) {
    return entry->kind != kCommitPurge && bytes == entry->placedBytes && crc == entry->placedCrc;
}

int FormatJournal(const CommitPlan *plan, char *text, unsigned long capacity) {
    unsigned long used = 0;
    for (int i = 0; i <= plan->count; i++) {
        const CommitEntry *entry = plan->entries + i;
        int length = i == plan->count ? FormatText(text + used, capacity - used, "%s", kJournalEnd)
                     : entry->kind == kCommitPurge
                         ? FormatText(text + used, capacity - used, "%c%lu%s\n", entry->kind,
                                      entry->wantedBits, entry->name)
                         : FormatText(text + used, capacity - used, "%c%lu %lu %lx %s\n", entry->kind,
                                      entry->wantedBits, entry->placedBytes, entry->placedCrc, entry->name);
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
        if (end - line < 3 || line[1] < '0' || line[1] > '3')
            return 0;
        const char *start = line + 2;
        unsigned long placed[2] = {0, 0};
        if (line[0] != kCommitPurge && *start++ != ' ')
            return 0;
        for (int i = 0; line[0] != kCommitPurge && i < 2; i++) {
            char *after = nullptr;
            if (*start < '0' || *start > 'f')
                return 0;
            placed[i] = std::strtoul(start, &after, i == 0 ? 10 : 16);
            if (after == start || after >= end || *after != ' ')
                return 0;
            start = after + 1;
        }
        size_t length = end - start;
        if (length == 0 || length >= kCommitNameSize)
            return 0;
        char name[kCommitNameSize];
        std::memcpy(name, start, length);
        name[length] = 0;
        if (std::strchr(name, '\\') || std::strchr(name, '/') || std::strchr(name, ':') ||
            !AddCommitEntry(plan, name, line[0], line[1] - '0'))
            return 0;
        plan->entries[plan->count - 1].placedBytes = placed[0];
        plan->entries[plan->count - 1].placedCrc = placed[1];
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

int ReadJournal(CommitPlan *plan) {
    MallocBuffer<char> text = AllocateBuffer<char>(kJournalCapacity + 1);
    long read = ReadWorkFile(kJournalName, text.get(), kJournalCapacity + 1);
    if (read < 0)
        return read == kWorkFileUnread ? -1 : 0;
    return ParseJournal(text.get(), plan) && JournalIsTheSetups(plan);
}

int WriteJournal(const CommitPlan *plan) {
    MallocBuffer<char> text = AllocateBuffer<char>(kJournalCapacity);
    return text && FormatJournal(plan, text.get(), kJournalCapacity) &&
           WriteWorkFile(kJournalName, text.get());
}
