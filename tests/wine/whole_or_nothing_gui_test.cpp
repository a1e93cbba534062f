// Disturbances of a whole install on the real setup: a run killed at any moment and started again,
// a program of the product running, folders and links planted at the names it writes. Each ends in
// a complete install, or with every earlier file as it was and nothing outside the folder touched.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <map>
#include <string>

#include "base/resource_ids.h"
#include "landing/file_system.h"
#include "payload/payload_catalogue.h"
#include "setup_fixture.h"
#include "wine_helpers.h"
#include "wizard_walk.h"

namespace {

using namespace driver;

const char kSuccess[] = "Congratulations! Installation Success!";

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
                                std::to_string(found.dwFileAttributes & kAttributeProtection);
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
        SetFileAttributesA((folder + "\\" + file[0]).c_str(), kAttributeProtection);
    }
}

// The Unix path of a file or folder, from Wine's own export.
std::string UnixPath(const std::string &path) {
    typedef char *(CDECL * ToUnix)(const WCHAR *);
    auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void *>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    char *unix = toUnix ? toUnix(wide) : nullptr;
    std::string result = unix ? unix : "";
    HeapFree(GetProcessHeap(), 0, unix);
    // A prefix's C: is its link "dosdevices/c:" to its drive_c: named by the folder itself, the
    // path has no colon in it.
    size_t drive = result.find("/dosdevices/c:/");
    if (drive != std::string::npos)
        result.replace(drive, 15, "/drive_c/");
    return result;
}

// Runs a Unix shell command (Wine starts a Unix program as it would a Windows one, but its handle
// does not wait for it) and waits until it has made the file made (at most two minutes).
void RunUnix(const std::string &command, const std::string &made) {
    std::string line = "/bin/sh -c \"" + command + "\"";
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessA("Z:\\bin\\sh", &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process));
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    for (DWORD start = GetTickCount(); GetTickCount() - start < 120000; Sleep(50)) {
        WIN32_FIND_DATAA found;  // a listing sees a link whose target is gone as well
        HANDLE search = FindFirstFileA(made.c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            FindClose(search);
            return;
        }
    }
    ADD_FAILURE() << command << " made no " << made;
}

// Waits until path exists (or the setup has ended, or a minute has passed).
void WaitForFile(const Setup &setup, const std::string &path) {
    DWORD start = GetTickCount();
    while (FileAttributes(path) == INVALID_FILE_ATTRIBUTES && GetTickCount() - start < 60000 &&
           !HasExited(setup))
        Sleep(0);
}

const char kWork[] = "\\~tsowork";

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
    // A clean install's files, made once for the tests of this process.
    const std::map<std::string, std::string> &Clean() {
        static std::map<std::string, std::string> clean;
        if (clean.empty()) {
            std::string reference = FreshFolder("clean") + "\\Tesso";
            InstallCompletely(reference);
            clean = Snapshot(reference);
            clean.erase("doc");  // made only in a folder the setup creates
        }
        return clean;
    }
};

