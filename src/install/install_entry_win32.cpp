#include "install/install_entry_win32.h"

#include <windows.h>

#include <cstring>

#include "base/dll_search_win32.h"
#include "base/format_text.h"
#include "base/scoped_win32.h"
#include "base/setup_state_win32.h"
#include "install/file_placement.h"
#include "install/file_system.h"
#include "install/folder_trust.h"
#include "install/install_checks.h"
#include "install/install_commit.h"
#include "install/install_sequence.h"
#include "install/wizard_window.h"

namespace {

const DWORD kResultDelayTicks = 5000;

// The folder as typed, refused (back to the field) when it is not a full path Windows accepts, when
// a path the install makes would not fit, or when it is a drive's root or the system's own folder;
// nothing is written before this passes. Each refusal says what is wrong.
int InstallFolderAccepted(const WizardAnswers &answers) {
    char link[kPathBufferSize], chinese[kPathBufferSize + 96], english[128];
    if (answers.unconvertible) {
        // The setup and the product's programs use the system's code page for every path, and
        // Windows would put another character (or '?') in this one's place.
        FormatText(
            chinese, sizeof chinese,
            "目录名中的字符 U+%04lX 在本系统的代码页中没有，岚笔的程序无法使用这样的目录。请换一个目录名。",
            answers.unconvertible);
        FormatText(english, sizeof english,
                   "The folder name has a character (U+%04lX) that this system's code page lacks. Please "
                   "use another name.",
                   answers.unconvertible);
        ShowWizardMessage(chinese, english, kMessageOk);
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
    switch (problem) {
    case kFolderOk:
        if (!FindLinkInPath(InstallDir, link))
            return 1;
        // What is written below a link, a junction or a mount point lands elsewhere than the path
        // says: the elevated setup never writes there.
        FormatText(chinese, sizeof chinese, "目录 %s 是链接或连接点，安装程序不会经由它写入。请选别的目录。",
                   link);
        FormatText(english, sizeof english,
                   "%s is a link or junction; the setup never writes through it. Choose another.", link);
        ShowWizardMessage(chinese, english, kMessageOk);
        break;
    case kFolderTooLong:
        ShowWizardMessage(
            "安装目录的路径太长。请选一个较短的目录。",
            "The folder path is too long for the files to install. Please choose a shorter folder.",
            kMessageOk);
        break;
    case kFolderDeviceName:
        ShowWizardMessage(
            "目录名中有 Windows 留给设备的名字（CON、PRN、AUX、NUL、COM1 至 COM9、LPT1 至 LPT9，"
            "带不带扩展名都算）。请换一个目录名。",
            "The folder path has a name Windows keeps for a device (CON, PRN, AUX, NUL, COM1-9, LPT1-9). "
            "Please choose another.",
            kMessageOk);
        break;
    case kFolderDriveRoot:
        ShowWizardMessage("请不要直接装在磁盘的根目录下，请选一个目录（如 C:\\Tesso）。",
                          "Please choose a folder (such as C:\\Tesso), not the root of a drive.", kMessageOk);
        break;
    case kFolderSystemFolder:
        ShowWizardMessage("安装程序不会装入 Windows 目录或系统目录。请选别的目录。",
                          "The setup does not install into the Windows folder or the system folder. Please "
                          "choose another.",
                          kMessageOk);
        break;
    default:
        ShowWizardMessage(
            "请输入完整的安装目录（如 C:\\Tesso），目录名中不能有 < > : \" / | ? * 等字符。",
            "Please type a full folder path such as C:\\Tesso, without < > : \" / | ? * in its names.",
            kMessageOk);
        break;
    }
    return 0;
}

const char kOwnerEnglish[] = "Another user owns this folder and could change the programs put in it. OK "
                             "installs anyway; Cancel quits, "
                             "changing nothing.";
static_assert(sizeof kOwnerEnglish <= 128, "the message box shows at most 127 bytes of English");
const char kOwnUserEnglish[] =
    "This folder is yours, so programs you run unelevated could change it. OK installs "
    "anyway; Cancel quits, changing nothing.";
static_assert(sizeof kOwnUserEnglish <= 128, "the message box shows at most 127 bytes of English");

// Whoever owns the folder can change its rights and every file in it after the install; code put
// beside the programs would run in their place or with them, in every session that starts them.
// The 95 family keeps no users apart (anyone may change any file), so nothing is asked there.
// 1 = go on (nothing to ask, or "install anyway"); 0 = the user cancelled.
int FolderTrustAccepted() {
    if (!IsNtPlatform)
        return 1;
    FolderTrustCheck check = CheckFolderTrust(InstallDir);
    char chinese[512], english[128];
    switch (check.problem) {
    case kFolderTrusted:
        return 1;
    case kFolderForeignOwner:
        FormatText(chinese, sizeof chinese, "%s",
                   "安装目录属于别的用户，该用户可以改动装在里面的程序。"
                   "按“确定”仍然安装，按“取消”退出安装（不作改动）。");
        FormatText(english, sizeof english, "%s", kOwnerEnglish);
        break;
    case kFolderOwnedByUser:  // Vista and later: the user's own identity is also their unelevated one
        FormatText(chinese, sizeof chinese, "%s",
                   "安装目录属于您本人，您不经提升权限运行的任何程序都能改动装在里面的程序。"
                   "按“确定”仍然安装，按“取消”退出安装（不作改动）。");
        FormatText(english, sizeof english, "%s", kOwnUserEnglish);
        break;
    default:
        FormatText(chinese, sizeof chinese,
                   "安装目录中的 %s 不是岚笔的文件，可能随岚笔程序运行。"
                   "按“确定”仍然安装，按“取消”退出安装（不作改动）。",
                   check.name);
        FormatText(english, sizeof english,
                   "%s here is not part of Tesso and could run with its programs. OK installs anyway; "
                   "Cancel quits, changing nothing.",
                   check.name);
        break;
    }
    return ShowWizardMessage(chinese, english, kMessageOkCancel) == IDC_CONFIRM;
}

// The work folder, made or checked and locked before anything in it is read: refused when it is
// not the setup's own (nothing in it is read, replayed or followed then), or when another setup
// is installing into the folder now. 1 = ready.
int WorkFolderReady() {
    switch (OpenWorkFolder()) {
    case kWorkFolderReady:
        return 1;
    case kWorkFolderForeign:
        ShowWizardMessage(
            "安装目录中的 ~tsowork 不是本安装程序建立的，或已被改动，安装程序不会读取或使用它。请移走它后"
            "再安装。",
            "~tsowork in the folder was not made by this setup or was changed; the setup will not "
            "use it. Remove it, then retry.",
            kMessageOk);
        break;
    case kWorkFolderLocked:
        ShowWizardMessage(
            "另一个安装程序正在向这个目录安装。请等它结束后再安装。",
            "Another setup is installing into this folder now. Please wait until it has finished, "
            "then try again.",
            kMessageOk);
        break;
    default:
        ShowWizardMessage(
            "无法在安装目录中建立工作目录 ~tsowork。请检查安装目录后再安装。",
            "The setup cannot make its work folder ~tsowork in the install folder. Please check the "
            "folder.",
            kMessageOk);
        break;
    }
    return 0;
}

// An interrupted install is finished or put back before anything is measured or changed. A file of
// it that is held open (the engine of the interrupted install, started since), or a journal that
// cannot be read (held by another program, say), may be retried; Cancel leaves with everything
// kept for the next run. 0 = cancelled.
int InterruptedInstallRecovered() {
    for (;;) {
        RecoveryResult recovery = RecoverInterruptedInstall();
        char chinese[320], english[128];
        switch (recovery.problem) {
        case kRecovered:
            return 1;
        case kRecoveryFileHeld:
            FormatText(chinese, sizeof chinese,
                       "上次中断的安装未能恢复：文件 %s "
                       "正在使用中。请退出所有岚笔程序后按“确定”重试，或按“取消”退出安装。",
                       recovery.name);
            FormatText(english, sizeof english,
                       "An interrupted install cannot restore %s: it is in use. Quit Tesso, OK to retry.",
                       recovery.name);
            break;
        default:
            FormatText(
                chinese, sizeof chinese, "%s",
                "上次中断的安装的记录无法读取。原有文件都完好地保存在安装目录的 ~tsowork 中，未作改动。"
                "请关闭可能占用它的程序后按“确定”重试，或按“取消”退出安装。");
            FormatText(
                english, sizeof english, "%s",
                "An interrupted install's journal cannot be read; the earlier files are kept in ~tsowork. "
                "OK retries.");
            break;
        }
        if (ShowWizardMessage(chinese, english, kMessageOkCancel) != IDC_CONFIRM)
            return 0;
    }
}

// Enough space on the disk and no file in use, before the first change. A file in use may be
// retried after the Tesso programs are quit; Cancel leaves the setup with nothing changed.
int TargetsReady(InstallRunEnd *end) {
    for (;;) {
        TargetCheck check = CheckInstallTargets();
        char chinese[320], english[128];
        switch (check.problem) {
        case kTargetsReady:
            return 1;
        case kDiskTooSmall:
            FormatText(chinese, sizeof chinese,
                       "磁盘空间不够：安装需要 %lu KB，只有 %lu KB 可用。请选别的磁盘或清理磁盘。",
                       check.neededKb, check.freeKb);
            FormatText(english, sizeof english,
                       "Not enough disk space: the install needs %lu KB, %lu KB are free.", check.neededKb,
                       check.freeKb);
            ShowWizardMessage(chinese, english, kMessageOk);
            *end = kRunBackToFolder;
            return 0;
        case kTargetInUse:
            FormatText(chinese, sizeof chinese,
                       "文件 %s 正在使用中。请退出所有岚笔程序后按“确定”重试，或按“取消”退出安装。",
                       check.file);
            FormatText(english, sizeof english,
                       "%s is in use. Quit all Tesso programs and press OK to retry, or Cancel.", check.file);
            if (ShowWizardMessage(chinese, english, kMessageOkCancel) != IDC_CONFIRM) {
                *end = kRunLeave;
                return 0;
            }
            break;
        case kTargetNotPlain:
            FormatText(chinese, sizeof chinese,
                       "安装目录中的 %s 是目录或链接，安装程序不会经由它写入。请移走它，或选别的目录。",
                       check.file);
            FormatText(
                english, sizeof english,
                "%s in the folder is a folder or a link; the setup never writes through it. Remove it.",
                check.file);
            ShowWizardMessage(chinese, english, kMessageOk);
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
        ShowWizardMessage("无法建目录。请检查所列目录是否合法（注意：子目录只能在已存在的目录下建）。",
                          "Cannot create folder! Please check folder path.", kMessageOk);
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
    if (result == kInstallSucceeded) {
        ShowWizardMessage("祝贺您：安装顺利完成！", "Congratulations! Installation Success!", kMessageOk);
    } else if (result == kInstallIncomplete) {
        char chinese[320], english[128];
        FormatText(chinese, sizeof chinese, "安装未完成：文件 %s 未能写入。请检查一下系统后，再重新安装。",
                   FirstUnwrittenFile);
        FormatText(english, sizeof english,
                   "Installation incomplete: %s could not be written. Please check and retry.",
                   FirstUnwrittenFile);
        ShowWizardMessage(chinese, english, kMessageOk);
    } else if (result == kInstallNotUndone) {
        char chinese[320], english[128];
        FormatText(
            chinese, sizeof chinese,
            "安装失败，原有文件 %s 暂未能恢复。请退出所有岚笔程序后重新运行安装程序，它会先恢复原有文件。",
            FirstUnwrittenFile);
        FormatText(english, sizeof english,
                   "Installation failed and %s is not restored yet. Quit Tesso and run the setup again to "
                   "restore it.",
                   FirstUnwrittenFile);
        ShowWizardMessage(chinese, english, kMessageOk);
    } else if (FirstUnwrittenFile) {
        char chinese[320], english[128];
        FormatText(chinese, sizeof chinese,
                   "安装失败：文件 %s 未能写入。原有文件均未改动。请检查一下系统后，再重新安装。",
                   FirstUnwrittenFile);
        FormatText(
            english, sizeof english,
            "Installation failed: %s could not be written; nothing was changed. Please check and retry.",
            FirstUnwrittenFile);
        ShowWizardMessage(chinese, english, kMessageOk);
    } else {
        ShowWizardMessage(
            "安装失败！原有文件均未改动。请检查一下系统后，再重新安装。谢谢！",
            "Installation failed; nothing was changed. Please check your system (quit all Tesso "
            "applications) and try again.",
            kMessageOk);
    }
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
