// The wizard stays responsive through the whole install and the wait for the result: it answers
// what is sent to it and repaints itself, so that no system takes it for hung, while every way a
// user closes a window or presses a key leaves the install alone until the result shows.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "base/resource_ids.h"
#include "wine_helpers.h"
#include "wizard_walk.h"

namespace {

using namespace driver;

const char kSuccess[] = "Congratulations! Installation Success!";
// Windows XP and later call a window hung after 5 s without an answer; this leaves a wide margin
// for a busy test machine. The benchmark holds the real goal (bench/longest_wait.cpp).
const double kLongestAnswerMs = 2000;

// The middle of the caption's close box, as the window itself reports it.
bool FindCloseBox(HWND window, POINT *centre) {
    RECT frame;
    GetWindowRect(window, &frame);
    long xs = 0, ys = 0, hits = 0;
    for (int y = frame.top; y < frame.top + 48; y++)
        for (int x = frame.right - 96; x < frame.right; x++)
            if (SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE) {
                xs += x;
                ys += y;
                hits++;
            }
    if (hits == 0)
        return false;
    *centre = POINT{xs / hits, ys / hits};
    return true;
}

// Milliseconds until the wizard has painted what was invalidated, or -1 when it did not within
// `timeoutMs`.
double RepaintMs(HWND window, int timeoutMs) {
    InvalidateRect(window, nullptr, FALSE);
    DWORD start = GetTickCount();
    while (GetUpdateRect(window, nullptr, FALSE)) {
        if (GetTickCount() - start > static_cast<DWORD>(timeoutMs))
            return -1;
        Sleep(5);
    }
    return GetTickCount() - start;
}

bool NoButtonShown(HWND wizard) {
    return !IsShown(wizard, IDC_NEXT) && !IsShown(wizard, IDC_BACK) && !IsShown(wizard, IDC_CANCEL);
}

// Asks the wizard from this process, again and again, whether the session may end, as a log-off
// does; counts its refusals, and the times it agreed while its result was not shown yet.
struct SessionEndAsker {
    HWND wizard;
    DWORD process;
    volatile LONG stop;
    int refused, agreedEarly;
    static DWORD WINAPI Run(void *context) {
        SessionEndAsker *asker = static_cast<SessionEndAsker *>(context);
        while (!asker->stop && IsWindow(asker->wizard)) {
            DWORD_PTR agreed = 1;
            if (!SendMessageTimeoutA(asker->wizard, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL,
                                     60000, &agreed))
                continue;
            if (!agreed)
                asker->refused++;
            else if (!FindProcessWindow(asker->process, kMessageCaption))
                asker->agreedEarly++;
            Sleep(40);
        }
        return 0;
    }
};

TEST(Responsiveness, WizardAnswersThroughTheInstallAndTheWaitWhileInputHasNoEffect) {
    std::string folder = FreshFolder("responsive") + "\\Tesso";
    driver::Setup setup;
    ASSERT_TRUE(StartSetup(&setup));
    HWND wizard = setup.wizard;
    SetText(wizard, IDC_FOLDER, folder);
    ASSERT_TRUE(GoNext(wizard, kByClick, 1));
    Click(Control(wizard, IDC_ANSWER_OK));
    ASSERT_TRUE(GoNext(wizard, kByClick, 2));
    ASSERT_TRUE(GoNext(wizard, kByClick, 3));
    POINT closeBox;
    ASSERT_TRUE(FindCloseBox(wizard, &closeBox));

    AnswerWatch watch(wizard);
    DWORD start = Click(Control(wizard, IDC_NEXT));
    // During the install and the wait, every way a user ends a window or goes on.
    Key(VK_ESCAPE);
    KeyWith(VK_MENU, VK_F4);
    ClickAt(wizard, closeBox);
    PostMessageA(wizard, WM_SYSCOMMAND, SC_CLOSE, 0);  // the taskbar's Close
    Key(VK_RETURN);
    // From the moment the install hides the buttons (it refuses from the click on), log-off asks.
    for (int waited = 0; waited < 5000 && !NoButtonShown(wizard); waited += 10)
        Sleep(10);
    SessionEndAsker asker = {wizard, setup.process.dwProcessId, 0, 0, 0};
    HANDLE asking = CreateThread(nullptr, 0, SessionEndAsker::Run, &asker, 0, nullptr);
    double repaintMs = RepaintMs(wizard, 2000);
    bool beforeResult = !FindProcessWindow(setup.process.dwProcessId, kMessageCaption);
    EXPECT_TRUE(beforeResult) << "the result showed " << GetTickCount() - start
                              << " ms after the click, before the input was given";
    EXPECT_FALSE(HasExited(setup));
    EXPECT_TRUE(NoButtonShown(wizard));
    EXPECT_GE(repaintMs, 0) << "the wizard did not repaint itself within 2 s during the install";

    HWND box = WaitForMessage(setup, 30000);
    double secondsToResult = (GetTickCount() - start) / 1000.0;
    InterlockedExchange(&asker.stop, 1);
    WaitForSingleObject(asking, INFINITE);
    CloseHandle(asking);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(asker.agreedEarly, 0) << "the wizard let the session end during the install";
    EXPECT_GT(asker.refused, 20) << "it was asked throughout, and refused each time";
    watch.Stop();
    EXPECT_EQ(MessageEnglish(box), kSuccess);
    EXPECT_TRUE(NoButtonShown(wizard));
    std::printf(
        "longest answer from the install's click to its result: %.0f ms (%d answers, result after %.1f "
        "s), a repaint took %.0f ms; %d requests to end the session refused\n",
        watch.LongestMs(), watch.Answers(), secondsToResult, repaintMs, asker.refused);
    EXPECT_LT(watch.LongestMs(), kLongestAnswerMs);
    EXPECT_GT(watch.Answers(), 20);  // it answered throughout, not once at the end
    EXPECT_GE(secondsToResult, 5.0);
    EXPECT_TRUE(AnswerMessage(box, IDC_CONFIRM));
    EXPECT_EQ(WaitForExit(&setup), 0);
    EXPECT_NE(FileAttributes(folder + "\\TSO.exe"), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(FileAttributes(folder + "\\chipadui.ini"), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
