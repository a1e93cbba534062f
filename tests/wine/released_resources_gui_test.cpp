// A whole wizard run gives back every GDI object and handle it takes. The setup's own WinMain runs in
// this process while a second thread walks it with real input from the folder page to the answered
// result message; the process's GDI objects and handles are counted before and after. Wine 8's
// GetGuiResources and GetProcessHandleCount answer 0, so both are counted by enumeration: every GDI
// handle index asked for its object type, and the system's list of open handles, taken for this
// process.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>
#include <winternl.h>

#include <string>
#include <thread>
#include <vector>

#include "base/dll_search_win32.h"
#include "base/resource_ids.h"
#include "base/scoped_win32.h"
#include "base/setup_state.h"
#include "glyphs/glyph_pages_win32.h"
#include "glyphs/owner_draw_win32.h"
#include "install/shortcuts.h"
#include "install/wizard_window.h"
#include "wine_helpers.h"
#include "wizard/message_box_win32.h"
#include "wizard/wizard_state.h"
#include "wizard/wizard_template_win32.h"
#include "wizard_walk.h"

// The setup's WinMain (C linkage, as windows.h declares it), compiled into this test under another
// name (see cmake/windows-tests.cmake).
extern "C" int WINAPI SetupWinMain(HINSTANCE instance, HINSTANCE, LPSTR, int);

namespace {

using namespace driver;

// GetGuiResources counts a process's GDI objects on 2000 and later; Wine 8 answers 0 there. Wine
// then takes a GDI handle by its table index alone (the low word, as handles of 16-bit programs
// were), so GetObjectType on every index counts the live objects of this process: Wine keeps the
// table per process (on Windows it is the whole session's, and only GetGuiResources would do).
int LiveGdiObjects() {
    if (DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS))
        return static_cast<int>(counted);
    int live = 0;
    for (ULONG_PTR index = 1; index <= 0xFFFF; index++)
        live += GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0;
    return live;
}

struct HandleEntry {  // SYSTEM_HANDLE_TABLE_ENTRY_INFO
    USHORT processId, creatorBackTrace;
    UCHAR objectType, attributes;
    USHORT handle;
    PVOID object;
    ACCESS_MASK access;
};
const ULONG kSystemHandleInformation = 16;

int OpenHandles() {
    typedef NTSTATUS(WINAPI * QueryCall)(ULONG, PVOID, ULONG, PULONG);
    QueryCall query = reinterpret_cast<QueryCall>(
        reinterpret_cast<void *>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    std::vector<char> buffer(1 << 22);
    ULONG length = 0;
    if (!query || query(kSystemHandleInformation, buffer.data(), buffer.size(), &length) != 0)
        return -1;
    ULONG count = *reinterpret_cast<const ULONG *>(buffer.data());
    const HandleEntry *entries = reinterpret_cast<const HandleEntry *>(buffer.data() + sizeof(ULONG_PTR));
    int open = 0;
    for (ULONG i = 0; i < count; i++)
        open += entries[i].processId == static_cast<USHORT>(GetCurrentProcessId());
    return open;
}

INT_PTR CALLBACK StandInWizardProc(HWND, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_MEASUREITEM) {
        MEASUREITEMSTRUCT *item = reinterpret_cast<MEASUREITEMSTRUCT *>(lParam);
        item->itemHeight = 23;
        item->itemWidth = 1024;
        return 1;
    }
    if (message != WM_DRAWITEM)
        return 0;
    const DRAWITEMSTRUCT *item = reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
    if (item->CtlType == ODT_LISTBOX || item->CtlType == ODT_COMBOBOX)
        DrawListItem(item, item->CtlType == ODT_COMBOBOX, "Once", 1);
    else
        DrawOwnerControl(item);
    return 1;
}

BOOL CALLBACK DisableChild(HWND child, LPARAM) {
    EnableWindow(child, FALSE);
    return TRUE;
}

BOOL CALLBACK ShowChild(HWND child, LPARAM) {
    ShowWindow(child, SW_SHOW);
    return TRUE;
}

