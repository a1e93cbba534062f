#include "install/install_entry_win32.h"

#include <windows.h>

#include <cstring>

#include "base/dll_search_win32.h"
#include "base/format_text.h"
#include "base/path_text.h"
#include "base/scoped_win32.h"
#include "base/setup_state.h"
#include "base/setup_state_win32.h"
#include "base/system_functions_win32.h"
#include "base/system_version.h"
#include "install/folder_trust.h"
#include "install/install_checks.h"
#include "install/install_messages_win32.h"
#include "install/install_sequence.h"
#include "install/wizard_window.h"
#include "landing/access_rights.h"
#include "landing/access_rights_win32.h"
#include "landing/commit.h"
#include "landing/file_system.h"
#include "landing/work_folder.h"

namespace {

const DWORD kResultDelayTicks = 5000;

// The folders the install never goes into. The system folder of 32-bit programs on 64-bit Windows
// (SysWOW64) is given by GetSystemWow64DirectoryA (XP and later, looked up), which fails on 32-bit
// Windows. Every drive letter's root is one, but for removable and CD-ROM drives, which the checks
// would wait on (a floppy drive without media, a "no disk" box on the 95 family): a root spelt
// another way there is not likely, and the read-only check or the writes catch what is.
struct KeptFoldersHere {
    char system[kPathBufferSize], systemWow64[kPathBufferSize];
    char roots[KeptFolders::kRootMax][4];
    KeptFolders kept;

