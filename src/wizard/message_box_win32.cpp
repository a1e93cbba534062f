#include "wizard/message_box_win32.h"

#include <cstring>

#include "base/resource_ids.h"
#include "base/scoped_win32.h"
#include "base/setup_state_win32.h"
#include "glyphs/control_look.h"
#include "glyphs/mixed_text_win32.h"
#include "glyphs/owner_draw_win32.h"
#include "install/wizard_window.h"
#include "wizard/message_layout.h"

namespace {

const int kEnglishTextSize = 128;
int MessageKind;
char MessageEnglishText[kEnglishTextSize];
char MessageChineseLines[kWindowTextCaptionLimit];  // the Chinese text, broken into lines to fit
const char *MessageChineseShown;                    // what the box draws: the text or its lines

// Breaks text into lines of at most `limit` pixels, between characters only (never inside a
// two-byte one), with '\n' between them. Returns the number of lines and the widest line's width.
int BreakIntoLines(HDC dc, const char *text, int limit, int *widest) {
    int lines = 1, length = 0, lineStart = 0;
    *widest = 0;
    MessageChineseLines[0] = 0;
    for (const char *p = text; *p;) {
        int step = GbkCharacterBytes(p);
        if (length + step + 2 > kWindowTextCaptionLimit)
            break;
        std::memcpy(MessageChineseLines + length, p, step);
        MessageChineseLines[length + step] = 0;
        int width = MeasureMixedText(dc, MessageChineseLines + lineStart).cx;
        if (width > limit && length > lineStart) {
            MessageChineseLines[length] = '\n';
            lineStart = ++length;
            lines++;
            continue;  // the same character again, at the start of the new line
        }
        *widest = width > *widest ? width : *widest;
        length += step;
        p += step;
    }
    return lines;
}

RECT WorkArea() {
    RECT work;
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
        SetRect(&work, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    return work;
}

// The texts' extents, measured on a surface of the dialog, given back at once.
void MeasureTexts(HWND dialog, const char *chinese, MessageLayoutInput *in) {
    WindowDC dc(dialog);
    SIZE chineseSize = MeasureMixedText(dc.get(), chinese);
    in->chineseWidth = chineseSize.cx;
    in->chineseBytes = static_cast<int>(std::strlen(chinese));
    RECT work = WorkArea();
    in->workArea = Rect{work.left, work.top, work.right, work.bottom};
    in->chineseLines = 1;
    // A text wider than the work area is broken into lines that fit, with a margin of a glyph.
    int room = (work.right - work.left) - 2 * GetSystemMetrics(SM_CXDLGFRAME) - 2 * 16;
    if (in->chineseWidth > room)
        in->chineseLines = BreakIntoLines(dc.get(), chinese, room, &in->chineseWidth);
    SIZE english = {0, 0};
    if (MessageEnglishText[0] &&
        !GetTextExtentPointA(dc.get(), MessageEnglishText, static_cast<int>(std::strlen(MessageEnglishText)),
                             &english))
        english = SIZE{0, 0};
    in->englishWidth = english.cx;
    in->englishHeight = english.cy;
}

MessageLayoutInput MeasureMessage(HWND dialog, const char *chinese) {
    MessageLayoutInput in = {};
    in.kind = MessageKind;
    MeasureTexts(dialog, chinese, &in);
    RECT button;
    SetRect(&button, 0, 0, 82, 12);
    HWND first = GetDlgItem(dialog, MessageKind == kMessageYesNo ? IDC_YES_BUTTON : IDC_CONFIRM);
    if (first)
        GetClientRect(first, &button);
    in.buttonWidth = button.right - button.left;
    in.buttonHeight = button.bottom - button.top;
    in.frameWidth = GetSystemMetrics(SM_CXDLGFRAME);
    in.screenWidth = GetSystemMetrics(SM_CXSCREEN);
    in.screenHeight = GetSystemMetrics(SM_CYSCREEN);
    return in;
}

void PlaceButton(HWND dialog, int id, Point at, const MessageLayoutInput &in) {
    HWND button = GetDlgItem(dialog, id);
    ShowWindow(button, SW_SHOW);
    MoveWindow(button, at.x, at.y, in.buttonWidth, in.buttonHeight, TRUE);
}

INT_PTR OnMessageInit(HWND dialog, const char *chinese) {
    MessageLayoutInput in = MeasureMessage(dialog, chinese);
    MessageLayout layout = ComputeMessageLayout(in, GetSystemMetrics(SM_CYCAPTION));
    const Rect &w = layout.window;
    SetWindowPos(dialog, nullptr, w.left, w.top, w.right - w.left, w.bottom - w.top, SWP_NOZORDER);
    RECT client;
    GetClientRect(dialog, &client);
    PlaceButton(dialog, layout.firstButton, layout.firstPosition, in);
    if (layout.secondButton)
        PlaceButton(dialog, layout.secondButton, layout.secondPosition, in);
    HWND text = GetDlgItem(dialog, IDC_MESSAGE_TEXT);
    MessageChineseShown = in.chineseLines > 1 ? MessageChineseLines : chinese;
    SetWindowTextA(text, MessageChineseShown);
    MoveWindow(text, client.left, layout.textY, client.right, layout.textHeight, TRUE);
    HWND english = GetDlgItem(dialog, IDC_MESSAGE_ENGLISH);
    if (MessageEnglishText[0]) {
        SetWindowTextA(english, MessageEnglishText);
        MoveWindow(english, client.left, layout.englishY, client.right, layout.englishHeight, TRUE);
    } else {
        ShowWindow(english, SW_HIDE);
    }
    return 1;
}

}  // namespace

static INT_PTR CALLBACK MessageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return OnMessageInit(dialog, reinterpret_cast<const char *>(lParam));
    case WM_DRAWITEM: {
        // The Chinese text is drawn from the program's own bytes, never read back from the window.
        const DRAWITEMSTRUCT *item = reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        if (item->CtlID == IDC_MESSAGE_TEXT && MessageChineseShown)
            DrawOwnerControlWithCaption(item, MessageChineseShown);
        else
            DrawOwnerControl(item);
        return 1;
    }
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        // Enter comes as the default id 1 whatever has the focus; in the Yes/No box, which has no
        // button 1, it presses the button that has the focus.
        if (id == IDC_CONFIRM && MessageKind == kMessageYesNo) {
            int focused = GetDlgCtrlID(GetFocus());
            if (focused != IDC_YES_BUTTON && focused != IDC_NO_BUTTON)
                return 0;
            id = focused;
        }
        if (id == IDC_CONFIRM || id == IDC_CANCEL || id == IDC_YES_BUTTON || id == IDC_NO_BUTTON)
            EndDialog(dialog, id);
        return 0;
    }
    }
    return 0;
}

int ShowMessage(const char *chinese, const char *english, int kind, HWND owner) {
    MessageKind = kind;
    CopyEnglishText(MessageEnglishText, kEnglishTextSize, english);
    return static_cast<int>(DialogBoxParamA(ProgramInstance, MAKEINTRESOURCEA(IDD_MESSAGE), owner,
                                            MessageDialogProc, reinterpret_cast<LPARAM>(chinese)));
}
