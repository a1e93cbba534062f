#include "wizard/message_layout.h"

#include <cstring>

#include "base/resource_ids.h"
#include "glyphs/mixed_text.h"
#include "install/wizard_window.h"

Rect KeepInWorkArea(const Rect &window, const Rect &work) {
    int width = window.right - window.left, height = window.bottom - window.top;
    int left = window.left + width > work.right ? work.right - width : window.left;
    left = left < work.left ? work.left : left;
    int top = window.top + height > work.bottom ? work.bottom - height : window.top;
    top = top < work.top ? work.top : top;
    return Rect{left, top, left + width, top + height};
}

Scale FitScale(Point client, Point frame, const Rect &work) {
    Scale scale = {1, 1};
    int roomX = work.right - work.left - frame.x, roomY = work.bottom - work.top - frame.y;
    if (roomX < client.x && roomX > 0)
        scale = Scale{roomX, client.x};
    // The smaller fraction of the two: roomY / client.y < scale, compared without division.
    if (roomY < client.y && roomY > 0 && roomY * scale.denominator < scale.numerator * client.y)
        scale = Scale{roomY, client.y};
    return scale;
}

static int Scaled(int value, Scale scale) { return value * scale.numerator / scale.denominator; }

Rect ScaleRect(const Rect &rect, Scale scale) {
    return Rect{Scaled(rect.left, scale), Scaled(rect.top, scale), Scaled(rect.right, scale),
                Scaled(rect.bottom, scale)};
}

MessageLayout ComputeMessageLayout(const MessageLayoutInput &in, int captionHeight) {
    const int ch = 16;
    const int bw = in.buttonWidth, bh = in.buttonHeight;
    MessageLayout out = {};
    int minimumWidth = in.kind == 0 ? 2 * bw : 3 * bw;
    int W = (in.chineseWidth > in.englishWidth ? in.chineseWidth : in.englishWidth) + 2 * in.frameWidth;
    if (in.chineseBytes < 81)  // short texts get some air on both sides
        W += 2 * bh;
    int extraLines = in.chineseLines > 1 ? in.chineseLines - 1 : 0;
    int H = 3 * (ch + bh) + 2 * in.englishHeight + extraLines * ch;
    out.contentWidth = W;
    out.contentHeight = H;
    // The screen position centres the content size, not a widened window; then the whole window
    // is kept inside the work area, its caption first.
    int width = W > minimumWidth ? W : minimumWidth, height = H + captionHeight;
    int left = (in.screenWidth - W) / 2, top = (in.screenHeight - H) / 2;
    Rect work = in.workArea;
    if (work.right <= work.left || work.bottom <= work.top)
        work = Rect{0, 0, in.screenWidth, in.screenHeight};
    out.window = KeepInWorkArea(Rect{left, top, left + width, top + height}, work);
    // The buttons are centred on the box, widened or not.
    if (in.kind == 0) {
        out.firstButton = IDC_CONFIRM;
        out.firstPosition = Point{(width - bw) / 2, H - 2 * bh};
    } else {
        out.firstButton = in.kind == kMessageYesNo ? IDC_YES_BUTTON : IDC_CONFIRM;
        out.secondButton = in.kind == kMessageYesNo ? IDC_NO_BUTTON : IDC_CANCEL;
        int x0 = (width - (7 * bw) / 3) / 2, y0 = H - (3 * bh) / 2;
        out.firstPosition = Point{x0, y0};
        out.secondPosition = Point{x0 + (4 * bw) / 3, y0};
    }
    out.textY = (2 * ch) / 3;
    out.textHeight = (3 + extraLines) * ch;
    out.englishY = 3 * ch + (2 * ch) / 3 + 5 + extraLines * ch;
    out.englishHeight = 2 * in.englishHeight;
    return out;
}

void CopyEnglishText(char *out, int size, const char *english) {
    int length = 0;
    while (english && english[length]) {
        const char *p = english + length;
        int step = GbkCharacterBytes(p);
        if (length + step > size - 1 || (step == 1 && IsGbkLeadByte(static_cast<unsigned char>(*p))))
            break;  // no room, or a lead byte without its trail
        length += step;
    }
    if (length)
        std::memcpy(out, english, length);
    out[length] = 0;
}
