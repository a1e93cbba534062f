// The smallest window program with the setup's DLL search restriction: what it loads from its own
// folder is loaded by the platform itself, whatever a program does.
#include <windows.h>

#include "base/dll_search_win32.h"
#include "base/system_version.h"

// With "stay" on its command line it runs until it is ended, as a program in use would.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    unsigned long platformId = 0;
    ReadRunningSystem(&platformId);
    RestrictDllSearch();
    HWND window = CreateWindowExA(0, "STATIC", "bare", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                  nullptr, nullptr, instance, nullptr);
    if (!commandLine || lstrcmpA(commandLine, "stay") != 0)
        SetTimer(window, 1, 1000, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER)
            break;
        DispatchMessageA(&message);
    }
    DestroyWindow(window);
    return 0;
}
