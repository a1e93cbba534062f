// The smallest dialog program: a modeless dialog from a template and a message loop. The yardstick
// for the setup's time to a visible wizard.
#include <windows.h>

namespace {

INT_PTR CALLBACK BareDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    HWND dialog = CreateDialogParamA(instance, MAKEINTRESOURCEA(1), nullptr, BareDialogProc, 0);
    MSG message;
    while (dialog && GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageA(dialog, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return 0;
}
