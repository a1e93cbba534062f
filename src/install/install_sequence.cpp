#include "install/install_sequence.h"

#include <cstdio>

#include "base/format_text.h"
#include "base/malloc_buffer.h"
#include "base/scoped.h"
#include "base/setup_state.h"
#include "install/config_file.h"
#include "install/install_tables.h"
#include "install/shortcuts.h"
#include "install/wizard_window.h"
#include "landing/commit.h"
#include "landing/file_placement.h"
#include "landing/file_system.h"
#include "landing/program_files.h"
#include "payload/payload_catalogue.h"
#include "payload/payload_store.h"

namespace {

int FirstByteHasTopBit(const char *path) {
    std::FILE *file = std::fopen(path, "rb");
    if (!file)
        return 0;
    int c = std::fgetc(file);
    std::fclose(file);
    return c != EOF && (c & 0x80);
}

void CheckOldWordBase() {
    char path[kPathBufferSize];
    if (!JoinPath(path, InstallDir, "CiZuFlat.igb") || !PathExists(path))
        return;
    if (JoinPath(path, InstallDir, "pycizudic.idx") && FirstByteHasTopBit(path)) {
        int answer =
            ShowWizardMessage("安装目录有老词库。是否安装新词库(会冲掉老词库)?",
                              "Old CiKu (Word Base) is detected. Replace it with new CiKu?", kMessageYesNo);
        if (answer != IDC_YES_BUTTON)
            KeepOldWordBase = 1;
    }
    ShowWaitCursor();
}

// The first file of this run that was not written, optional ones included.
void NoteUnwritten(const char *file) {
    if (!FirstUnwrittenFile)
        FirstUnwrittenFile = file;
}

// The install in progress: the files staged, in install order, with what each holds as written
// (its size and CRC-32, for the journal), and the plan of its commit.
const PayloadEntry *StagedFiles[kMaxCommitEntries];
unsigned long StagedBytes[kMaxCommitEntries], StagedCrc[kMaxCommitEntries];
int StagedCount;
CommitPlan Plan;

// A file of the old word base is kept when it is there whole: one that is missing, or shorter than
// the new one (cut short by a run that was killed, say), is installed even when the user keeps the
// old word base. A longer one is an old base that grew with the user's words.
int IsKeptOldFile(const InstallStep &step, const PayloadEntry *entry) {
    char path[kPathBufferSize];
    return step.skippedWhenKept && KeepOldWordBase && JoinPath(path, InstallDir, entry->file) &&
           KindOfPath(path) == kPathPlainFile && FileBytes(path) >= static_cast<long>(entry->bytes);
}

// Unpacks a payload under its staged name; the configuration gets the wizard's answers there, before
// it takes its place (a failed update is reported, and the file installed as it came).
int StageFile(PayloadInflater *inflater, const PayloadEntry *entry) {
    char staged[kPathBufferSize];
    unsigned long crc = 0, bytes = entry->bytes;
    if (!StagedPath(staged, entry->file) ||
        !ExtractPayloadToFile(inflater, entry->id, staged, entry->bytes, &crc))
        return 0;
    // Opened again by its name for the edit: it must still be the file just written. What the
    // journal records for it is the file as the edit left it.
    if (entry->id == kPayloadConfigFile) {
        if (KindOfPath(staged) != kPathPlainFile || !UpdateConfigFile(staged))
            NoteUnwritten(entry->file);
        HeldFile edited;
        if (OpenHeldFile(staged, &edited) != kHeldOpened)
            return 0;
        bytes = edited.bytes;
        int read = HeldFileCrc(&edited, &crc);
        CloseHeldFile(&edited);
        if (!read)
            return 0;
    }
    StagedBytes[StagedCount] = bytes;
    StagedCrc[StagedCount] = crc;
    StagedFiles[StagedCount++] = entry;
    return 1;
}

// Every file of the install under its staged name, in install order, with its checkpoints. 0 when
// one could not be written (FirstUnwrittenFile names it).
int StageAll(PayloadInflater *inflater) {
    StagedCount = 0;
    for (int i = 0; i < InstallStepCount; i++) {
        const InstallStep &step = InstallSteps[i];
        if (step.checkpoint)
            SetProgressCheckpoint(step.checkpoint);
        if (!step.payloadId)
            continue;
        const PayloadEntry *entry = FindPayloadEntry(step.payloadId);
        if (entry && IsKeptOldFile(step, entry))
            continue;
        if (entry && StagedCount < kMaxCommitEntries && StageFile(inflater, entry))
            continue;
        // An optional file too: what stops one (a full disk, another program in the folder) would
        // otherwise leave, after the commit, a mix of old and new files, say the old engine with
        // the new dictionaries, and the user's dictionaries purged.
        FirstUnwrittenFile = entry ? entry->file : "?";
        return 0;
    }
    return 1;
}

// The old user dictionaries first (moved aside, so that they come back should the install fail),
// then every staged file in install order.
int PlanCommit() {
    Plan.count = 0;
    for (int i = 0; i < kPurgeCount; i++) {
        char name[kCommitNameSize], path[kPathBufferSize];
        if (PurgeFileName(i, name, sizeof name) && JoinPath(path, InstallDir, name) &&
            KindOfPath(path) != kPathMissing && !AddCommitEntry(&Plan, name, kCommitPurge, 0))
            return 0;
        KeepWizardResponsive();  // a few hundred file look-ups, on a slow disk or a share
    }
    for (int i = 0; i < StagedCount; i++) {
        const PayloadEntry *entry = StagedFiles[i];
        char path[kPathBufferSize];
        unsigned long wanted = ListedProtection(entry);
        int kind = JoinPath(path, InstallDir, entry->file) && KindOfPath(path) == kPathMissing
                       ? kCommitCreate
                       : kCommitReplace;
        if (!AddCommitEntry(&Plan, entry->file, kind, wanted))
            return 0;
        Plan.entries[Plan.count - 1].placedBytes = StagedBytes[i];
        Plan.entries[Plan.count - 1].placedCrc = StagedCrc[i];
        KeepWizardResponsive();
    }
    return 1;
}

int WasStaged(const PayloadEntry *entry) {
    for (int i = 0; i < StagedCount; i++)
        if (StagedFiles[i] == entry)
            return 1;
    return 0;
}

// Every required file is there, whole, before success is reported: a file written now with its
// size and protection, one kept from the old word base at least at its size. The configuration
// has grown by the answers. 1 = all there; 0 with FirstUnwrittenFile naming the first that is not.
int InstalledFilesAreThere() {
    for (int i = 0; i < InstallStepCount; i++) {
        const InstallStep &step = InstallSteps[i];
        const PayloadEntry *entry = step.payloadId ? FindPayloadEntry(step.payloadId) : nullptr;
        int staged = entry && WasStaged(entry);
        if (!entry || (!step.required && !staged))
            continue;
        char path[kPathBufferSize];
        unsigned long word = 0;
        long bytes = JoinPath(path, InstallDir, entry->file) ? FileBytes(path) : -1;  // -1 for a folder too
        int whole = staged && entry->id != kPayloadConfigFile ? bytes == static_cast<long>(entry->bytes)
                                                              : bytes >= static_cast<long>(entry->bytes);
        unsigned long wanted = ListedProtection(entry);
        int protectedAsListed =
            !staged || (ReadAttributeWord(path, &word) && (word & kAttributeProtection) == wanted);
        if (!whole || !protectedAsListed) {
            FirstUnwrittenFile = entry->file;
            return 0;
        }
        KeepWizardResponsive();
    }
    return 1;
}

// The shortcuts of the table (install_tables.cpp). Every shortcut counts, on the desktop too; the
// first that is not in place is named.
void CreateShortcuts() {
    FailedShortcut[0] = 0;
    const ShortcutNames &names = ShortcutNamesFor(UiLanguage);
    ShortcutEntry group[kShortcutRowCount + 1] = {}, startup[kShortcutRowCount + 1] = {};  // null-ended
    int groupCount = 0, startupCount = 0;
    for (const ShortcutRow &row : ShortcutRows) {
        const ShortcutEntry entry = {names.*row.name, row.targetFile};
        if (row.place == kInProgramGroup)
            group[groupCount++] = entry;
        else if (row.place == kAtStartUp)
            startup[startupCount++] = entry;
    }
    CreateProgramGroup(names.group, group, kFolderPrograms);
    SetProgressCheckpoint(94);
    for (const ShortcutRow &row : ShortcutRows)
        if (row.place == kOnDesktop && WantDesktopIcons)
            CreateDesktopShortcut(row.targetFile, names.*row.name);
    if (WantAutoStart)
        CreateProgramGroup(nullptr, startup, kFolderStartup);
    if (FailedShortcut[0])
        NoteUnwritten(FailedShortcut);
    SetProgressCheckpoint(97);
    SetProgressCheckpoint(100);
}

// An optional control file beside the setup is copied into the Windows folder. The copy is made
// over the old file (its protection lifted, and put back should the copy fail), so that the old one
// is never lost before the new one is in place; run from the Windows folder itself, source and
// target are one file and nothing is done. The folders are compared as folders, not as text:
// another path to the Windows folder (a substituted drive, a share, a short name) is the same
// folder.
void CopyControlFile() {
    char source[kPathBufferSize], target[kPathBufferSize];
    if (FormatText(source, sizeof source, "%sSCtrlSet%c.bin", SetupDir, '1') < 0 || !PathExists(source))
        return;
    if (FormatText(target, sizeof target, "%sSCtrlSet%c.bin", WindowsDir, '1') < 0 ||
        SameFileOrFolder(SetupDir, WindowsDir))
        return;
    if (!WithProtectionLifted(target, [&] { return CopyFileOverwriting(source, target); }))
        NoteUnwritten("SCtrlSet1.bin");
}

}  // namespace

