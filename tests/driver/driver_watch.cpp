// The answer watch: how long a window leaves the messages sent to it unanswered.
#include "wizard_driver.h"

namespace driver {

AnswerWatch::AnswerWatch(HWND window) : window_(window) {
    thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
}

AnswerWatch::~AnswerWatch() { Stop(); }

void AnswerWatch::Stop() {
    if (!thread_)
        return;
    InterlockedExchange(&stop_, 1);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
}

DWORD WINAPI AnswerWatch::Run(void *context) {
    AnswerWatch *watch = static_cast<AnswerWatch *>(context);
    LARGE_INTEGER frequency, sent, answered;
    QueryPerformanceFrequency(&frequency);
    const UINT kGiveUpMs = 60000;  // far beyond what any test allows
    while (!watch->stop_) {
        DWORD_PTR result;
        QueryPerformanceCounter(&sent);
        LRESULT delivered =
            SendMessageTimeoutA(watch->window_, WM_NULL, 0, 0, SMTO_NORMAL, kGiveUpMs, &result);
        QueryPerformanceCounter(&answered);
        double ms = (answered.QuadPart - sent.QuadPart) * 1000.0 / frequency.QuadPart;
        if (delivered || GetLastError() == ERROR_TIMEOUT) {
            watch->answers_ += delivered != 0;
            if (ms > watch->longestMs_)
                watch->longestMs_ = ms;
        }
        if (!IsWindow(watch->window_))
            break;
        Sleep(10);
    }
    return 0;
}

}  // namespace driver
