#include <gtest/gtest.h>

#include <cstring>

#include "wizard/message_layout.h"

namespace {

MessageLayoutInput WorkedExample(int kind) {
    MessageLayoutInput in = {};
    in.kind = kind;
    in.chineseWidth = 200;
    in.chineseBytes = 13;
    in.englishWidth = 150;
    in.englishHeight = 16;
    in.buttonWidth = 110;
    in.buttonHeight = 29;
    in.frameWidth = 3;
    in.screenWidth = 1024;
    in.screenHeight = 768;
    return in;
}

TEST(MessageLayout, WorkedExampleWithOneButton) {
    MessageLayout layout = ComputeMessageLayout(WorkedExample(0), 18);
    EXPECT_EQ(layout.contentWidth, 264);
    EXPECT_EQ(layout.contentHeight, 167);
    EXPECT_EQ(layout.window.right - layout.window.left, 264);
    EXPECT_EQ(layout.window.bottom - layout.window.top, 167 + 18);
    EXPECT_EQ(layout.window.left, (1024 - 264) / 2);
    EXPECT_EQ(layout.firstButton, 1);
    EXPECT_EQ(layout.secondButton, 0);
    EXPECT_EQ(layout.firstPosition.x, 77);
    EXPECT_EQ(layout.firstPosition.y, 109);
    EXPECT_EQ(layout.textY, 10);
    EXPECT_EQ(layout.textHeight, 48);
    EXPECT_EQ(layout.englishY, 63);
    EXPECT_EQ(layout.englishHeight, 32);
}

TEST(MessageLayout, YesNoIsWidenedWithItsButtonsCentredOnTheBox) {
    MessageLayout layout = ComputeMessageLayout(WorkedExample(4), 18);
    EXPECT_EQ(layout.window.right - layout.window.left, 330);
    EXPECT_EQ(layout.window.left, (1024 - 264) / 2);
    EXPECT_EQ(layout.firstButton, 6);
    EXPECT_EQ(layout.secondButton, 7);
    EXPECT_EQ(layout.firstPosition.x, 37);  // (330 - 256) / 2
    EXPECT_EQ(layout.firstPosition.y, 124);
    EXPECT_EQ(layout.secondPosition.x, 183);
    MessageLayoutInput other = WorkedExample(5);
    EXPECT_EQ(ComputeMessageLayout(other, 18).firstButton, 1);
    EXPECT_EQ(ComputeMessageLayout(other, 18).secondButton, 2);
}

TEST(MessageLayout, LongChineseTextGetsNoExtraWidthAndNoEnglishNoHeight) {
    MessageLayoutInput in = WorkedExample(0);
    in.chineseBytes = 81;
    in.englishWidth = in.englishHeight = 0;
    MessageLayout layout = ComputeMessageLayout(in, 18);
    EXPECT_EQ(layout.contentWidth, 206);
    EXPECT_EQ(layout.contentHeight, 135);
    EXPECT_EQ(layout.window.right - layout.window.left, 220);  // the minimum of two buttons
}

TEST(MessageLayout, BrokenTextGrowsDownAndTheBoxStaysInTheWorkArea) {
    MessageLayoutInput in = WorkedExample(0);
    in.chineseLines = 3;
    in.chineseBytes = 216;
    in.screenWidth = 800;
    in.screenHeight = 600;
    in.workArea = Rect{0, 0, 800, 560};  // a task bar at the bottom
    in.chineseWidth = 760;
    MessageLayout layout = ComputeMessageLayout(in, 18);
    EXPECT_EQ(layout.contentHeight, 167 + 2 * 16);
    EXPECT_EQ(layout.textHeight, 5 * 16);
    EXPECT_EQ(layout.englishY, 63 + 2 * 16);
    EXPECT_GE(layout.window.left, 0);
    EXPECT_LE(layout.window.right, 800);
    in.chineseLines = 30;  // taller than the work area: the caption stays on screen
    layout = ComputeMessageLayout(in, 18);
    EXPECT_EQ(layout.window.top, 0);
    in.chineseLines = 1;
    in.workArea = Rect{100, 50, 300, 200};  // smaller than the box: its top left corner shows
    layout = ComputeMessageLayout(in, 18);
    EXPECT_EQ(layout.window.left, 100);
    EXPECT_EQ(layout.window.top, 50);
}

TEST(MessageLayout, EnglishTextIsCutToFitNeverOverrun) {
    char buffer[128 + 8];
    std::memset(buffer, 'Z', sizeof buffer);
    std::string longText(300, 'e');
    CopyEnglishText(buffer, 128, longText.c_str());
    EXPECT_EQ(std::strlen(buffer), 127u);
    EXPECT_EQ(buffer[128], 'Z');
    std::string mixed = std::string(126, 'e') + "中";  // the character would straddle the end
    CopyEnglishText(buffer, 128, mixed.c_str());
    EXPECT_EQ(std::strlen(buffer), 126u);
    CopyEnglishText(buffer, 128, nullptr);
    EXPECT_STREQ(buffer, "");
    CopyEnglishText(buffer, 128, "Memory not enough!");
    EXPECT_STREQ(buffer, "Memory not enough!");
}

// The wizard's client area is 910 x 434 pixels at large fonts, 916 x 459 with its frame: too wide
// for an 800 x 600 screen, where it is scaled to 794 / 910 of its size.
TEST(FitScale, ShrinksByTheTighterSideOnly) {
    const Point wizard = {910, 434}, frame = {6, 25};
    Scale same = FitScale(wizard, frame, Rect{0, 0, 1024, 740});
    EXPECT_EQ(same.numerator, same.denominator);
    Scale narrow = FitScale(wizard, frame, Rect{0, 0, 800, 570});
    EXPECT_EQ(narrow.numerator, 794);
    EXPECT_EQ(narrow.denominator, 910);
    Scale low = FitScale(wizard, frame, Rect{0, 0, 1024, 400});  // side task bars or a low screen
    EXPECT_EQ(low.numerator, 375);
    EXPECT_EQ(low.denominator, 434);
    Scale both = FitScale(wizard, frame, Rect{0, 0, 800, 400});
    EXPECT_EQ(both.numerator, 375);
    Rect scaled = ScaleRect(Rect{676, 352, 832, 384}, narrow);  // Cancel
    EXPECT_EQ(scaled.left, 589);
    EXPECT_EQ(scaled.right, 725);
    EXPECT_EQ(scaled.bottom, 335);
}

}  // namespace