const char *FirstUnwrittenFile;
int FirstUnwrittenCause;

// Nothing under a final name changes until every file is staged whole; a failure from then until
// every file is in place and checked undoes the commit. A failed install therefore leaves the
// folder as it was.
int RunInstall() {
    FirstUnwrittenFile = nullptr;
    FirstUnwrittenCause = kCauseOther;
    Owned<PayloadInflater, DestroyPayloadInflater> inflater(CreatePayloadInflater());  // on every path out
    if (!inflater.get()) {
        ShowWizardMessage("内存不够。安装无法继续。", "Memory not enough!", kMessageOk);
        return 0;
    }
    ShowInstallProgress();
    SetProgressCheckpoint(10);
    KeepOldWordBase = 0;
    CheckOldWordBase();
    if (!StageAll(inflater.get()) || !PlanCommit() || !WriteJournal(&Plan)) {
        FirstUnwrittenCause = LastFailureCause();
        RemoveStagedFiles();
        return kInstallFailed;
    }
    // The record makes the commit stand: no later run undoes it. Without it nothing is reported
    // as installed.
    const char *stopped = CommitToDisk(&Plan);
    int inPlace = !stopped && InstalledFilesAreThere();
    if (stopped)
        FirstUnwrittenCause = CommitStopCause();
    if (inPlace && !RecordCommit()) {
        stopped = kCommitRecordName;
        FirstUnwrittenCause = LastFailureCause();
    }
    if (!inPlace || stopped) {
        if (stopped)
            FirstUnwrittenFile = stopped;
        if (const char *notBack = UndoCommit(&Plan)) {
            FirstUnwrittenFile = notBack;
            FirstUnwrittenCause = CommitStopCause();
            return kInstallNotUndone;
        }
        return kInstallFailed;
    }
    FinishCommit(&Plan);
    CreateShortcuts();
    CopyControlFile();
    return FirstUnwrittenFile ? kInstallIncomplete : kInstallSucceeded;
}
