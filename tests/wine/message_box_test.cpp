// The bilingual message box, shown in this process and answered from a second thread through the
// screen, with the mouse and the keyboard.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <functional>
#include <string>
#include <thread>

#include "base/resource_ids.h"
#include "base/setup_state_win32.h"
#include "glyphs/mixed_text_win32.h"
#include "wizard/message_box_win32.h"
#include "wizard/message_layout.h"
#include "wizard_driver.h"

namespace {

const uint32_t kBlack = 0x000000;
const char kShort[] = "安装目录有老词库。";
const char kLong[] = "无法建目录。请检查所列目录是否合法（注意：子目录只能在已存在的目录下建）。";

// Shows a box here while `answer` looks at it and ends it from another thread.
int ShowAndAnswer(const char *chinese, const char *english, int kind,
                  const std::function<void(HWND)> &answer) {
    std::thread helper([&] {
        HWND box = driver::WaitForWindow(GetCurrentProcessId(), driver::kMessageCaption);
        if (!box)
            return;
        Sleep(200);
        answer(box);
    });
    int result = ShowMessage(chinese, english, kind, nullptr);
    helper.join();
    return result;
}

// The layout the box must have taken, from what it measures of its own texts.
MessageLayout ExpectedLayout(HWND box, const char *chinese, const char *english, int kind) {
    HDC dc = GetDC(box);
    MessageLayoutInput in = {};
    in.kind = kind;
    in.chineseWidth = MeasureMixedText(dc, chinese).cx;
    in.chineseBytes = static_cast<int>(std::strlen(chinese));
    SIZE e = {0, 0};
    if (english && *english)
        GetTextExtentPointA(dc, english, static_cast<int>(std::strlen(english)), &e);
    in.englishWidth = e.cx;
    in.englishHeight = e.cy;
    ReleaseDC(box, dc);
    RECT button;
    GetClientRect(GetDlgItem(box, kind == 4 ? IDC_YES_BUTTON : IDC_CONFIRM), &button);
    in.buttonWidth = button.right;
    in.buttonHeight = button.bottom;
    in.frameWidth = GetSystemMetrics(SM_CXDLGFRAME);
    in.screenWidth = GetSystemMetrics(SM_CXSCREEN);
    in.screenHeight = GetSystemMetrics(SM_CYSCREEN);
    return ComputeMessageLayout(in, GetSystemMetrics(SM_CYCAPTION));
}

void CheckLayout(HWND box, const char *chinese, const char *english, int kind) {
    MessageLayout layout = ExpectedLayout(box, chinese, english, kind);
    RECT window;
    GetWindowRect(box, &window);
    EXPECT_EQ(window.left, layout.window.left);
    EXPECT_EQ(window.top, layout.window.top);
    EXPECT_EQ(window.right - window.left, layout.window.right - layout.window.left);
    EXPECT_EQ(window.bottom - window.top, layout.window.bottom - layout.window.top);
    POINT first = {0, 0};
    MapWindowPoints(GetDlgItem(box, layout.firstButton), box, &first, 1);
    EXPECT_EQ(first.x, layout.firstPosition.x);
    EXPECT_EQ(first.y, layout.firstPosition.y);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(box, layout.firstButton)));
    EXPECT_EQ(IsWindowVisible(GetDlgItem(box, IDC_CANCEL)) != 0, false);
    if (kind == 4)
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(box, IDC_NO_BUTTON)));
    else
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(box, IDC_YES_BUTTON)));
    driver::Image image = driver::Capture(box);
    RECT text = driver::ClientArea(GetDlgItem(box, IDC_MESSAGE_TEXT), box);
    POINT at;
    std::string firstWords(chinese, 8);  // four characters are enough to recognise it
    EXPECT_TRUE(driver::FindChineseText(image, firstWords.c_str(), kBlack, text, &at));
}

