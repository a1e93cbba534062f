#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/setup_state.h"
#include "install/config_file.h"
#include "payload/payload_store.h"

namespace {

class ConfigFile : public ::testing::Test {
  protected:
    void SetUp() override {
        DisplayOk = 1;
        ForceLanguage = 1;
    }
    std::string Update(const std::string &before) {
        std::vector<char> bytes(before.begin(), before.end());
        bytes.resize(before.size() + kConfigGrowth);
        ConfigText text = {bytes.data(), before.size(), bytes.size()};
        EXPECT_EQ(UpdateConfigText(&text), 1);
        return std::string(bytes.data(), text.length);
    }
    std::string Shipped() {
        std::vector<unsigned char> buffer(65536);
        unsigned long length = 0;
        EXPECT_EQ(UnpackPayload(120, buffer.data(), buffer.size(), &length), kPayloadOk);
        return std::string(buffer.begin(), buffer.begin() + length);
    }
};

TEST_F(ConfigFile, ShippedFileDisplayOkAppendsOnlyTheLanguage) {
    std::string shipped = Shipped();
    std::string after = Update(shipped);
    ASSERT_EQ(after.size(), shipped.size() + 19);
    EXPECT_EQ(after.substr(0, shipped.size()), shipped);  // long lines and all pass through unchanged
    const std::string tail = "UseBmpFont=0\r\n\r\n\r\nForceLanguage=1\r\n";
    EXPECT_EQ(after.substr(after.size() - tail.size()), tail);
}

TEST_F(ConfigFile, ShippedFileDisplayNotOkChangesTheValueInPlace) {
    DisplayOk = 0;
    ForceLanguage = 2;
    std::string shipped = Shipped();
    std::string after = Update(shipped);
    std::string expected = shipped;
    expected[shipped.size() - 5] = '1';  // ...UseBmpFont=0 CR LF CR LF
    EXPECT_EQ(after, expected + "\r\nForceLanguage=2\r\n");
}

TEST_F(ConfigFile, EmptyFileGetsTheSectionAndBothKeys) {
    EXPECT_EQ(Update(""), "\r\n\r\n[Config]\r\n\r\n\r\nUseBmpFont=0\r\n\r\nForceLanguage=1\r\n");
}

TEST_F(ConfigFile, BothKeysPresentOnlyTheValuesChangeAndTheScanStops) {
    DisplayOk = 0;
    ForceLanguage = 0;
    std::string after = Update("[Config]\r\nUseBmpFont=0\r\nForceLanguage=1\r\nUseBmpFont=0\r\n");
    EXPECT_EQ(after, "[Config]\r\nUseBmpFont=1\r\nForceLanguage=0\r\nUseBmpFont=0\r\n");
}

TEST_F(ConfigFile, NeitherSectionNorKeysAreAppended) {
    EXPECT_EQ(Update("[UI_STR]\r\nOpen=x\r\n"),
              "[UI_STR]\r\nOpen=x\r\n\r\n\r\n[Config]\r\n\r\n\r\nUseBmpFont=0\r\n\r\nForceLanguage=1\r\n");
}

// Without room for what it adds, the update says so and writes nothing beyond its room.
TEST_F(ConfigFile, NoRoomIsReported) {
    std::string before = "[UI_STR]\r\nOpen=x\r\n";
    std::vector<char> bytes(before.begin(), before.end());
    bytes.resize(before.size() + 20, '#');
    ConfigText text = {bytes.data(), before.size(), before.size() + 10};
    EXPECT_EQ(UpdateConfigText(&text), 0);
    EXPECT_LE(text.length, before.size() + 10);
    EXPECT_EQ(std::string(bytes.begin() + before.size() + 10, bytes.end()), std::string(10, '#'));
    std::string longLine = "[Config]\r\nUseBmpFont=0ForceLanguage=1\r\n";
    bytes.assign(longLine.begin(), longLine.end());
    text = {bytes.data(), longLine.size(), longLine.size()};
    EXPECT_EQ(UpdateConfigText(&text), 0);
}

TEST_F(ConfigFile, KeyLinesOfAnotherShapeBecomeExactlyTheKeyLine) {
    DisplayOk = 0;
    ForceLanguage = 2;
    EXPECT_EQ(Update("[Config]\r\nUseBmpFont=10\r\nForceLanguage=1234\r\nNext=1\r\n"),
              "[Config]\r\nUseBmpFont=1\r\nForceLanguage=2\r\nNext=1\r\n");
    EXPECT_EQ(Update("[Config]\r\n  UseBmpFont=0 ; old\r\nx=1\r\n"),
              "[Config]\r\nUseBmpFont=1\r\nx=1\r\n\r\nForceLanguage=2\r\n");
    EXPECT_EQ(Update("[Config]\r\nUseBmpFont=\r\nForceLanguage=\r\n"),
              "[Config]\r\nUseBmpFont=1\r\nForceLanguage=2\r\n");
    EXPECT_EQ(Update("[Config]\r\nUseBmpFont=0ForceLanguage=1\r\nend\r\n"),
              "[Config]\r\nUseBmpFont=1\r\nForceLanguage=2\r\nend\r\n");
}

TEST_F(ConfigFile, KeyInsideALongLineReplacesThatLineOnly) {
    std::string longLine = "[UI_STR]\r\n" + std::string(300, 'a') + "UseBmpFont=0\r\nlast\r\n";
    std::string after = Update(longLine);
    EXPECT_EQ(after, "[UI_STR]\r\nUseBmpFont=0\r\nlast\r\n\r\n\r\n[Config]\r\n\r\n\r\nForceLanguage=1\r\n");
}

TEST_F(ConfigFile, BothKeysBeforeTheSectionNeverOverwriteWhatFollows) {
    std::string before = "UseBmpFont=0\r\nForceLanguage=1\r\n[UI_STR]\r\nOpen=x\r\n[Config]\r\n";
    std::string after = Update(before);
    EXPECT_EQ(after, before);
    DisplayOk = 0;
    EXPECT_EQ(Update(before), "UseBmpFont=1\r\nForceLanguage=1\r\n[UI_STR]\r\nOpen=x\r\n[Config]\r\n");
}

}  // namespace
