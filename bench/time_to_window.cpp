// Time from CreateProcess to a visible top-level window with the given caption, for two programs
// started alternately, best of several rounds each: the setup against a bare dialog program.
// usage: time_to_window <setup.exe> <setup caption> <bare.exe> <bare caption> <rounds>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "wizard_driver.h"

namespace {

// Milliseconds to the window, or a negative number when it never came.
double TimeToWindow(const char *exe, const char *caption) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    char command[MAX_PATH + 2];
    std::snprintf(command, sizeof command, "\"%s\"", exe);
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(exe, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    double ms = -1;
    for (int polls = 0; polls < 20000; polls++) {
        if (driver::FindProcessWindow(process.dwProcessId, caption)) {
            QueryPerformanceCounter(&now);
            ms = (now.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart;
            break;
        }
        Sleep(0);
    }
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 5000);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return ms;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: time_to_window <setup.exe> <caption> <bare.exe> <caption> <rounds>\n");
        return 2;
    }
    double setupBest = 1e9, bareBest = 1e9, setupWorst = 0, bareWorst = 0;
    for (int round = 0; round < std::atoi(argv[5]); round++) {
        for (int turn = 0; turn < 2; turn++) {
            bool setupTurn = (round + turn) % 2 == 0;
            double ms = setupTurn ? TimeToWindow(argv[1], argv[2]) : TimeToWindow(argv[3], argv[4]);
            if (ms < 0) {
                std::printf("the %s window never appeared\n", setupTurn ? "setup's" : "bare");
                return 1;
            }
            double &best = setupTurn ? setupBest : bareBest, &worst = setupTurn ? setupWorst : bareWorst;
            best = ms < best ? ms : best;
            worst = ms > worst ? ms : worst;
        }
    }
    std::printf("time to a visible window: setup %.0f ms (worst %.0f), bare dialog %.0f ms (worst %.0f), "
                "ratio %.2f (goal 1.20 or below)\n",
                setupBest, setupWorst, bareBest, bareWorst, setupBest / bareBest);
    return 0;
}
