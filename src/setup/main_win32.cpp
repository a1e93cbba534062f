// Program entry: probe the platform, load the glyph font, run the wizard, clean up.
#include <windows.h>

#include "base/dll_search_win32.h"
#include "base/format_text.h"
#include "base/malloc_buffer.h"
#include "base/resource_ids.h"
#include "base/setup_state_win32.h"
#include "base/system_version.h"
#include "glyphs/glyph_cell.h"
#include "glyphs/glyph_pages_win32.h"
#include "glyphs/owner_draw_win32.h"
#include "install/wizard_window.h"
#include "payload/payload_store.h"
#include "setup/startup.h"
#include "wizard/message_box_win32.h"
#include "wizard/setup_check_win32.h"
#include "wizard/wizard_state.h"
#include "wizard/wizard_win32.h"

namespace {

const unsigned long kGlyphBufferSize = 307200;
const int kClassNameSize = 100;

// The version is read once, by Start, before the DLL search is restricted (which asks it).
void ProbePlatform() {
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
        ShowMessage("内存不够。安装无法继续。", "Memory not enough!", kMessageOk, nullptr);
        return kGlyphsMissing;
    }
    unsigned long length = 0;
    if (UnpackPayload(kPayloadGlyphFont, buffer.get(), kGlyphBufferSize, &length) != kPayloadOk)
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

// Whenever no message waits (so the first page has been painted): the later pages' controls are
// made, then the payload streams are checked, a piece at a time.
void RunMessageLoop() {
    MSG message;
    int idleWork = 1;
    while (WizardPage > kPageLeave) {
        if (idleWork && !PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            idleWork = CompleteWizard() && ContinueSetupCheck();
            continue;
        }
        if (GetMessageA(&message, nullptr, 0, 0) <= 0)
            break;
        if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN && RouteEnter())
            continue;
        if (IsDialogMessageA(WizardWindow, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// One setup at a time on the machine: a second start in the same session brings the first one's
// wizard to the front and ends; one that finds the first in another session (another user's, after
// a switch of users or over Remote Desktop) says so once its glyph font is loaded. Kernel object
// names are per session on Terminal Services (2000), with fast user switching (XP) and on every
// Vista and later desktop, unless they begin with "Global\"; 2000 without Terminal Services
// ignores the prefix. NT 4.0 (but for its Terminal Server edition) and the 95 family refuse a
// backslash in the name, and have one session anyway: there the plain name serves. The handle
// stays open for the life of the process.
enum OtherSetup { kNoOtherSetup, kOtherSetupHere, kOtherSetupElsewhere };

int FindOtherSetup() {
    int global = AtLeast2000();
    HANDLE running =
        CreateMutexA(nullptr, FALSE, global ? "Global\\TessoSetup.Running" : "TessoSetup.Running");
    // A mutex that another user's setup made (its default list names that user alone) is refused
    // with ERROR_ACCESS_DENIED: it exists, so that setup runs (CreateMutexA, on 2000 and later).
    if (!running)
        return GetLastError() == ERROR_ACCESS_DENIED ? kOtherSetupElsewhere : kNoOtherSetup;
    if (GetLastError() != ERROR_ALREADY_EXISTS)
        return kNoOtherSetup;
    HWND first = FindWindowA(nullptr, WIZARD_CAPTION);
    if (!first)
        return kOtherSetupElsewhere;
    if (IsIconic(first))
        ShowWindow(first, SW_RESTORE);
    SetForegroundWindow(first);
    return kOtherSetupHere;
}

void CleanUp() {
    if (WizardWindow)
        DestroyWindow(WizardWindow);
    ReleaseGlyphPages();
    if (SampleFont)
        DeleteObject(SampleFont);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    ProbePlatform();
    ProgramInstance = instance;
    CreateSampleFont();
    ProductFolderName = "Tesso";
    FindSetupDir();
    int otherSetup = FindOtherSetup();
    if (otherSetup == kOtherSetupHere)
        return 0;
    if (!GlyphFontIntact())
        return 1;
    switch (LoadGlyphFont()) {
    case kGlyphsMissing:
        return 1;
    case kGlyphPagesFailed:
        CleanUp();
        return 0;
    case kGlyphsReady:
        break;
    }
    if (otherSetup == kOtherSetupElsewhere) {
        ShowMessage("另一个安装程序正在运行（可能在别的用户的会话中）。请等它结束后再运行安装程序。",
                    "Another setup is running, perhaps in another user's session. Please wait until it has "
                    "finished.",
                    kMessageOk, nullptr);
        CleanUp();
        return 0;
    }
    WizardPage = kPageFolder;
    WizardIcon = LoadIconA(ProgramInstance, MAKEINTRESOURCEA(IDI_TESSO));
    WizardWindow = CreateWizard();
    if (!WizardWindow) {  // nothing would ever end the loop
        CleanUp();
        return 1;
    }
    RunMessageLoop();
    CleanUp();
    return SetupDamageFound() || WizardIncomplete() ? 1 : 0;
}

// The entry point: the setup links none of the C runtime's start-up code (it holds instructions a
// Pentium lacks and runs nothing the setup needs; there are no static constructors). The DLL
// search is restricted before anything else runs, and the DLLs that windows load by name are
// loaded from the system folder before the first window (the wizard, or a message box).
extern "C" void WINAPI Start() {
    unsigned long platformId = 0;
    int known = ReadRunningSystem(&platformId);
    VersionFlags flags = VersionFlagsFor(known, platformId, RunningSystem.major);
    IsNtPlatform = flags.isNtPlatform;
    IsOldShell = flags.isOldShell;
    RestrictDllSearch();
    PreloadWindowDlls();
    ExitProcess(WinMain(GetModuleHandleA(nullptr), nullptr, GetCommandLineA(), SW_SHOWDEFAULT));
}
