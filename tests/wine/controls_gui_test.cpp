// The owner-drawn controls of the real wizard, as the screen shows them.
#include <gtest/gtest.h>
#include <windows.h>

#include "base/resource_ids.h"
#include "wizard_driver.h"

namespace {

const uint32_t kBlack = 0x000000;

uint32_t SystemColour(int index) {
    COLORREF c = GetSysColor(index);
    return GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c);
}

int CountColour(const driver::Image &image, const RECT &area, uint32_t colour) {
    int count = 0;
    for (int y = area.top; y < area.bottom; y++)
        for (int x = area.left; x < area.right; x++)
            count += image.At(x, y) == colour;
    return count;
}

class Controls : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(driver::StartSetup(&setup_)); }
    void TearDown() override {
        if (setup_.process.hProcess) {
            driver::Key(VK_ESCAPE);
            EXPECT_EQ(driver::WaitForExit(&setup_), 0);
        }
    }
    RECT Area(int id) { return driver::ClientArea(driver::Control(setup_.wizard, id), setup_.wizard); }
    driver::Setup setup_;
};

TEST_F(Controls, NextIsTheRaisedDefaultButtonWithItsBilingualCaption) {
    driver::Image image = driver::Capture(setup_.wizard);
    RECT r = Area(IDC_NEXT);
    int midX = (r.left + r.right) / 2, midY = (r.top + r.bottom) / 2;
    uint32_t light = SystemColour(COLOR_BTNHIGHLIGHT), dark = SystemColour(COLOR_BTNSHADOW);
    EXPECT_EQ(image.At(r.left, midY), kBlack);  // the black outline all round
    EXPECT_EQ(image.At(midX, r.top), kBlack);
    EXPECT_EQ(image.At(r.right - 1, midY), kBlack);
    EXPECT_EQ(image.At(midX, r.bottom - 1), kBlack);
    EXPECT_EQ(image.At(midX, r.bottom - 2), kBlack);  // and the extra line inside bottom and right
    EXPECT_EQ(image.At(r.right - 2, midY), kBlack);
    EXPECT_EQ(image.At(r.left + 2, midY), light);  // raised: light top-left, dark bottom-right
    EXPECT_EQ(image.At(midX, r.top + 2), light);
    EXPECT_EQ(image.At(r.right - 3, midY), dark);
    EXPECT_EQ(image.At(midX, r.bottom - 3), dark);
    POINT at;
    EXPECT_TRUE(driver::FindChineseText(image, "下一步", kBlack, r, &at));

    // Cancel is not the default: its outer top and left edges stay the face colour.
    RECT c = Area(IDCANCEL);
    uint32_t face = SystemColour(COLOR_BTNFACE);
    EXPECT_EQ(image.At(c.left, (c.top + c.bottom) / 2), face);
    EXPECT_EQ(image.At((c.left + c.right) / 2, c.top), face);
    EXPECT_EQ(image.At((c.left + c.right) / 2, c.bottom - 1), dark);
}

TEST_F(Controls, PressedButtonShowsTheSunkenBevelAndMovesItsCaption) {
    RECT r = Area(IDC_NEXT);
    int midY = (r.top + r.bottom) / 2;
    POINT before, pressed;
    ASSERT_TRUE(
        driver::FindGlyph(driver::Capture(setup_.wizard), driver::LoadGlyph(0xCFC2), kBlack, r, &before));
    driver::MouseDown(driver::Control(setup_.wizard, IDC_NEXT));
    driver::Image image = driver::Capture(setup_.wizard);
    driver::SaveScreenshot(setup_.wizard, "next-pressed");
    driver::MouseUpAway(setup_.wizard);
    // The focus mark now crosses the caption's last pixel row.
    ASSERT_TRUE(driver::FindGlyph(image, driver::LoadGlyph(0xCFC2), kBlack, r, &pressed, 15));
    EXPECT_EQ(pressed.x - before.x, 2);
    EXPECT_EQ(pressed.y - before.y, 1);
    EXPECT_EQ(image.At(r.left + 2, midY), SystemColour(COLOR_BTNSHADOW));
    EXPECT_EQ(image.At(r.right - 3, midY), SystemColour(COLOR_BTNHIGHLIGHT));
    EXPECT_FALSE(driver::IsShown(setup_.wizard, IDC_QUESTION));  // released elsewhere: no click
}

TEST_F(Controls, CheckBoxesShowTheirMarkAndGlyphCaption) {
    RECT box = Area(IDC_DESKTOP_ICONS);
    RECT mark = {box.left, box.top, box.left + 20, box.bottom};
    driver::Image checked = driver::Capture(setup_.wizard);
    POINT at;
    EXPECT_TRUE(driver::FindChineseText(checked, "建立桌面图标", kBlack, box, &at));
    EXPECT_TRUE(driver::FindChineseText(checked, "开机时自动启动", kBlack, Area(IDC_AUTO_START), &at));
    driver::Click(driver::Control(setup_.wizard, IDC_DESKTOP_ICONS));
    EXPECT_FALSE(driver::IsChecked(setup_.wizard, IDC_DESKTOP_ICONS));
    driver::Image unchecked = driver::Capture(setup_.wizard);
    driver::SaveScreenshot(setup_.wizard, "desktop-unchecked");
    EXPECT_GT(CountColour(checked, mark, kBlack), CountColour(unchecked, mark, kBlack) + 5);
    EXPECT_TRUE(driver::FindChineseText(unchecked, "建立桌面图标", kBlack, box, &at));
}

}  // namespace
