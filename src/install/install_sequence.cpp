#include "install/install_sequence.h"

#include <cstdio>

#include "base/format_text.h"
#include "base/malloc_buffer.h"
#include "base/scoped.h"
#include "base/setup_state.h"
#include "base/worker_thread.h"
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
    return step.skippedWhenKept && KeepOldWordBase && JoinPath(path, InstallDir, PayloadFile(entry)) &&
           KindOfPath(path) == kPathPlainFile && FileBytes(path) >= static_cast<long>(entry->bytes);
}

// Staging: every file of the install written under its staged name, on the wizard's thread and,
// where the machine has a second processor, on a second thread, each with its own inflater. Each
// job belongs to one thread; the second thread never touches a window, and the wizard's thread
// answers the wizard between its own blocks and while it waits. Staging writes only staged names,
// so a failure on either thread leaves every earlier file as it was: the other thread stops at its
// next file, and whatever either staged is discarded.
enum JobState { kJobWaiting, kJobStaged, kJobFailed };
struct StagingJob {
    const PayloadEntry *entry;
    int step;                  // its row in InstallSteps
    int thread;                // 0 the wizard's, 1 the second
    int configKept;            // the configuration, staged as it came: the answers could not be written
    unsigned long bytes, crc;  // what it holds as written, for the journal
    volatile int state;        // written by its thread, read by the wizard's (an aligned int: whole on x86)
};
StagingJob Jobs[kMaxCommitEntries];
int JobCount;
int JobOrder[kMaxCommitEntries];  // the order each thread takes its jobs in
// The earliest job known to have failed, in install order: neither thread begins a later one, and
// every earlier one is still staged, so that the file reported is the first in install order that
// could not be written, as with one thread. Both threads may write it: a lost lower value only
// leaves more jobs to run, never an earlier one skipped.
volatile int FirstFailedJob;
int NextStep;   // the first step whose file is not yet known to be staged
int ShownStep;  // the checkpoints up to this step are on the bar

// The configuration is inflated whole into memory (a few kilobytes), gets the wizard's answers
// there and is written once, new, under its staged name. An update that fails is reported, and the
// file staged as it came.
int StageConfigFile(const PayloadEntry *entry, const char *staged, StagingJob *job) {
    MallocBuffer<char> bytes = AllocateBuffer<char>(entry->bytes + kConfigGrowth);
    unsigned long length = 0;
    ConfigText text = {bytes.get(), 0, entry->bytes + kConfigGrowth};
    for (int attempt = 0; attempt < 2; attempt++) {
        if (!bytes ||
            UnpackPayload(entry->id, reinterpret_cast<unsigned char *>(bytes.get()), entry->bytes, &length) !=
                kPayloadOk ||
            length != entry->bytes)
            return 0;
        text.length = length;
        if (attempt || UpdateConfigText(&text))
            break;
        job->configKept = 1;
    }
    InstalledFile file;
    if (!BeginNewFile(&file, staged) || !WriteInstalledFile(&file, text.bytes, text.length) ||
        !FinishInstalledFile(&file))
        return 0;
    job->bytes = file.written;
    job->crc = file.crc;
    return 1;
}

// Unpacks a payload under its staged name.
void StageJob(PayloadInflater *inflater, StagingJob *job, int marks) {
    char staged[kPathBufferSize];
    const PayloadEntry *entry = job->entry;
    if (IsProgramKind(PayloadKind(entry)))
        marks |= kStagedProgram;
    int written = StagedPath(staged, PayloadFile(entry)) &&
                  (entry->id == kPayloadConfigFile
                       ? StageConfigFile(entry, staged, job)
                       : ExtractPayloadToFile(inflater, entry->id, staged, entry->bytes, marks, &job->crc));
    if (entry->id != kPayloadConfigFile)
        job->bytes = entry->bytes;
    job->state = written ? kJobStaged : kJobFailed;
    if (!written && job - Jobs < FirstFailedJob)
        FirstFailedJob = static_cast<int>(job - Jobs);
}

