// DrawOwnerControl and DrawListItem on a memory surface, through the real GDI: what each kind of
// request paints and what it leaves alone.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/resource_ids.h"
#include "base/setup_state_win32.h"
#include "glyphs/owner_draw_win32.h"

namespace {

const int kWidth = 160, kHeight = 26;
const uint32_t kUntouched = 0x123456;

uint32_t Rgb(COLORREF c) { return GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c); }

// A 32-bit surface filled with a colour no control uses, and a button window to name the control.
class Surface : public ::testing::Test {
  protected:
    void SetUp() override {
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof info.bmiHeader, kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ =
            CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void **>(&pixels_), nullptr, 0);
        previous_ = SelectObject(dc_, bitmap_);
        Clear();
    }
    void TearDown() override {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
        if (button_)
            DestroyWindow(button_);
    }
    void Clear() {
        GdiFlush();
        for (int i = 0; i < kWidth * kHeight; i++)
            pixels_[i] = kUntouched;
    }
    uint32_t At(int x, int y) {
        GdiFlush();
        return pixels_[y * kWidth + x] & 0xFFFFFF;
    }
    int Changed() {
        GdiFlush();
        int count = 0;
        for (int i = 0; i < kWidth * kHeight; i++)
            count += (pixels_[i] & 0xFFFFFF) != kUntouched;
        return count;
    }
    void Draw(int id, UINT action, UINT state) {
        if (button_)
            DestroyWindow(button_);
        button_ = CreateWindowA("BUTTON", "window text", WS_POPUP | BS_OWNERDRAW, 0, 0, kWidth, kHeight,
                                nullptr, nullptr, nullptr, nullptr);
        SetWindowLongPtrA(button_, GWLP_ID, id);
        DRAWITEMSTRUCT item = Request(ODT_BUTTON, id, button_, kHeight);
        item.itemAction = action;
        item.itemState = state;
        DrawOwnerControl(&item);
    }
    // A whole-item drawing request onto this surface.
    DRAWITEMSTRUCT Request(UINT type, int id, HWND control, int height) {
        DRAWITEMSTRUCT item = {};
        item.CtlType = type;
        item.CtlID = id;
        item.itemAction = ODA_DRAWENTIRE;
        item.hwndItem = control;
        item.hDC = dc_;
        item.rcItem = RECT{0, 0, kWidth, height};
        return item;
    }
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    uint32_t *pixels_ = nullptr;
    HWND button_ = nullptr;
};

TEST_F(Surface, NeverPaintedAndFaceOnlyControls) {
    Draw(IDC_TITLE_BOTTOM, ODA_DRAWENTIRE, ODS_FOCUS);
    EXPECT_EQ(Changed(), 0);
    Draw(IDC_WAIT_LABEL, ODA_DRAWENTIRE, 0);
    uint32_t face = Rgb(GetSysColor(COLOR_BTNFACE));
    for (int y = 0; y < kHeight; y++)
        for (int x = 0; x < kWidth; x++)
            ASSERT_EQ(At(x, y), face) << x << "," << y;
}

TEST_F(Surface, FocusOnlyRequestDrawsOnlyTheFocusRectangleAndTakesItAway) {
    Draw(IDC_NEXT, ODA_FOCUS, ODS_FOCUS);
    int changed = Changed();
    EXPECT_GT(changed, 0);
    // Everything changed lies on the outline of the rectangle inset by a tenth and an eighth.
    RECT focus = {kWidth / 10, kHeight / 8, kWidth - kWidth / 10, kHeight - kHeight / 8};
    for (int y = 0; y < kHeight; y++)
        for (int x = 0; x < kWidth; x++) {
            bool onOutline =
                (x == focus.left || x == focus.right - 1 || y == focus.top || y == focus.bottom - 1) &&
                x >= focus.left && x < focus.right && y >= focus.top && y < focus.bottom;
            if (!onOutline)
                ASSERT_EQ(At(x, y), kUntouched) << x << "," << y;
        }
    Draw(IDC_NEXT, ODA_FOCUS, 0);  // the button lost the focus
    EXPECT_EQ(Changed(), 0);
}

TEST_F(Surface, LabelsAreDrawnWithoutFrameAndButtonsWithIt) {
    uint32_t face = Rgb(GetSysColor(COLOR_BTNFACE));
    Draw(IDC_TITLE_INSTALLER, ODA_DRAWENTIRE, 0);
    EXPECT_EQ(At(1, kHeight / 2), face);  // no bevel
    EXPECT_EQ(At(kWidth - 2, kHeight / 2), face);
    Clear();
    Draw(IDCANCEL, ODA_DRAWENTIRE, 0);
    EXPECT_EQ(At(1, kHeight / 2), Rgb(GetSysColor(COLOR_BTNHIGHLIGHT)));
    EXPECT_EQ(At(kWidth - 1, kHeight / 2), Rgb(GetSysColor(COLOR_BTNSHADOW)));
    EXPECT_EQ(At(0, kHeight / 2), face);  // the outer top-left edge stays the face colour
}

TEST_F(Surface, SampleLineNeedsTheSampleFont) {
    HFONT saved = SampleFont;
    SampleFont = nullptr;
    Draw(IDC_SAMPLE_LINE, ODA_DRAWENTIRE, 0);
    uint32_t face = Rgb(GetSysColor(COLOR_BTNFACE));
    int notFace = 0;
    GdiFlush();
    for (int i = 0; i < kWidth * kHeight; i++)
        notFace += (pixels_[i] & 0xFFFFFF) != face;
    EXPECT_EQ(notFace, 0);  // without the font only the face colour shows
    SampleFont = saved;
}

// Items are drawn from the bytes given, never read back from the control; an index past the
// list's end (an empty combo box's edit field) draws nothing.
TEST_F(Surface, ListItemsAreDrawnFromTheirOwnBytes) {
    DRAWITEMSTRUCT item = Request(ODT_LISTBOX, IDC_LICENCE_LIST, nullptr, 23);
    uint32_t window = Rgb(GetSysColor(COLOR_WINDOW));
    auto inked = [&] {
        int count = 0;
        for (int y = 0; y < 23; y++)
            for (int x = 0; x < kWidth; x++)
                count += At(x, y) != window;
        return count;
    };
    DrawListItem(&item, 0, "WWW", 0);
    EXPECT_EQ(inked(), 0);
    DrawListItem(&item, 0, nullptr, 3);
    EXPECT_EQ(inked(), 0);
    DrawListItem(&item, 0, "WWW", 3);
    EXPECT_GT(inked(), 0);
}

}  // namespace
