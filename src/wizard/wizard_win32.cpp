#include "wizard/wizard_win32.h"

#include <cstdio>
#include <cstring>

#include "glyphs/owner_draw_win32.h"
#include "install/file_placement.h"
#include "install/file_system.h"
#include "install/install_checks.h"
#include "install/install_commit.h"
#include "install/install_sequence.h"
#include "install/install_ui.h"
#include "install/payload_store.h"
#include "setup/dll_search_win32.h"
#include "setup/format_text.h"
#include "setup/malloc_buffer.h"
#include "setup/setup_check_win32.h"
#include "setup/setup_state_win32.h"
#include "wizard/folder_chooser_win32.h"
#include "wizard/folder_trust_win32.h"
#include "wizard/message_box_win32.h"
#include "wizard/message_layout.h"
#include "wizard/resource_ids.h"
#include "wizard/wizard_state.h"
#include "wizard/wizard_template_win32.h"

namespace {

void ShowWizardPage(HWND dialog, int page);

const int PageControlTable[][16] = {
    {IDC_DESKTOP_ICONS, IDC_AUTO_START, IDC_FOLDER, IDC_FOLDER_LABEL, IDC_BROWSE, 0},
    {IDC_SAMPLE_FRAME, IDC_QUESTION, IDC_SAMPLE_LINE, IDC_ANSWER_OK, IDC_ANSWER_NO, 0},
    {IDC_ENGLISH_LICENCE, IDC_LICENCE_LIST, IDC_LICENCE_EDIT, 0},
    {IDC_LANGUAGE_LABEL, IDC_LANGUAGE_LIST, 0},
    {0},
};

const DWORD kResultDelayTicks = 5000;
int LicenceLoaded;
// The Chinese licence's lines stay here for the life of the wizard: its list holds no strings,
// only pointers to these bytes (see DrawListItem).
char ChineseLicence[kLicenceBufferSize];

// The English text in its own 64 KiB buffer, freed as soon as it is in its control (ASCII: the
// control's conversion keeps it as it is).
int LoadEnglishLicence(HWND dialog) {
    MallocBuffer<char> buffer = AllocateBuffer<char>(kLicenceBufferSize);
    if (!buffer) {
        ShowMessage("内存不够。安装无法继续。", "Memory not enough!", kMessageOk, WizardWindow);
        return 0;
    }
    if (!UnpackLicence(kPayloadLicenceEnglish, buffer.get()))
        return 0;
    SendDlgItemMessageA(dialog, IDC_LICENCE_EDIT, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(buffer.get()));
    return 1;
}

// The list is emptied first, so that a load that failed half-way and is tried again on the next
// visit never shows the text twice.
int LoadLicences(HWND dialog) {
    SendDlgItemMessageA(dialog, IDC_LICENCE_LIST, LB_RESETCONTENT, 0, 0);
    if (!UnpackLicence(kPayloadLicenceChinese, ChineseLicence))
        return 0;
    static const char *lines[kLicenceLineLimit];
    int count = CutLicenceLines(ChineseLicence, lines);
    for (int i = 0; i < count; i++)
        SendDlgItemMessageA(dialog, IDC_LICENCE_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lines[i]));
    if (!LoadEnglishLicence(dialog))
        return 0;
    LicenceLoaded = 1;
    return 1;
}

void FillLanguageList(HWND dialog) {
    int order[kLanguageCount];
    LanguageListOrder(ForceLanguage, order);
    for (int value : order) {
        // The item is the language's value; its name is drawn from LanguageName.
        SendDlgItemMessageA(dialog, IDC_LANGUAGE_LIST, CB_ADDSTRING, 0, value);
    }
    SendDlgItemMessageA(dialog, IDC_LANGUAGE_LIST, CB_SETCURSEL, 0, 0);
}

