#include "wizard/wizard_win32.h"

#include <cstring>

#include "base/format_text.h"
#include "base/malloc_buffer.h"
#include "base/resource_ids.h"
#include "base/setup_state_win32.h"
#include "base/system_functions_win32.h"
#include "glyphs/owner_draw_win32.h"
#include "install/install_entry_win32.h"
#include "install/wizard_window.h"
#include "payload/payload_store.h"
#include "wizard/folder_chooser_win32.h"
#include "wizard/message_box_win32.h"
#include "wizard/message_layout.h"
#include "wizard/setup_check_win32.h"
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

// Back to the folder field after the install refused the folder, ready to be corrected.
void ReturnToFolderPage(HWND dialog) {
    WizardPage = kPageFolder;
    ShowWizardPage(dialog, kPageFolder);
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_FOLDER)), TRUE);
}

// WideCharToMultiByte's flag that keeps it from putting a look-alike in the place of a character
// the code page lacks (T for a full-width Ｔ, e for é): Windows 2000 and later. NT 4.0 refuses a flag
// it does not know (ERROR_INVALID_FLAGS), and every system refuses it, and the used-default answer,
// when the code page is UTF-8 (Windows 10's "Unicode UTF-8 for worldwide language support"): there
// the conversion is made plainly. Either way each character is converted back, and only one that
// comes back as it was counts as converted: that round trip alone would tell on every system.
const DWORD kNoBestFitChars = 0x00000400;  // WC_NO_BEST_FIT_CHARS, hidden by the NT 4.0 headers

// Converts the field's text to the code page the setup and the product use for every path, one
// character (or surrogate pair) at a time. Returns the length of the whole conversion: when it
// does not fit in out (size bytes), out is left empty, and the caller sees a text cut short. The
// first character that does not convert exactly goes to *unconvertible (its Unicode value), and
// the conversion stops there.
unsigned long ToCodePageExactly(const WCHAR *wide, int count, char *out, unsigned long size,
                                unsigned long *unconvertible) {
    unsigned long total = 0;
    int flagsTaken = 1;
    for (int i = 0; i < count;) {
        int pair = wide[i] >= 0xD800 && wide[i] < 0xDC00 && i + 1 < count && wide[i + 1] >= 0xDC00 &&
                   wide[i + 1] < 0xE000;
        int units = pair ? 2 : 1;
        char bytes[8];
        BOOL usedDefault = FALSE;
        int made = 0;
        if (flagsTaken)
            made = WideCharToMultiByte(CP_ACP, kNoBestFitChars, wide + i, units, bytes, sizeof bytes, nullptr,
                                       &usedDefault);
        if (!made) {
            flagsTaken = 0;
            usedDefault = FALSE;
            made = WideCharToMultiByte(CP_ACP, 0, wide + i, units, bytes, sizeof bytes, nullptr, nullptr);
        }
        WCHAR back[4];
        int returned = made ? MultiByteToWideChar(CP_ACP, 0, bytes, made, back, 4) : 0;
        if (usedDefault || returned != units || back[0] != wide[i] || (pair && back[1] != wide[i + 1])) {
            *unconvertible =
                pair ? 0x10000 + ((wide[i] - 0xD800ul) << 10) + (wide[i + 1] - 0xDC00ul) : wide[i];
            out[0] = 0;
            return total;
        }
        if (total + made < size)
            std::memcpy(out + total, bytes, made);
        total += made;
        i += units;
    }
    out[total < size ? total : 0] = 0;
    return total;
}

// The folder field as the install takes it. On the NT family the edit control may hold characters
// that the code page lacks (under Wine it always keeps Unicode, and typed or pasted full-width
// letters and Chinese names reach it as they are); read in ANSI, Windows would put a look-alike or
// '?' in their place without a word, and C:\Ｔｅｓｓｏ would become C:\Tesso. So it is read in
// Unicode (GetWindowTextW, every NT) and converted exactly. On Windows itself user32's edit control
// keeps the text of a control made through an ANSI call in the code page already (documented with
// EM_GETHANDLE; comctl32 6, which keeps Unicode, is not used here): there the substitution happens
// as the user types or pastes and shows in the field, and the check finds nothing. The 95 family's
// GetWindowTextW does not work, and its edit control keeps ANSI: it is read in ANSI.
void ReadFolderField(HWND dialog, WizardAnswers *answers) {
    HWND field = GetDlgItem(dialog, IDC_FOLDER);
    answers->unconvertible = 0;
    auto wideLength = FindSystemFunction<SystemFunction::GetWindowTextLengthW>();
    auto wideText = FindSystemFunction<SystemFunction::GetWindowTextW>();
    if (!IsNtPlatform || !wideLength || !wideText) {
        GetDlgItemTextA(dialog, IDC_FOLDER, answers->folder, sizeof answers->folder);
        answers->typedLength = static_cast<unsigned long>(GetWindowTextLengthA(field));
        return;
    }
    WCHAR wide[kPathBufferSize];
    int length = wideLength(field);
    if (length >= kPathBufferSize) {  // longer than any path that fits, whatever the code page
        answers->folder[0] = 0;
        answers->typedLength = static_cast<unsigned long>(length);
        return;
    }
    length = wideText(field, wide, kPathBufferSize);
    answers->typedLength =
        ToCodePageExactly(wide, length, answers->folder, sizeof answers->folder, &answers->unconvertible);
}

