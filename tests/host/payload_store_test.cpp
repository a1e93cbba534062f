#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "payload/payload_catalogue.h"
#include "payload/payload_check.h"
#include "payload/payload_store.h"
#include "payload_store_posix.h"
#include "temp_folder.h"

namespace {

std::vector<unsigned char> Buffer(size_t size) { return std::vector<unsigned char>(size); }

TEST(PayloadCatalogue, HoldsTheInstalledSetOnce) {
    for (int i = 0; i < PayloadCatalogueCount; i++)
        EXPECT_EQ(FindPayloadEntry(PayloadCatalogue[i].id), &PayloadCatalogue[i]);
    EXPECT_EQ(FindPayloadEntry(124), nullptr);  // carried, never installed
    EXPECT_STREQ(PayloadFile(FindPayloadEntry(110)), "ChnBmp.bin");
    EXPECT_EQ(FindPayloadEntry(111)->readOnly, 0);
    EXPECT_EQ(FindPayloadEntry(111)->hidden, 1);
    EXPECT_EQ(FindPayloadEntry(109)->hidden, 0);
}

TEST(UnpackPayload, EveryInstalledPayloadInflatesToItsCatalogueSize) {
    std::vector<unsigned char> buffer = Buffer(33554432);
    for (int i = 0; i < PayloadCatalogueCount; i++) {
        unsigned long length = 0;
        ASSERT_EQ(UnpackPayload(PayloadCatalogue[i].id, buffer.data(), buffer.size(), &length), Z_OK)
            << PayloadCatalogue[i].id;
        EXPECT_EQ(length, PayloadCatalogue[i].bytes) << PayloadFile(&PayloadCatalogue[i]);
    }
}

TEST(UnpackPayload, CapacityMustHoldTheWholePayload) {
    const unsigned long bytes = FindPayloadEntry(128)->bytes;
    std::vector<unsigned char> buffer = Buffer(bytes);
    unsigned long length = 0;
    EXPECT_NE(UnpackPayload(128, buffer.data(), bytes - 1, &length), Z_OK);
    ASSERT_EQ(UnpackPayload(128, buffer.data(), bytes, &length), Z_OK);
    EXPECT_EQ(length, bytes);
    EXPECT_GE(buffer[0], 0x80);  // an earlier install's index makes the installer ask
}

TEST(UnpackPayload, MissingIdFails) {
    std::vector<unsigned char> buffer = Buffer(1024);
    unsigned long length = 0;
    EXPECT_EQ(UnpackPayload(107, buffer.data(), buffer.size(), &length), Z_STREAM_ERROR);
}

// 78 DA: deflate with a 32 KB window, flagged as packed at the highest level (as Zopfli writes it).
TEST(UnpackPayload, EveryStoredStreamIsOneZlibStream) {
    for (int i = 0; i < PayloadCheckCount; i++) {
        int id = PayloadChecks[i].id;
        std::string stream = ReadFile(std::string(TESSO_PAYLOAD_DIR) + "/" + std::to_string(id) + ".z");
        ASSERT_GE(stream.size(), 6u) << id;
        EXPECT_EQ(static_cast<unsigned char>(stream[0]), 0x78) << id;
        EXPECT_EQ(static_cast<unsigned char>(stream[1]), 0xDA) << id;
    }
}

class DamagedPayload : public ::testing::Test {
  protected:
    void SetUp() override {
        stream_ = ReadFile(std::string(TESSO_PAYLOAD_DIR) + "/163.z");
        ASSERT_GT(stream_.size(), 10u);
    }
    void TearDown() override { SetPayloadDirectory(TESSO_PAYLOAD_DIR); }

    // Unpacks payload 163 from a copy of its stream with one byte changed.
    int UnpackWithByteChanged(size_t offset) {
        std::string damaged = stream_;
        damaged[offset] = static_cast<char>(damaged[offset] ^ 0x01);
        WriteFile(folder_.File("163.z"), damaged);
        SetPayloadDirectory(folder_.path().c_str());
        std::vector<unsigned char> buffer = Buffer(65536);
        unsigned long length = 0;
        return UnpackPayload(163, buffer.data(), buffer.size(), &length);
    }

    TempFolder folder_;
    std::string stream_;
};

TEST_F(DamagedPayload, ChangedDeflateDataFails) {
    EXPECT_NE(UnpackWithByteChanged(stream_.size() / 2), Z_OK);
}

TEST_F(DamagedPayload, ChangedAdler32Fails) {
    EXPECT_EQ(UnpackWithByteChanged(stream_.size() - 1), Z_DATA_ERROR);
}

// The check, a piece at a time: every stream of the build passes, the largest in several pieces; a
// changed one does not, and a run that found damage stops there.
TEST_F(DamagedPayload, CheckRunsPieceByPieceAndStopsAtDamage) {
    PayloadCheckRun run = {};
    int steps = 1;
    while (CheckNextPayload(&run))
        steps++;
    EXPECT_EQ(run.damaged, 0);
    EXPECT_EQ(run.next, PayloadCheckCount);
    EXPECT_GT(steps, PayloadCheckCount + 10);  // 13.8 MB of pycizudic.idx alone take 14 pieces
    EXPECT_EQ(PayloadIntact(163), 1);
    std::string damaged = stream_;
    damaged[damaged.size() / 2] ^= 0x01;
    WriteFile(folder_.File("163.z"), damaged);
    SetPayloadDirectory(folder_.path().c_str());
    EXPECT_EQ(PayloadIntact(163), 0);
    run = PayloadCheckRun{};
    EXPECT_EQ(CheckNextPayload(&run), 0);  // the first stream is missing from this folder
    EXPECT_EQ(run.damaged, PayloadChecks[0].id);
    EXPECT_EQ(CheckNextPayload(&run), 0);
    EXPECT_EQ(run.damaged, PayloadChecks[0].id);
}

}  // namespace
