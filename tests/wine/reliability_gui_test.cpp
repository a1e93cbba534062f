// Bad input of every kind, on the real setup: the setup says what is wrong, ends or goes back as a
// user expects, and leaves every file that was there before as it was unless the install succeeded.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "base/resource_ids.h"
#include "landing/file_system.h"
#include "payload/payload_store.h"
#include "setup_fixture.h"
#include "wine_helpers.h"
#include "wizard/wizard_state.h"
#include "wizard_walk.h"

namespace {

using namespace driver;

const char kSuccess[] = "Congratulations! Installation Success!";
const char kDamaged[] = "The setup file is damaged and cannot install. Please obtain the setup again.";

// An earlier install as a user left it: protected files, the user's own dictionary and answers.
std::map<std::string, std::string> PutEarlierInstall(const std::string &folder) {
    std::map<std::string, std::string> files = {
        {"TSO.exe", "earlier engine"},
        {"chipadui.ini", "[Config]\r\nUseBmpFont=1\r\nForceLanguage=2\r\n"},
        {"flatAuto.dic", "the user's own words"},
        {"tips.txt", "a file of the user's"}};
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const auto &file : files) {
        WriteWhole(folder + "\\" + file.first, file.second);
        SetFileAttributesA((folder + "\\" + file.first).c_str(), kAttributeProtection);
    }
    return files;
}

void ExpectUnchanged(const std::string &folder, const std::map<std::string, std::string> &files) {
    for (const auto &file : files)
        EXPECT_EQ(ReadWhole(folder + "\\" + file.first), file.second) << file.first;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    size_t count = 0;
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
        count += found.cFileName[0] != '.';
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    EXPECT_EQ(count, files.size()) << "files were added to " << folder;
}

class Reliability : public SetupTest {};

// Found while the first page waits, before anything is read or written; the glyph font's own case
// is a start-up test.
TEST_F(Reliability, DamagedPayloadsAreFoundBeforeAnyChange) {
    const unsigned short ids[] = {106, 109, kPayloadLicenceChinese};  // required, optional, licence
    for (unsigned short id : ids) {
        std::string damaged = DamagedSetupCopy(id);
        ASSERT_FALSE(damaged.empty());
        ASSERT_TRUE(LaunchSetup(&setup_, damaged));
        EXPECT_EQ(NextMessage(), kDamaged) << id;
        EXPECT_EQ(WaitForExit(&setup_), 1) << id;
    }
}

// A signed setup altered on its way to the user: the signature is appended after the resources and
// the check covers the payload streams alone, so one byte changed inside a stream of the signed file
// (made by tests/packaging/check-signing.sh, which also sees the signature refuse it) is still found.
TEST_F(Reliability, SignedSetupChangedAfterwardsIsReportedDamaged) {
    std::string changed = Environment("TESSO_CHANGED_SETUP_EXE");
    if (changed.empty())
        GTEST_SKIP() << "needs TESSO_CHANGED_SETUP_EXE (the wine.signed.* tests)";
    ASSERT_TRUE(LaunchSetup(&setup_, changed));
    EXPECT_EQ(NextMessage(), kDamaged);
    EXPECT_EQ(WaitForExit(&setup_), 1);
}

// A licence that cannot be loaded (here an intact one too long for its buffer) leaves its page
// without it; the next visit loads it afresh and never lists its lines twice.
TEST_F(Reliability, LicenceThatFailsToLoadIsNeverListedTwice) {
    std::string exe = SetupCopyWithPayload(kPayloadLicenceEnglish, std::string(kLicenceBufferSize, 'x'));
    ASSERT_FALSE(exe.empty());
    ASSERT_TRUE(StartSetup(&setup_, exe));
    ASSERT_TRUE(GoNext(setup_.wizard, kByClick, 1));
    Click(Control(setup_.wizard, IDC_ANSWER_OK));
    HWND list = Control(setup_.wizard, IDC_LICENCE_LIST);
    LRESULT lines = 0;
    for (int visit = 0; visit < 2; visit++) {
        ASSERT_TRUE(visit == 0 || GoBack(setup_.wizard, 1));
        ASSERT_TRUE(GoNext(setup_.wizard, kByClick, 2));
        EXPECT_FALSE(IsWindowVisible(list));
        lines = visit == 0 ? SendMessageA(list, LB_GETCOUNT, 0, 0) : lines;
        EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), lines);
    }
    EXPECT_GT(lines, 10);
    Click(Control(setup_.wizard, IDC_CANCEL));
    EXPECT_EQ(WaitForExit(&setup_), 0);
}

