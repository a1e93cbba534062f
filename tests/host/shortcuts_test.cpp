#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "base/setup_state.h"
#include "install/shortcuts.h"
#include "install_doubles.h"
#include "temp_folder.h"

namespace {

const char kStartMenuMessage[] = "message Failed to create an entry on Start Menu.";
const char kFolderMessage[] = "message Cannot create folder!";

class Shortcuts : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetProcessAnswers("C:\\Product", "", "C:\\WINNT\\", folder_.path());
        IsNtPlatform = 1;
    }
    TempFolder folder_;
};

TEST(ComposeShellFolder, FromTheWindowsDirectory) {
    Doubles.Reset();
    char path[kPathBufferSize];
    std::snprintf(WindowsDir, kPathBufferSize, "%s", "C:\\WINNT\\");
    IsNtPlatform = 1;
    ASSERT_EQ(ComposeShellFolder(path, kFolderPrograms), 1);
    EXPECT_STREQ(path, "C:\\WINNT\\profiles\\Admin\\start menu\\programs");
    ASSERT_EQ(ComposeShellFolder(path, kFolderStartup), 1);
    EXPECT_STREQ(path, "C:\\WINNT\\profiles\\Admin\\start menu\\programs\\Startup");
    IsNtPlatform = 0;
    std::snprintf(WindowsDir, kPathBufferSize, "%s", "C:\\WINDOWS");  // a backslash is added when missing
    ASSERT_EQ(ComposeShellFolder(path, kFolderDesktop), 1);
    EXPECT_STREQ(path, "C:\\WINDOWS\\Desktop");
    std::snprintf(WindowsDir, kPathBufferSize, "%s", "D:\\");  // a drive root gets no second backslash
    ASSERT_EQ(ComposeShellFolder(path, kFolderDesktop), 1);
    EXPECT_STREQ(path, "D:\\Desktop");
    IsNtPlatform = 1;
    Doubles.userName = "";
    EXPECT_EQ(ComposeShellFolder(path, kFolderPrograms), 0);
    Doubles.userName = std::string(250, 'u');  // a path too long for its buffer fails cleanly
    std::snprintf(WindowsDir, kPathBufferSize, "%s", "C:\\WINNT\\");
    EXPECT_EQ(ComposeShellFolder(path, kFolderPrograms), 0);
    Doubles.userName = "Admin";
    for (const char *unknown : {"", "\\"}) {  // not filled yet; the system gave no folder
        std::snprintf(WindowsDir, kPathBufferSize, "%s", unknown);
        EXPECT_EQ(ComposeShellFolder(path, kFolderPrograms), 0) << unknown;
    }
}

TEST_F(Shortcuts, GroupFolderIsMadeOnceAndHoldsEveryEntry) {
    const ShortcutEntry entries[] = {
        {"Engine", "TSO.exe"}, {"Remove", "TSOUnInstall.exe"}, {nullptr, nullptr}};
    EXPECT_EQ(CreateProgramGroup("Tesso", entries, kFolderPrograms), 1);
    EXPECT_TRUE(PathExists(folder_.File("2/Tesso/Engine.lnk").c_str()));
    EXPECT_EQ(ReadFile(folder_.File("2/Tesso/Remove.lnk")), "C:\\Product/TSOUnInstall.exe");
    EXPECT_EQ(CreateProgramGroup("Tesso", entries, kFolderPrograms), 1);  // reused, no message
    EXPECT_EQ(Doubles.Count("message"), 0);
    EXPECT_EQ(Doubles.Starting("link")[0],
              "link " + folder_.File("2/Tesso/Engine.lnk") + " -> C:\\Product/TSO.exe (Engine)");
}

TEST_F(Shortcuts, NoGroupNameWritesIntoTheBaseFolder) {
    const ShortcutEntry entries[] = {{"Engine", "TSO.exe"}, {nullptr, nullptr}};
    EXPECT_EQ(CreateProgramGroup(nullptr, entries, kFolderStartup), 1);
    EXPECT_TRUE(PathExists(folder_.File("7/Engine.lnk").c_str()));
    EXPECT_EQ(CreateProgramGroup("", entries, kFolderStartup), 1);
    const ShortcutEntry none[] = {{nullptr, nullptr}};
    EXPECT_EQ(CreateProgramGroup(nullptr, none, kFolderStartup), 1);
    EXPECT_EQ(Doubles.Count("message"), 0);
}