// Killed before the largest file, inside it, after it and when the commit begins, over an earlier
// install: nothing under a final name is ever cut short, and the next run makes an install that is
// byte for byte a clean one, with nothing left over.
TEST_F(WholeOrNothing, KilledAtAnyMomentThenRunAgain) {
    struct Moment {
        const char *name, *file;
        long atLeast;
        bool journalHeld;  // at the next run, another program holds the journal open
    } moments[] = {{"with a new file placed, the product writing it since", "pykeys.dic", 0, false},
                   {"before the largest", "~tsowork\\pycizudic.idx.tsonew", 0, false},
                   {"inside the largest", "~tsowork\\pycizudic.idx.tsonew", 1 << 20, false},
                   {"after the largest", "~tsowork\\Inkleaf.exe.tsonew", 0, false},
                   {"at the commit", "~tsowork\\~tsoundo.lst", 0, false},
                   {"at the commit, its journal held", "~tsowork\\~tsoundo.lst", 0, true},
                   {"with files moved aside, its journal cut", "~tsowork\\TSO.exe.tsoold", 0, false}};
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
                if (file.first == PayloadFile(&PayloadCatalogue[i]))
                    entry = &PayloadCatalogue[i];
            if (entry && entry->id != 120 && !earlier.count(file.first))
                EXPECT_EQ(FileSize(folder + "\\" + file.first), (long)entry->bytes)
                    << moment.name << ": " << file.first << " is cut short";
        }
        if (moment.journalHeld) {  // never a reason to delete anything: every earlier file stays
            std::map<std::string, std::string> left = Snapshot(folder), work = Snapshot(folder + kWork);
            work.erase("~tsolock");  // the lock of the killed run, which the next one takes and removes
            HANDLE journal =
                CreateFileA(watched.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            WalkToInstall(folder);
            AnswerOwnerQuestion();
            EXPECT_EQ(NextMessage(IDC_CANCEL), "An interrupted install's journal cannot be read; the earlier "
                                               "files are kept in ~tsowork. OK retries.");
            EXPECT_EQ(WaitForExit(&setup_), 0);
            CloseHandle(journal);
            EXPECT_EQ(Differences(Snapshot(folder), left), "") << moment.name;
            EXPECT_EQ(Differences(Snapshot(folder + kWork), work), "") << moment.name;
        }
        if (!std::strchr(moment.file, '\\')) {  // killed mid-commit, the new file placed
            EXPECT_EQ(FileAttributes(folder + kWork + "\\~tsodone.lst"), INVALID_FILE_ATTRIBUTES);
            // The words the user taught the engine after the power cut: the undo keeps them (the
            // install that follows purges them, as every install does).
            std::string placed = folder + "\\" + moment.file;
            SetFileAttributesA(placed.c_str(), FILE_ATTRIBUTE_NORMAL);
            WriteWhole(placed, "words the user taught it");
            WalkToInstall(folder);
            AnswerOwnerQuestion();
            HWND kept = WaitForMessage(setup_);
            ASSERT_NE(kept, nullptr);
            EXPECT_EQ(MessageEnglish(kept), std::string(moment.file) +
                                                " was written after an interrupted install, "
                                                "and is kept.");
            EXPECT_EQ(ReadWhole(placed), "words the user taught it");
            AnswerMessage(kept, IDC_CONFIRM);
            EXPECT_EQ(NextMessage(), kSuccess);
            EXPECT_EQ(WaitForExit(&setup_), 0);
        } else if (std::string(moment.file).find(".tsoold") != std::string::npos) {
            // Cut by four bytes: every earlier file goes back by its own name, and the user is told.
            std::string journal = folder + kWork + "\\~tsoundo.lst";
            std::string text = ReadWhole(journal);
            WriteWhole(journal, text.substr(0, text.size() > 4 ? text.size() - 4 : 0));
            WalkToInstall(folder);
            AnswerOwnerQuestion();
            EXPECT_EQ(NextMessage(), "An interrupted install's journal was lost; the earlier files it moved "
                                     "were put back by their names.");
            EXPECT_EQ(NextMessage(), kSuccess);
            EXPECT_EQ(WaitForExit(&setup_), 0);
        } else
            InstallCompletely(folder);
        EXPECT_EQ(Differences(Snapshot(folder), Clean()), "") << moment.name;
    }
}