// The wizard inside the work area where it fits, its caption on screen where it does not.
void PlaceInWorkArea(HWND dialog) {
    RECT window, work;
    GetWindowRect(dialog, &window);
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
        return;
    Rect placed = KeepInWorkArea(Rect{window.left, window.top, window.right, window.bottom},
                                 Rect{work.left, work.top, work.right, work.bottom});
    if (placed.left != window.left || placed.top != window.top)
        SetWindowPos(dialog, nullptr, placed.left, placed.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

// Where the wizard is larger than the work area (large fonts on an 800 x 600 screen make it 916
// pixels wide), it and its controls are scaled down to fit; the text keeps its font and the glyph
// captions their 16 pixels. The combo box keeps its dropped-down list.
Scale WizardScale;  // the hidden controls, made later, are scaled the same

void ShrinkToWorkArea(HWND dialog) {
    WizardScale = Scale{1, 1};
    RECT window, client, work;
    GetWindowRect(dialog, &window);
    GetClientRect(dialog, &client);
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
        return;
    Point frame = {window.right - window.left - client.right, window.bottom - window.top - client.bottom};
    Scale scale = FitScale(Point{client.right, client.bottom}, frame,
                           Rect{work.left, work.top, work.right, work.bottom});
    if (scale.numerator == scale.denominator)
        return;
    WizardScale = scale;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT box;
        GetWindowRect(child, &box);
        if (GetDlgCtrlID(child) == IDC_LANGUAGE_LIST)
            SendMessageA(child, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&box));
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT *>(&box), 2);
        Rect placed = ScaleRect(Rect{box.left, box.top, box.right, box.bottom}, scale);
        MoveWindow(child, placed.left, placed.top, placed.right - placed.left, placed.bottom - placed.top,
                   FALSE);
    }
    Rect inside = ScaleRect(Rect{0, 0, client.right, client.bottom}, scale);
    SetWindowPos(dialog, nullptr, 0, 0, inside.right + frame.x, inside.bottom + frame.y,
                 SWP_NOMOVE | SWP_NOZORDER);
}

INT_PTR OnWizardInit(HWND dialog) {
    ShrinkToWorkArea(dialog);
    PlaceInWorkArea(dialog);
    SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(WizardIcon));
    SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(WizardIcon));
    GetWindowsDirectoryA(WindowsDir, kPathBufferSize);
    size_t length = std::strlen(WindowsDir);
    if (length == 0 || (WindowsDir[length - 1] != '\\' && length + 1 < kPathBufferSize))
        std::strcat(WindowsDir, "\\");
    char folder[kPathBufferSize];
    FormatText(folder, sizeof folder, "%c:\\%s", WindowsDir[0], ProductFolderName);
    SetDlgItemTextA(dialog, IDC_FOLDER, folder);
    CheckDlgButton(dialog, IDC_DESKTOP_ICONS, BST_CHECKED);
    ShowWindow(GetDlgItem(dialog, IDC_BACK), SW_HIDE);
    EnableWindow(GetDlgItem(dialog, IDC_BACK), FALSE);
    SubclassCheckButton(dialog, IDC_DESKTOP_ICONS);
    SubclassCheckButton(dialog, IDC_AUTO_START);
    return 1;
}

void ShowBackButton(HWND dialog, int shown) {
    HWND back = GetDlgItem(dialog, IDC_BACK);
    ShowWindow(back, shown ? SW_SHOW : SW_HIDE);
    EnableWindow(back, shown);
}

int IsChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void HideAndRepaint(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    ShowWindow(control, SW_HIDE);
    UpdateWindow(control);
}

// When a page change hides the control that had the keyboard focus, some platforms hand the
// focus to the first tab stop (Back), where Enter would go back. It goes to Next instead, so that
// Enter keeps meaning Next.
void KeepFocusVisible(HWND dialog, HWND focusBefore) {
    if (!focusBefore || IsWindowVisible(focusBefore))
        return;
    HWND next = GetDlgItem(dialog, IDC_NEXT);
    if (IsWindowVisible(next))
        SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
}

// Back to the folder field after a folder that cannot be made, ready to be corrected.
void ReturnToFolderPage(HWND dialog) {
    WizardPage = kPageFolder;
    ShowWizardPage(dialog, kPageFolder);
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_FOLDER)), TRUE);
}

