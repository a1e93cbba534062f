#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/xattr.h>

#include <csignal>

#include <string>

#include "install/file_placement.h"
#include "setup/startup.h"
#include "temp_folder.h"

namespace {

const unsigned long kProtection = kAttributeReadOnly | kAttributeHidden;

class FilePlacement : public ::testing::Test {
  protected:
    void SetUp() override { UseInstallDir(folder_.path()); }
    unsigned long Protection(const std::string &name) { return Attributes(folder_.File(name)) & kProtection; }
    void Protect(const std::string &name, unsigned long bits) {
        unsigned long word = Attributes(folder_.File(name));
        ASSERT_TRUE(WriteAttributeWord(folder_.File(name).c_str(), (word & ~kProtection) | bits));
    }
    TempFolder folder_;
};

TEST_F(FilePlacement, WritesEveryByteWithTheWantedProtection) {
    EXPECT_EQ(WriteInstalledFile("a.bin", "abc", 3, 1, 1, nullptr), 1);
    EXPECT_EQ(ReadFile(folder_.File("a.bin")), "abc");
    EXPECT_EQ(Protection("a.bin"), kProtection);
    EXPECT_EQ(WriteInstalledFile("b.bin", "abc", 3, 1, 0, nullptr), 1);
    EXPECT_EQ(Protection("b.bin"), kAttributeReadOnly);
    EXPECT_EQ(WriteInstalledFile("empty.bin", "", 0, 0, 0, nullptr), 1);
    EXPECT_EQ(ReadFile(folder_.File("empty.bin")), "");
    EXPECT_EQ(Protection("empty.bin"), 0u);
}

TEST_F(FilePlacement, ReplacesAProtectedFile) {
    WriteFile(folder_.File("keep.dic"), "old contents, longer");
    Protect("keep.dic", kProtection);
    EXPECT_EQ(WriteInstalledFile("keep.dic", "new", 3, 0, 0, nullptr), 1);
    EXPECT_EQ(ReadFile(folder_.File("keep.dic")), "new");
    EXPECT_EQ(Protection("keep.dic"), 0u);
    Protect("keep.dic", kProtection);
    EXPECT_EQ(WriteInstalledFile("keep.dic", "newer", 5, 1, 1, nullptr), 1);
    EXPECT_EQ(ReadFile(folder_.File("keep.dic")), "newer");
    EXPECT_EQ(Protection("keep.dic"), kProtection);
}

TEST_F(FilePlacement, ExplicitPathWinsOverTheName) {
    std::string elsewhere = folder_.File("explicit.txt");
    EXPECT_EQ(WriteInstalledFile("ignored.txt", "x", 1, 0, 0, elsewhere.c_str()), 1);
    EXPECT_TRUE(PathExists(elsewhere.c_str()));
    EXPECT_FALSE(PathExists(folder_.File("ignored.txt").c_str()));
}

TEST_F(FilePlacement, OpenFailureWritesNothing) {
    std::string missing = folder_.File("no-such-folder");
    UseInstallDir(missing);
    EXPECT_EQ(WriteInstalledFile("a.bin", "abc", 3, 1, 1, nullptr), 0);
    EXPECT_FALSE(PathExists((missing + "/a.bin").c_str()));
}

TEST_F(FilePlacement, PathThatDoesNotFitIsRefusedWithoutTouchingTheDisk) {
    std::string longName(300, 'n');
    EXPECT_EQ(WriteInstalledFile(longName.c_str(), "abc", 3, 0, 0, nullptr), 0);
    // Exactly 259 bytes fit the 260-byte buffer; one more does not.
    std::string fits = folder_.path() + "/" + std::string(259 - folder_.path().size() - 1, 'f');
    char joined[kPathBufferSize];
    EXPECT_EQ(JoinPath(joined, folder_.path().c_str(), fits.substr(folder_.path().size() + 1).c_str()), 1);
    EXPECT_EQ(
        JoinPath(joined, folder_.path().c_str(), (fits.substr(folder_.path().size() + 1) + "x").c_str()), 0);
    EXPECT_STREQ(joined, "");
    EXPECT_EQ(DeleteInstalledFile((std::string(300, 'p')).c_str()), 0);
}

TEST_F(FilePlacement, FailedWriteLeavesTheOldFileAndItsProtection) {
    WriteFile(folder_.File("keep.dic"), "old");
    Protect("keep.dic", kAttributeReadOnly);
    // Writes past 64 bytes fail, as on a full disk; the small buffered write fails only when
    // flushed, the large one at once.
    struct rlimit saved, limit;
    getrlimit(RLIMIT_FSIZE, &saved);
    limit = saved;
    limit.rlim_cur = 64;
    signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &limit);
    std::string small(100, 'x'), large(1 << 16, 'y');
    int smallWritten = WriteInstalledFile("keep.dic", small.data(), small.size(), 0, 0, nullptr);
    int largeWritten = WriteInstalledFile("keep.dic", large.data(), large.size(), 0, 0, nullptr);
    int newWritten = WriteInstalledFile("new.dic", large.data(), large.size(), 1, 1, nullptr);
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(newWritten, 0);
    EXPECT_FALSE(PathExists(folder_.File("new.dic").c_str()));  // a new file is all or nothing too
    EXPECT_EQ(smallWritten, 0);
    EXPECT_EQ(largeWritten, 0);
    EXPECT_EQ(ReadFile(folder_.File("keep.dic")), "old");
    EXPECT_EQ(Protection("keep.dic"), kAttributeReadOnly);
    EXPECT_FALSE(PathExists(folder_.File("~tsonew.tmp").c_str()));
}

