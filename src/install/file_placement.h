// Writing the install's files and lifting their read-only and hidden protection.
#pragma once

#include "base/path_text.h"
#include "base/setup_state.h"
#include "install/file_system.h"
#include "payload/payload_store.h"

// The install writes every file new, under its staged name beside its final one, and never
// through a name that exists already; the commit (install_commit.h) renames it into place and
// sets its protection. A file written piece by piece: BeginNewFile creates it (and fails when
// anything is at path), WriteInstalledFile adds bytes, FinishInstalledFile closes it (1 = every
// byte reached it) and AbandonInstalledFile removes what was written. After a failed Begin, Write
// or Finish nothing is left at path to abandon.
struct InstalledFile {
    char path[kPathBufferSize];
    OutputFile *output;
    unsigned long written;  // bytes accepted so far
};
int BeginNewFile(InstalledFile *file, const char *path);
int WriteInstalledFile(InstalledFile *file, const void *bytes, unsigned long count);
int FinishInstalledFile(InstalledFile *file);
void AbandonInstalledFile(InstalledFile *file);

// Unpacks a payload into a new file at path, its staged name (nothing may be there), with no
// protection set, and checks that it holds the expected number of bytes. 1 = complete; 0 =
// nothing left at path.
int ExtractPayloadToFile(PayloadInflater *inflater, unsigned short id, const char *path, unsigned long bytes);

// Clears the asked bits. 1 when an asked bit was set (and the word was written back), else 0.
int ClearProtectiveAttributes(const char *path, int clearReadOnly, int clearHidden);

// Lifts the protection and deletes the file: 1 = deleted, 0 = not deleted.
int DeleteInstalledFile(const char *path);
