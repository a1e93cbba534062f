#include "glyphs/control_look.h"

namespace {

struct CaptionRow {
    int id;
    const char *caption;  // null: the window text
};

const CaptionRow kCaptions[] = {
    {1, "确认 OK"},
    {2, "取消 Cancel"},
    {3, "退一步 Back"},
    {6, "是 Yes"},
    {7, "否 No"},
    {1003, "改变 Browse ...."},
    {1006, "安装路径： (Install Path)"},
    {1008, "路径 (Directories):"},
    {1009, "《岚笔》 Tesso"},
    {1010, "磁盘 (Drives):"},
    {1011, "中文输入引擎 Input Engine"},
    {1012, "安装程序"},
    {1013, nullptr},
    {1016, nullptr},
    {1017, "以上中文显示正确吗 (Is the Above Chinese Display OK)?"},
    {1018, "日出江花红胜火"},
    {1021, ""},
    {1030, "User Interface Language 用户界面语言"},
};

const int kBothFlagsCleared[] = {1006, 1008, 1010, 1016, 1021};
const int kFrameCleared[] = {1009, 1011, 1012, 1013, 1020};
const int kNeverFramed[] = {1017, 1018, 1030};

template <int N> int Contains(const int (&ids)[N], int id) {
    for (int candidate : ids)
        if (candidate == id)
            return 1;
    return 0;
}

const CaptionRow kCheckBoxCaptions[] = {
    {1004, "建立桌面图标？  (Place an icon on Desktop)"},
    {1005, "开机时自动启动？(Auto-start on boot)"},
    {1007, "正确(OK)"},
    {1008, "不正确(NO)"},
};

}  // namespace

const char *OwnerControlCaption(int controlId, int wizardPage) {
    if (controlId == 1001)
        return wizardPage < 3 ? "下一步 Next" : "同意/安装 Agree/Install";
    for (const CaptionRow &row : kCaptions)
        if (row.id == controlId)
            return row.caption;
    return nullptr;
}

int OwnerControlPaints(int controlId) { return controlId != 1020; }

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
    unsigned long type = style & 0xFF;
    if (type == 2 || type == 3) {  // BS_CHECKBOX, BS_AUTOCHECKBOX
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
        layout.mark = (type == 4 || type == 9) ? kMarkRadio : kMarkCheck;  // BS_(AUTO)RADIOBUTTON
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