TEST(MessageBox, KindZeroShortAndLongTexts) {
    int result = ShowAndAnswer(kShort, "Old CiKu (Word Base) is detected.", 0, [](HWND box) {
        CheckLayout(box, kShort, "Old CiKu (Word Base) is detected.", 0);
        driver::SaveScreenshot(box, "message-ok-short");
        driver::Click(GetDlgItem(box, IDC_CONFIRM));
    });
    EXPECT_EQ(result, 1);
    result = ShowAndAnswer(kLong, "Cannot create folder! Please check folder path.", 0, [](HWND box) {
        CheckLayout(box, kLong, "Cannot create folder! Please check folder path.", 0);
        driver::SaveScreenshot(box, "message-ok-long");
        driver::Key(VK_ESCAPE);
    });
    EXPECT_EQ(result, 2);
}

TEST(MessageBox, KindFourYesNoAndEscape) {
    const char *english = "Old CiKu (Word Base) is detected. Replace it with new CiKu?";
    int result = ShowAndAnswer(kShort, english, 4, [&](HWND box) {
        CheckLayout(box, kShort, english, 4);
        driver::SaveScreenshot(box, "message-yes-no");
        driver::Click(GetDlgItem(box, IDC_YES_BUTTON));
    });
    EXPECT_EQ(result, 6);
    result = ShowAndAnswer(kLong, english, 4, [&](HWND box) {
        CheckLayout(box, kLong, english, 4);
        driver::Click(GetDlgItem(box, IDC_NO_BUTTON));
    });
    EXPECT_EQ(result, 7);
    result = ShowAndAnswer(kShort, english, 4, [](HWND) { driver::Key(VK_ESCAPE); });
    EXPECT_EQ(result, 2);
    // Enter and Space press the button that has the focus.
    struct Case {
        int focus;
        WORD key;
        int result;
    } keys[] = {{IDC_YES_BUTTON, VK_RETURN, 6}, {IDC_NO_BUTTON, VK_RETURN, 7}, {IDC_NO_BUTTON, VK_SPACE, 7}};
    for (const Case &c : keys) {
        result = ShowAndAnswer(kShort, english, 4, [&](HWND box) {
            SendMessageA(box, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(box, c.focus)), TRUE);
            Sleep(100);
            driver::Key(c.key);
        });
        EXPECT_EQ(result, c.result) << c.focus << " " << c.key;
    }
}

// 216 bytes of Chinese with a path in them: wider than any screen as one line, the text is broken
// between characters, the whole of it shows, and the box stays inside the work area.
TEST(MessageBox, LongTextIsBrokenIntoLinesAndStaysOnScreen) {
    std::string chinese =
        "无法建目录(C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\岚笔中文输入引擎)!";
    if (chinese.size() % 2)
        chinese += ".";  // so that the two-byte characters after it end exactly at 216
    while (chinese.size() < 216)
        chinese += "请检查";
    chinese.resize(216);
    const char kLastWords[] = "请检查";
    int result = ShowAndAnswer(chinese.c_str(), "Cannot create folder!", 0, [&](HWND box) {
        RECT window, work;
        GetWindowRect(box, &window);
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        EXPECT_GE(window.left, work.left);
        EXPECT_GE(window.top, work.top);
        EXPECT_LE(window.right, work.right);
        EXPECT_LE(window.bottom, work.bottom);
        driver::SaveScreenshot(box, "message-long-text");
        driver::Image image = driver::Capture(box);
        RECT text = driver::ClientArea(GetDlgItem(box, IDC_MESSAGE_TEXT), box);
        POINT first, last;
        EXPECT_TRUE(driver::FindChineseText(image, "无法建目录", kBlack, text, &first));
        RECT tail = text;
        tail.top = text.bottom - 40;  // the last line
        EXPECT_TRUE(driver::FindChineseText(image, kLastWords, kBlack, tail, &last));
        RECT button;
        GetWindowRect(GetDlgItem(box, IDC_CONFIRM), &button);
        EXPECT_NEAR((button.left + button.right) / 2, (window.left + window.right) / 2, 4);
        driver::Key(VK_RETURN);
    });
    EXPECT_EQ(result, 1);
}

TEST(MessageBox, NoEnglishTextHidesItsLine) {
    int result = ShowAndAnswer(kShort, nullptr, 0, [](HWND box) {
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(box, IDC_MESSAGE_ENGLISH)));
        CheckLayout(box, kShort, "", 0);
        PostMessageA(box, WM_CLOSE, 0, 0);  // the close box
    });
    EXPECT_EQ(result, 2);
}

}  // namespace
