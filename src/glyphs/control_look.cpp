#include "glyphs/control_look.h"

#include "base/resource_ids.h"
#include "base/setup_state.h"

namespace {

struct CaptionRow {
    int id;
    const char *caption;  // null: the window text
};

const CaptionRow kCaptions[] = {
    {IDC_CONFIRM, "确认 OK"},
    {IDC_CANCEL, "取消 Cancel"},
    {IDC_BACK, "退一步 Back"},
    {IDC_YES_BUTTON, "是 Yes"},
    {IDC_NO_BUTTON, "否 No"},
    {IDC_BROWSE, "改变 Browse ...."},
    {IDC_FOLDER_LABEL, "安装路径： (Install Path)"},
    {IDC_CHOOSER_DIRECTORIES_LABEL, "路径 (Directories):"},
    {IDC_TITLE_TESSO, "《岚笔》 Tesso"},
    {IDC_CHOOSER_DRIVES_LABEL, "磁盘 (Drives):"},
    {IDC_TITLE_ENGINE, "中文输入引擎 Input Engine"},
    {IDC_TITLE_INSTALLER, "安装程序"},
    {IDC_MESSAGE_TEXT, nullptr},
    {IDC_RESERVED_LABEL, nullptr},
    {IDC_QUESTION, "以上中文显示正确吗 (Is the Above Chinese Display OK)?"},
    {IDC_SAMPLE_LINE, "日出江花红胜火"},
    {IDC_WAIT_LABEL, ""},
    {IDC_LANGUAGE_LABEL, "User Interface Language 用户界面语言"},
};

const int kBothFlagsCleared[] = {IDC_FOLDER_LABEL, IDC_CHOOSER_DIRECTORIES_LABEL, IDC_CHOOSER_DRIVES_LABEL,
                                 IDC_RESERVED_LABEL, IDC_WAIT_LABEL};
const int kFrameCleared[] = {IDC_TITLE_TESSO, IDC_TITLE_ENGINE, IDC_TITLE_INSTALLER, IDC_MESSAGE_TEXT,
                             IDC_TITLE_BOTTOM};
const int kNeverFramed[] = {IDC_QUESTION, IDC_SAMPLE_LINE, IDC_LANGUAGE_LABEL};

template <int N> int Contains(const int (&ids)[N], int id) {
    for (int candidate : ids)
        if (candidate == id)
            return 1;
    return 0;
}

const CaptionRow kCheckBoxCaptions[] = {
    {IDC_DESKTOP_ICONS, "建立桌面图标？  (Place an icon on Desktop)"},
    {IDC_AUTO_START, "开机时自动启动？(Auto-start on boot)"},
    {IDC_ANSWER_OK, "正确(OK)"},
    {IDC_ANSWER_NO, "不正确(NO)"},
};

// The page from which Next starts the install, and so reads "Agree/Install" (the installing state
// is numbered above it too).
const int kFirstInstallPage = kPageLanguage;

// A button's type, in the low byte of its style, as winuser.h numbers the types (this file is portable
// and does not include it).
const unsigned long kStyleLowByte = 0xFF;
const unsigned long kStyleCheckBox = 2, kStyleAutoCheckBox = 3;        // BS_CHECKBOX, BS_AUTOCHECKBOX
const unsigned long kStyleRadioButton = 4, kStyleAutoRadioButton = 9;  // BS_RADIOBUTTON, BS_AUTORADIOBUTTON

}  // namespace

const char *OwnerControlCaption(int controlId, int wizardPage) {
    if (controlId == IDC_NEXT)
        return wizardPage < kFirstInstallPage ? "下一步 Next" : "同意/安装 Agree/Install";
    for (const CaptionRow &row : kCaptions)
        if (row.id == controlId)
            return row.caption;
    return nullptr;
}

int OwnerControlPaints(int controlId) { return controlId != IDC_TITLE_BOTTOM; }

LayoutFlags OwnerControlFlags(int controlId) {
    if (Contains(kBothFlagsCleared, controlId))
        return LayoutFlags{0, 0};
    if (Contains(kFrameCleared, controlId))
        return LayoutFlags{1, 0};
    return LayoutFlags{1, 1};
}

