// Disturbances of a whole install on the real setup: a run killed at any moment and started again,
// a program of the product running, folders and links planted at the names it writes. Each ends in
// a complete install, or with every earlier file as it was and nothing outside the folder touched.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>

#include "base/resource_ids.h"
#include "install/payload_catalogue.h"
#include "setup_fixture.h"
#include "wine_helpers.h"
#include "wizard_walk.h"

namespace {

using namespace driver;

const char kSuccess[] = "Congratulations! Installation Success!";
const DWORD kProtection = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;

std::string ThisFolder() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\'));
}

// Every file of a folder with its bytes and protective bits.
std::map<std::string, std::string> Snapshot(const std::string &folder) {
    std::map<std::string, std::string> files;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
        std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        files[name] = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                          ? std::string("<folder>")
                          : ReadWhole(folder + "\\" + name) + "|" +
                                std::to_string(found.dwFileAttributes & kProtection);
    }
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    return files;
}

// Names whose contents differ between two snapshots (the whole contents would fill the log).
std::string Differences(const std::map<std::string, std::string> &a,
                        const std::map<std::string, std::string> &b) {
    std::string names;
    for (const auto &file : a)
        if (!b.count(file.first) || b.at(file.first) != file.second)
            names += file.first + " ";
    for (const auto &file : b)
        if (!a.count(file.first))
            names += file.first + "(new) ";
    return names;
}

// An earlier install as a user left it: protected files, the user's own words and answers.
void PutEarlierInstall(const std::string &folder) {
    const char *const names[][2] = {{"TSO.exe", "earlier engine"},
                                    {"chipadui.ini", "[Config]\r\nUseBmpFont=1\r\nForceLanguage=2\r\n"},
                                    {"flatAuto.dic", "the user's own words"},
                                    {"pycizudic.idx", "an earlier index"}};
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const auto &file : names) {
        WriteWhole(folder + "\\" + file[0], file[1]);
        SetFileAttributesA((folder + "\\" + file[0]).c_str(), kProtection);
    }
}

class WholeOrNothing : public SetupTest {
  protected:
    void InstallCompletely(const std::string &folder) {
        bool existed = FileAttributes(folder) != INVALID_FILE_ATTRIBUTES;
        WalkToInstall(folder);
        if (existed)
            AnswerOwnerQuestion();
        EXPECT_EQ(NextMessage(), kSuccess) << folder;
        EXPECT_EQ(WaitForExit(&setup_), 0);
    }
};

// Killed before the largest file, inside it, after it and when the commit begins, over an earlier
// install: nothing under a final name is ever cut short, and the next run makes an install that is
// byte for byte a clean one, with nothing left over.
TEST_F(WholeOrNothing, KilledAtAnyMomentThenRunAgain) {
    std::string reference = FreshFolder("clean") + "\\Tesso";
    InstallCompletely(reference);
    std::map<std::string, std::string> clean = Snapshot(reference);
    clean.erase("doc");  // made only in a folder the setup creates
    struct Moment {
        const char *name, *file;
        long atLeast;
    } moments[] = {{"before the largest", "pycizudic.idx.tsonew", 0},
                   {"inside the largest", "pycizudic.idx.tsonew", 1 << 20},
                   {"after the largest", "Inkleaf.exe.tsonew", 0},
                   {"at the commit", "~tsoundo.lst", 0}};
    for (const Moment &moment : moments) {
        std::string folder = FreshFolder(std::string("killed-") + moment.name) + "\\Tesso";
        PutEarlierInstall(folder);
        std::map<std::string, std::string> earlier = Snapshot(folder);
        WalkToInstall(folder);
        AnswerOwnerQuestion();
        std::string watched = folder + "\\" + moment.file;
        DWORD start = GetTickCount();
        while (FileSize(watched) < moment.atLeast || FileAttributes(watched) == INVALID_FILE_ATTRIBUTES) {
            if (GetTickCount() - start > 60000 || HasExited(setup_))
                break;
            Sleep(0);
        }
        TerminateProcess(setup_.process.hProcess, 9);
        WaitForExit(&setup_, 5000);
        for (const auto &file : Snapshot(folder)) {
            const PayloadEntry *entry = nullptr;
            for (int i = 0; i < PayloadCatalogueCount; i++)
                if (file.first == PayloadCatalogue[i].file)
                    entry = &PayloadCatalogue[i];
            if (entry && entry->id != 120 && !earlier.count(file.first))
                EXPECT_EQ(FileSize(folder + "\\" + file.first), (long)entry->bytes)
                    << moment.name << ": " << file.first << " is cut short";
        }
        InstallCompletely(folder);
        std::map<std::string, std::string> now = Snapshot(folder);
        EXPECT_EQ(Differences(now, clean), "") << moment.name;
    }
}

