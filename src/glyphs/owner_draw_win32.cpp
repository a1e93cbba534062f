#include "glyphs/owner_draw_win32.h"

#include <cstring>

#include "base/resource_ids.h"
#include "base/scoped_win32.h"
#include "base/setup_state_win32.h"
#include "glyphs/control_look.h"
#include "glyphs/mixed_text_win32.h"

namespace {

const int kSampleWideUnits = 600;
WCHAR SampleWideBuffer[kSampleWideUnits];

Rect ToRect(const RECT &r) { return Rect{r.left, r.top, r.right, r.bottom}; }
RECT ToRECT(const Rect &r) { return RECT{r.left, r.top, r.right, r.bottom}; }

void DrawBevel(HDC dc, const RECT &rc, int pressed, int isDefault) {
    COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), dark = GetSysColor(COLOR_BTNSHADOW);
    GdiObject<HPEN> penA(CreatePen(PS_SOLID, 1, pressed ? dark : light));
    GdiObject<HPEN> penB(CreatePen(PS_SOLID, 1, pressed ? light : dark));
    SelectedObject keep(dc, penA.get());  // after the pens: selected out before they are deleted
    LineSegment segments[kMaxBevelSegments];
    int count = BevelSegments(ToRect(rc), isDefault, segments);
    for (int i = 0; i < count; i++) {
        const LineSegment &s = segments[i];
        SelectObject(dc, s.pen == kPenA   ? (HGDIOBJ)penA.get()
                         : s.pen == kPenB ? (HGDIOBJ)penB.get()
                                          : GetStockObject(BLACK_PEN));
        MoveToEx(dc, s.from.x, s.from.y, nullptr);
        LineTo(dc, s.to.x, s.to.y);
    }
}

// A caption of several lines (a long message, broken to fit the screen): each line centred, the
// block centred in the control.
void DrawCaptionLines(const DRAWITEMSTRUCT *item, const char *caption, int centred) {
    int lines = 1;
    for (const char *p = caption; *p; p++)
        lines += *p == '\n';
    Rect area = ToRect(item->rcItem);
    int top = area.top + (area.bottom - area.top - 16 * lines) / 2;
    char line[kWindowTextCaptionLimit];
    for (int i = 0; *caption; i++) {
        int length = 0;
        while (caption[length] && caption[length] != '\n')
            length++;
        std::memcpy(line, caption, length);
        line[length] = 0;
        caption += caption[length] ? length + 1 : length;
        Point at = CaptionPosition(area, MeasureMixedText(item->hDC, line).cx, centred, 0);
        DrawMixedText(item->hDC, at.x, top + 16 * i, line);
    }
}

void DrawCaption(const DRAWITEMSTRUCT *item, int id, const char *caption, int centred, int pressed) {
    if (std::strchr(caption, '\n')) {
        DrawCaptionLines(item, caption, centred);
        return;
    }
    SIZE extent = MeasureMixedText(item->hDC, caption);
    Point at = CaptionPosition(ToRect(item->rcItem), extent.cx, centred, pressed);
    if (id != IDC_SAMPLE_LINE) {
        DrawMixedText(item->hDC, at.x, at.y, caption);
    } else if (SampleFont) {  // the sample line shows how the system itself draws Chinese
        SelectedObject font(item->hDC, SampleFont);
        DrawSampleLine(item->hDC, at.x, at.y, caption, static_cast<int>(std::strlen(caption)));
    }
}

}  // namespace

void DrawOwnerControlWithCaption(const DRAWITEMSTRUCT *item, const char *caption) {
    if (item->CtlType != ODT_BUTTON)
        return;
    int id = GetDlgCtrlID(item->hwndItem);
    if (!OwnerControlPaints(id))
        return;
    if (item->itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) {
        LayoutFlags flags = OwnerControlFlags(item->CtlID);
        int pressed = (item->itemState & ODS_SELECTED) != 0;
        FillRect(item->hDC, &item->rcItem, GetSysColorBrush(COLOR_BTNFACE));
        SetTextColor(item->hDC, GetSysColor(COLOR_BTNTEXT));  // the scheme's, whatever it is
        if (OwnerControlDrawsFrame(item->CtlID))
            DrawBevel(item->hDC, item->rcItem, pressed, (int)item->CtlID == DefaultCommandId);
        DrawCaption(item, id, caption, flags.centred, pressed);
    }
    // DrawFocusRect inverts, so drawing it again removes it. A request for the focus alone
    // without the focus flag is the button losing the focus: the mark drawn before is removed.
    int focusOnly = item->itemAction == ODA_FOCUS;
    if ((item->itemState & ODS_FOCUS) || focusOnly) {
        RECT focus = ToRECT(FocusRectangle(ToRect(item->rcItem)));
        DrawFocusRect(item->hDC, &focus);
    }
}

