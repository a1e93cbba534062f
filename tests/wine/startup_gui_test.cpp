// The real setup under Wine: it starts, draws its captions from its own glyph font, and ends with
// the right exit code on Escape, Enter, WM_QUIT and a damaged glyph font.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "base/resource_ids.h"
#include "wizard_driver.h"

namespace {

const uint32_t kBlack = 0x000000;

class SetupRun : public ::testing::Test {
  protected:
    void TearDown() override {
        if (setup_.process.hProcess)
            driver::WaitForExit(&setup_, 100);
    }
    driver::Setup setup_;
};

// Runs on an English and on a Chinese system; the screenshots are kept.
TEST_F(SetupRun, StartScreenDrawsNextFromTheGlyphFont) {
    ASSERT_TRUE(driver::StartSetup(&setup_));
    driver::SaveScreenshot(setup_.wizard, "start");
    driver::Image image = driver::Capture(setup_.wizard);
    POINT at;
    // 下 of "下一步 Next" is the cell of 0xCFC2, pixel for pixel, inside button 1001.
    RECT next = driver::ClientArea(driver::Control(setup_.wizard, IDC_NEXT), setup_.wizard);
    ASSERT_TRUE(driver::FindGlyph(image, driver::LoadGlyph(0xCFC2), kBlack, next, &at));
    EXPECT_TRUE(driver::FindChineseText(image, "下一步", kBlack, next, &at));
    RECT cancel = driver::ClientArea(driver::Control(setup_.wizard, IDCANCEL), setup_.wizard);
    EXPECT_TRUE(driver::FindChineseText(image, "取消", kBlack, cancel, &at));
    driver::Key(VK_ESCAPE);
    EXPECT_EQ(driver::WaitForExit(&setup_), 0);
}

TEST_F(SetupRun, LeftPanelAndPageZeroCaptions) {
    ASSERT_TRUE(driver::StartSetup(&setup_));
    driver::Image image = driver::Capture(setup_.wizard);
    POINT at;
    RECT divider = driver::ClientArea(driver::Control(setup_.wizard, IDC_DIVIDER), setup_.wizard);
    RECT panel = {0, 0, divider.left, image.height};
    EXPECT_TRUE(driver::FindChineseText(image, "《岚笔》", kBlack, panel, &at));
    EXPECT_TRUE(driver::FindChineseText(image, "中文输入引擎", kBlack, panel, &at));
    EXPECT_TRUE(driver::FindChineseText(image, "安装程序", kBlack, panel, &at));
    RECT label = driver::ClientArea(driver::Control(setup_.wizard, IDC_FOLDER_LABEL), setup_.wizard);
    EXPECT_TRUE(driver::FindChineseText(image, "安装路径", kBlack, label, &at));
    EXPECT_EQ(driver::Text(setup_.wizard, IDC_FOLDER), "C:\\Tesso");
    EXPECT_FALSE(driver::IsShown(setup_.wizard, IDC_BACK));
    EXPECT_FALSE(driver::IsShown(setup_.wizard, IDC_QUESTION));
    driver::Key(VK_ESCAPE);
    EXPECT_EQ(driver::WaitForExit(&setup_), 0);
}

TEST_F(SetupRun, EnterOnCancelEndsTheSetup) {
    ASSERT_TRUE(driver::StartSetup(&setup_));
    driver::Focus(driver::Control(setup_.wizard, IDCANCEL));
    driver::Key(VK_RETURN);
    EXPECT_EQ(driver::WaitForExit(&setup_), 0);
}

TEST_F(SetupRun, QuitMessageEndsTheSetup) {
    ASSERT_TRUE(driver::StartSetup(&setup_));
    PostThreadMessageA(setup_.process.dwThreadId, WM_QUIT, 0, 0);
    EXPECT_EQ(driver::WaitForExit(&setup_), 0);
}

bool OnDisplayTestPage(void *wizard) { return driver::IsShown(static_cast<HWND>(wizard), IDC_QUESTION); }

TEST_F(SetupRun, EnterOnACheckBoxMeansNext) {
    ASSERT_TRUE(driver::StartSetup(&setup_));
    driver::Focus(driver::Control(setup_.wizard, IDC_AUTO_START));
    driver::Key(VK_RETURN);
    EXPECT_TRUE(driver::WaitUntil(OnDisplayTestPage, setup_.wizard));
    EXPECT_FALSE(driver::IsChecked(setup_.wizard, IDC_AUTO_START));  // the key did not toggle it
    driver::Key(VK_ESCAPE);
    EXPECT_EQ(driver::WaitForExit(&setup_), 0);
}

// Fully inside the work area, Browse and Cancel included, even at 800x600 with large fonts, where
// the template's own font would make it 916 pixels wide.
TEST_F(SetupRun, WizardIsPlacedInsideTheWorkArea) {
    ASSERT_TRUE(driver::StartSetup(&setup_));
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    for (HWND window : {setup_.wizard, driver::Control(setup_.wizard, IDC_BROWSE),
                        driver::Control(setup_.wizard, IDC_CANCEL)}) {
        RECT box;
        GetWindowRect(window, &box);
        EXPECT_GE(box.left, work.left);
        EXPECT_GE(box.top, work.top);
        EXPECT_LE(box.right, work.right);
        EXPECT_LE(box.bottom, work.bottom);
    }
    driver::SaveScreenshot(setup_.wizard, "work-area");
    driver::Key(VK_ESCAPE);
    EXPECT_EQ(driver::WaitForExit(&setup_), 0);
}

// Without its glyph font the setup cannot draw its own box: the system's box shows both texts,
// and the setup ends with 1 without a wizard.
TEST_F(SetupRun, DamagedGlyphFontIsReportedAndEndsWithOne) {
    std::string damaged = driver::DamagedSetupCopy(110);
    ASSERT_FALSE(damaged.empty());
    ASSERT_TRUE(driver::LaunchSetup(&setup_, damaged));
    HWND box = driver::WaitForWindow(setup_.process.dwProcessId, driver::kWizardCaption);
    ASSERT_NE(box, nullptr);
    char text[512] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the static text of a system message box
    EXPECT_EQ(std::string(text).find("The setup file is damaged and cannot install."), 0u) << text;
    EXPECT_EQ(driver::Control(box, IDC_NEXT), nullptr);  // the system's box, not the wizard
    driver::SaveScreenshot(box, "damaged-font");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(driver::WaitForExit(&setup_), 1);
}

}  // namespace