// The folder as typed, refused (back to the field) when it is not a full path Windows accepts or
// when a path the install makes would not fit; nothing is written before this passes.
int ReadInstallFolder(HWND dialog) {
    GetDlgItemTextA(dialog, IDC_FOLDER, InstallDir, kPathBufferSize);
    unsigned long typed = static_cast<unsigned long>(GetWindowTextLengthA(GetDlgItem(dialog, IDC_FOLDER)));
    char link[kPathBufferSize], chinese[kPathBufferSize + 96], english[128];
    switch (CheckFolderName(InstallDir, typed)) {
    case kFolderOk:
        if (!FindLinkInPath(InstallDir, link))
            return 1;
        // What is written below a link, a junction or a mount point lands elsewhere than the path
        // says: the elevated setup never writes there.
        FormatText(chinese, sizeof chinese, "目录 %s 是链接或连接点，安装程序不会经由它写入。请选别的目录。",
                   link);
        FormatText(english, sizeof english,
                   "%s is a link or junction; the setup never writes through it. Choose another.", link);
        ShowMessage(chinese, english, kMessageOk, dialog);
        break;
    case kFolderTooLong:
        ShowMessage("安装目录的路径太长。请选一个较短的目录。",
                    "The folder path is too long for the files to install. Please choose a shorter folder.",
                    kMessageOk, dialog);
        break;
    default:
        ShowMessage(
            "请输入完整的安装目录（如 C:\\Tesso），目录名中不能有 < > : \" / | ? * 等字符。",
            "Please type a full folder path such as C:\\Tesso, without < > : \" / | ? * in its names.",
            kMessageOk, dialog);
        break;
    }
    ReturnToFolderPage(dialog);
    return 0;
}

// Enough space on the disk and no file in use, before the first change. A file in use may be
// retried after the Tesso programs are quit; Cancel leaves the setup with nothing changed.
int TargetsReady(HWND dialog) {
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
            ShowMessage(chinese, english, kMessageOk, dialog);
            ReturnToFolderPage(dialog);
            return 0;
        case kTargetInUse:
            FormatText(chinese, sizeof chinese,
                       "文件 %s 正在使用中。请退出所有岚笔程序后按“确定”重试，或按“取消”退出安装。",
                       check.file);
            FormatText(english, sizeof english,
                       "%s is in use. Quit all Tesso programs and press OK to retry, or Cancel.", check.file);
            if (ShowMessage(chinese, english, kMessageOkCancel, dialog) != IDC_CONFIRM) {
                WizardPage = kPageLeave;
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
            ShowMessage(chinese, english, kMessageOk, dialog);
            ReturnToFolderPage(dialog);
            return 0;
        }
    }
}

// Held open from the checks to the end of the install, on the NT family, without delete sharing:
// while it is, nobody can rename or delete the folder and put a junction to another one in its
// place. The 95 family cannot open a folder (and has no junctions).
HANDLE HeldFolder = INVALID_HANDLE_VALUE;