void DrawOwnerControl(const DRAWITEMSTRUCT *item) {
    char windowText[kWindowTextCaptionLimit];
    const char *caption = OwnerControlCaption(GetDlgCtrlID(item->hwndItem), WizardPage);
    if (!caption) {
        GetWindowTextA(item->hwndItem, windowText, kWindowTextCaptionLimit);
        caption = windowText;
    }
    DrawOwnerControlWithCaption(item, caption);
}

void DrawListItem(const DRAWITEMSTRUCT *item, int isComboBox, const char *text, unsigned long count) {
    HDC dc = item->hDC;
    RECT rc = item->rcItem;
    SavedDcState saved(dc);
    int selected = (item->itemState & ODS_SELECTED) != 0;
    if (isComboBox) {
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        COLORREF background = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
        SetBkColor(dc, background);
        GdiObject<HBRUSH> brush(CreateSolidBrush(background));
        FillRect(dc, &rc, brush.get());
    } else {
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        FillRect(dc, &rc, GetSysColorBrush(COLOR_WINDOW));
    }
    Rect area;
    if (text && ListItemTextRect(ToRect(rc), item->itemID, count, &area))
        DrawMixedText(dc, area.left, area.top, text);
}

static void PaintCheckButton(HWND button, HDC surface) {
    int checked = SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
    RECT client;
    GetClientRect(button, &client);
    CheckBoxLayout layout = CheckBoxGeometry(ToRect(client), GetWindowLongA(button, GWL_STYLE) & 0xFF);
    RECT face = ToRECT(layout.face), box = ToRECT(layout.box);
    FillRect(surface, &face, GetSysColorBrush(COLOR_BTNFACE));
    UINT state = layout.mark == kMarkRadio ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK;
    if (checked)
        state |= DFCS_CHECKED;
    if (!IsWindowEnabled(button))
        state |= DFCS_INACTIVE;
    DrawFrameControl(surface, &box, DFC_BUTTON, state);
    SetTextColor(surface, GetSysColor(COLOR_BTNTEXT));
    char windowText[128];
    const char *caption = CheckBoxCaption(GetDlgCtrlID(button));
    if (!caption) {
        GetWindowTextA(button, windowText, kCheckBoxCaptionLimit);
        caption = windowText;
    }
    SIZE extent = MeasureMixedText(surface, caption);
    DrawMixedText(surface, layout.caption.x, layout.caption.y, caption);
    if (GetFocus() == button) {
        RECT focus = ToRECT(CheckBoxFocusRectangle(layout.caption, extent.cx));
        DrawFocusRect(surface, &focus);
    }
}

static LRESULT CALLBACK CheckButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PaintCycle paint(window);
        PaintCheckButton(window, paint.get());
        return 0;
    }
    if (message == WM_LBUTTONDOWN)
        InvalidateRect(window, nullptr, TRUE);
    return CallWindowProcA(SavedButtonProc, window, message, wParam, lParam);
}

// One SavedButtonProc serves all four check boxes: each is a window of the system's "Button" class,
// and what SetWindowLongPtrA replaces is that class's procedure, the same for every button of the
// process (on NT it may be a handle standing for the procedure; CallWindowProcA takes either). Each
// box is subclassed once, so the saved value is never CheckButtonProc itself.
void SubclassCheckButton(HWND dialog, int controlId) {
    HWND button = GetDlgItem(dialog, controlId);
    SavedButtonProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CheckButtonProc)));
}

// The line shows whether the system itself can draw Chinese, so it goes through the system's own way
// of turning GBK bytes into characters. NT's GDI converts the bytes of TextOutA with the code page of
// the selected font's character set, 936 for the GB2312 sample font, whatever the system code page.
// The 95 family's TextOutA hands the bytes to the font as they are, which draws GBK only on a Chinese
// system; so on that family the bytes are converted with the system's table for 936
// (MultiByteToWideChar fails where that table is not installed, and nothing is drawn) and drawn with
// TextOutW, one of the few wide calls that 95 has.
void DrawSampleLine(HDC surface, int x, int y, const char *text, int byteCount) {
    if (IsNtPlatform) {
        TextOutA(surface, x, y, text, byteCount);
        return;
    }
    int units = MultiByteToWideChar(936, 0, text, byteCount, SampleWideBuffer, kSampleWideUnits);
    TextOutW(surface, x, y, SampleWideBuffer, units);
}

void CreateSampleFont() {
    LOGFONTA font;
    GetObjectA(GetStockObject(SYSTEM_FONT), sizeof font, &font);
    lstrcpyA(font.lfFaceName, "Courier New");
    font.lfHeight = 16;
    font.lfWidth = 8;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = GB2312_CHARSET;
    font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    SampleFont = CreateFontIndirectA(&font);  // null: the sample line stays empty
}
