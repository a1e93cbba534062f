#include <windows.h>

#include <commctrl.h>

#include "install/install_ui.h"
#include "setup/setup_state_win32.h"
#include "wizard/message_box_win32.h"
#include "wizard/resource_ids.h"

int ShowWizardMessage(const char *chinese, const char *english, int kind) {
    return ShowMessage(chinese, english, kind, WizardWindow);
}

void ShowInstallProgress() { ShowWindow(GetDlgItem(WizardWindow, IDC_PROGRESS), SW_SHOW); }

// No messages are pumped during the install, so the bar repaints itself at each checkpoint.
void SetProgressCheckpoint(int position) {
    HWND bar = GetDlgItem(WizardWindow, IDC_PROGRESS);
    SendMessageA(bar, PBM_SETPOS, position, 0);
    UpdateWindow(bar);
}

void ShowWaitCursor() { SetCursor(LoadCursorA(nullptr, IDC_WAIT)); }
