// Writing installed files and managing their read-only and hidden protection.
#pragma once

#include "base/path_text.h"
#include "base/setup_state.h"
#include "install/file_system.h"

// Writes count bytes as InstallDir\fileName (or fullPath when not null), lifting the protection
// of an existing file first and setting the wanted bits afterwards. 1 = written completely. The
// bytes of a file that replaces another go to a new temporary file beside it first,
// "<name>.tsonew", which takes its place only when every byte reached it: a failed write leaves an
// existing file and its attributes as they were. A file that is new is written in place, and
// removed again if its write fails. Neither is ever opened through a name that exists already.
int WriteInstalledFile(const char *fileName, const void *bytes, unsigned long count, int readOnly, int hidden,
                       const char *fullPath);

// The same in steps, for a file written piece by piece: Begin creates the temporary file, Write
// adds bytes, Finish puts the file in place with its protection (1 = in place) and Abandon
// removes what was written. After a failed Begin, Write or Finish nothing is left to abandon.
struct InstalledFile {
    char target[kPathBufferSize];
    char temporary[kPathBufferSize];
    OutputFile *output;
    int inPlace;            // a new file, written under its own name
    unsigned long written;  // bytes accepted so far
};
int BeginInstalledFile(InstalledFile *file, const char *fileName, const char *fullPath);
// Begins a file that must be new: fails when anything is at path (never opens an existing name).
int BeginNewFile(InstalledFile *file, const char *path);
int WriteInstalledBytes(InstalledFile *file, const void *bytes, unsigned long count);
int FinishInstalledFile(InstalledFile *file, int readOnly, int hidden);
void AbandonInstalledFile(InstalledFile *file);

// Clears the asked bits. 1 when an asked bit was set (and the word was written back), else 0.
int ClearProtectiveAttributes(const char *path, int clearReadOnly, int clearHidden);

// Lifts read-only and hidden from the file at path for act (which returns 1 on success), and puts
// them back when act fails, so that a file the install could not change keeps its protection.
// After a success the file is gone or replaced, and its word is what act left.
template <class Act> int WithProtectionLifted(const char *path, Act act) {
    const unsigned long kProtection = kAttributeReadOnly | kAttributeHidden;
    unsigned long word = 0;
    int lifted = ReadAttributeWord(path, &word) && (word & kProtection) &&
                 WriteAttributeWord(path, word & ~kProtection);
    int done = act();
    if (lifted && !done)
        WriteAttributeWord(path, word);
    return done;
}

// Lifts the protection and deletes the file: 1 = deleted, 0 = not deleted (its protection kept).
int DeleteInstalledFile(const char *path);
