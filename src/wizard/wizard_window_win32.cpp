// The wizard's side of what the install needs from its window (install/wizard_window.h): its message
// box, its progress bar, its buttons and cursor, its answers to messages during the long steps.
#include <windows.h>

#include <commctrl.h>

#include "base/resource_ids.h"
#include "base/setup_state_win32.h"
#include "base/system_functions_win32.h"
#include "install/install_entry_win32.h"
#include "install/wizard_window.h"
#include "wizard/message_box_win32.h"
#include "wizard/wizard_win32.h"

// A question or report that waits for the user while the install has changed nothing yet lets the
// session end meanwhile: the user may be away, and ending then loses nothing (the folders made and
// the work folder go, see EndInstallForSessionEnd). Once the session has ended nothing more is
// shown and every question is cancelled: the install unwinds, and the setup ends.
int ShowWizardMessage(const char *chinese, const char *english, int kind) {
    if (SessionEnded())
        return IDC_CANCEL;
    int lifted = SessionEndRefused() && InstallChangedNothing();
    if (lifted)
        AllowSessionEnd();
    int answer = ShowMessage(chinese, english, kind, WizardWindow);
    if (lifted && !SessionEnded())
        RefuseSessionEnd();
    return SessionEnded() ? IDC_CANCEL : answer;
}

// The progress bar is made only now, in the place the template keeps for it: its class is
// comctl32's, and loading comctl32 before the wizard would delay the wizard for a control that
// only the install shows. comctl32 is loaded by its full path (it is not a KnownDLL);
// InitCommonControls is in every comctl32, InitCommonControlsEx not in the 4.00 of retail
// Windows 95 and NT 4.0. Without it the install goes on without a bar.
void ShowInstallProgress() {
    HWND place = GetDlgItem(WizardWindow, IDC_PROGRESS_PLACE);
    auto initialise = FindSystemFunction<SystemFunction::InitCommonControls>();
    if (!place || !initialise)
        return;
    initialise();
    RECT area;
    GetWindowRect(place, &area);
    MapWindowPoints(nullptr, WizardWindow, reinterpret_cast<POINT *>(&area), 2);
    CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE | WS_BORDER | PBS_SMOOTH, area.left,
                    area.top, area.right - area.left, area.bottom - area.top, WizardWindow,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PROGRESS)), ProgramInstance, nullptr);
}

// The bar repaints itself at each checkpoint, whenever the wizard last looked at its messages.
void SetProgressCheckpoint(int position) {
    HWND bar = GetDlgItem(WizardWindow, IDC_PROGRESS);
    SendMessageA(bar, PBM_SETPOS, position, 0);
    UpdateWindow(bar);
    KeepWizardResponsive();
}

namespace {

// Keyboard and mouse messages, the caption's and frame's included: a click on the close box or
// Alt+F4 arrives as one of these, and must not end an install under way. The headers, told the
// oldest target, end the ranges where NT 4.0 does; the later systems' messages (WM_UNICHAR from
// XP, the X buttons from 2000, the horizontal wheel from Vista) are dropped too.
const UINT kLastKeyMessage = 0x0109, kLastMouseMessage = 0x020E, kFirstNcXButton = 0x00AB,
           kLastNcXButton = 0x00AD;

int IsUserInput(UINT message) {
    return (message >= WM_KEYFIRST && message <= kLastKeyMessage) ||
           (message >= WM_MOUSEFIRST && message <= kLastMouseMessage) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCMBUTTONDBLCLK) ||
           (message >= kFirstNcXButton && message <= kLastNcXButton);
}

int IsForWizard(HWND window) { return window && (window == WizardWindow || IsChild(WizardWindow, window)); }

// Enough for what can pile up in kResponsiveTicks, and a bound should a window never validate
// itself (its WM_PAINT would come back at once).
const int kMessagesPerLook = 64;

}  // namespace

// PeekMessageA with PM_REMOVE calls the procedures of messages sent from other threads and
// processes itself, and resets the system's hung-window clock on XP and later; 95 and NT 4.0
// have no such clock, but their users see the same blank window. PeekMessage's PM_QS_* filters
// are from 98 and 2000, so the input is told apart here by its number. A WM_QUIT is posted
// again for the main loop. GetTickCount is in every Windows; the unsigned difference stays right
// when the count wraps after 49.7 days (95 counts in 55 ms steps, NT in 10 to 16).
void AnswerWizardMessages() {
    MSG message;
    for (int i = 0; i < kMessagesPerLook && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE); i++) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (IsUserInput(message.message) && IsForWizard(message.hwnd))
            continue;
        DispatchMessageA(&message);
    }
}

void KeepWizardResponsive() {
    static DWORD lastLook;
    DWORD now = GetTickCount();
    if (now - lastLook < kResponsiveTicks)
        return;
    lastLook = now;
    AnswerWizardMessages();
}

// By the tick count: a change of the calendar clock neither stretches nor skips the wait, and the
// unsigned difference stays right when the count wraps. MsgWaitForMultipleObjects (in every
// Windows from 95 and NT 3.1 on) returns as soon as a message arrives, where Sleep would leave it
// waiting. It is not woken by one that was already there when it began (only the Ex form of 98
// and 2000 can be), so no single wait is longer than kResponsiveTicks.
void WaitAnsweringWizard(unsigned long milliseconds) {
    DWORD start = GetTickCount();
    for (DWORD passed; (passed = GetTickCount() - start) < milliseconds;) {
        AnswerWizardMessages();
        DWORD left = milliseconds - passed;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, left < kResponsiveTicks ? left : DWORD{kResponsiveTicks},
                                  QS_ALLINPUT);
    }
}

void ShowWaitCursor() { SetCursor(LoadCursorA(nullptr, IDC_WAIT)); }

namespace {

int RefusingSessionEnd;

// Shown by Vista and later beside the wizard's name in the list of programs that keep the session
// from ending. A Unicode string whatever the code page: the function has no ANSI form.
const wchar_t kSessionEndReason[] =
    L"岚笔正在安装，请等它完成。Tesso is being installed: please let it finish.";

}  // namespace

// ShutdownBlockReasonCreate and ...Destroy are user32's from Vista on, and looked up: XP and
// earlier have no list of programs that block, and only WM_QUERYENDSESSION's answer tells (see
// OnWizardQueryEndSession in wizard_win32.cpp). The reason does not itself block anything; without
// the answer Vista ends the program all the same.
void RefuseSessionEnd() {
    if (RefusingSessionEnd)
        return;
    RefusingSessionEnd = 1;
    if (!IsNtPlatform)
        return;
    if (auto create = FindSystemFunction<SystemFunction::ShutdownBlockReasonCreate>())
        create(WizardWindow, kSessionEndReason);
}

void AllowSessionEnd() {
    if (!RefusingSessionEnd)
        return;
    RefusingSessionEnd = 0;
    if (!IsNtPlatform)
        return;
    if (auto destroy = FindSystemFunction<SystemFunction::ShutdownBlockReasonDestroy>())
        destroy(WizardWindow);
}

int SessionEndRefused() { return RefusingSessionEnd; }

namespace {

int EndedSession;

}  // namespace

void NoteSessionEnded() { EndedSession = 1; }

int SessionEnded() { return EndedSession; }

void HideWizardButtons() {
    static const int kHiddenForInstall[] = {IDC_NEXT, IDC_BACK, IDC_CANCEL, IDC_WAIT_LABEL};
    for (int id : kHiddenForInstall) {
        HWND control = GetDlgItem(WizardWindow, id);
        ShowWindow(control, SW_HIDE);
        UpdateWindow(control);
    }
}
