// Writing the install's files and lifting their read-only and hidden protection.
#pragma once

#include "base/path_text.h"
#include "base/setup_state.h"
#include "landing/file_system.h"
#include "landing/responsive.h"
#include "payload/payload_store.h"

// The install writes every file new, under its staged name beside its final one, and never
// through a name that exists already; the commit (install_commit.h) renames it into place and
// sets its protection. A file written piece by piece: BeginNewFile creates it (and fails when
// anything is at path), WriteInstalledFile adds bytes, FinishInstalledFile closes it (1 = every
// byte reached it) and AbandonInstalledFile removes what was written. After a failed Begin, Write
// or Finish nothing is left at path to abandon.
// FlushInstalledFile puts what was written on the disk (before Finish, for the work folder's small
// files, which must survive a power cut).
struct InstalledFile {
    char path[kPathBufferSize];
    OutputFile *output;
    unsigned long written;  // bytes accepted so far
    int program;            // set by the stager: Finish gives it the programs' access list
    unsigned long crc;      // their CRC-32
};
int BeginNewFile(InstalledFile *file, const char *path);
int WriteInstalledFile(InstalledFile *file, const void *bytes, unsigned long count);
int FlushInstalledFile(InstalledFile *file);
int FinishInstalledFile(InstalledFile *file);
void AbandonInstalledFile(InstalledFile *file);

// Unpacks a payload into a new file at path, its staged name (nothing may be there), with no
// protection set, and checks that it holds the expected number of bytes. 1 = complete; 0 =
// nothing left at path; crc, when given, receives the CRC-32 of what was written. What the stager knows of
// the file: a program gets the programs' access list before its handle closes (program_files.h); off the
// wizard's thread the wizard is never asked to answer between blocks (its thread does that while it waits).
enum { kStagedProgram = 1, kStagedOffWizardThread = 2 };
int ExtractPayloadToFile(PayloadInflater *inflater, unsigned short id, const char *path, unsigned long bytes,
                         int marks = 0, unsigned long *crc = nullptr);

// Lifts read-only and hidden from the file at path for act (which returns 1 on success), and puts
// them back when act fails, so that a file the install could not change keeps its protection.
// After a success the file is gone or replaced, and its word is what act left. A session that
// ended while act waited had the folder settled meanwhile: the name may hold another file by then
// (the earlier one, put back), and nothing is put back on it.
template <class Act> int WithProtectionLifted(const char *path, Act act) {
    unsigned long word = 0;
    int lifted = ReadAttributeWord(path, &word) && (word & kAttributeProtection) &&
                 WriteAttributeWord(path, word & ~kAttributeProtection);
    int done = act();
    if (lifted && !done && !SessionEnded())
        WriteAttributeWord(path, word);
    return done;
}

// On-access scanners, the search indexer, backup and sync clients open a file that was just
// written or renamed for a moment, often without delete sharing; a rename or delete of it then
// fails with a sharing violation or access denied until they let go, usually within a second.
// These try such a failure again every 100 ms for up to 3 s, the wizard answering its messages
// meanwhile; a hold that outlasts that is a real one. Once the session has ended (SessionEnded)
// both refuse at once: the folder was settled, and nothing may change it any more.
// Renames source to target, which must not exist. 1 = renamed.
int RenameRetried(const char *source, const char *target);
// The one remover: deletes a plain file, its protection lifted, checked and deleted on one open
// (HeldFile): a folder or a link at the name is never removed through. 1 = no file is there any more.
int RemovePlainFile(const char *path);
// Opens a file to move or delete (OpenHeldFile), trying again while another program holds it.
int OpenHeldFileRetried(const char *path, HeldFile *file);
int MoveHeldFileRetried(HeldFile *file, const char *target);
int DeleteHeldFileRetried(HeldFile *file);