// The checkpoints set before the steps up to step, each once.
void ShowCheckpointsTo(int step) {
    for (; ShownStep <= step && ShownStep < InstallStepCount; ShownStep++)
        if (InstallSteps[ShownStep].checkpoint)
            SetProgressCheckpoint(InstallSteps[ShownStep].checkpoint);
}

// The checkpoints, in install order, as far as the files before them are staged: the same
// positions in the same order whichever thread staged what. Wizard's thread only.
void ShowStagingProgress() {
    for (; NextStep < InstallStepCount; NextStep++) {
        ShowCheckpointsTo(NextStep);
        for (int j = 0; j < JobCount; j++)
            if (Jobs[j].step == NextStep && Jobs[j].state != kJobStaged)
                return;
    }
}

void StageShare(int thread, PayloadInflater *inflater) {
    for (int k = 0; k < JobCount; k++) {
        StagingJob *job = &Jobs[JobOrder[k]];
        if (job->thread != thread || JobOrder[k] > FirstFailedJob)
            continue;
        StageJob(inflater, job, thread ? kStagedOffWizardThread : 0);
        if (!thread)
            ShowStagingProgress();
    }
}

void StageOnSecondThread(void *inflater) { StageShare(1, static_cast<PayloadInflater *>(inflater)); }

// With two threads, the largest files first, each given to the thread with less work so far: the
// two end close together, and neither waits on a large file begun last. A file's work is its bytes
// and, for making, closing and protecting it, what writing about 64 KB costs (measured under Wine:
// sharing by bytes alone, the thread given 115 files ended about 20 ms after the one given a single
// file of as many bytes).
const unsigned long kFileWorkBytes = 64 * 1024;

void ShareJobs(int threads) {
    unsigned long bytes[2] = {0, 0};
    for (int j = 0; j < JobCount; j++) {
        int k = j;
        for (; threads > 1 && k > 0 && Jobs[JobOrder[k - 1]].entry->bytes < Jobs[j].entry->bytes; k--)
            JobOrder[k] = JobOrder[k - 1];
        JobOrder[k] = j;
    }
    for (int k = 0; k < JobCount; k++) {
        StagingJob &job = Jobs[JobOrder[k]];
        job.thread = threads > 1 && bytes[1] <= bytes[0];
        bytes[job.thread] += job.entry->bytes + kFileWorkBytes;
    }
}

// The jobs of the install's steps, in install order. 0 when a step names no payload (FirstUnwrittenFile
// says "?") or there are more than a commit can hold.
int PlanStaging() {
    JobCount = 0;
    for (int i = 0; i < InstallStepCount; i++) {
        if (SessionEnded())  // at the word base's question, or while staging: nothing more is written
            return 0;
        const InstallStep &step = InstallSteps[i];
        if (!step.payloadId)
            continue;
        const PayloadEntry *entry = FindPayloadEntry(step.payloadId);
        if (entry && IsKeptOldFile(step, entry))
            continue;
        if (!entry || JobCount == kMaxCommitEntries) {
            FirstUnwrittenFile = entry ? PayloadFile(entry) : "?";
            return 0;
        }
        Jobs[JobCount] = StagingJob{entry, i, 0, 0, 0, 0, kJobWaiting};
        JobCount++;
    }
    return 1;
}

