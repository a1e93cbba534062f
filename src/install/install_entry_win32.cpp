#include "install/install_entry_win32.h"

#include <windows.h>

#include <cstring>

#include "base/dll_search_win32.h"
#include "base/format_text.h"
#include "base/scoped_win32.h"
#include "base/setup_state_win32.h"
#include "install/folder_trust.h"
#include "install/install_checks.h"
#include "install/install_messages_win32.h"
#include "install/install_sequence.h"
#include "install/wizard_window.h"
#include "landing/commit.h"
#include "landing/file_placement.h"
#include "landing/file_system.h"

namespace {

const DWORD kResultDelayTicks = 5000;

// The folder as typed, refused (back to the field) when it is not a full path Windows accepts, when
// a path the install makes would not fit, or when it is a drive's root or the system's own folder;
// nothing is written before this passes. Each refusal says what is wrong.
int InstallFolderAccepted(const WizardAnswers &answers) {
    if (answers.unconvertible) {
        SayFolderHasUnconvertibleCharacter(answers.unconvertible);
        return 0;
    }
    int problem = CheckFolderName(InstallDir, answers.typedLength);
    if (problem == kFolderOk) {
        char systemDir[kPathBufferSize];
        UINT systemLength = GetSystemDirectoryA(systemDir, sizeof systemDir);
        if (systemLength == 0 || systemLength >= sizeof systemDir)
            systemDir[0] = 0;  // an empty path names no folder
        problem = CheckFolderPlace(InstallDir, WindowsDir, systemDir);
    }
    char link[kPathBufferSize];
    switch (problem) {
    case kFolderOk:
        if (!FindLinkInPath(InstallDir, link))
            return 1;
        SayFolderReachedThroughLink(link);
        return 0;
    case kFolderTooLong:
        SayFolderPathTooLong();
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
    default:
        SayFolderPathMalformed();
        return 0;
    }
}

// Whoever owns the folder can change its rights and every file in it after the install; code put
// beside the programs would run in their place or with them, in every session that starts them.
// The 95 family keeps no users apart (anyone may change any file), so nothing is asked there.
// 1 = go on (nothing to ask, or "install anyway"); 0 = the user cancelled.
int FolderTrustAccepted() {
    if (!IsNtPlatform)
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
int WorkFolderReady() {
    switch (OpenWorkFolder()) {
    case kWorkFolderReady:
        return 1;
    case kWorkFolderForeign:
        SayWorkFolderForeign();
        return 0;
    case kWorkFolderLocked:
        SayAnotherSetupInstalling();
        return 0;
    default:
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
    if (IsNtPlatform && !folder->valid())
        *folder->Receive() = CreateFileA(InstallDir, FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// The folders this run made, removed again when its install changes nothing.
struct MadeFolders {
    char doc[kPathBufferSize];
    int installFolder;
};

// An existing folder is used as it is; a new one is made, with its "doc" subfolder.
int PrepareInstallFolder(KernelHandle *folder, MadeFolders *made) {
    HoldInstallFolder(folder);
    if (ChangeDirectory(InstallDir))
        return 1;
    if (!MakeDirectory(InstallDir)) {
        SayFolderCannotBeMade();
        return 0;
    }
    made->installFolder = 1;
    HoldInstallFolder(folder);
    const char *separator = EndsWithSeparator(InstallDir) ? "" : "\\";
    int written = FormatText(made->doc, sizeof made->doc, "%s%sdoc", InstallDir, separator);
    if (written <= 0 || written >= kPathBufferSize || !MakeDirectory(made->doc))
        made->doc[0] = 0;
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
    HoldInstallFolder(folder);
    *end = kRunLeave;
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

void ShowInstallResult(int result) {
    if (result == kInstallSucceeded)
        SayInstallSucceeded();
    else if (result == kInstallIncomplete)
        SayInstallIncomplete(FirstUnwrittenFile);
    else if (result == kInstallNotUndone)
        SayInstallNotUndone(FirstUnwrittenFile);
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
            result = RunInstall();
        }
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
