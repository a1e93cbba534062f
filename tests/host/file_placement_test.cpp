#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/xattr.h>

#include <csignal>

#include <string>
#include <vector>

#include "install_doubles.h"
#include "landing/file_placement.h"
#include "payload/payload_catalogue.h"
#include "temp_folder.h"

namespace {

class FilePlacement : public ::testing::Test {
  protected:
    unsigned long Protection(const std::string &name) {
        return Attributes(folder_.File(name)) & kAttributeProtection;
    }
    void Protect(const std::string &name, unsigned long bits) {
        unsigned long word = Attributes(folder_.File(name));
        ASSERT_TRUE(WriteAttributeWord(folder_.File(name).c_str(), (word & ~kAttributeProtection) | bits));
    }
    // Begin, write and finish, as the install writes a staged file; 1 = complete.
    int WriteNew(const std::string &name, const std::string &bytes) {
        InstalledFile file;
        return BeginNewFile(&file, folder_.File(name).c_str()) &&
               WriteInstalledFile(&file, bytes.data(), bytes.size()) && FinishInstalledFile(&file);
    }
    TempFolder folder_;
};

TEST_F(FilePlacement, WritesEveryByteOfANewFileWithoutProtection) {
    EXPECT_EQ(WriteNew("a.bin", "abc"), 1);
    EXPECT_EQ(ReadFile(folder_.File("a.bin")), "abc");
    EXPECT_EQ(Protection("a.bin"), 0u);
    EXPECT_EQ(WriteNew("empty.bin", ""), 1);
    EXPECT_EQ(ReadFile(folder_.File("empty.bin")), "");
}

// Never opened through a name that exists: what is there stays as it was.
TEST_F(FilePlacement, AnExistingNameIsNeverWritten) {
    WriteFile(folder_.File("keep.dic"), "old");
    Protect("keep.dic", kAttributeReadOnly);
    EXPECT_EQ(WriteNew("keep.dic", "new"), 0);
    EXPECT_EQ(ReadFile(folder_.File("keep.dic")), "old");
    EXPECT_EQ(Protection("keep.dic"), kAttributeReadOnly);
    EXPECT_EQ(WriteNew("no-such-folder/a.bin", "abc"), 0);
    EXPECT_FALSE(PathExists(folder_.File("no-such-folder").c_str()));
    EXPECT_EQ(RemovePlainFile((std::string(300, 'p')).c_str()), 0);
}

TEST_F(FilePlacement, FailedWriteLeavesNothing) {
    // Writes past 64 bytes fail, as on a full disk.
    struct rlimit saved, limit;
    getrlimit(RLIMIT_FSIZE, &saved);
    limit = saved;
    limit.rlim_cur = 64;
    signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &limit);
    int written = WriteNew("new.dic", std::string(1 << 16, 'y'));
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(written, 0);
    EXPECT_FALSE(PathExists(folder_.File("new.dic").c_str()));
}

// One inflater serves payload after payload; the largest spans many blocks, and the wizard is given
// its messages after each of them. A missing payload, or one of another size than the catalogue's,
// leaves nothing behind.
TEST_F(FilePlacement, ExtractsAPayloadWholeWithoutProtection) {
    PayloadInflater *inflater = CreatePayloadInflater();
    Doubles.Reset();
    const unsigned long indexBytes = FindPayloadEntry(128)->bytes, textBytes = FindPayloadEntry(163)->bytes;
    ASSERT_EQ(ExtractPayloadToFile(inflater, 128, folder_.File("pycizudic.idx").c_str(), indexBytes), 1);
    EXPECT_GE(Doubles.responsiveCalls, static_cast<int>(indexBytes / kInflateBlockSize));
    ASSERT_EQ(ExtractPayloadToFile(inflater, 163, folder_.File("License_cn.txt").c_str(), textBytes), 1);
    EXPECT_EQ(ExtractPayloadToFile(inflater, 163, folder_.File("cut.txt").c_str(), textBytes + 1), 0);
    EXPECT_EQ(ExtractPayloadToFile(inflater, 107, folder_.File("missing.bin").c_str(), 0), 0);
    DestroyPayloadInflater(inflater);
    EXPECT_FALSE(PathExists(folder_.File("cut.txt").c_str()));
    EXPECT_FALSE(PathExists(folder_.File("missing.bin").c_str()));
    std::vector<unsigned char> whole(indexBytes);
    unsigned long length = 0;
    ASSERT_EQ(UnpackPayload(128, whole.data(), whole.size(), &length), 0);
    EXPECT_EQ(ReadFile(folder_.File("pycizudic.idx")), std::string(whole.begin(), whole.begin() + length));
    EXPECT_EQ(ReadFile(folder_.File("License_cn.txt")).size(), textBytes);
    EXPECT_EQ(Protection("License_cn.txt"), 0u);
}

// Read-only and hidden are lifted for the act, and put back when it fails.
TEST_F(FilePlacement, ProtectionIsLiftedForAnActAndPutBackWhenItFails) {
    WriteFile(folder_.File("f"), "x");
    Protect("f", kAttributeProtection);
    EXPECT_EQ(WithProtectionLifted(folder_.File("f").c_str(), [&] { return Protection("f") != 0; }), 0);
    EXPECT_EQ(Protection("f"), kAttributeProtection);
    EXPECT_EQ(WithProtectionLifted(folder_.File("missing").c_str(), [] { return 1; }), 1);
}

TEST_F(FilePlacement, DeleteRemovesAProtectedFile) {
    WriteFile(folder_.File("pykeys.dic1111"), "x");
    Protect("pykeys.dic1111", kAttributeProtection);
    EXPECT_EQ(RemovePlainFile(folder_.File("pykeys.dic1111").c_str()), 1);
    EXPECT_FALSE(PathExists(folder_.File("pykeys.dic1111").c_str()));
    EXPECT_EQ(RemovePlainFile(folder_.File("pykeys.dic1111").c_str()), 1);  // nothing is there
}

TEST_F(FilePlacement, AttributesAreStoredAsWineKeepsThem) {
    WriteFile(folder_.File("w.bin"), "x");
    Protect("w.bin", kAttributeProtection);
    std::string path = folder_.File("w.bin");
    char value[16] = {};
    ASSERT_GT(getxattr(path.c_str(), "user.DOSATTRIB", value, sizeof value - 1), 0);
    EXPECT_STREQ(value, "0x2");
    struct stat info;
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0222, 0u);
    WriteAttributeWord(path.c_str(), kAttributeArchive);
    EXPECT_LT(getxattr(path.c_str(), "user.DOSATTRIB", value, sizeof value - 1), 1);
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_NE(info.st_mode & 0200, 0u);
}

}  // namespace