TEST_F(Reliability, FolderNamesAreRefusedBeforeAnyChange) {
    std::string work = FreshFolder("names");
    std::map<std::string, std::string> files = PutEarlierInstall(work);
    const std::string notFull =
        "Please type a full folder path that starts with a drive letter, such as C:\\Tesso.";
    const std::string systemFolder =
        "The setup does not install into the Windows folder or the system folder. Please choose another.";
    const std::string root = "Please choose a folder (such as C:\\Tesso), not the root of a drive.";
    auto tooLong = [](int length) {
        return "The folder path has " + std::to_string(length) +
               " characters; the setup takes at most 209 (it works in ~tsowork inside). Choose a shorter "
               "one.";
    };
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    std::string wow64 = std::string(windows) + "\\SysWOW64";
    if (FileAttributes(wow64) == INVALID_FILE_ATTRIBUTES)
        wow64 = windows;
    struct Case {
        std::string folder, message;
        std::wstring wide;  // typed in Unicode instead, where the code page lacks a character
    } cases[] = {
        {".", notFull},
        {"..", notFull},
        {"Tesso2", notFull},
        {"C:\\a|b", "A folder name cannot hold < > \" / | ? * or control characters. Please choose another."},
        {"C:\\Tesso:x",
         "Only the drive letter takes a colon: \"name:x\" names a file's stream, not a folder."},
        {"\\\\server\\share\\Tesso",
         "The setup does not take \\\\server\\share paths. Choose a local folder or a mapped drive."},
        {"C:\\" + std::string(300, 'x'), tooLong(303)},
        {"C:\\" + std::string(230, 'y'), tooLong(233)},
        {"C:\\COM1", "The folder path has a name Windows keeps for a device (CON, PRN, AUX, NUL, COM1-9, "
                     "LPT1-9). Please choose another."},
        {"C:\\", root},
        {WindowsPath(Environment("WINEPREFIX") + "/drive_c"), root},  // the same folder through Z:
        {windows, systemFolder},
        {wow64, systemFolder},  // the 32-bit programs' system folder, where the prefix has one
        {"",
         "The folder name has a character (U+FF34) that this system's code page lacks. Please use another "
         "name.",
         L"C:\\\xFF34\xFF45\xFF53\xFF53\xFF4F"},  // full-width letters: read in ANSI, C:\Tesso
    };
    ASSERT_TRUE(StartSetup(&setup_, "", work));
    for (const Case &c : cases) {
        SetText(setup_.wizard, IDC_FOLDER, c.folder);
        if (!c.wide.empty())
            SendMessageW(Control(setup_.wizard, IDC_FOLDER), WM_SETTEXT, 0,
                         reinterpret_cast<LPARAM>(c.wide.c_str()));
        ASSERT_TRUE(GoNext(setup_.wizard, kByClick, 1));
        Click(Control(setup_.wizard, IDC_ANSWER_OK));
        ASSERT_TRUE(GoNext(setup_.wizard, kByClick, 2));
        ASSERT_TRUE(GoNext(setup_.wizard, kByClick, 3));
        Click(Control(setup_.wizard, IDC_NEXT));
        EXPECT_EQ(NextMessage(), c.message) << c.folder.substr(0, 20);
        EXPECT_TRUE(WaitForPage(setup_.wizard, 0)) << c.folder.substr(0, 20);
        EXPECT_EQ(FocusedWindow(setup_), Control(setup_.wizard, IDC_FOLDER));
    }
    Click(Control(setup_.wizard, IDCANCEL));
    EXPECT_EQ(WaitForExit(&setup_), 0);
    ExpectUnchanged(work, files);
    EXPECT_EQ(FileAttributes("C:\\" + std::string(230, 'y')), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Reliability, FileInUseIsFoundFirstAndCanBeRetried) {
    std::string folder = FreshFolder("in-use") + "\\Tesso";
    std::map<std::string, std::string> files = PutEarlierInstall(folder);
    HANDLE held =
        CreateFileA((folder + "\\TSO.exe").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    WalkToInstall(folder);
    AnswerOwnerQuestion();
    const std::string inUse = "TSO.exe is in use. Quit all Tesso programs and press OK to retry, or Cancel.";
    EXPECT_EQ(NextMessage(IDC_CONFIRM), inUse);  // retried while still in use
    EXPECT_EQ(NextMessage(IDC_CANCEL), inUse);   // stopped
    EXPECT_EQ(WaitForExit(&setup_), 0);
    CloseHandle(held);
    ExpectUnchanged(folder, files);
    held = CreateFileA((folder + "\\TSO.exe").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    WalkToInstall(folder);
    AnswerOwnerQuestion();
    HWND box = WaitForMessage(setup_, 15000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageEnglish(box), inUse);
    CloseHandle(held);  // the program is quit; OK retries
    AnswerMessage(box, IDC_CONFIRM);
    EXPECT_EQ(NextMessage(), kSuccess);
    EXPECT_EQ(WaitForExit(&setup_), 0);
    EXPECT_EQ(FileSize(folder + "\\TSO.exe"), 1396736);
}

// A small disk (a tmpfs the test script maps as a drive, where the machine allows mounting).
TEST_F(Reliability, DiskTooSmallIsRefusedBeforeAnyChange) {
    std::string drive = Environment("TESSO_SMALL_DRIVE");
    if (drive.empty())
        GTEST_SKIP() << "no small drive: this machine does not allow mounting a tmpfs";
    std::string folder = drive + "\\Tesso";
    std::map<std::string, std::string> files = PutEarlierInstall(folder);
    WalkToInstall(folder);
    AnswerOwnerQuestion();
    EXPECT_EQ(NextMessage().find("Not enough disk space: the install needs "), 0u);
    EXPECT_TRUE(WaitForPage(setup_.wizard, 0));
    Click(Control(setup_.wizard, IDCANCEL));
    EXPECT_EQ(WaitForExit(&setup_), 0);
    ExpectUnchanged(folder, files);
}

TEST_F(Reliability, RunFromTheWindowsFolderKeepsTheControlFile) {
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    std::string setup = std::string(windows) + "\\TessoSetup.exe",
                control = std::string(windows) + "\\SCtrlSet1.bin";
    ASSERT_TRUE(CopyFileA(WindowsPath(Environment("TESSO_SETUP_EXE")).c_str(), setup.c_str(), FALSE));
    WriteWhole(control, "the only control file");
    WalkToInstall(FreshFolder("from-windows") + "\\Tesso", setup);
    EXPECT_EQ(NextMessage(), kSuccess);
    EXPECT_EQ(WaitForExit(&setup_), 0);
    EXPECT_EQ(ReadWhole(control), "the only control file");
    DeleteFileA(setup.c_str());
    DeleteFileA(control.c_str());
}

TEST_F(Reliability, SecondStartBringsTheFirstToTheFront) {
    ASSERT_TRUE(StartSetup(&setup_));
    driver::Setup second;
    ASSERT_TRUE(LaunchSetup(&second));
    EXPECT_EQ(WaitForExit(&second, 10000), 0);
    EXPECT_EQ(GetForegroundWindow(), setup_.wizard);
    Click(Control(setup_.wizard, IDCANCEL));
    EXPECT_EQ(WaitForExit(&setup_), 0);
}

// On a Chinese system (code page 936): C:\淺 ends in the byte of a backslash, and its doc folder
// is still made inside it.
TEST_F(Reliability, ChineseSystemFolderWhoseLastByteIsABackslash) {
    if (GetACP() != 936)
        GTEST_SKIP() << "needs code page 936";
    std::string folder = FreshFolder("gbk") + "\\\xC7\x5C";
    WalkToInstall(folder);
    EXPECT_EQ(NextMessage(), kSuccess);
    EXPECT_EQ(WaitForExit(&setup_), 0);
    EXPECT_NE(FileAttributes(folder + "\\doc"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(FileAttributes(folder + "doc"), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(FileAttributes(folder + "\\TSO.exe"), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
