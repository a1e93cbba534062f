// Program entry: probe the platform, load the glyph font, run the wizard, clean up.
#include <windows.h>

#include "glyphs/glyph_cell.h"
#include "glyphs/glyph_text_win32.h"
#include "glyphs/owner_draw_win32.h"
#include "install/payload_store.h"
#include "setup/dll_search_win32.h"
#include "setup/malloc_buffer.h"
#include "setup/setup_state_win32.h"
#include "setup/startup.h"
#include "wizard/message_box_win32.h"
#include "wizard/resource_ids.h"
#include "wizard/wizard_win32.h"

namespace {

const unsigned long kGlyphBufferSize = 307200;
const int kClassNameSize = 100;

void ProbePlatform() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;  // 148 bytes
    BOOL known = GetVersionExA(&version);
    VersionFlags flags = VersionFlagsFor(known, version.dwPlatformId, version.dwMajorVersion);
    IsNtPlatform = flags.isNtPlatform;
    IsOldShell = flags.isOldShell;
    CPINFO codePage;
    HasDbcsCodePage = GetCPInfo(CP_ACP, &codePage) && codePage.MaxCharSize > 1;
    UiLanguage = UiLanguageFor(HasDbcsCodePage, GetSystemDefaultLangID());
    ForceLanguage = 1;
}

void FindSetupDir() {
    char modulePath[kPathBufferSize] = "";
    GetModuleFileNameA(nullptr, modulePath, sizeof modulePath);
    SetupDirFromModulePath(SetupDir, modulePath);
}

enum GlyphLoad { kGlyphsReady, kGlyphsMissing, kGlyphPagesFailed };

GlyphLoad LoadGlyphFont() {
    MallocBuffer<unsigned char> buffer = AllocateBuffer<unsigned char>(kGlyphBufferSize);
    if (!buffer) {
        // No glyph page exists yet: the Chinese half of this message stays blank.
        ShowMessage("内存不够。安装无法继续。", "Memory not enough!", 0, nullptr);
        return kGlyphsMissing;
    }
    unsigned long length = 0;
    if (UnpackPayload(110, buffer.get(), kGlyphBufferSize, &length) != kPayloadOk)
        return kGlyphsMissing;
    return BuildGlyphPages(buffer.get()) ? kGlyphsReady : kGlyphPagesFailed;
}

// Enter on a focused push button clicks it; anywhere else it means Next.
int RouteEnter() {
    HWND focus = GetFocus();
    char className[kClassNameSize];
    const char *focusClass = nullptr;
    if (focus && GetClassNameA(focus, className, sizeof className)) {
        className[kClassNameSize - 1] = 0;
        focusClass = className;
    }
    EnterRoute route = RouteEnterKey(focusClass, focus ? GetWindowLongA(focus, GWL_STYLE) : 0,
                                     focus ? GetWindowLongA(focus, GWL_ID) : 0, DefaultCommandId);
    PostMessageA(WizardWindow, WM_COMMAND, route.command, 0);
    return route.dropKey;
}

void RunMessageLoop() {
    MSG message;
    while (WizardPage >= 0 && GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN && RouteEnter())
            continue;
        if (IsDialogMessageA(WizardWindow, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void CleanUp() {
    if (WizardWindow)
        DestroyWindow(WizardWindow);
    ReleaseGlyphPages();
    if (SampleFont)
        DeleteObject(SampleFont);
}

// The wizard's template holds a progress bar, whose class comctl32 registers. comctl32 is not a
// KnownDLL, so it is not a static import (that would be resolved from the program's folder before
// any code runs): it is loaded by its full path, before anything else can load it by name.
// InitCommonControls is in every comctl32; InitCommonControlsEx is not in the 4.00 of retail
// Windows 95 and NT 4.0.
void RegisterProgressBarClass() {
    FARPROC initialise = LoadSystemFunction("comctl32.dll", "InitCommonControls");
    if (initialise)
        AsFunction<void(WINAPI *)()>(initialise)();
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    RegisterProgressBarClass();
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    ProbePlatform();
    ProgramInstance = instance;
    CreateSampleFont();
    ProductFolderName = "Tesso";
    FindSetupDir();
    switch (LoadGlyphFont()) {
    case kGlyphsMissing:
        return 1;
    case kGlyphPagesFailed:
        CleanUp();
        return 0;
    case kGlyphsReady:
        break;
    }
    WizardPage = 0;
    WizardIcon = LoadIconA(ProgramInstance, MAKEINTRESOURCEA(IDI_TESSO));
    WizardWindow = CreateDialogParamA(ProgramInstance, MAKEINTRESOURCEA(IDD_WIZARD), nullptr, WizardDialogProc, 0);
    if (!WizardWindow) {  // nothing would ever end the loop
        CleanUp();
        return 1;
    }
    RunMessageLoop();
    CleanUp();
    return 0;
}

// The entry point: the setup links none of the C runtime's start-up code (it holds instructions a
// Pentium lacks and runs nothing the setup needs; there are no static constructors). The DLL
// search is restricted before anything else runs.
extern "C" void WINAPI Start() {
    RestrictDllSearch();
    PreloadSystemDlls();
    ExitProcess(WinMain(GetModuleHandleA(nullptr), nullptr, GetCommandLineA(), SW_SHOWDEFAULT));
}
