#include <gtest/gtest.h>

#include "base/resource_ids.h"
#include "base/setup_state.h"
#include "setup/startup.h"

namespace {

TEST(LanguageRule, ChineseSystemLanguagesOnADoubleByteCodePage) {
    struct Case {
        unsigned short language;
        int expected;
    } cases[] = {{0x0804, 1}, {0x0404, 2}, {0x0C04, 2}, {0x1004, 1}, {0x1404, 2}};
    for (const Case &c : cases)
        EXPECT_EQ(UiLanguageFor(1, c.language), c.expected) << std::hex << c.language;
}

TEST(LanguageRule, EverythingElseIsEnglish) {
    EXPECT_EQ(UiLanguageFor(0, 0x0804), 0);  // Chinese, but a single-byte code page
    EXPECT_EQ(UiLanguageFor(0, 0x0404), 0);
    EXPECT_EQ(UiLanguageFor(1, 0x0409), 0);  // English on a double-byte code page
    EXPECT_EQ(UiLanguageFor(1, 0x0411), 0);  // Japanese
    EXPECT_EQ(UiLanguageFor(1, 0x0412), 0);  // Korean
}

TEST(VersionFlags, FourPlatforms) {
    VersionFlags ntOld = VersionFlagsFor(1, 2, 3), nt = VersionFlagsFor(1, 2, 5),
                 win95 = VersionFlagsFor(1, 1, 4), win32s = VersionFlagsFor(1, 0, 3),
                 unknown = VersionFlagsFor(0, 2, 3);
    EXPECT_EQ(ntOld.isNtPlatform, 1);
    EXPECT_EQ(ntOld.isOldShell, 1);
    EXPECT_EQ(nt.isNtPlatform, 1);
    EXPECT_EQ(nt.isOldShell, 0);
    EXPECT_EQ(win95.isNtPlatform, 0);
    EXPECT_EQ(win95.isOldShell, 0);
    EXPECT_EQ(win32s.isNtPlatform, 0);
    EXPECT_EQ(win32s.isOldShell, 1);
    EXPECT_EQ(unknown.isNtPlatform + unknown.isOldShell, 0);
}

TEST(SetupDir, UpToAndIncludingTheLastBackslash) {
    char dir[kPathBufferSize];
    SetupDirFromModulePath(dir, "C:\\dl\\setup.exe");
    EXPECT_STREQ(dir, "C:\\dl\\");
    SetupDirFromModulePath(dir, "setup.exe");
    EXPECT_STREQ(dir, "A:\\");
    SetupDirFromModulePath(dir, "");
    EXPECT_STREQ(dir, "A:\\");
    SetupDirFromModulePath(dir, "C:\\setup.exe");
    EXPECT_STREQ(dir, "C:\\");
}

TEST(EnterKey, PushButtonsAreClickedEverythingElseMeansNext) {
    const int kOwnerDraw = 11, kAutoCheckBox = 3;
    EnterRoute cancel = RouteEnterKey("Button", kOwnerDraw | 0x10000, IDC_CANCEL, IDC_NEXT);
    EXPECT_EQ(cancel.command, IDC_CANCEL);
    EXPECT_EQ(cancel.dropKey, 1);
    EnterRoute checkBox = RouteEnterKey("BUTTON", kAutoCheckBox, IDC_AUTO_START, IDC_NEXT);
    EXPECT_EQ(checkBox.command, IDC_NEXT);
    EXPECT_EQ(checkBox.dropKey, 0);
    for (unsigned long style : {2ul, 3ul, 4ul, 5ul, 6ul, 9ul})
        EXPECT_EQ(RouteEnterKey("button", style, IDC_ANSWER_OK, IDC_NEXT).command, IDC_NEXT) << style;
    EXPECT_EQ(RouteEnterKey("Edit", 0, IDC_FOLDER, IDC_NEXT).command, IDC_NEXT);
    EXPECT_EQ(RouteEnterKey("Edit", 0, IDC_FOLDER, IDC_NEXT).dropKey, 0);
    EXPECT_EQ(RouteEnterKey(nullptr, 0, 0, IDC_NEXT).command, IDC_NEXT);
    EXPECT_EQ(RouteEnterKey("buttonx", kOwnerDraw, IDC_BACK, IDC_NEXT).command, IDC_NEXT);
}

}  // namespace