    KeptFoldersHere() : kept() {
        UINT length = GetSystemDirectoryA(system, sizeof system);
        if (length == 0 || length >= sizeof system)
            system[0] = 0;  // an empty path names no folder
        auto wow64 = FindSystemFunction<SystemFunction::GetSystemWow64DirectoryA>();
        length = wow64 ? wow64(systemWow64, sizeof systemWow64) : 0;
        if (length == 0 || length >= sizeof systemWow64)
            systemWow64[0] = 0;
        kept.system[0] = WindowsDir;
        kept.system[1] = system;
        kept.system[2] = systemWow64;
        DWORD drives = GetLogicalDrives();
        for (int i = 0; i < KeptFolders::kRootMax; i++) {
            char *root = roots[kept.rootCount];
            root[0] = static_cast<char>('A' + i), root[1] = ':', root[2] = '\\', root[3] = 0;
            UINT type = drives & (1ul << i) ? GetDriveTypeA(root) : DRIVE_NO_ROOT_DIR;
            if (type == DRIVE_FIXED || type == DRIVE_RAMDISK)
                kept.roots[kept.rootCount++] = root;
        }
    }
};

// The folder as typed, refused (back to the field) when it is not a full path Windows accepts, when
// a path the install makes would not fit, or when it is a drive's root or the system's own folder;
// nothing is written before this passes. Each refusal says what is wrong.
int InstallFolderAccepted(const WizardAnswers &answers) {
    if (answers.unconvertible) {
        SayFolderHasUnconvertibleCharacter(answers.unconvertible);
        return 0;
    }
    int problem = CheckFolderName(InstallDir, answers.typedLength);
    if (problem == kFolderOk)
        problem = CheckFolderPlace(InstallDir, KeptFoldersHere().kept);
    char link[kPathBufferSize];
    switch (problem) {
    case kFolderOk:
        if (!FindLinkInPath(InstallDir, link))
            return 1;
        SayFolderReachedThroughLink(link);
        return 0;
    case kFolderTooLong:
        // The field's own count: the text read may have been cut at the buffer.
        SayFolderPathTooLong(answers.typedLength > std::strlen(InstallDir)
                                 ? answers.typedLength
                                 : static_cast<unsigned long>(std::strlen(InstallDir)),
                             LongestInstallFolder());
        return 0;
    case kFolderDeviceName:
        SayFolderHasDeviceName();
        return 0;
    case kFolderDriveRoot:
        SayFolderIsDriveRoot();
        return 0;
    case kFolderSystemFolder:
        SayFolderIsSystemFolder();
        return 0;
    case kFolderBadName:
        SayFolderNameHasBadCharacter();
        return 0;
    case kFolderTrailingDotOrSpace:
        SayFolderNameEndsInDotOrSpace();
        return 0;
    case kFolderDotName:
        SayFolderNameIsDots();
        return 0;
    case kFolderPrefixedPath:
        SayFolderPathPrefixed();
        return 0;
    case kFolderNetworkPath:
        SayFolderOnNetwork();
        return 0;
    case kFolderLeadingSpace:
        SayFolderPathStartsWithSpace();
        return 0;
    case kFolderStreamName:
        SayFolderNameHasStream();
        return 0;
    default:
        SayFolderPathMalformed();
        return 0;
    }
}

// An existing folder on media that cannot be written (a CD-ROM, a drive made read-only) goes back
// to the field before any question. FILE_READ_ONLY_VOLUME is reported from XP on; before, and on the
// 95 family, a CD-ROM drive (GetDriveTypeA, every Windows) is taken as one. GetVolumeInformationA
// of a drive without media fails, and says nothing then.
int FolderWritable() {
    const DWORD kReadOnlyVolume = 0x00080000;  // FILE_READ_ONLY_VOLUME, XP headers
    if (!IsPlainFolder(InstallDir) || InstallDir[1] != ':')
        return 1;
    char root[4] = {InstallDir[0], ':', '\\', 0};
    DWORD flags = 0;
    if (AtLeastXp())
        return !(GetVolumeInformationA(root, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0) &&
                 (flags & kReadOnlyVolume));
    return GetDriveTypeA(root) != DRIVE_CDROM;
}

// Whoever owns the folder can change its rights and every file in it after the install; code put
// beside the programs would run in their place or with them, in every session that starts them.
// The 95 family keeps no users apart (anyone may change any file), so nothing is asked there.
// 1 = go on (nothing to ask, or "install anyway"); 0 = the user cancelled.
int FolderTrustAccepted() {
    if (!IsNt())
        return 1;
    FolderTrustCheck check = CheckFolderTrust(InstallDir);
    switch (check.problem) {
    case kFolderTrusted:
        return 1;
    case kFolderForeignOwner:
        return AskInstallIntoOtherUsersFolder();
    case kFolderOwnedByUser:
        return AskInstallIntoOwnFolder();
    default:
        return AskInstallBesideForeignCode(check.name);
    }
}

// The work folder, made or checked and locked before anything in it is read: refused when it is
// not the setup's own (nothing in it is read, replayed or followed then), or when another setup
// is installing into the folder now. 1 = ready.
// A work folder this run made and could not use goes again at once, so that a retry finds none.
int WorkFolderReady() {
    char folder[kPathBufferSize];
    int existed = !JoinPath(folder, InstallDir, kWorkFolderName) || KindOfPath(folder) != kPathMissing;
    int state = OpenWorkFolder();
    if (state != kWorkFolderReady && !existed)
        RemoveFolder(folder);
    switch (state) {
    case kWorkFolderReady:
        return 1;
    case kWorkFolderForeign:
        SayWorkFolderForeign();
        return 0;
    case kWorkFolderLocked:
        SayAnotherSetupInstalling();
        return 0;
    default:
        if (!TokenMayNameAdministrators())  // an unelevated run in the administrators' folder
            SayNeedsAdministratorRights();
        else
            SayWorkFolderNotMade();
        return 0;
    }
}

// An interrupted install is finished or put back before anything is measured or changed. A file of
// it that is held open (the engine of the interrupted install, started since), or a journal that
// cannot be read (held by another program, say), may be retried; Cancel leaves with everything
// kept for the next run. 0 = cancelled.
int InterruptedInstallRecovered() {
    for (;;) {
        RecoveryResult recovery = RecoverInterruptedInstall();
        switch (recovery.problem) {
        case kRecovered:
        case kRecoveredWithoutJournal:
            if (recovery.problem == kRecoveredWithoutJournal)
                SayRecoveredWithoutJournal();
            if (recovery.kept)
                SayRecoveryKeptFile(recovery.kept);
            return 1;
        case kRecoveryFileHeld:
            if (!AskRetryRecoveryFileHeld(recovery.name))
                return 0;
            break;
        case kRecoveryNotPutBack:
            if (!AskRetryFileNotPutBack(recovery.name))
                return 0;
            break;
        default:
            if (!AskRetryJournalUnread())
                return 0;
            break;
        }
    }
}

// Enough space on the disk and no file in use, before the first change. A file in use may be
// retried after the Tesso programs are quit; Cancel leaves the setup with nothing changed.
int TargetsReady(InstallRunEnd *end) {
    for (;;) {
        TargetCheck check = CheckInstallTargets();
        switch (check.problem) {
        case kTargetsReady:
            return 1;
        case kDiskTooSmall:
            SayDiskTooSmall(check.neededKb, check.freeKb);
            *end = kRunBackToFolder;
            return 0;
        case kTargetInUse:
            if (!AskRetryFileInUse(check.file)) {
                *end = kRunLeave;
                return 0;
            }
            break;
        case kTargetNotPlain: {
            char path[kPathBufferSize];
            SayTargetNotPlain(check.file,
                              JoinPath(path, InstallDir, check.file) ? NotPlainKindOf(path) : kNotPlainOther);
        }
            *end = kRunBackToFolder;
            return 0;
        }
    }
}

// Held open from the checks to the end of the install, on the NT family, without delete sharing:
// while it is, nobody can rename or delete the folder and put a junction to another one in its
// place. Sharing is checked only against opens granted read, write, append, execute or delete
// access (NTFS and FAT on NT alike), so a handle that asked for none would hold nothing: it asks
// for FILE_LIST_DIRECTORY, read access to a folder. FILE_FLAG_BACKUP_SEMANTICS opens a folder on
// NT 4.0 and later without the backup privilege when no more than that is asked. The 95 family
// cannot open a folder (and has no junctions). Once held it stays so.
void HoldInstallFolder(KernelHandle *folder) {
    if (IsNt() && !folder->valid())
        *folder->Receive() = CreateFileA(InstallDir, FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// The folders this run made, removed again when its install changes nothing.
struct MadeFolders {
    char doc[kPathBufferSize];
    int installFolder;
};

// The run under way, for a session that ends in the middle of it: the hold on its folder and the
// folders it made (RunInstallFromWizard's own, while it runs).
KernelHandle *RunFolderHold;
MadeFolders *RunMadeFolders;

// An existing folder is used as it is; a new one is made, with its "doc" subfolder.
int PrepareInstallFolder(KernelHandle *folder, MadeFolders *made) {
    HoldInstallFolder(folder);
    if (ChangeDirectory(InstallDir))
        return 1;
    if (!MakeDirectory(InstallDir)) {
        // Where an unelevated token is refused (Program Files, say), an elevated one is not.
        if (GetLastError() == ERROR_ACCESS_DENIED && IsNt() && !TokenMayNameAdministrators())
            SayNeedsAdministratorRights();
        else
            SayFolderCannotBeMade();
        return 0;
    }
    made->installFolder = 1;
    HoldInstallFolder(folder);
    // Its rights before anything is made in it, so that all of it inherits them; one not set is no
    // reason to stop (the folder then has the rights it inherited, as before).
    OwnMadeFolder(InstallDir);
    OpenMadeFolderToSandboxes(InstallDir);
    const char *separator = EndsWithSeparator(InstallDir) ? "" : "\\";
    int written = FormatText(made->doc, sizeof made->doc, "%s%sdoc", InstallDir, separator);
    if (written <= 0 || written >= kPathBufferSize || !MakeDirectory(made->doc))
        made->doc[0] = 0;
    else
        OwnMadeFolder(made->doc);
    return 1;
}

// After an install that changed nothing, or checks that stopped it: the folders it made go, when
// nothing is in them (the folder hold is let go first: it keeps the folder from being deleted).
void RemoveMadeFolders(KernelHandle *folder, const MadeFolders &made) {
    if (made.doc[0])
        RemoveFolder(made.doc);
    if (made.installFolder) {
        {
            KernelHandle released(folder->get());
            *folder->Receive() = nullptr;
        }
        RemoveFolder(InstallDir);
    }
}

// Every check in order, the folder held from its first check on when it exists already, and the
// work folder locked from the recovery on (for a new folder, once it is made). 0 when one stopped
// the install, its report or question shown, with end saying where the wizard goes.
int ReadyToInstall(const WizardAnswers &answers, KernelHandle *folder, MadeFolders *made,
                   InstallRunEnd *end) {
    *end = kRunBackToFolder;
    if (!InstallFolderAccepted(answers))
        return 0;
    if (!FolderWritable()) {
        SayFolderReadOnly();
        return 0;
    }
    HoldInstallFolder(folder);
    *end = kRunLeave;
    if (NeedsAdministratorRights(InstallDir)) {
        SayNeedsAdministratorRights();
        return 0;
    }
    if (!FolderTrustAccepted())
        return 0;
    int existed = IsPlainFolder(InstallDir);
    if (existed && (!WorkFolderReady() || !InterruptedInstallRecovered()))
        return 0;
    if (!TargetsReady(end))
        return 0;
    *end = kRunBackToFolder;
    if (!PrepareInstallFolder(folder, made))
        return 0;
    *end = kRunLeave;
    return existed || WorkFolderReady();
}

void CentreCursorOnWizard() {
    POINT cursor;
    RECT window;
    GetCursorPos(&cursor);
    GetWindowRect(WizardWindow, &window);
    if (!PtInRect(&window, cursor))
        SetCursorPos(window.left + (window.right - window.left) / 2,
                     window.top + (window.bottom - window.top) / 2);
}

// The undo stopped at an earlier file that another program held past the retries: the user is asked,
// the file and (where the system can tell) the program named; OK undoes again, Cancel keeps the
// journal and every file moved aside, and the result says that the next run finishes.
int UndoFinishedOrKept(int result) {
    while (result == kInstallNotUndone && AskRetryRestoreFileHeld(FileNotPutBack))
        result = UndoInstall();
    return result;
}

void ShowInstallResult(int result) {
    if (result == kInstallSucceeded)
        SayInstallSucceeded();
    else if (result == kInstallIncomplete)
        SayInstallIncomplete(FirstUnwrittenFile);
    else if (result == kInstallNotUndone)
        SayInstallNotUndone(FileNotPutBack);
    else if (FirstUnwrittenFile && FirstUnwrittenCause == kCauseHeld)
        SayInstallFailedHeld(FirstUnwrittenFile);
    else if (FirstUnwrittenFile && FirstUnwrittenCause == kCauseDiskFull)
        SayInstallFailedDiskFull(FirstUnwrittenFile);
    else if (FirstUnwrittenFile &&
             (FirstUnwrittenCause == kCauseNotPlain || FirstUnwrittenCause == kCauseSwapped))
        SayInstallFailedNotPlain(FirstUnwrittenFile);
    else if (FirstUnwrittenFile && FirstUnwrittenCause == kCauseWorkFolderGone)
        SayInstallFailedWorkFolderGone(FirstUnwrittenFile);
    else if (FirstUnwrittenFile)
        SayInstallFailedAt(FirstUnwrittenFile);
    else
        SayInstallFailed();
}

}  // namespace

// The result never shows sooner than 5 seconds after the start, the wizard answering meanwhile.
InstallRunEnd RunInstallFromWizard(const WizardAnswers &answers) {
    std::strcpy(InstallDir, answers.folder);
    RefuseSessionEnd();  // from the click (the recovery of an interrupted run renames too)
    DWORD start = 0;
    int result = kInstallFailed;
    {
        KernelHandle folder;  // let go once the install has ended, before the wait for the result
        MadeFolders made = {};
        RunFolderHold = &folder;
        RunMadeFolders = &made;
        InstallRunEnd end;
        int ready = ReadyToInstall(answers, &folder, &made, &end);
        if (ready) {
            WantDesktopIcons = answers.desktopIcons;
            WantAutoStart = answers.autoStart;
            ForceLanguage = answers.language;
            HideWizardButtons();
            start = GetTickCount();
            ShowWaitCursor();
            CentreCursorOnWizard();
            PreloadSystemDlls();  // the shell and COM load some by name while making the shortcuts
            result = UndoFinishedOrKept(RunInstall());
        }
        RunMadeFolders = nullptr;
        if (SessionEnded())  // the folder was settled then; nothing more is done, nor said
            return kRunLeave;
        LeaveWorkFolder();
        if (result == kInstallFailed)
            RemoveMadeFolders(&folder, made);
        if (!ready) {
            AllowSessionEnd();
            return end;
        }
    }
    DWORD passed = GetTickCount() - start;
    if (passed < kResultDelayTicks)
        WaitAnsweringWizard(kResultDelayTicks - passed);
    AllowSessionEnd();  // the result waits for the user, and nothing is left to interrupt
    ShowInstallResult(result);
    return kRunLeave;
}

// Nothing the install does changes the folder before its recovery or its commit, each of which
// writes its journal (or finds one) first; staged files wait in the work folder, and the next run
// removes them.
int InstallChangedNothing() { return !WorkFileExists(kJournalName) && !WorkFileExists(kCommitRecordName); }

// Runs inside the wizard's answer to WM_ENDSESSION, nested in whatever the install was waiting in.
// The folder is whole once the commit or recovery under way is settled; then the work folder is left
// (kept when a file could not be put back) and the folders this run made go when they are empty, as
// after an install that changed nothing. The run unwinds afterwards (SessionEnded) without a word.
// Once the run is over (its result waits), what a Cancel left stays for the next run.
void EndInstallForSessionEnd() {
    if (!RunMadeFolders)
        return;
    SettleCommitAtSessionEnd();
    LeaveWorkFolder();
    RemoveMadeFolders(RunFolderHold, *RunMadeFolders);
}
