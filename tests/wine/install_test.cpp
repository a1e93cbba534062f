// The real install sequence under Wine: every file, the configuration file read back through the
// profile API, the shortcuts loaded back through IShellLinkA, and a second install over the first
// with the word-base question answered by a helper thread, as a user would.
#include <gtest/gtest.h>
#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include <atomic>
#include <string>
#include <thread>

#include "base/setup_state_win32.h"
#include "install/install_sequence.h"
#include "landing/file_system.h"
#include "payload/payload_catalogue.h"
#include "wine_helpers.h"

namespace {

// Answers every bilingual message box of this process with one button, counting them.
class MessageAnswerer {
  public:
    explicit MessageAnswerer(int button) : button_(button), thread_([this] { Run(); }) {}
    ~MessageAnswerer() {
        stop_ = true;
        thread_.join();
    }
    int answered() const { return answered_; }

  private:
    void Run() {
        while (!stop_) {
            HWND box = FindWindowA(nullptr, "Inkleaf Install Message");
            DWORD process = 0;
            if (box && GetWindowThreadProcessId(box, &process) && process == GetCurrentProcessId() &&
                IsWindowVisible(box) && box != last_) {
                last_ = box;
                answered_++;
                PostMessageA(box, WM_COMMAND, MAKEWPARAM(button_, BN_CLICKED), 0);
            }
            Sleep(20);
        }
    }
    int button_;
    std::atomic<bool> stop_{false};
    std::atomic<int> answered_{0};
    HWND last_ = nullptr;
    std::thread thread_;
};

std::string ShellFolder(int kind) {
    char path[MAX_PATH] = "";
    LPITEMIDLIST list = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, kind, &list))) {
        SHGetPathFromIDListA(list, path);
        CoTaskMemFree(list);
    }
    return path;
}

struct LinkInfo {
    bool loaded = false;
    std::string target, description, workingDirectory, iconPath;
    int iconIndex = -1;
};

LinkInfo LoadLink(const std::string &path) {
    LinkInfo info;
    CoInitialize(nullptr);
    IShellLinkA *link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void **>(&link)))) {
        IPersistFile *file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file)))) {
            WCHAR wide[MAX_PATH];
            MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
            if (SUCCEEDED(file->Load(wide, STGM_READ))) {
                char text[MAX_PATH];
                info.loaded = true;
                if (SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, 0)))
                    info.target = text;
                if (SUCCEEDED(link->GetDescription(text, MAX_PATH)))
                    info.description = text;
                if (SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH)))
                    info.workingDirectory = text;
                if (SUCCEEDED(link->GetIconLocation(text, MAX_PATH, &info.iconIndex)))
                    info.iconPath = text;
            }
            file->Release();
        }
        link->Release();
    }
    CoUninitialize();
    return info;
}

class WineInstall : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = UseFreshInstallFolder("install");
        UiLanguage = 0;
        IsOldShell = 0;
        WantDesktopIcons = 1;
        WantAutoStart = 1;
        DisplayOk = 0;
        ForceLanguage = 2;
    }
    std::string File(const char *name) { return folder_ + "\\" + name; }
    void ExpectLink(const std::string &link, const char *target, const char *description) {
        LinkInfo info = LoadLink(link);
        ASSERT_TRUE(info.loaded) << link;
        EXPECT_EQ(info.target, File(target));
        EXPECT_EQ(info.description, description);
        EXPECT_EQ(info.workingDirectory, folder_);
        EXPECT_EQ(info.iconPath, File(target));
        EXPECT_EQ(info.iconIndex, 0);
    }
    std::string folder_;
};

// What only the in-process install shows: every shortcut's target, description, working folder and
// icon, and a damaged protected file of an earlier install replaced with its protection. The files,
// the configuration and the old word base are checked through the whole wizard (wizard_gui_test).
TEST_F(WineInstall, ShortcutsPointIntoTheFolderAndADamagedFileIsReplaced) {
    {
        MessageAnswerer answerer(IDYES);
        ASSERT_EQ(RunInstallInWorkFolder(), 1);
        EXPECT_EQ(answerer.answered(), 0);  // a fresh folder has no old word base
    }
    std::string group = ShellFolder(CSIDL_PROGRAMS) + "\\Tesso Chinese Input Engine\\";
    ExpectLink(group + "Tesso Chinese Input Engine.lnk", "TSO.exe", "Tesso Chinese Input Engine");
    ExpectLink(group + "Tesso UnInstall.lnk", "TSOUnInstall.exe", "Tesso UnInstall");
    ExpectLink(ShellFolder(CSIDL_DESKTOPDIRECTORY) + "\\Inkleaf Pad.lnk", "Inkleaf.exe", "Inkleaf Pad");
    ExpectLink(ShellFolder(CSIDL_DESKTOPDIRECTORY) + "\\Tesso Chinese Input Engine.lnk", "TSO.exe",
               "Tesso Chinese Input Engine");
    ExpectLink(ShellFolder(CSIDL_STARTUP) + "\\Tesso Chinese Input Engine.lnk", "TSO.exe",
               "Tesso Chinese Input Engine");

    WriteAttributeWord(File("ChnBmp.bin").c_str(), FILE_ATTRIBUTE_NORMAL);
    WriteWhole(File("ChnBmp.bin"), "damaged");
    WriteAttributeWord(File("ChnBmp.bin").c_str(), kAttributeProtection);
    {
        MessageAnswerer answerer(IDYES);  // the old word base question
        ASSERT_EQ(RunInstallInWorkFolder(), 1);
    }
    EXPECT_EQ(FileSize(File("ChnBmp.bin")), (long)FindPayloadEntry(110)->bytes);
    EXPECT_EQ(FileAttributes(File("ChnBmp.bin")) & kAttributeProtection, kAttributeProtection);
}

// Read-only shortcuts of an earlier install elsewhere are replaced, keep their protection, and
// start the new install's engine.
TEST_F(WineInstall, StaleReadOnlyShortcutsOfAnEarlierInstallAreReplaced) {
    ASSERT_EQ(RunInstallInWorkFolder(), 1);
    std::string startup = ShellFolder(CSIDL_STARTUP) + "\\Tesso Chinese Input Engine.lnk",
                desktop = ShellFolder(CSIDL_DESKTOPDIRECTORY) + "\\Tesso Chinese Input Engine.lnk";
    for (const std::string &link : {startup, desktop})
        ASSERT_TRUE(SetFileAttributesA(link.c_str(), FILE_ATTRIBUTE_READONLY)) << link;
    folder_ = FreshFolder("install-again");
    lstrcpynA(InstallDir, folder_.c_str(), kPathBufferSize);
    {
        MessageAnswerer answerer(IDOK);  // a shortcut that fails says so
        ASSERT_EQ(RunInstallInWorkFolder(), 1);
        EXPECT_EQ(answerer.answered(), 0);
    }
    for (const std::string &link : {startup, desktop}) {
        ExpectLink(link, "TSO.exe", "Tesso Chinese Input Engine");
        EXPECT_EQ(FileAttributes(link) & FILE_ATTRIBUTE_READONLY, (DWORD)FILE_ATTRIBUTE_READONLY) << link;
        SetFileAttributesA(link.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

}  // namespace
