// A DLL planted beside the setup under a system DLL's name never runs: not at start-up, not while
// the wizard draws, not in the folder chooser, not during a whole install. Wine is told to prefer
// a DLL found beside the program, as Windows does for any DLL that is not a KnownDLL.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "base/resource_ids.h"
#include "wine_helpers.h"
#include "wizard_walk.h"

namespace {

using namespace driver;

const char *const kPlantedNames[] = {"comctl32",  "uxtheme", "version", "dwmapi", "propsys",
                                     "cryptbase", "profapi", "userenv", "winmm",  "msimg32"};

std::string HostToWindows(const std::string &path) {
    std::string windows = "Z:" + path;
    for (char &c : windows)
        if (c == '/')
            c = '\\';
    return windows;
}

// Wine's per-program setting: these names native first, from wherever the search finds them.
void PreferPlantedDlls(const char *program, bool prefer) {
    std::string key = std::string("Software\\Wine\\AppDefaults\\") + program + "\\DllOverrides";
    if (!prefer) {
        RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
        return;
    }
    HKEY overrides;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, key.c_str(), &overrides), ERROR_SUCCESS);
    for (const char *name : kPlantedNames)
        RegSetValueExA(overrides, name, 0, REG_SZ, reinterpret_cast<const BYTE *>("native,builtin"), 15);
    RegCloseKey(overrides);
}

// The names whose marker ran since the last call; their markers are removed.
std::vector<std::string> MarkersThatRan(const std::string &folder) {
    std::vector<std::string> ran;
    for (const char *name : kPlantedNames) {
        std::string marker = folder + "\\" + name + ".dll.ran";
        if (DeleteFileA(marker.c_str()))
            ran.push_back(name);
    }
    return ran;
}

bool Contains(const std::vector<std::string> &names, const std::string &name) {
    for (const std::string &each : names)
        if (each == name)
            return true;
    return false;
}

// A whole install from the setup in the planted folder, with the folder chooser opened first or
// not: the chooser loads the shell's DLLs early, which would hide what drawing the wizard loads.
void WalkAWholeInstall(const std::string &setup, bool openChooser) {
    driver::Setup run;
    ASSERT_TRUE(StartSetup(&run, setup));
    if (openChooser) {
        Click(Control(run.wizard, IDC_BROWSE));
        HWND chooser = WaitForWindow(run.process.dwProcessId, kChooserCaption);
        ASSERT_NE(chooser, nullptr);
        Click(Control(chooser, IDCANCEL));
        ASSERT_TRUE(WaitForWindowGone(chooser));
    }
    std::string target = FreshFolder("planted-install") + "\\Tesso";
    SetText(run.wizard, IDC_FOLDER, target);
    ASSERT_TRUE(GoNext(run.wizard, kByClick, 1));
    Click(Control(run.wizard, IDC_ANSWER_OK));
    ASSERT_TRUE(GoNext(run.wizard, kByClick, 2));
    ASSERT_TRUE(GoNext(run.wizard, kByClick, 3));
    InstallRun install = FinishInstall(&run, kByClick);
    EXPECT_EQ(install.result, "Congratulations! Installation Success!");
    EXPECT_EQ(install.exitCode, 0);
    EXPECT_NE(FileAttributes(target + "\\TSO.exe"), INVALID_FILE_ATTRIBUTES);
}

TEST(PlantedDlls, NoneRunsInTheSetupThroughAWholeInstallWithOrWithoutTheChooser) {
    std::string folder = FreshFolder("downloads");
    std::string setup = folder + "\\TessoSetup.exe", bare = folder + "\\bare_window.exe";
    ASSERT_TRUE(CopyFileA(HostToWindows(Environment("TESSO_SETUP_EXE")).c_str(), setup.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA((ThisFolder() + "\\bare_window.exe").c_str(), bare.c_str(), FALSE));
    for (const char *name : kPlantedNames)
        ASSERT_TRUE(CopyFileA((ThisFolder() + "\\marker_dll.dll").c_str(),
                              (folder + "\\" + name + ".dll").c_str(), FALSE));
    PreferPlantedDlls("TessoSetup.exe", true);
    PreferPlantedDlls("bare_window.exe", true);

    // What the platform loads from the program's folder whatever the program does.
    driver::Setup bareRun;
    ASSERT_TRUE(LaunchSetup(&bareRun, bare));
    EXPECT_EQ(WaitForExit(&bareRun), 0);
    std::vector<std::string> platformLoads = MarkersThatRan(folder);
    for (const std::string &name : platformLoads)
        std::printf("the platform itself loads the planted %s.dll into a bare window program\n",
                    name.c_str());
    EXPECT_FALSE(Contains(platformLoads, "comctl32"));

    for (bool openChooser : {false, true}) {
        WalkAWholeInstall(setup, openChooser);
        for (const std::string &name : MarkersThatRan(folder))
            EXPECT_TRUE(Contains(platformLoads, name))
                << "the setup loaded the planted " << name << ".dll in the walk "
                << (openChooser ? "with" : "without") << " the chooser";
    }
    PreferPlantedDlls("TessoSetup.exe", false);
    PreferPlantedDlls("bare_window.exe", false);
}

}  // namespace