int OwnerControlDrawsFrame(int controlId) {
    return OwnerControlFlags(controlId).frame && !Contains(kNeverFramed, controlId);
}

int BevelSegments(const Rect &r, int isDefault, LineSegment *out) {
    int n = 0;
    auto line = [&](int pen, int x0, int y0, int x1, int y1) {
        out[n++] = LineSegment{pen, {x0, y0}, {x1, y1}};
    };
    const int L = r.left, T = r.top, R = r.right, B = r.bottom;
    for (int i = 1; i <= 2; i++) {
        line(kPenA, L + i, B - i - 1, L + i, T + i);
        line(kPenA, L + i, T + i, R - i - 1, T + i);
        line(kPenB, R - i - 1, T + i, R - i - 1, B - i - 1);
        line(kPenB, R - i - 1, B - i - 1, L + i, B - i - 1);
    }
    if (isDefault) {
        line(kPenBlack, L, B - 1, L, T);
        line(kPenBlack, L, T, R - 1, T);
        line(kPenBlack, R - 1, T, R - 1, B - 1);
        line(kPenBlack, R - 1, B - 1, L, B - 1);
        line(kPenBlack, L + 1, B - 2, R - 2, B - 2);
        line(kPenBlack, R - 2, B - 2, R - 2, T + 1);
    } else {
        line(kPenB, L + 1, B - 1, R - 1, B - 1);
        line(kPenB, R - 1, B - 1, R - 1, T);
    }
    return n;
}

Point CaptionPosition(const Rect &r, int textWidth, int centred, int pressed) {
    Point p = {centred ? r.left + (r.right - r.left - textWidth) / 2 : r.left,
               r.top + (r.bottom - r.top - 16) / 2};
    if (pressed) {
        p.x += 2;
        p.y += 1;
    }
    return p;
}

Rect FocusRectangle(const Rect &r) {
    int dx = (r.right - r.left) / 10, dy = (r.bottom - r.top) / 8;
    return Rect{r.left + dx, r.top + dy, r.right - dx, r.bottom - dy};
}

CheckBoxLayout CheckBoxGeometry(const Rect &client, unsigned long style) {
    CheckBoxLayout layout;
    Rect &R = layout.face;
    R = Rect{client.left - 2, client.top - 2, client.right + 2, client.bottom + 2};
    int h = R.bottom - R.top;
    Rect box = {R.left, R.top, R.left + h, R.bottom};
    unsigned long type = style & kStyleLowByte;
    if (type == kStyleCheckBox || type == kStyleAutoCheckBox) {
        box = Rect{box.left + h / 4, box.top + h / 4, box.right - h / 4, box.bottom - h / 4};
        box.top -= 1;
        box.left -= h / 8;
        box.right -= h / 7;
        box.bottom -= 3;
        layout.mark = kMarkCheck;
    } else {
        box = Rect{box.left + h / 12, box.top + h / 12, box.right - h / 12, box.bottom - h / 12};
        box.left -= 1;
        box.top += 1;
        box.bottom -= 2;
        box.right -= h / 5;
        layout.mark = (type == kStyleRadioButton || type == kStyleAutoRadioButton) ? kMarkRadio : kMarkCheck;
    }
    layout.box = box;
    layout.caption = Point{2 * box.right - box.left, R.top + 3};
    return layout;
}

Rect CheckBoxFocusRectangle(const Point &caption, int textWidth) {
    return Rect{caption.x - 1, caption.y - 1, caption.x + textWidth + 3, caption.y + 18};
}

const char *CheckBoxCaption(int controlId) {
    for (const CaptionRow &row : kCheckBoxCaptions)
        if (row.id == controlId)
            return row.caption;
    return nullptr;
}

int ListItemTextRect(const Rect &item, unsigned long index, unsigned long count, Rect *text) {
    if (index >= count)
        return 0;
    *text = Rect{item.left + 2, item.top + 2, item.right - 2, item.bottom - 2};
    return 1;
}
