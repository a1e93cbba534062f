// The table of late-bound system functions: every row names a DLL that has the function, and the
// setup loads the DLLs that only the chooser and the install need when they first need them, not
// while its first page waits (the wizard's time to its first window depends on it).
#include <gtest/gtest.h>
#include <windows.h>

#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/resource_ids.h"
#include "base/system_functions_win32.h"
#include "wine_helpers.h"
#include "wizard_driver.h"

namespace {

// Wine exports every function whatever Windows it imitates, so each row is found here unless its
// DLL is the wrong one (a misspelt name does not compile: its type is taken from the declaration).
TEST(SystemFunctions, EveryRowIsFoundInItsDll) {
#define TESSO_EXPECT_FOUND(dll, name)                                                                        \
    EXPECT_NE(FindSystemFunction<SystemFunction::name>(), nullptr) << #name " in " #dll;
    TESSO_SYSTEM_FUNCTIONS(TESSO_EXPECT_FOUND)
#undef TESSO_EXPECT_FOUND
}

bool HasModule(DWORD processId, const char *name) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    MODULEENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Module32First(snapshot, &entry); more && !found; more = Module32Next(snapshot, &entry))
        found = lstrcmpiA(entry.szModule, name) == 0;
    CloseHandle(snapshot);
    return found;
}

// Which of the names the platform itself loads into the smallest window program (Wine's own
// libraries load some of them by their own imports, whatever the program does).
std::vector<std::string> LoadedIntoABareWindow(const std::vector<std::string> &names) {
    std::string program = ThisFolder() + "\\bare_window.exe";
    std::string command = "\"" + program + "\" stay";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::vector<std::string> loaded;
    if (!CreateProcessA(program.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return loaded;
    if (driver::WaitForWindow(process.dwProcessId, "bare")) {
        Sleep(300);  // its first paint, as the setup's wizard is given
        for (const std::string &name : names)
            if (HasModule(process.dwProcessId, name.c_str()))
                loaded.push_back(name);
    }
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 5000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return loaded;
}

TEST(SystemFunctions, TheChoosersAndTheInstallsDllsAreLoadedOnlyWhenFirstNeeded) {
    const std::vector<std::string> kLateDlls = {"comctl32.dll", "comdlg32.dll", "shell32.dll", "ole32.dll"};
    std::vector<std::string> platformLoads = LoadedIntoABareWindow(kLateDlls);
    for (const std::string &name : platformLoads)
        std::printf("the platform itself loads %s into a bare window program\n", name.c_str());
    // Only the chooser loads comdlg32: without it left to check, the first half would check nothing.
    ASSERT_EQ(std::count(platformLoads.begin(), platformLoads.end(), "comdlg32.dll"), 0);
    driver::Setup run;
    ASSERT_TRUE(driver::StartSetup(&run));
    DWORD id = run.process.dwProcessId;
    ASSERT_TRUE(HasModule(id, "kernel32.dll"));  // the snapshot sees the setup's modules
    for (const std::string &dll : kLateDlls)
        if (std::find(platformLoads.begin(), platformLoads.end(), dll) == platformLoads.end()) {
            EXPECT_FALSE(HasModule(id, dll.c_str())) << dll << " is loaded while the first page waits";
        }
    driver::Click(driver::Control(run.wizard, IDC_BROWSE));
    HWND chooser = driver::WaitForWindow(id, driver::kChooserCaption);
    ASSERT_NE(chooser, nullptr);
    EXPECT_TRUE(HasModule(id, "comdlg32.dll"));
    EXPECT_TRUE(HasModule(id, "comctl32.dll"));
    driver::Click(driver::Control(chooser, IDCANCEL));
    ASSERT_TRUE(driver::WaitForWindowGone(chooser));
    driver::Key(VK_ESCAPE);
    EXPECT_EQ(driver::WaitForExit(&run), 0);
}

}  // namespace
