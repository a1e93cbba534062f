#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <zlib.h>

#include "base/setup_state.h"
#include "payload/payload_catalogue.h"
#include "payload_store_posix.h"
#include "temp_folder.h"
#include "wizard/wizard_state.h"

namespace {

class WizardState : public ::testing::Test {
  protected:
    void SetUp() override {
        WizardPage = 0;
        DisplayOk = 0;
    }
};

TEST_F(WizardState, NextWalksThePagesAndAsksForTheDisplayAnswer) {
    PageChange change = OnWizardNext(0, 0);
    EXPECT_EQ(WizardPage, 1);
    EXPECT_EQ(change.showPage, 1);
    EXPECT_EQ(change.clearAnswers, 1);

    DisplayOk = 1;
    change = OnWizardNext(0, 0);
    EXPECT_EQ(WizardPage, 1);
    EXPECT_EQ(change.askForAnswer, 1);
    EXPECT_EQ(change.showPage, -1);
    EXPECT_EQ(DisplayOk, 0);  // written before the answer is checked

    change = OnWizardNext(0, 1);
    EXPECT_EQ(DisplayOk, 0);
    EXPECT_EQ(WizardPage, 2);
    change = OnWizardNext(0, 0);
    EXPECT_EQ(WizardPage, 3);
    EXPECT_EQ(change.showPage, 3);
    change = OnWizardNext(0, 0);
    EXPECT_EQ(change.finalNext, 1);
    EXPECT_EQ(change.showPage, -1);
}

TEST_F(WizardState, BackAndCancel) {
    EXPECT_EQ(OnWizardBack().showPage, -1);
    EXPECT_EQ(WizardPage, 0);
    for (int page = 1; page <= 3; page++) {
        WizardPage = page;
        PageChange change = OnWizardBack();
        EXPECT_EQ(WizardPage, page - 1);
        EXPECT_EQ(change.showPage, page - 1);
        EXPECT_EQ(change.clearAnswers, 0);  // 2 -> 1 keeps the answers
    }
    EXPECT_FALSE(BackButtonShown(0));
    EXPECT_TRUE(BackButtonShown(1));
    EXPECT_TRUE(BackButtonShown(3));
    for (int page : {0, 1, 2, 3}) {
        WizardPage = page;
        OnWizardCancel();
        EXPECT_EQ(WizardPage, -1);
    }
}

// The install neither starts again inside itself nor is left half-way.
TEST_F(WizardState, NothingChangesWhileInstalling) {
    WizardPage = 99;
    PageChange next = OnWizardNext(1, 0), back = OnWizardBack();
    OnWizardCancel();
    EXPECT_EQ(WizardPage, 99);
    EXPECT_EQ(next.finalNext + next.askForAnswer + back.clearAnswers, 0);
    EXPECT_EQ(next.showPage, -1);
    EXPECT_EQ(back.showPage, -1);
}

TEST(LanguageList, CurrentLanguageFirstOthersInTableOrder) {
    int order[kLanguageCount];
    LanguageListOrder(1, order);
    EXPECT_EQ(std::vector<int>(order, order + 3), (std::vector<int>{1, 0, 2}));
    LanguageListOrder(0, order);
    EXPECT_EQ(std::vector<int>(order, order + 3), (std::vector<int>{0, 1, 2}));
    LanguageListOrder(2, order);
    EXPECT_EQ(std::vector<int>(order, order + 3), (std::vector<int>{2, 0, 1}));
    LanguageListOrder(7, order);
    EXPECT_EQ(std::vector<int>(order, order + 3), (std::vector<int>{0, 1, 2}));
    EXPECT_STREQ(LanguageName(1), "Chinese(Simplified)  中文简体");
    EXPECT_STREQ(LanguageName(2), "Chinese(Traditional) 中文繁体");
}

std::vector<std::string> Cut(std::string text) {
    const char *cut[kLicenceLineLimit];
    int count = CutLicenceLines(&text[0], cut);
    return std::vector<std::string>(cut, cut + count);
}

TEST(LicenceLines, CrEndedLines) {
    EXPECT_EQ(Cut("one\r\ntwo\r\n"), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(Cut("a\rb\r"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(Cut("a\nb\r\n"), (std::vector<std::string>{"a\nb"}));  // a lone LF stays inside
    EXPECT_EQ(Cut("\r\n\r\nx\r\n"), (std::vector<std::string>{"", "", "x"}));
    EXPECT_EQ(Cut("kept\r\ndropped"), (std::vector<std::string>{"kept"}));
    EXPECT_EQ(Cut("a\r\n\nb\r"), (std::vector<std::string>{"a", "\nb"}));  // one LF after the CR
    std::string many;
    for (int i = 0; i < 600; i++)
        many += "line " + std::to_string(i) + "\r\n";
    std::vector<std::string> lines = Cut(many);
    ASSERT_EQ(lines.size(), 500u);
    EXPECT_EQ(lines.back(), "line 499");
}

TEST(LicenceLines, ShippedLicencesLoad) {
    std::vector<char> buffer(kLicenceBufferSize);
    ASSERT_EQ(UnpackLicence(163, buffer.data()), 1);
    EXPECT_EQ(Cut(buffer.data()).size(), 63u);
    ASSERT_EQ(UnpackLicence(164, buffer.data()), 1);
    EXPECT_EQ(std::string(buffer.data()).size(), FindPayloadEntry(164)->bytes);
    EXPECT_EQ(UnpackLicence(107, buffer.data()), 0);
}

TEST(LicenceLines, TextFillingTheWholeBufferIsRefused) {
    TempFolder folder;
    for (size_t size : {65535u, 65536u}) {
        std::string text(size, 'x');
        uLongf packedSize = compressBound(size);
        std::string packed(packedSize, 0);
        compress2(reinterpret_cast<Bytef *>(&packed[0]), &packedSize,
                  reinterpret_cast<const Bytef *>(text.data()), size, 9);
        packed.resize(packedSize);
        std::string name = std::to_string(size);
        mkdir(folder.File(name).c_str(), 0755);
        WriteFile(folder.File(name + "/163.z"), packed);
    }
    std::vector<char> buffer(kLicenceBufferSize + 1, 'Z');
    SetPayloadDirectory(folder.File("65535").c_str());
    EXPECT_EQ(UnpackLicence(163, buffer.data()), 1);
    EXPECT_EQ(buffer[65535], 0);
    SetPayloadDirectory(folder.File("65536").c_str());
    buffer[kLicenceBufferSize] = 'Z';
    EXPECT_EQ(UnpackLicence(163, buffer.data()), 0);
    EXPECT_EQ(buffer[kLicenceBufferSize], 'Z');  // nothing written past the buffer
    SetPayloadDirectory(TESSO_PAYLOAD_DIR);
}

}  // namespace