void HoldInstallFolder() {
    if (IsNtPlatform && HeldFolder == INVALID_HANDLE_VALUE)
        HeldFolder = CreateFileA(InstallDir, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

void ReleaseInstallFolder() {
    if (HeldFolder != INVALID_HANDLE_VALUE)
        CloseHandle(HeldFolder);
    HeldFolder = INVALID_HANDLE_VALUE;
}

// An interrupted install is put back before anything is measured or changed. A file of it that is
// held open (the engine of the interrupted install, started since) may be retried once the Tesso
// programs are quit; Cancel leaves with the rest kept for the next run.
int InterruptedInstallRecovered(HWND dialog) {
    for (;;) {
        const char *notBack = RecoverInterruptedInstall();
        if (!notBack)
            return 1;
        char chinese[320], english[128];
        FormatText(chinese, sizeof chinese,
                   "上次中断的安装未能恢复：文件 %s "
                   "正在使用中。请退出所有岚笔程序后按“确定”重试，或按“取消”退出安装。",
                   notBack);
        FormatText(english, sizeof english,
                   "An interrupted install cannot restore %s: it is in use. Quit Tesso, OK to retry.",
                   notBack);
        if (ShowMessage(chinese, english, kMessageOkCancel, dialog) != IDC_CONFIRM) {
            WizardPage = kPageLeave;
            return 0;
        }
    }
}

int PrepareInstallFolder(HWND dialog) {
    HoldInstallFolder();
    if (ChangeDirectory(InstallDir))
        return 1;  // an existing folder is used as it is
    if (!MakeDirectory(InstallDir)) {
        ShowMessage("无法建目录。请检查所列目录是否合法（注意：子目录只能在已存在的目录下建）。",
                    "Cannot create folder! Please check folder path.", 0, dialog);
        ReturnToFolderPage(dialog);
        return 0;
    }
    HoldInstallFolder();
    char doc[kPathBufferSize];
    const char *separator = EndsWithSeparator(InstallDir) ? "" : "\\";
    int written = FormatText(doc, sizeof doc, "%s%sdoc", InstallDir, separator);
    if (written > 0 && written < kPathBufferSize)
        MakeDirectory(doc);
    return 1;
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

// The result never shows sooner than 5 seconds after the start, by the tick count: a change of
// the calendar clock neither stretches nor skips the wait, and the unsigned difference stays right
// when the count wraps. The wizard answers its messages meanwhile: MsgWaitForMultipleObjects
// (in every Windows from 95 and NT 3.1 on) returns as soon as a message arrives, where Sleep would
// leave it waiting. It is not woken by one that was already there when it began (only the Ex form
// of 98 and 2000 can be), so no single wait is longer than kResponsiveTicks.
void WaitUntilTicksPassed(DWORD start, DWORD ticks) {
    for (DWORD passed; (passed = GetTickCount() - start) < ticks;) {
        AnswerWizardMessages();
        DWORD left = ticks - passed;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, left < kResponsiveTicks ? left : kResponsiveTicks,
                                  QS_ALLINPUT);
    }
}

void ShowInstallResult(HWND dialog, int result) {
    if (result == kInstallSucceeded) {
        ShowMessage("祝贺您：安装顺利完成！", "Congratulations! Installation Success!", kMessageOk, dialog);
    } else if (result == kInstallIncomplete) {
        char chinese[320], english[128];
        FormatText(chinese, sizeof chinese, "安装未完成：文件 %s 未能写入。请检查一下系统后，再重新安装。",
                   FirstUnwrittenFile);
        FormatText(english, sizeof english,
                   "Installation incomplete: %s could not be written. Please check and retry.",
                   FirstUnwrittenFile);
        ShowMessage(chinese, english, kMessageOk, dialog);
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
        ShowMessage(chinese, english, kMessageOk, dialog);
    } else if (FirstUnwrittenFile) {
        char chinese[320], english[128];
        FormatText(chinese, sizeof chinese,
                   "安装失败：文件 %s 未能写入。原有文件均未改动。请检查一下系统后，再重新安装。",
                   FirstUnwrittenFile);
        FormatText(
            english, sizeof english,
            "Installation failed: %s could not be written; nothing was changed. Please check and retry.",
            FirstUnwrittenFile);
        ShowMessage(chinese, english, kMessageOk, dialog);
    } else {
        ShowMessage("安装失败！原有文件均未改动。请检查一下系统后，再重新安装。谢谢！",
                    "Installation failed; nothing was changed. Please check your system (quit all Tesso "
                    "applications) and try again.",
                    kMessageOk, dialog);
    }
}

void RunFinalNext(HWND dialog) {
    ShowWizardPage(dialog, WizardPage);
    WizardPage = kPageInstalling;
    int ready = ReadInstallFolder(dialog);
    if (ready)
        HoldInstallFolder();  // an existing folder, from its first check on
    ready = ready && FolderTrustAccepted(dialog) && InterruptedInstallRecovered(dialog) &&
            TargetsReady(dialog) && PrepareInstallFolder(dialog);
    if (!ready) {
        ReleaseInstallFolder();
        return;
    }
    WantDesktopIcons = IsChecked(dialog, IDC_DESKTOP_ICONS);
    WantAutoStart = IsChecked(dialog, IDC_AUTO_START);
    LRESULT selected = SendDlgItemMessageA(dialog, IDC_LANGUAGE_LIST, CB_GETCURSEL, 0, 0);
    ForceLanguage =
        static_cast<int>(SendDlgItemMessageA(dialog, IDC_LANGUAGE_LIST, CB_GETITEMDATA, selected, 0));
    static const int kHiddenForInstall[] = {IDC_NEXT, IDC_BACK, IDC_CANCEL, IDC_WAIT_LABEL};
    for (int id : kHiddenForInstall)
        HideAndRepaint(dialog, id);
    DWORD start = GetTickCount();
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    CentreCursorOnWizard();
    PreloadSystemDlls();  // the shell and COM load some by name while making the shortcuts
    int result = RunInstall();
    ReleaseInstallFolder();
    WaitUntilTicksPassed(start, kResultDelayTicks);
    ShowInstallResult(dialog, result);
    WizardPage = kPageLeave;
}

void ApplyPageChange(HWND dialog, const PageChange &change) {
    if (change.askForAnswer)
        ShowMessage("请您回答提问.", "Please select a choice.", kMessageOk, dialog);
    if (change.checkEnglish)
        SendDlgItemMessageA(dialog, IDC_ENGLISH_LICENCE, BM_SETCHECK, BST_CHECKED, 0);
    if (change.showPage >= 0)
        ShowWizardPage(dialog, change.showPage);
    if (change.clearAnswers) {
        // The standard button procedure paints its own box when the state changes; the owner's
        // look is drawn again over it at once, so the cleared state is what shows.
        static const int kAnswers[] = {IDC_ANSWER_OK, IDC_ANSWER_NO};
        for (int id : kAnswers) {
            CheckDlgButton(dialog, id, BST_UNCHECKED);
            InvalidateRect(GetDlgItem(dialog, id), nullptr, FALSE);
            UpdateWindow(GetDlgItem(dialog, id));
        }
    }
    if (change.finalNext)
        RunFinalNext(dialog);
}

void OnAnswerClicked(HWND dialog, int clicked, int other) {
    if (IsChecked(dialog, clicked))
        CheckDlgButton(dialog, other, BST_UNCHECKED);
    InvalidateRect(GetDlgItem(dialog, IDC_ANSWER_OK), nullptr, FALSE);
    InvalidateRect(GetDlgItem(dialog, IDC_ANSWER_NO), nullptr, FALSE);
}

void OnWizardCommand(HWND dialog, int id, int notification) {
    switch (id) {
    case IDC_NEXT:
        // Every page's controls exist, and nothing reads a payload or touches the disk before
        // every stream has passed its check.
        if (!CompleteWizard() || !FinishSetupCheck())
            break;
        ApplyPageChange(dialog,
                        OnWizardNext(IsChecked(dialog, IDC_ANSWER_OK), IsChecked(dialog, IDC_ANSWER_NO)));
        break;
    case IDC_BACK:
        ApplyPageChange(dialog, OnWizardBack());
        break;
    case IDC_CANCEL:
        OnWizardCancel();
        break;
    case IDC_BROWSE:
        if (WizardPage == kPageFolder)  // its page; never in the middle of the install
            ChooseInstallFolder(dialog);
        break;
    case IDC_DESKTOP_ICONS:
    case IDC_AUTO_START:
        InvalidateRect(GetDlgItem(dialog, id), nullptr, FALSE);
        break;
    case IDC_ANSWER_OK:
        OnAnswerClicked(dialog, IDC_ANSWER_OK, IDC_ANSWER_NO);
        break;
    case IDC_ANSWER_NO:
        OnAnswerClicked(dialog, IDC_ANSWER_NO, IDC_ANSWER_OK);
        break;
    case IDC_ENGLISH_LICENCE:
        // The box notifies focus changes too (a page change that hides it sends one): only a
        // click on the licence page switches the text shown.
        if (notification == BN_CLICKED && WizardPage == kPageLicence)
            ShowWizardPage(dialog, kPageLicence);
        break;
    }
}

// While the install runs the wizard answers its messages, and the system asks it for a cursor
// whenever the mouse moves over it: the wait cursor stays (the children's requests come here
// first from DefWindowProc). A dialog procedure's answer goes through DWLP_MSGRESULT.
INT_PTR OnWizardSetCursor(HWND dialog) {
    if (WizardPage != kPageInstalling)
        return 0;
    ShowWaitCursor();
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
    return 1;
}

INT_PTR OnWizardMeasureItem(MEASUREITEMSTRUCT *item) {
    if (item->CtlID != IDC_LICENCE_LIST && item->CtlID != IDC_LANGUAGE_LIST)
        return 0;
    item->itemHeight = 23;
    item->itemWidth = 1024;
    return 1;
}

INT_PTR OnWizardDrawItem(HWND dialog, const DRAWITEMSTRUCT *item) {
    if (item->CtlID == IDC_LICENCE_LIST) {
        LRESULT count = SendDlgItemMessageA(dialog, IDC_LICENCE_LIST, LB_GETCOUNT, 0, 0);
        DrawListItem(item, 0, reinterpret_cast<const char *>(item->itemData), count > 0 ? count : 0);
    } else if (item->CtlID == IDC_LANGUAGE_LIST) {
        LRESULT count = SendDlgItemMessageA(dialog, IDC_LANGUAGE_LIST, CB_GETCOUNT, 0, 0);
        DrawListItem(item, 1, LanguageName(static_cast<int>(item->itemData)), count > 0 ? count : 0);
    } else
        DrawOwnerControl(item);
    return 1;
}

void ShowWizardPage(HWND dialog, int page) {
    HWND focusBefore = GetFocus();
    // The two licence texts are left to the steps below, which show only the one chosen: shown here
    // with the rest of their page, both would be on screen for a moment.
    for (int row = 0; PageControlTable[row][0]; row++)
        for (int i = 0; PageControlTable[row][i]; i++) {
            int id = PageControlTable[row][i];
            if (id != IDC_LICENCE_LIST && id != IDC_LICENCE_EDIT)
                ShowWindow(GetDlgItem(dialog, id), row == page ? SW_SHOW : SW_HIDE);
        }
    if (page == kPageLicence && !LicenceLoaded && !LoadLicences(dialog))
        return;
    ShowWindow(GetDlgItem(dialog, IDC_LICENCE_LIST), SW_HIDE);
    ShowWindow(GetDlgItem(dialog, IDC_LICENCE_EDIT), SW_HIDE);
    if (page == kPageLicence) {
        int english = SendDlgItemMessageA(dialog, IDC_ENGLISH_LICENCE, BM_GETCHECK, 0, 0) == BST_CHECKED;
        ShowWindow(GetDlgItem(dialog, english ? IDC_LICENCE_EDIT : IDC_LICENCE_LIST), SW_SHOW);
    }
    if (WizardPage >= 0 && WizardPage <= 98)
        ShowBackButton(dialog, BackButtonShown(WizardPage));
    KeepFocusVisible(dialog, focusBefore);
    InvalidateRect(dialog, nullptr, TRUE);
    UpdateWindow(dialog);
}

INT_PTR CALLBACK WizardDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return OnWizardInit(dialog);
    case WM_MEASUREITEM:
        return OnWizardMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT *>(lParam));
    case WM_DRAWITEM:
        return OnWizardDrawItem(dialog, reinterpret_cast<const DRAWITEMSTRUCT *>(lParam));
    case WM_COMMAND:
        OnWizardCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_SETCURSOR:
        return OnWizardSetCursor(dialog);
    }
    return 0;
}

int HiddenControls;  // 0 not made yet, 1 made, -1 could not be made

}  // namespace

HWND CreateWizard() { return CreateWizardWithShownControls(WizardDialogProc); }

// A control that cannot be made ends the wizard, as a wizard that cannot be made ends the setup:
// without a message (there may be no resources left to show one) and with exit code 1.
int CompleteWizard() {
    if (HiddenControls == 0) {
        HiddenControls = CreateHiddenControls(WizardWindow, WizardScale) ? 1 : -1;
        if (HiddenControls < 0) {
            WizardPage = -1;
            return 0;
        }
        FillLanguageList(WizardWindow);
        SubclassCheckButton(WizardWindow, IDC_ANSWER_OK);
        SubclassCheckButton(WizardWindow, IDC_ANSWER_NO);
    }
    return HiddenControls > 0;
}

int WizardIncomplete() { return HiddenControls < 0; }