TEST(PathText, TrailByteBackslashIsNoSeparator) {
    const char *path = "C:\\\xC7\x5C";  // C:\淺: 淺 is C7 5C in GBK
    EXPECT_EQ(LastCharacter(path, '\\'), path + 2);
    const char *folder = "C:\\\xC7\x5C\\doc";
    EXPECT_EQ(LastCharacter(folder, '\\'), folder + 5);
    EXPECT_EQ(LastCharacter("plain", '\\'), nullptr);
    char setupDir[kPathBufferSize];
    SetupDirFromModulePath(setupDir, "C:\\\xC7\x5C\\setup.exe");
    EXPECT_STREQ(setupDir, "C:\\\xC7\x5C\\");
}

TEST_F(FilePlacement, ClearProtectiveAttributesResults) {
    WriteFile(folder_.File("f"), "x");
    Protect("f", kProtection);
    EXPECT_EQ(ClearProtectiveAttributes(folder_.File("f").c_str(), 1, 0), 1);
    EXPECT_EQ(Protection("f"), kAttributeHidden);
    Protect("f", kAttributeReadOnly);
    EXPECT_EQ(ClearProtectiveAttributes(folder_.File("f").c_str(), 0, 1), 0);
    EXPECT_EQ(Protection("f"), kAttributeReadOnly);
    Protect("f", 0);
    EXPECT_EQ(ClearProtectiveAttributes(folder_.File("f").c_str(), 1, 1), 0);
    std::string missing = folder_.File("missing");
    EXPECT_EQ(ClearProtectiveAttributes(missing.c_str(), 1, 0), 1);
    EXPECT_EQ(ClearProtectiveAttributes(missing.c_str(), 0, 0), 0);
    EXPECT_FALSE(PathExists(missing.c_str()));
}

TEST_F(FilePlacement, DeleteRemovesAProtectedFile) {
    WriteFile(folder_.File("pykeys.dic1111"), "x");
    Protect("pykeys.dic1111", kProtection);
    EXPECT_EQ(DeleteInstalledFile(folder_.File("pykeys.dic1111").c_str()), 1);
    EXPECT_FALSE(PathExists(folder_.File("pykeys.dic1111").c_str()));
    EXPECT_EQ(DeleteInstalledFile(folder_.File("pykeys.dic1111").c_str()), 0);
}

TEST_F(FilePlacement, AttributesAreStoredAsWineKeepsThem) {
    WriteInstalledFile("w.bin", "x", 1, 1, 1, nullptr);
    std::string path = folder_.File("w.bin");
    char value[16] = {};
    ASSERT_GT(getxattr(path.c_str(), "user.DOSATTRIB", value, sizeof value - 1), 0);
    EXPECT_STREQ(value, "0x2");
    struct stat info;
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0222, 0u);
    ClearProtectiveAttributes(path.c_str(), 1, 1);
    EXPECT_LT(getxattr(path.c_str(), "user.DOSATTRIB", value, sizeof value - 1), 1);
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_NE(info.st_mode & 0200, 0u);
}

}  // namespace
