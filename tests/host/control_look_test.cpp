#include <gtest/gtest.h>

#include <cstring>

#include "base/resource_ids.h"
#include "glyphs/control_look.h"

namespace {

TEST(Captions, ByControlIdAndPage) {
    EXPECT_STREQ(OwnerControlCaption(IDC_NEXT, 0), "下一步 Next");
    EXPECT_STREQ(OwnerControlCaption(IDC_NEXT, 2), "下一步 Next");
    EXPECT_STREQ(OwnerControlCaption(IDC_NEXT, 3), "同意/安装 Agree/Install");
    EXPECT_STREQ(OwnerControlCaption(IDC_NEXT, 99), "同意/安装 Agree/Install");
    EXPECT_STREQ(OwnerControlCaption(IDC_CANCEL, 0), "取消 Cancel");
    EXPECT_STREQ(OwnerControlCaption(IDC_SAMPLE_LINE, 1), "日出江花红胜火");
    EXPECT_EQ(std::strlen(OwnerControlCaption(IDC_SAMPLE_LINE, 1)), 14u);
    EXPECT_EQ(OwnerControlCaption(IDC_MESSAGE_TEXT, 0), nullptr);
    EXPECT_EQ(OwnerControlCaption(IDC_RESERVED_LABEL, 0), nullptr);
    EXPECT_EQ(OwnerControlCaption(4242, 0), nullptr);
    EXPECT_STREQ(OwnerControlCaption(IDC_WAIT_LABEL, 0), "");
    EXPECT_FALSE(OwnerControlPaints(IDC_TITLE_BOTTOM));
    EXPECT_TRUE(OwnerControlPaints(IDC_WAIT_LABEL));
    EXPECT_STREQ(CheckBoxCaption(IDC_AUTO_START), "开机时自动启动？(Auto-start on boot)");
    EXPECT_EQ(CheckBoxCaption(IDC_ENGLISH_LICENCE), nullptr);  // keeps its own window text
}

TEST(LayoutFlags, CentringAndFrames) {
    for (int id : {IDC_FOLDER_LABEL, IDC_CHOOSER_DIRECTORIES_LABEL, IDC_CHOOSER_DRIVES_LABEL,
                   IDC_RESERVED_LABEL, IDC_WAIT_LABEL}) {
        EXPECT_EQ(OwnerControlFlags(id).centred, 0) << id;
        EXPECT_EQ(OwnerControlDrawsFrame(id), 0) << id;
    }
    for (int id : {IDC_TITLE_TESSO, IDC_TITLE_ENGINE, IDC_TITLE_INSTALLER, IDC_MESSAGE_TEXT, IDC_QUESTION,
                   IDC_SAMPLE_LINE, IDC_LANGUAGE_LABEL}) {
        EXPECT_EQ(OwnerControlFlags(id).centred, 1) << id;
        EXPECT_EQ(OwnerControlDrawsFrame(id), 0) << id;
    }
    for (int id :
         {IDC_CONFIRM, IDC_CANCEL, IDC_BACK, IDC_YES_BUTTON, IDC_NO_BUTTON, IDC_NEXT, IDC_BROWSE, 4242}) {
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

}  // namespace