// The answers go to the install as they stand; the install decides what the wizard does next.
void RunFinalNext(HWND dialog) {
    ShowWizardPage(dialog, WizardPage);
    WizardPage = kPageInstalling;
    WizardAnswers answers;
    ReadFolderField(dialog, &answers);
    answers.desktopIcons = IsChecked(dialog, IDC_DESKTOP_ICONS);
    answers.autoStart = IsChecked(dialog, IDC_AUTO_START);
    LRESULT selected = SendDlgItemMessageA(dialog, IDC_LANGUAGE_LIST, CB_GETCURSEL, 0, 0);
    answers.language =
        static_cast<int>(SendDlgItemMessageA(dialog, IDC_LANGUAGE_LIST, CB_GETITEMDATA, selected, 0));
    if (RunInstallFromWizard(answers) == kRunBackToFolder)
        ReturnToFolderPage(dialog);
    else
        WizardPage = kPageLeave;
}

void ApplyPageChange(HWND dialog, const PageChange &change) {
    if (change.askForAnswer)
        ShowMessage("请您回答提问.", "Please select a choice.", kMessageOk, dialog);
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

// Log-off and shut-down ask every top-level window first with WM_QUERYENDSESSION (sent, so the
// wizard answers it between pieces of the install, see KeepWizardResponsive). A dialog that leaves
// it to DefDlgProc agrees (TRUE). Where it agrees: 95 and 98 end the program once every program has
// agreed; NT 4.0, 2000 and XP end it at once, whatever programs asked later answer, possibly
// between two renames of the commit; Vista and later end it too. While the install runs the wizard
// answers FALSE: 95 and 98 then stop the shut-down; NT 4.0 to XP stop the log-off (XP offers "End
// Now" only for a window that does not answer within 5 s); Vista and later list the wizard with its
// reason (RefuseSessionEnd) and let the user cancel or end it anyway. A dialog procedure's answer
// goes through DWLP_MSGRESULT.
INT_PTR OnWizardQueryEndSession(HWND dialog) {
    if (!SessionEndRefused())
        return 0;
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, FALSE);
    return 1;
}

// WM_ENDSESSION with TRUE: the session ends, whatever the wizard answered (the user's "shut down
// anyway" or "End Now", a forced log-off, an update's restart); once every program has returned
// from it, the system may end the setup at any moment. 95 and 98 shut down once every program has
// answered; NT 4.0 to XP end the program after its answer (or after 20 s without one, offering "End
// Now"); Vista and later end it too, and after 5 s without an answer show that it holds up the
// session. During the install it arrives while the wizard answers between two pieces of the
// work, possibly between two renames of the commit: the folder is brought to a whole state before
// the answer, and from then on the install changes nothing more and the setup ends. Sent once per
// session end; a second one is ignored. Before the install nothing needs doing.
INT_PTR OnWizardEndSession(WPARAM ending) {
    static int ended;
    if (ending && WizardPage == kPageInstalling && !ended) {
        ended = 1;
        EndInstallForSessionEnd();
        NoteSessionEnded();
    }
    return 0;
}

// A glyph line is 16 pixels, drawn 2 below the item's top with 5 to spare (see DrawListItem). The
// width is documented for owner-drawn menu items only, from 95 and NT 4.0 on: the two lists take
// their items' width from their own window.
const UINT kListItemHeight = 23, kListItemWidth = 1024;

INT_PTR OnWizardMeasureItem(MEASUREITEMSTRUCT *item) {
    if (item->CtlID != IDC_LICENCE_LIST && item->CtlID != IDC_LANGUAGE_LIST)
        return 0;
    item->itemHeight = kListItemHeight;
    item->itemWidth = kListItemWidth;
    return 1;
}

enum { kListBox = 0, kComboBox = 1 };  // DrawListItem's isComboBox

INT_PTR OnWizardDrawItem(HWND dialog, const DRAWITEMSTRUCT *item) {
    if (item->CtlID == IDC_LICENCE_LIST) {
        LRESULT count = SendDlgItemMessageA(dialog, IDC_LICENCE_LIST, LB_GETCOUNT, 0, 0);
        DrawListItem(item, kListBox, reinterpret_cast<const char *>(item->itemData), count > 0 ? count : 0);
    } else if (item->CtlID == IDC_LANGUAGE_LIST) {
        LRESULT count = SendDlgItemMessageA(dialog, IDC_LANGUAGE_LIST, CB_GETCOUNT, 0, 0);
        DrawListItem(item, kComboBox, LanguageName(static_cast<int>(item->itemData)), count > 0 ? count : 0);
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
    if (WizardPage >= kPageFolder && WizardPage < kPageInstalling)  // not while installing or leaving
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
    case WM_QUERYENDSESSION:
        return OnWizardQueryEndSession(dialog);
    case WM_ENDSESSION:
        return OnWizardEndSession(wParam);
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
            WizardPage = kPageLeave;
            return 0;
        }
        FillLanguageList(WizardWindow);
        SubclassCheckButton(WizardWindow, IDC_ANSWER_OK);
        SubclassCheckButton(WizardWindow, IDC_ANSWER_NO);
    }
    return HiddenControls > 0;
}

int WizardIncomplete() { return HiddenControls < 0; }
