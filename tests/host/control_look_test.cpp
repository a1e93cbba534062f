#include <gtest/gtest.h>

#include <cstring>

#include "glyphs/control_look.h"
#include "wizard/message_layout.h"

namespace {

TEST(Captions, ByControlIdAndPage) {
    EXPECT_STREQ(OwnerControlCaption(1001, 0), "下一步 Next");
    EXPECT_STREQ(OwnerControlCaption(1001, 2), "下一步 Next");
    EXPECT_STREQ(OwnerControlCaption(1001, 3), "同意/安装 Agree/Install");
    EXPECT_STREQ(OwnerControlCaption(1001, 99), "同意/安装 Agree/Install");
    EXPECT_STREQ(OwnerControlCaption(2, 0), "取消 Cancel");
    EXPECT_STREQ(OwnerControlCaption(1018, 1), "日出江花红胜火");
    EXPECT_EQ(std::strlen(OwnerControlCaption(1018, 1)), 14u);
    EXPECT_EQ(OwnerControlCaption(1013, 0), nullptr);  // the message text
    EXPECT_EQ(OwnerControlCaption(1016, 0), nullptr);
    EXPECT_EQ(OwnerControlCaption(4242, 0), nullptr);
    EXPECT_STREQ(OwnerControlCaption(1021, 0), "");
    EXPECT_FALSE(OwnerControlPaints(1020));
    EXPECT_TRUE(OwnerControlPaints(1021));
    EXPECT_STREQ(CheckBoxCaption(1005), "开机时自动启动？(Auto-start on boot)");
    EXPECT_EQ(CheckBoxCaption(1010), nullptr);
}

TEST(LayoutFlags, CentringAndFrames) {
    for (int id : {1006, 1008, 1010, 1016, 1021}) {
        EXPECT_EQ(OwnerControlFlags(id).centred, 0) << id;
        EXPECT_EQ(OwnerControlDrawsFrame(id), 0) << id;
    }
    for (int id : {1009, 1011, 1012, 1013, 1017, 1018, 1030}) {
        EXPECT_EQ(OwnerControlFlags(id).centred, 1) << id;
        EXPECT_EQ(OwnerControlDrawsFrame(id), 0) << id;
    }
    for (int id : {1, 2, 3, 6, 7, 1001, 1003, 4242}) {
        EXPECT_EQ(OwnerControlFlags(id).centred, 1) << id;
        EXPECT_EQ(OwnerControlDrawsFrame(id), 1) << id;
    }
}

TEST(Bevel, RaisedFrameAndDefaultOutline) {
    Rect r = {0, 0, 100, 30};
    LineSegment s[kMaxBevelSegments];
    int plain = BevelSegments(r, 0, s);
    ASSERT_EQ(plain, 10);
    EXPECT_EQ(s[0].pen, kPenA);  // left edge, bottom to top, one pixel in
    EXPECT_EQ(s[0].from.x, 1);
    EXPECT_EQ(s[0].from.y, 28);
    EXPECT_EQ(s[0].to.y, 1);
    EXPECT_EQ(s[2].pen, kPenB);  // right edge of the first ring
    EXPECT_EQ(s[2].from.x, 98);
    EXPECT_EQ(s[8].pen, kPenB);  // the plain outer edge along the bottom
    EXPECT_EQ(s[8].from.y, 29);
    EXPECT_EQ(s[9].to.x, 99);
    EXPECT_EQ(s[9].to.y, 0);
    int outlined = BevelSegments(r, 1, s);
    ASSERT_EQ(outlined, 14);
    for (int i = 8; i < 14; i++)
        EXPECT_EQ(s[i].pen, kPenBlack);
    EXPECT_EQ(s[8].from.x, 0);
    EXPECT_EQ(s[12].from.y, 28);  // the extra line inside the bottom edge
    EXPECT_EQ(s[13].from.x, 98);  // and inside the right edge
}

TEST(Caption, CentredPressedAndFocus) {
    Rect r = {10, 20, 110, 50};
    Point centred = CaptionPosition(r, 40, 1, 0);
    EXPECT_EQ(centred.x, 40);
    EXPECT_EQ(centred.y, 27);
    Point pressed = CaptionPosition(r, 40, 1, 1);
    EXPECT_EQ(pressed.x, 42);
    EXPECT_EQ(pressed.y, 28);
    EXPECT_EQ(CaptionPosition(r, 40, 0, 0).x, 10);
    Rect focus = FocusRectangle(r);
    EXPECT_EQ(focus.left, 20);
    EXPECT_EQ(focus.right, 100);
    EXPECT_EQ(focus.top, 23);
    EXPECT_EQ(focus.bottom, 47);
}

TEST(CheckBox, GeometryOfAnAutoCheckBox) {
    CheckBoxLayout layout = CheckBoxGeometry(Rect{0, 0, 330, 26}, 3);
    EXPECT_EQ(layout.face.top, -2);
    EXPECT_EQ(layout.box.left, 2);
    EXPECT_EQ(layout.box.top, 4);
    EXPECT_EQ(layout.box.right, 17);
    EXPECT_EQ(layout.box.bottom, 18);
    EXPECT_EQ(layout.mark, kMarkCheck);
    EXPECT_EQ(layout.caption.x, 32);
    EXPECT_EQ(layout.caption.y, 1);
    Rect focus = CheckBoxFocusRectangle(layout.caption, 100);
    EXPECT_EQ(focus.left, 31);
    EXPECT_EQ(focus.top, 0);
    EXPECT_EQ(focus.right, 135);
    EXPECT_EQ(focus.bottom, 19);
    EXPECT_EQ(CheckBoxGeometry(Rect{0, 0, 330, 26}, 9).mark, kMarkRadio);
    EXPECT_EQ(CheckBoxGeometry(Rect{0, 0, 330, 26}, 5).mark, kMarkCheck);
}

TEST(ListItem, OnlyExistingItemsGetText) {
    Rect text;
    ASSERT_TRUE(ListItemTextRect(Rect{0, 0, 200, 23}, 2, 3, &text));
    EXPECT_EQ(text.left, 2);
    EXPECT_EQ(text.top, 2);
    EXPECT_EQ(text.bottom, 21);
    EXPECT_FALSE(ListItemTextRect(Rect{0, 0, 200, 23}, 3, 3, &text));
    EXPECT_FALSE(ListItemTextRect(Rect{0, 0, 200, 23}, static_cast<unsigned long>(-1), 3, &text));
}

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

}  // namespace
