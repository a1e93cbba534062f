// Real mouse and keyboard input, as a user gives it, each followed by a wait for the setup to settle.
#include "wizard_driver.h"

namespace driver {

namespace {

void BringToFront(HWND control) {
    HWND top = GetAncestor(control, GA_ROOT);
    SetForegroundWindow(top);
    Sleep(50);
}

void MoveMouseTo(int x, int y) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
    Sleep(30);
}

void MouseButton(DWORD flag) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flag;
    SendInput(1, &input, sizeof input);
    Sleep(60);
}

// Two clicks closer than the double-click time are a double-click, which a check box with the
// notify style reports instead of toggling; a user's separate clicks are further apart.
void WaitOutDoubleClick() {
    static DWORD lastClick = 0;
    DWORD gap = GetDoubleClickTime() + 50;
    DWORD since = GetTickCount() - lastClick;
    if (lastClick && since < gap)
        Sleep(gap - since);
    lastClick = GetTickCount();
}

// After input, waits until the window's process has handled it and sits idle in its message loop
// again, so that checks right after a click see its effect even on a busy machine.
void SettleAfterInput(HWND window) {
    Sleep(100);
    DWORD processId = 0;
    if (!window || !GetWindowThreadProcessId(window, &processId))
        return;
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId);
    if (process) {
        WaitForInputIdle(process, 5000);
        CloseHandle(process);
    }
    Sleep(50);
}

void MoveToCentre(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    MoveMouseTo((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

}  // namespace

DWORD Click(HWND control) {
    WaitOutDoubleClick();
    BringToFront(control);
    MoveToCentre(control);
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    DWORD released = GetTickCount();
    MouseButton(MOUSEEVENTF_LEFTUP);
    SettleAfterInput(control);
    return released;
}

void MouseDown(HWND control) {
    WaitOutDoubleClick();
    BringToFront(control);
    MoveToCentre(control);
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    SettleAfterInput(control);
}

void MouseUpAway(HWND awayFrom) {
    RECT r;
    GetWindowRect(GetAncestor(awayFrom, GA_ROOT), &r);
    MoveMouseTo(r.left + 20, r.bottom - 12);  // the empty corner of the left panel
    MouseButton(MOUSEEVENTF_LEFTUP);
    SettleAfterInput(awayFrom);
}

DWORD Key(WORD virtualKey) {
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = inputs[1].ki.wVk = virtualKey;
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    DWORD pressed = GetTickCount();
    SendInput(2, inputs, sizeof inputs[0]);
    SettleAfterInput(GetForegroundWindow());
    return pressed;
}

void KeyWith(WORD heldKey, WORD virtualKey) {
    INPUT inputs[4] = {};
    for (INPUT &input : inputs)
        input.type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = inputs[3].ki.wVk = heldKey;
    inputs[1].ki.wVk = inputs[2].ki.wVk = virtualKey;
    inputs[2].ki.dwFlags = inputs[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, inputs, sizeof inputs[0]);
    SettleAfterInput(GetForegroundWindow());
}

DWORD ClickAt(HWND window, POINT screen) {
    WaitOutDoubleClick();
    BringToFront(window);
    MoveMouseTo(screen.x, screen.y);
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    DWORD released = GetTickCount();
    MouseButton(MOUSEEVENTF_LEFTUP);
    SettleAfterInput(window);
    return released;
}

void Focus(HWND control) {
    HWND dialog = GetParent(control);
    BringToFront(control);
    PostMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    SettleAfterInput(dialog);
}

}  // namespace driver