// The wizard's template under a dialog procedure of the test's own, with every control shown and
// painted once (full lists with scroll bars, a check mark, the focus, enabled and disabled), the
// window's icon, a progress bar as the install's and the language list dropped down once.
void PaintTheWizardsControlsOnce() {
    HWND standIn = CreateWizardWithShownControls(StandInWizardProc);
    if (!standIn)
        return;
    CreateHiddenControls(standIn, Scale{1, 1});
    SendDlgItemMessageA(standIn, IDC_LANGUAGE_LIST, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Once"));
    std::string lines;
    for (int i = 0; i < 60; i++) {  // enough for the scroll bars the licence texts have
        SendDlgItemMessageA(standIn, IDC_LICENCE_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Once"));
        lines += "Once\r\n";
    }
    SetDlgItemTextA(standIn, IDC_LICENCE_EDIT, lines.c_str());
    for (int id : {IDC_DESKTOP_ICONS, IDC_AUTO_START, IDC_ANSWER_OK, IDC_ANSWER_NO})
        SubclassCheckButton(standIn, id);
    CheckDlgButton(standIn, IDC_DESKTOP_ICONS, BST_CHECKED);  // a check mark drawn
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_TESSO));
    SendMessageA(standIn, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(standIn, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    ShowWindow(standIn, SW_SHOW);
    SetForegroundWindow(standIn);
    EnumChildWindows(standIn, ShowChild, 0);
    for (int id : {IDC_NEXT, IDC_ANSWER_OK, IDC_LANGUAGE_LIST})
        SetFocus(GetDlgItem(standIn, id));  // each kind of control drawn with the focus
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    RedrawWindow(standIn, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    HWND bar =
        CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE | WS_BORDER | PBS_SMOOTH, 0, 0, 200, 16,
                        standIn, nullptr, GetModuleHandleA(nullptr), nullptr);  // as the install's
    SendMessageA(bar, PBM_SETPOS, 50, 0);
    UpdateWindow(bar);
    EnumChildWindows(standIn, DisableChild, 0);  // and once disabled
    RedrawWindow(standIn, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    {
        WindowDC dc(standIn);
        RECT area = {0, 0, 40, 20};
        DrawFocusRect(dc.get(), &area);
    }
    SendDlgItemMessageA(standIn, IDC_LANGUAGE_LIST, CB_SHOWDROPDOWN, TRUE, 0);
    SendDlgItemMessageA(standIn, IDC_LANGUAGE_LIST, CB_SHOWDROPDOWN, FALSE, 0);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    DestroyWindow(standIn);
}

// What the system keeps for the rest of the process from the first use of a DLL, a kind of control,
// a system colour's brush, a shared icon or cursor, a named object or the shell (Wine's cache of
// window surfaces, scroll-bar bitmaps, COM's bookkeeping) is made before the first count: the DLLs
// the run loads, the wizard's controls painted, one named object, the cursors, one message box
// answered, a shortcut made and read back. Without this the counts grow by about a hundred objects
// that no release of the setup's could give back.
void UseTheSystemOnce(const std::string &folder) {
    PreloadWindowDlls();
    PreloadSystemDlls();
    PaintTheWizardsControlsOnce();
    CloseHandle(CreateMutexA(nullptr, FALSE, "TessoSetup.CountsOnce"));  // the named objects' folder
    LoadCursorA(nullptr, IDC_WAIT);
    LoadCursorA(nullptr, IDC_ARROW);
    std::thread answer([] {
        HWND box = WaitForWindow(GetCurrentProcessId(), kMessageCaption);
        if (box)
            AnswerMessage(box, IDC_CONFIRM);
    });
    ShowMessage("确认", "Once.", kMessageOk, nullptr);
    answer.join();
    char desktop[kPathBufferSize];
    ResolveShellFolder(desktop, CSIDL_DESKTOPDIRECTORY);
    std::string link = folder + "\\once.lnk";
    char read[kPathBufferSize];
    CreateShellLink("C:\\windows\\notepad.exe", link.c_str(), "once");
    ReadShellLinkTarget(link.c_str(), read);
}

bool WalkToLastPage(HWND wizard, const std::string &folder) {
    Sleep(300);  // the first paint
    SetText(wizard, IDC_FOLDER, folder);
    if (!GoNext(wizard, kByClick, 1))
        return false;
    Click(Control(wizard, IDC_ANSWER_OK));
    return GoNext(wizard, kByClick, 2) && GoNext(wizard, kByClick, 3);
}

TEST(ReleasedResources, AWholeWizardRunGivesBackEveryGdiObjectAndHandle) {
    std::string scratch = FreshFolder("counts-scratch"), folder = FreshFolder("counts") + "\\Tesso";
    ReleaseGlyphPages();  // the run builds its own, as start-up does
    UseTheSystemOnce(scratch);
    int gdiBefore = LiveGdiObjects(), handlesBefore = OpenHandles();
    InstallRun run;
    DWORD setupThread = GetCurrentThreadId();
    std::thread user([&] {
        driver::Setup setup;
        setup.process.dwProcessId = GetCurrentProcessId();
        setup.wizard = WaitForWindow(GetCurrentProcessId(), kWizardCaption, 30000);
        if (setup.wizard && WalkToLastPage(setup.wizard, folder)) {
            run = FinishInstall(&setup, kByClick);
            return;
        }
        WizardPage = kPageLeave;  // a page did not come: the loop ends at its next message
        PostThreadMessageA(setupThread, WM_NULL, 0, 0);
    });
    int code = SetupWinMain(GetModuleHandleA(nullptr), nullptr, GetCommandLineA(), SW_SHOWDEFAULT);
    user.join();
    int gdiAfter = LiveGdiObjects(), handlesAfter = OpenHandles();
    ASSERT_GT(gdiBefore, 0);
    ASSERT_GT(handlesBefore, 0);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.result, "Congratulations! Installation Success!");
    EXPECT_EQ(code, 0);

    EXPECT_EQ(gdiAfter, gdiBefore);
    // The one handle kept on purpose: the mutex that turns a second start away lives as long as the
    // process.
    EXPECT_EQ(handlesAfter, handlesBefore + 1);
}

}  // namespace