TEST_F(Shortcuts, EveryEntryCountsAndTheFirstFailureIsNamed) {
    const ShortcutEntry entries[] = {{"First", "a.exe"}, {"Second", "b.exe"}, {nullptr, nullptr}};
    Doubles.failingLinks = {folder_.File("2/G/First.lnk")};
    FailedShortcut[0] = 0;
    EXPECT_EQ(CreateProgramGroup("G", entries, kFolderPrograms), 0);
    EXPECT_EQ(Doubles.Starting("message"), std::vector<std::string>{kStartMenuMessage});
    EXPECT_STREQ(FailedShortcut, "First.lnk");
    EXPECT_TRUE(PathExists(folder_.File("2/G/Second.lnk").c_str()));
}

// A read-only shortcut of an earlier install elsewhere is replaced and protected as before; one
// that does not read back pointing at the new folder does not count.
TEST_F(Shortcuts, StaleReadOnlyShortcutsAreReplaced) {
    const ShortcutEntry entries[] = {{"Engine", "TSO.exe"}, {nullptr, nullptr}};
    std::string link = folder_.File("7/Engine.lnk");
    WriteFile(link, "C:\\Elsewhere\\TSO.exe");
    WriteAttributeWord(link.c_str(), Attributes(link) | kAttributeReadOnly);
    EXPECT_EQ(CreateProgramGroup(nullptr, entries, kFolderStartup), 1);
    EXPECT_EQ(ReadFile(link), "C:\\Product/TSO.exe");
    EXPECT_EQ(Attributes(link) & kAttributeReadOnly, kAttributeReadOnly);
    unlink(link.c_str());
    symlink(folder_.File("elsewhere").c_str(), link.c_str());  // never written through
    FailedShortcut[0] = 0;
    EXPECT_EQ(CreateDesktopShortcut("TSO.exe", "../7/Engine"), 0);
    EXPECT_STREQ(FailedShortcut, "../7/Engine.lnk");
    EXPECT_FALSE(PathExists(folder_.File("elsewhere").c_str()));
}

TEST_F(Shortcuts, FailuresAreReportedByTheGroupOnly) {
    const ShortcutEntry entries[] = {{"Engine", "TSO.exe"}, {nullptr, nullptr}};
    Doubles.shellRoot = "";
    EXPECT_EQ(CreateProgramGroup("G", entries, kFolderPrograms), 0);
    EXPECT_EQ(CreateDesktopShortcut("TSO.exe", "Engine"), 0);
    EXPECT_EQ(Doubles.Starting("message"), std::vector<std::string>{kStartMenuMessage});

    Doubles.Reset();
    IsOldShell = 1;  // the composed Programs folder does not exist here
    EXPECT_EQ(CreateProgramGroup("G", entries, kFolderPrograms), 0);
    EXPECT_EQ(Doubles.Starting("message"), std::vector<std::string>{kFolderMessage});
    EXPECT_EQ(Doubles.messages[0], "无法建目录(C:\\WINNT\\profiles\\Admin\\start menu\\programs/G)!");
    EXPECT_EQ(Doubles.Count("link"), 0);

    Doubles.Reset();
    Doubles.userName = "";
    EXPECT_EQ(CreateProgramGroup("G", entries, kFolderPrograms), 0);
    EXPECT_EQ(Doubles.Starting("message"), std::vector<std::string>{kStartMenuMessage});
}

TEST_F(Shortcuts, NamesThatDoNotFitFailCleanly) {
    std::string longName(200, 'n');
    const ShortcutEntry entries[] = {{longName.c_str(), "TSO.exe"}, {nullptr, nullptr}};
    EXPECT_EQ(CreateProgramGroup(longName.c_str(), entries, kFolderPrograms), 0);
    EXPECT_EQ(Doubles.Starting("message"), std::vector<std::string>{kStartMenuMessage});
    std::string desktop94(94, 'd'), desktop95(95, 'd');
    EXPECT_EQ(CreateDesktopShortcut("TSO.exe", desktop95.c_str()), 0);
    EXPECT_EQ(Doubles.Count("link"), 0);
    EXPECT_EQ(CreateDesktopShortcut("TSO.exe", desktop94.c_str()), 1);
    EXPECT_EQ(CreateDesktopShortcut("TSO.exe", "Engine"), 1);
    EXPECT_TRUE(PathExists(folder_.File("0/Engine.lnk").c_str()));
}

}  // namespace