// Every file of the install under its staged name, with its checkpoints; StagedFiles lists what
// was staged, in install order. 0 when one could not be written (FirstUnwrittenFile names the first
// in install order). An optional file too: what stops one (a full disk, another program in the
// folder) would otherwise leave, after the commit, a mix of old and new files, say the old engine
// with the new dictionaries, and the user's dictionaries purged.
int StageAll(PayloadInflater *inflater) {
    StagedCount = 0;
    NextStep = ShownStep = 0;
    if (!PlanStaging())
        return 0;
    FirstFailedJob = JobCount;
    // A second inflater and thread only where a second processor runs them; without either, the
    // wizard's thread stages every file in install order.
    Owned<PayloadInflater, DestroyPayloadInflater> second(ProcessorCount() > 1 ? CreatePayloadInflater()
                                                                               : nullptr);
    ShareJobs(second.get() ? 2 : 1);
    WorkerThread *worker = second.get() ? StartWorkerThread(StageOnSecondThread, second.get()) : nullptr;
    if (second.get() && !worker)
        ShareJobs(1);
    ShowStagingProgress();
    StageShare(0, inflater);
    if (worker) {
        while (!WaitForWorkerThread(worker, kResponsiveTicks)) {
            AnswerWizardMessages();
            ShowStagingProgress();
        }
        CloseWorkerThread(worker);
    }
    int failed = -1;
    for (int j = 0; j < JobCount; j++) {
        if (Jobs[j].state == kJobStaged) {
            StagedBytes[StagedCount] = Jobs[j].bytes;
            StagedCrc[StagedCount] = Jobs[j].crc;
            StagedFiles[StagedCount++] = Jobs[j].entry;
        } else if (Jobs[j].state == kJobFailed && failed < 0)
            failed = j;
        if (Jobs[j].configKept)
            NoteUnwritten(PayloadFile(Jobs[j].entry));
    }
    if (failed >= 0) {
        FirstUnwrittenFile = PayloadFile(Jobs[failed].entry);
        ShowCheckpointsTo(Jobs[failed].step);  // the bar shows where the install stopped
        return 0;
    }
    ShowStagingProgress();
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
        int kind = JoinPath(path, InstallDir, PayloadFile(entry)) && KindOfPath(path) == kPathMissing
                       ? kCommitCreate
                       : kCommitReplace;
        if (!AddCommitEntry(&Plan, PayloadFile(entry), kind, wanted))
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
        long bytes =
            JoinPath(path, InstallDir, PayloadFile(entry)) ? FileBytes(path) : -1;  // -1 for a folder too
        int whole = staged && entry->id != kPayloadConfigFile ? bytes == static_cast<long>(entry->bytes)
                                                              : bytes >= static_cast<long>(entry->bytes);
        unsigned long wanted = ListedProtection(entry);
        int protectedAsListed =
            !staged || (ReadAttributeWord(path, &word) && (word & kAttributeProtection) == wanted);
        if (!whole || !protectedAsListed) {
            FirstUnwrittenFile = PayloadFile(entry);
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
    OpenShellSession();
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
    CloseShellSession();
    if (FailedShortcut[0])
        NoteUnwritten(FailedShortcut);
    SetProgressCheckpoint(97);
    SetProgressCheckpoint(100);
}

// An optional control file beside the setup is copied into the Windows folder. The copy is made
// over the old file (its protection lifted, and put back should the copy fail), so that the old one
// is never lost before the new one is in place, and never through a link or a file with other
// names (the folder is not the install's: nothing else of it is touched); run from the Windows
// folder itself, source and target are one file and nothing is done. The folders are compared as folders, not
// as text: another path to the Windows folder (a substituted drive, a share, a short name) is the same
// folder.
void CopyControlFile() {
    char source[kPathBufferSize], target[kPathBufferSize];
    if (FormatText(source, sizeof source, "%sSCtrlSet%c.bin", SetupDir, '1') < 0 || !PathExists(source))
        return;
    if (FormatText(target, sizeof target, "%sSCtrlSet%c.bin", WindowsDir, '1') < 0 ||
        SameFileOrFolder(SetupDir, WindowsDir))
        return;
    if (KindOfPath(target) == kPathNotPlain ||
        !WithProtectionLifted(target, [&] { return CopyFileOverwriting(source, target); }))
        NoteUnwritten("SCtrlSet1.bin");
}

}  // namespace

const char *FirstUnwrittenFile;
const char *FileNotPutBack;
int FirstUnwrittenCause;

int UndoInstall() {
    FileNotPutBack = UndoCommit(&Plan);
    return FileNotPutBack ? kInstallNotUndone : kInstallFailed;
}

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
    if (!StageAll(inflater.get()) || !PlanCommit() || SessionEnded() || !WriteJournal(&Plan)) {
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
        return UndoInstall();
    }
    FinishCommit(&Plan);
    CreateShortcuts();
    CopyControlFile();
    return FirstUnwrittenFile ? kInstallIncomplete : kInstallSucceeded;
}
