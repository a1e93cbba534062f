// The commit's journal, "~tsowork\~tsoundo.lst": what the commit touches, written and flushed
// before the first rename, so that a run interrupted at any moment can be undone by the next. It is
// obeyed only when every entry names what this setup's own commit would.
#pragma once

enum CommitKind {
    kCommitPurge = '-',    // an old user dictionary: moved aside, nothing takes its place
    kCommitReplace = '=',  // an installed name that exists: moved aside, the staged file takes it
    kCommitCreate = '+',   // an installed name that does not exist yet: the staged file takes it
};

enum { kCommitNameSize = 64, kMaxCommitEntries = 256 };
struct CommitEntry {
    char name[kCommitNameSize];  // relative to InstallDir
    int kind;
    unsigned long wantedBits;  // read-only and hidden, set once the staged file is in place
    unsigned long before;      // the attribute word of the file moved aside
    int movedAside;
    int placed;
    // What the commit puts at the name ('=' and '+'): the staged file's size and CRC-32, as written.
    unsigned long placedBytes, placedCrc;
    int kept;  // the undo found something else at a '+' name (the product wrote it) and kept it
};

struct CommitPlan {
    CommitEntry entries[kMaxCommitEntries];
    int count;
};

// Adds an entry; 0 when the plan is full or the name too long.
int AddCommitEntry(CommitPlan *plan, const char *name, int kind, unsigned long wantedBits);

// Whether a file of these bytes and CRC-32 is exactly what the entry placed: only then does an
// undo remove it from a name that had no file before the commit.
int IsPlacedFile(const CommitEntry *entry, unsigned long bytes, unsigned long crc);

// The journal's text: a line per entry (its kind, its wanted bits as a digit, for '=' and '+' a space
// and the placed file's size in decimal and CRC-32 in hex each followed by a space, its name), then
// "end". Parsing accepts only a whole journal, as FormatJournal writes it. Both return 0 on failure.
int FormatJournal(const CommitPlan *plan, char *text, unsigned long capacity);
int ParseJournal(const char *text, CommitPlan *plan);
// Whether every entry names what this setup's own commit would: a purged name as a purge, an
// installed name as a replacement or creation with its listed protection, each name once.
int JournalIsTheSetups(const CommitPlan *plan);

// Reads and checks the journal in the work folder: 1 = read whole and every entry trusted; 0 = cut
// short, not the setup's, or not a plain file; -1 = it could not be read now (another program holds
// it, say).
int ReadJournal(CommitPlan *plan);
// Writes the journal (created new: 0 when anything is at its name already, or on any failure).
int WriteJournal(const CommitPlan *plan);