// The engine of an earlier install running: found before anything changes.
TEST_F(WholeOrNothing, ARunningEngineIsFoundBeforeAnyChange) {
    std::string folder = FreshFolder("running") + "\\Tesso";
    PutEarlierInstall(folder);
    std::string engine = folder + "\\TSO.exe";
    SetFileAttributesA(engine.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(CopyFileA((ThisFolder() + "\\bare_window.exe").c_str(), engine.c_str(), FALSE));
    SetFileAttributesA(engine.c_str(), FILE_ATTRIBUTE_READONLY);
    std::map<std::string, std::string> earlier = Snapshot(folder);
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION running = {};
    char commandLine[] = "TSO.exe stay";
    ASSERT_TRUE(CreateProcessA(engine.c_str(), commandLine, nullptr, nullptr, FALSE, 0, nullptr,
                               folder.c_str(), &startup, &running));
    WaitForInputIdle(running.hProcess, 5000);
    WalkToInstall(folder);
    AnswerOwnerQuestion();
    EXPECT_EQ(NextMessage(IDC_CANCEL),
              "TSO.exe is in use. Quit all Tesso programs and press OK to retry, or Cancel.");
    EXPECT_EQ(WaitForExit(&setup_), 0);
    TerminateProcess(running.hProcess, 0);
    WaitForSingleObject(running.hProcess, 5000);
    CloseHandle(running.hProcess);
    CloseHandle(running.hThread);
    EXPECT_EQ(Differences(Snapshot(folder), earlier), "");
}

// Folders and hard links at an installed name, a purged name and a staged name: the setup names
// what is in the way and changes nothing, inside the folder or outside it.
TEST_F(WholeOrNothing, FoldersAndLinksPlantedAtItsNamesAreNeverWrittenThrough) {
    std::string outsideFolder = FreshFolder("outside");
    std::string outside = outsideFolder + "\\precious.dat";
    WriteWhole(outside, "outside bytes");
    SetFileAttributesA(outside.c_str(), kProtection);
    struct Plant {
        const char *name;
        bool hardLink;
    } plants[] = {
        {"TSO.exe", true}, {"pykeys.dic0001", true}, {"py_1key.dic.tsonew", false}, {"TSO.exe", false}};
    for (const Plant &plant : plants) {
        std::string folder =
            FreshFolder(std::string("planted-") + plant.name + (plant.hardLink ? "-link" : "-dir")) +
            "\\Tesso";
        PutEarlierInstall(folder);
        std::string path = folder + "\\" + plant.name;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
        ASSERT_TRUE(plant.hardLink ? CreateHardLinkA(path.c_str(), outside.c_str(), nullptr)
                                   : CreateDirectoryA(path.c_str(), nullptr))
            << plant.name;
        std::map<std::string, std::string> earlier = Snapshot(folder);
        WalkToInstall(folder);
        AnswerOwnerQuestion();
        EXPECT_EQ(NextMessage(),
                  std::string(plant.name) +
                      " in the folder is a folder or a link; the setup never writes through it. Remove it.");
        EXPECT_TRUE(WaitForPage(setup_.wizard, 0));
        Click(Control(setup_.wizard, IDCANCEL));
        EXPECT_EQ(WaitForExit(&setup_), 0);
        EXPECT_EQ(Differences(Snapshot(folder), earlier), "") << plant.name;
        EXPECT_EQ(ReadWhole(outside), "outside bytes");
        EXPECT_EQ(FileAttributes(outside) & kProtection, kProtection) << plant.name;
    }
}

}  // namespace
