#include <windows.h>

#include <commctrl.h>

#include "install/install_ui.h"
#include "setup/dll_search_win32.h"
#include "setup/setup_state_win32.h"
#include "wizard/message_box_win32.h"
#include "wizard/resource_ids.h"

int ShowWizardMessage(const char *chinese, const char *english, int kind) {
    return ShowMessage(chinese, english, kind, WizardWindow);
}

// The progress bar is made only now, in the place the template keeps for it: its class is
// comctl32's, and loading comctl32 before the wizard would delay the wizard for a control that
// only the install shows. comctl32 is loaded by its full path (it is not a KnownDLL);
// InitCommonControls is in every comctl32, InitCommonControlsEx not in the 4.00 of retail
// Windows 95 and NT 4.0. Without it the install goes on without a bar.
void ShowInstallProgress() {
    HWND place = GetDlgItem(WizardWindow, IDC_PROGRESS_PLACE);
    FARPROC initialise = LoadSystemFunction("comctl32.dll", "InitCommonControls");
    if (!place || !initialise)
        return;
    AsFunction<void(WINAPI *)()>(initialise)();
    RECT area;
    GetWindowRect(place, &area);
    MapWindowPoints(nullptr, WizardWindow, reinterpret_cast<POINT *>(&area), 2);
    CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE | WS_BORDER | PBS_SMOOTH, area.left,
                    area.top, area.right - area.left, area.bottom - area.top, WizardWindow,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PROGRESS)), ProgramInstance, nullptr);
}

// No messages are pumped during the install, so the bar repaints itself at each checkpoint.
void SetProgressCheckpoint(int position) {
    HWND bar = GetDlgItem(WizardWindow, IDC_PROGRESS);
    SendMessageA(bar, PBM_SETPOS, position, 0);
    UpdateWindow(bar);
}

void ShowWaitCursor() { SetCursor(LoadCursorA(nullptr, IDC_WAIT)); }