// Held for a second during the commit, as a scanner or an indexer holds a file just written: the
// commit waits for it and completes. Then the journal held when the commit is finished: success is
// reported all the same, and the next run (stopped at a check) finishes it and never undoes it.
TEST_F(WholeOrNothing, FilesHeldForAMomentOrAtTheEndLoseNothing) {
    std::string folder = FreshFolder("held") + "\\Tesso";
    PutEarlierInstall(folder);
    WalkToInstall(folder);
    AnswerOwnerQuestion();
    WaitForFile(setup_, folder + kWork + "\\pycizudic.idx.tsonew");  // the checks are over
    HANDLE engine =
        CreateFileA((folder + "\\TSO.exe").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(engine, INVALID_HANDLE_VALUE);
    WaitForFile(setup_, folder + kWork + "\\~tsoundo.lst");
    Sleep(1000);
    CloseHandle(engine);
    EXPECT_EQ(NextMessage(), kSuccess);
    EXPECT_EQ(WaitForExit(&setup_), 0);
    EXPECT_EQ(Differences(Snapshot(folder), Clean()), "");

    folder = FreshFolder("held-journal") + "\\Tesso";
    PutEarlierInstall(folder);
    WalkToInstall(folder);
    AnswerOwnerQuestion();
    WaitForFile(setup_, folder + kWork + "\\~tsodone.lst");
    HANDLE journal = CreateFileA((folder + kWork + "\\~tsoundo.lst").c_str(), GENERIC_READ, 0, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(NextMessage(), kSuccess);
    EXPECT_EQ(WaitForExit(&setup_), 0);
    CloseHandle(journal);
    engine = CreateFileA((folder + "\\TSO.exe").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    WalkToInstall(folder);
    AnswerOwnerQuestion();
    EXPECT_EQ(NextMessage(IDC_CANCEL),
              "TSO.exe is in use. Quit all Tesso programs and press OK to retry, or Cancel.");
    EXPECT_EQ(WaitForExit(&setup_), 0);
    CloseHandle(engine);
    EXPECT_EQ(Differences(Snapshot(folder), Clean()), "");
}

// A forced end of the session mid-commit, as "shut down anyway" gives it: the wizard refuses
// WM_QUERYENDSESSION, then WM_ENDSESSION with TRUE comes all the same (here from this program), and
// the setup is ended as soon as it has answered, as the system ends it. At several moments of the
// commit, and while it finishes (its journal held for a while, so that the moment lasts), the
// folder is whole without another run: the earlier install or the new one. Not ended, the setup
// ends by itself and changes nothing more. A question that waits before any change lets it end.
TEST_F(WholeOrNothing, TheSessionEndedMidCommitLeavesTheFolderWhole) {
    struct Moment {
        const char *file;
        int delayMs;
        bool killed, journalHeld;
    } moments[] = {{"~tsoundo.lst", 0, true, false},    {"~tsoundo.lst", 150, true, false},
                   {"~tsoundo.lst", 400, true, false},  {"~tsodone.lst", 0, true, true},
                   {"~tsoundo.lst", 150, false, false}, {nullptr, 0, true, false}};
    const std::map<std::string, std::string> &clean = Clean();
    for (const Moment &moment : moments) {
        std::string folder = FreshFolder("session-end") + "\\Tesso",
                    name = moment.file ? moment.file : "a question";
        PutEarlierInstall(folder);
        std::map<std::string, std::string> earlier = Snapshot(folder);
        WalkToInstall(folder);
        if (moment.file) {
            AnswerOwnerQuestion();
            HANDLE journal = INVALID_HANDLE_VALUE;
            for (DWORD start = GetTickCount();
                 moment.journalHeld && journal == INVALID_HANDLE_VALUE && GetTickCount() - start < 60000;)
                journal = CreateFileA((folder + kWork + "\\~tsoundo.lst").c_str(), GENERIC_READ, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
            WaitForFile(setup_, folder + kWork + "\\" + moment.file);
            Sleep(moment.delayMs);
            if (journal != INVALID_HANDLE_VALUE)
                CloseHandle(journal);
        } else {
            ASSERT_NE(WaitForMessage(setup_), nullptr);
        }
        DWORD_PTR agreed = 2;
        SendMessageTimeoutA(setup_.wizard, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 60000, &agreed);
        EXPECT_EQ(agreed, moment.file ? 0u : 1u) << name;
        SendMessageTimeoutA(setup_.wizard, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 60000, nullptr);
        if (moment.killed)
            TerminateProcess(setup_.process.hProcess, 9);
        EXPECT_EQ(WaitForExit(&setup_, 10000), moment.killed ? 9 : 0) << name;
        std::map<std::string, std::string> left = Snapshot(folder);
        EXPECT_TRUE(left == earlier || left == clean)
            << name << " +" << moment.delayMs << " ms: " << Differences(left, earlier);
    }
}

// The engine held as the commit reaches it, so that the commit gives up and undoes, and the
// configuration it placed before held as the undo reaches that, past the retries: the question
// names it; Cancel keeps it and its earlier copy for the next run, which puts everything back.
TEST_F(WholeOrNothing, AFileHeldAtTheUndoIsAskedAboutAndLeftToTheNextRun) {
    std::string folder = FreshFolder("held-undo") + "\\Tesso";
    PutEarlierInstall(folder);
    WalkToInstall(folder);
    AnswerOwnerQuestion();
    WaitForFile(setup_, folder + kWork + "\\pycizudic.idx.tsonew");  // the checks are over
    HANDLE engine =
        CreateFileA((folder + "\\TSO.exe").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    WaitForFile(setup_, folder + kWork + "\\chipadui.ini.tsoold");
    HANDLE placed = INVALID_HANDLE_VALUE;
    for (DWORD start = GetTickCount(); placed == INVALID_HANDLE_VALUE && GetTickCount() - start < 5000;)
        placed = CreateFileA((folder + "\\chipadui.ini").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                             nullptr);
    HWND box = WaitForMessage(setup_, 30000);
    ASSERT_NE(box, nullptr);
    SaveScreenshot(box, "undo-file-held");
    EXPECT_EQ(MessageEnglish(box), "chipadui.ini is held by another program and cannot be put back yet. OK "
                                   "retries; Cancel leaves it to the next run.");
    AnswerMessage(box, IDC_CANCEL);
    EXPECT_EQ(NextMessage(), "Installation failed and chipadui.ini is not restored yet. Quit Tesso and run "
                             "the setup again to restore it.");
    EXPECT_EQ(WaitForExit(&setup_), 0);
    CloseHandle(engine);
    CloseHandle(placed);
    EXPECT_EQ(Snapshot(folder + kWork).count("chipadui.ini.tsoold"), 1u);
    InstallCompletely(folder);
    EXPECT_EQ(Differences(Snapshot(folder), Clean()), "");
}

// A work folder the setup did not make (here made by this test, as an ordinary user could where the
// folder lets users create folders) with a journal and a program moved "aside": named, never read.
TEST_F(WholeOrNothing, AWorkFolderTheSetupDidNotMakeIsNeverUsed) {
    std::string folder = FreshFolder("forged") + "\\Tesso";
    PutEarlierInstall(folder);
    CreateDirectoryA((folder + kWork).c_str(), nullptr);
    WriteWhole(folder + kWork + "\\~tsoundo.lst", "=1TSO.exe\n+0someone-elses.dat\nend\n");
    WriteWhole(folder + kWork + "\\TSO.exe.tsoold", "a user's own program");
    WriteWhole(folder + "\\someone-elses.dat", "another user's file");
    std::map<std::string, std::string> earlier = Snapshot(folder), work = Snapshot(folder + kWork);
    WalkToInstall(folder);
    AnswerOwnerQuestion();
    EXPECT_EQ(NextMessage(),
              "~tsowork in the folder was not made by this setup or was changed; the setup will "
              "not use it. Remove it, then retry.");
    EXPECT_EQ(WaitForExit(&setup_), 0);
    EXPECT_EQ(Differences(Snapshot(folder), earlier), "");
    EXPECT_EQ(Differences(Snapshot(folder + kWork), work), "");
}

// A second setup under another Wine prefix (another wineserver: the first one's mutex and open
// files are not seen there) on the folder while the first is inside its install: told, it changes
// nothing, and the first completes. The first waits at the old word base's question meanwhile.
TEST_F(WholeOrNothing, ASecondSetupOnTheFolderIsKeptOut) {
    std::string second = Environment("TESSO_SECOND_SETUP_FOLDER");
    if (!second.empty()) {  // this process is the second setup's driver, in the other prefix
        WalkToInstall(second);
        AnswerOwnerQuestion();
        WriteWhole(second + "-second.txt", NextMessage());
        WaitForExit(&setup_);
        return;
    }
    std::string other = Environment("TESSO_OTHER_PREFIX");
    if (other.empty())
        GTEST_SKIP() << "needs TESSO_OTHER_PREFIX";
    // Through Z:, which both prefixes reach (a prefix's C: is its own).
    std::string folder = WindowsPath(UnixPath(FreshFolder("two-setups"))) + "\\Tesso";
    PutEarlierInstall(folder);
    WriteWhole(folder + "\\CiZuFlat.igb", "an old word base");
    WriteWhole(folder + "\\pycizudic.idx", "\x80 an old index");
    WalkToInstall(folder);
    AnswerOwnerQuestion();
    HWND question = WaitForMessage(setup_);
    ASSERT_NE(question, nullptr);
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    RunUnix(
        "WINEPREFIX='" + other + "' TESSO_SECOND_SETUP_FOLDER='" + folder + "' /usr/lib/wine/wine64 '" +
            UnixPath(self) +
            "' --gtest_filter=WholeOrNothing.ASecondSetupOnTheFolderIsKeptOut >/dev/null 2>&1; WINEPREFIX='" +
            other + "' /usr/lib/wine/wineserver -k",
        folder + "-second.txt");
    std::string said;
    for (int i = 0; i < 100 && (said = ReadWhole(folder + "-second.txt")).empty(); i++)
        Sleep(50);  // its driver writes the file a moment after making it
    EXPECT_EQ(said, "Another setup is installing into this folder now. Please wait until it has finished, "
                    "then try again.");
    AnswerMessage(question, IDC_YES_BUTTON);
    EXPECT_EQ(NextMessage(), kSuccess);
    EXPECT_EQ(WaitForExit(&setup_), 0);
    EXPECT_EQ(Differences(Snapshot(folder), Clean()), "");
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
    BOOL started = FALSE;  // a file just copied can be refused for a moment (seen once under Wine)
    for (int attempt = 0; !started && attempt < 20; attempt++, Sleep(started ? 0 : 100))
        started = CreateProcessA(engine.c_str(), commandLine, nullptr, nullptr, FALSE, 0, nullptr,
                                 folder.c_str(), &startup, &running);
    ASSERT_TRUE(started) << GetLastError();
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

// Folders, hard links and (under Wine) Unix symbolic links at an installed name, a purged name: the
// setup names what is in the way and changes nothing, inside the folder or outside it.
TEST_F(WholeOrNothing, FoldersAndLinksPlantedAtItsNamesAreNeverWrittenThrough) {
    std::string outsideFolder = FreshFolder("outside");
    std::string outside = outsideFolder + "\\precious.dat";
    WriteWhole(outside, "outside bytes");
    SetFileAttributesA(outside.c_str(), kAttributeProtection);
    enum Kind { kHardLink, kFolder, kUnixLink, kCaseOnlyLink };
    struct Plant {
        const char *name;
        Kind kind;
    } plants[] = {{"TSO.exe", kHardLink},    {"pykeys.dic0001", kHardLink}, {"TSO.exe", kFolder},
                  {"TSO.exe", kUnixLink},    {"flatAuto.dic", kUnixLink},   {"chipadui.ini", kUnixLink},
                  {"TSO.exe", kCaseOnlyLink}};
    for (const Plant &plant : plants) {
        std::string folder =
            FreshFolder(std::string("planted-") + plant.name + "-" + std::to_string(plant.kind)) + "\\Tesso";
        PutEarlierInstall(folder);
        std::string path = folder + "\\" + plant.name;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
        if (plant.kind == kCaseOnlyLink) {  // a link to the same name in another case, beside it
            // Waited for by a mark of its own: the name itself is found at once, as tso.exe.
            WriteWhole(folder + "\\tso.exe", "a file of the same name in lower case");
            RunUnix("ln -s tso.exe '" + UnixPath(folder) + "/" + plant.name + "' && touch '" +
                        UnixPath(folder) + "-linked'",
                    folder + "-linked");
        } else if (plant.kind == kUnixLink)
            RunUnix("ln -s '" + UnixPath(outside) + "' '" + UnixPath(folder) + "/" + plant.name + "'", path);
        else
            ASSERT_TRUE(plant.kind == kHardLink ? CreateHardLinkA(path.c_str(), outside.c_str(), nullptr)
                                                : CreateDirectoryA(path.c_str(), nullptr))
                << plant.name;
        std::map<std::string, std::string> earlier = Snapshot(folder);
        WalkToInstall(folder);
        AnswerOwnerQuestion();
        EXPECT_EQ(NextMessage(), std::string(plant.name) + " in the folder is " +
                                     (plant.kind == kFolder ? "a folder" : "a link") +
                                     "; the setup never writes through it. Remove it.");
        EXPECT_TRUE(WaitForPage(setup_.wizard, 0));
        Click(Control(setup_.wizard, IDCANCEL));
        EXPECT_EQ(WaitForExit(&setup_), 0);
        EXPECT_EQ(Differences(Snapshot(folder), earlier), "") << plant.name;
        EXPECT_EQ(FileAttributes(folder + kWork), INVALID_FILE_ATTRIBUTES) << plant.name;
        EXPECT_EQ(ReadWhole(outside), "outside bytes");
        EXPECT_EQ(FileAttributes(outside) & kAttributeProtection, kAttributeProtection) << plant.name;
    }
}

}  // namespace
