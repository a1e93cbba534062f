// File placement and the payload store through the real Win32 calls, and the packaging of the
// shipped executables.
#include <gtest/gtest.h>
#include <windows.h>
#include <zlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/setup_state.h"
#include "landing/file_placement.h"
#include "landing/file_system.h"
#include "payload/payload_catalogue.h"
#include "payload/payload_check.h"
#include "payload/payload_store.h"
#include "wine_helpers.h"

namespace {

class Win32FilePlacement : public ::testing::Test {
  protected:
    void SetUp() override { folder_ = FreshFolder("placement"); }
    std::string Path(const char *name) { return folder_ + "\\" + name; }
    std::string folder_;
};

TEST_F(Win32FilePlacement, DeleteProtectedFiles) {
    WriteWhole(Path("old.dic"), "old");
    WriteAttributeWord(Path("old.dic").c_str(), kAttributeProtection);
    EXPECT_EQ(RemovePlainFile(Path("old.dic").c_str()), 1);
    EXPECT_EQ(FileAttributes(Path("old.dic")), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(RemovePlainFile(Path("old.dic").c_str()), 1);  // nothing is there
}

// A held open takes what it checks from the open itself (under Wine from ntdll, without the volume
// query): the size, the attribute word, and a second name, which it refuses.
TEST_F(Win32FilePlacement, HeldOpenReadsSizeAttributesAndNames) {
    IsNtPlatform = 1;
    WriteWhole(Path("held.dic"), std::string(70000, 'h'));
    ASSERT_TRUE(
        WriteAttributeWord(Path("held.dic").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
    HeldFile held;
    ASSERT_EQ(OpenHeldFile(Path("held.dic").c_str(), &held), kHeldOpened);
    EXPECT_EQ(held.bytes, 70000ul);
    EXPECT_EQ(held.attributes, FileAttributes(Path("held.dic")));
    CloseHeldFile(&held);
    ASSERT_TRUE(CreateHardLinkA(Path("second.dic").c_str(), Path("held.dic").c_str(), nullptr));
    EXPECT_EQ(KindOfPath(Path("held.dic").c_str()), kPathNotPlain);
    EXPECT_EQ(IsSecondHardLink(Path("second.dic").c_str()), 1);
    EXPECT_EQ(OpenHeldFile(Path("held.dic").c_str(), &held), kHeldNotPlain);
}

// A payload is written new and whole, never through a name that exists (a locked one among them),
// and with no protection: the commit sets it after the rename.
TEST_F(Win32FilePlacement, ExtractedPayloadsAreNewAndWhole) {
    PayloadInflater *inflater = CreatePayloadInflater();
    for (int id : {110, 111, 109, 163, 126}) {
        const PayloadEntry *entry = FindPayloadEntry(id);
        ASSERT_EQ(ExtractPayloadToFile(inflater, id, Path(PayloadFile(entry)).c_str(), entry->bytes), 1);
        EXPECT_EQ(FileAttributes(Path(PayloadFile(entry))) & kAttributeProtection, 0u) << PayloadFile(entry);
        EXPECT_EQ(FileSize(Path(PayloadFile(entry))), (long)entry->bytes);
    }
    EXPECT_EQ(ExtractPayloadToFile(inflater, 107, Path("nothing.bin").c_str(), 0), 0);
    EXPECT_EQ(FileAttributes(Path("nothing.bin")), INVALID_FILE_ATTRIBUTES);
    WriteWhole(Path("locked.bin"), "kept");
    HANDLE lock =
        CreateFileA(Path("locked.bin").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ExtractPayloadToFile(inflater, 163, Path("locked.bin").c_str(), FindPayloadEntry(163)->bytes),
              0);
    CloseHandle(lock);
    EXPECT_EQ(ReadWhole(Path("locked.bin")), "kept");
    std::string tooLong(300 - folder_.size(), 'n');
    EXPECT_EQ(
        ExtractPayloadToFile(inflater, 163, Path(tooLong.c_str()).c_str(), FindPayloadEntry(163)->bytes), 0);
    DestroyPayloadInflater(inflater);
}

// Every catalogue id has its stream in the shipped executables' pack of streams, beginning 78 DA,
// at the size and CRC-32 of the setup's table of checks.
TEST(Packaging, EveryPayloadIsAnEmbeddedZlibStream) {
    std::string exes = Environment("TESSO_SETUP_EXES");
    ASSERT_FALSE(exes.empty());
    size_t start = 0;
    while (start < exes.size()) {
        size_t end = exes.find(';', start);
        std::string exe = exes.substr(start, end == std::string::npos ? std::string::npos : end - start);
        start = end == std::string::npos ? exes.size() : end + 1;
        for (int i = 0; i < PayloadCatalogueCount; i++) {
            std::vector<char> stream = driver::PayloadStream(exe, PayloadCatalogue[i].id);
            ASSERT_GE(stream.size(), 6u) << exe << " " << PayloadCatalogue[i].id;
            EXPECT_EQ(static_cast<unsigned char>(stream[0]), 0x78);
            EXPECT_EQ(static_cast<unsigned char>(stream[1]), 0xDA);
            const PayloadCheck *check =
                std::find_if(PayloadChecks, PayloadChecks + PayloadCheckCount,
                             [&](const PayloadCheck &c) { return c.id == PayloadCatalogue[i].id; });
            ASSERT_NE(check, PayloadChecks + PayloadCheckCount);
            EXPECT_EQ(stream.size(), check->packedBytes);
            EXPECT_EQ(
                crc32(0, reinterpret_cast<const Bytef *>(stream.data()), static_cast<uInt>(stream.size())),
                check->crc32);
        }
    }
}

}  // namespace
