// The whole setup, clicked and typed through under Wine, and what it leaves on disk.
#include <gtest/gtest.h>
#include <windows.h>

#include <dlgs.h>
#include <shlobj.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "base/resource_ids.h"
#include "landing/file_system.h"
#include "payload/payload_catalogue.h"
#include "payload/payload_store.h"
#include "wine_helpers.h"
#include "wizard_walk.h"

namespace {

using namespace driver;

const char kSuccess[] = "Congratulations! Installation Success!";

std::string SpecialFolder(int kind) {
    char path[MAX_PATH] = "";
    SHGetSpecialFolderPathA(nullptr, path, kind, FALSE);
    return path;
}

std::string Lower(std::string text) {
    for (char &c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The lines of a packed licence text, each ended by CR LF.
long LicenceLines(int id) {
    std::vector<char> text(FindPayloadEntry(id)->bytes);
    unsigned long length = 0;
    UnpackPayload(id, reinterpret_cast<unsigned char *>(text.data()), text.size(), &length);
    return std::count(text.begin(), text.begin() + length, '\n');
}

bool Exists(const std::string &path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void ExpectInstalledFiles(const std::string &folder) {
    for (int i = 0; i < PayloadCatalogueCount; i++) {
        const PayloadEntry &entry = PayloadCatalogue[i];
        std::string path = folder + "\\" + PayloadFile(&entry);
        DWORD attributes = GetFileAttributesA(path.c_str());
        ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << PayloadFile(&entry);
        DWORD wanted =
            (entry.readOnly ? FILE_ATTRIBUTE_READONLY : 0) | (entry.hidden ? FILE_ATTRIBUTE_HIDDEN : 0);
        EXPECT_EQ(attributes & kAttributeProtection, wanted) << PayloadFile(&entry);
        if (entry.id != 120)
            EXPECT_EQ(FileSize(path), (long)entry.bytes) << PayloadFile(&entry);
    }
}

class Wizard : public ::testing::Test {
  protected:
    void TearDown() override {
        if (setup_.process.hProcess)
            WaitForExit(&setup_, 100);
    }
    // Starts the setup with the folder field set to `folder`.
    void Start(const std::string &folder, const std::string &workingFolder = "") {
        ASSERT_TRUE(StartSetup(&setup_, "", workingFolder));
        wizard_ = setup_.wizard;
        if (!folder.empty())
            SetText(wizard_, IDC_FOLDER, folder);
    }
    // From page 0 to page 3 with clicks, answering the display question with `answer`.
    void WalkToLastPage(int answer) {
        ASSERT_TRUE(GoNext(wizard_, kByClick, 1));
        Click(Control(wizard_, answer));
        ASSERT_TRUE(GoNext(wizard_, kByClick, 2));
        ASSERT_TRUE(GoNext(wizard_, kByClick, 3));
    }
    driver::Setup setup_;
    HWND wizard_ = nullptr;
};

TEST_F(Wizard, ClickedThroughItInstallsEverything) {
    std::string folder = FreshFolder("clicked") + "\\Tesso";
    Start(folder);
    SaveScreenshot(wizard_, "page-0");
    EXPECT_FALSE(IsShown(wizard_, IDC_BACK));
    ASSERT_TRUE(GoNext(wizard_, kByClick, 1));
    EXPECT_TRUE(IsShown(wizard_, IDC_BACK));
    Click(Control(wizard_, IDC_ANSWER_OK));
    SaveScreenshot(wizard_, "page-1");
    ASSERT_TRUE(GoNext(wizard_, kByClick, 2));
    SaveScreenshot(wizard_, "page-2");
    EXPECT_TRUE(IsShown(wizard_, IDC_LICENCE_LIST));
    EXPECT_FALSE(IsShown(wizard_, IDC_LICENCE_EDIT));
    EXPECT_EQ(SendMessageA(Control(wizard_, IDC_LICENCE_LIST), LB_GETCOUNT, 0, 0), LicenceLines(163));
    for (int toggle = 0; toggle < 3; toggle++) {
        Click(Control(wizard_, IDC_ENGLISH_LICENCE));
        bool english = toggle % 2 == 0;
        EXPECT_EQ(IsShown(wizard_, IDC_LICENCE_EDIT), english);
        EXPECT_EQ(IsShown(wizard_, IDC_LICENCE_LIST), !english);
    }
    EXPECT_EQ(Text(wizard_, IDC_LICENCE_EDIT).size(), FindPayloadEntry(164)->bytes);
    SaveScreenshot(wizard_, "page-2-english");
    ASSERT_TRUE(GoNext(wizard_, kByClick, 3));
    SaveScreenshot(wizard_, "page-3");
    EXPECT_FALSE(IsShown(wizard_, IDC_LICENCE_EDIT));
    EXPECT_EQ(ChosenLanguage(wizard_), 1);
    ASSERT_TRUE(ChooseLanguage(wizard_, 0));
    InstallRun run = FinishInstall(&setup_, kByClick, IDYES, "install");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.result, kSuccess);
    EXPECT_EQ(run.ownerQuestions, 0);  // a folder the setup makes
    // Five seconds of the calendar clock, which counts whole seconds: a little over four real ones.
    EXPECT_GE(run.secondsToResult, 4.0);
    EXPECT_EQ(run.exitCode, 0);

    ExpectInstalledFiles(folder);
    EXPECT_TRUE(Exists(folder + "\\doc"));
    EXPECT_EQ(ProfileValue(folder + "\\chipadui.ini", "UseBmpFont"), "0");
    EXPECT_EQ(ProfileValue(folder + "\\chipadui.ini", "ForceLanguage"), "0");
    std::string group = SpecialFolder(CSIDL_PROGRAMS) + "\\Tesso Chinese Input Engine";
    EXPECT_TRUE(Exists(group + "\\Tesso Chinese Input Engine.lnk"));
    EXPECT_TRUE(Exists(group + "\\Tesso UnInstall.lnk"));
    EXPECT_TRUE(Exists(SpecialFolder(CSIDL_DESKTOPDIRECTORY) + "\\Inkleaf Pad.lnk"));
}

TEST_F(Wizard, EnterKeyWalkWithTheOtherAnswers) {
    std::string folder = FreshFolder("entered") + "\\Tesso";
    std::string startupLink = SpecialFolder(CSIDL_STARTUP) + "\\Tesso Chinese Input Engine.lnk";
    DeleteFileA(startupLink.c_str());
    Start(folder);
    Click(Control(wizard_, IDC_AUTO_START));
    Focus(Control(wizard_, IDC_FOLDER));
    ASSERT_TRUE(GoNext(wizard_, kByEnter, 1));
    Click(Control(wizard_, IDC_ANSWER_NO));
    ASSERT_TRUE(GoNext(wizard_, kByEnter, 2));
    EXPECT_FALSE(IsChecked(wizard_, IDC_ENGLISH_LICENCE));
    // The English box ticked from the keyboard, then Enter: page 3 shows no licence text.
    Focus(Control(wizard_, IDC_ENGLISH_LICENCE));
    Key(VK_SPACE);
    EXPECT_TRUE(IsShown(wizard_, IDC_LICENCE_EDIT));
    ASSERT_TRUE(GoNext(wizard_, kByEnter, 3));
    Sleep(200);
    EXPECT_FALSE(IsShown(wizard_, IDC_LICENCE_EDIT));
    EXPECT_FALSE(IsShown(wizard_, IDC_LICENCE_LIST));
    EXPECT_TRUE(IsShown(wizard_, IDC_LANGUAGE_LIST));
    ASSERT_TRUE(ChooseLanguage(wizard_, 2));
    InstallRun run = FinishInstall(&setup_, kByEnter);  // Enter in the language list means Install
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.result, kSuccess);
    EXPECT_EQ(ProfileValue(folder + "\\chipadui.ini", "UseBmpFont"), "1");
    EXPECT_EQ(ProfileValue(folder + "\\chipadui.ini", "ForceLanguage"), "2");
    EXPECT_TRUE(Exists(startupLink));
}

TEST_F(Wizard, CancelOnAnyPageInstallsNothing) {
    for (int page = 0; page <= 3; page++) {
        std::string folder = FreshFolder("cancelled") + "\\Tesso";
        Start(folder);
        if (page >= 1)
            ASSERT_TRUE(GoNext(wizard_, kByClick, 1));
        if (page >= 2) {
            Click(Control(wizard_, IDC_ANSWER_OK));
            ASSERT_TRUE(GoNext(wizard_, kByClick, 2));
        }
        if (page >= 3)
            ASSERT_TRUE(GoNext(wizard_, kByClick, 3));
        Click(Control(wizard_, IDCANCEL));
        EXPECT_EQ(WaitForExit(&setup_), 0) << page;
        EXPECT_FALSE(Exists(folder)) << page;
    }
}

TEST_F(Wizard, DisplayQuestionNeedsAnAnswerAndPagesKeepOrClearIt) {
    Start("");
    ASSERT_TRUE(GoNext(wizard_, kByClick, 1));
    RECT okBox = ClientArea(Control(wizard_, IDC_ANSWER_OK), wizard_);
    Image unanswered = Crop(Capture(wizard_), okBox);
    GoNext(wizard_, kByClick, -1);
    HWND box = WaitForMessage(setup_);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageEnglish(box), "Please select a choice.");
    AnswerMessage(box, IDC_CONFIRM);
    EXPECT_TRUE(WaitForPage(wizard_, 1));

    Click(Control(wizard_, IDC_ANSWER_NO));
    Click(Control(wizard_, IDC_ANSWER_OK));  // the answers exclude each other
    EXPECT_TRUE(IsChecked(wizard_, IDC_ANSWER_OK));
    EXPECT_FALSE(IsChecked(wizard_, IDC_ANSWER_NO));
    ASSERT_TRUE(GoNext(wizard_, kByClick, 2));
    ASSERT_TRUE(GoBack(wizard_, 1));
    EXPECT_TRUE(IsChecked(wizard_, IDC_ANSWER_OK));  // 2 -> 1 keeps the answer
    ASSERT_TRUE(GoBack(wizard_, 0));
    EXPECT_FALSE(IsShown(wizard_, IDC_BACK));
    ASSERT_TRUE(GoNext(wizard_, kByClick, 1));
    EXPECT_FALSE(IsChecked(wizard_, IDC_ANSWER_OK));  // 0 -> 1 asks afresh
    Sleep(300);
    EXPECT_TRUE(Crop(Capture(wizard_), okBox).pixels == unanswered.pixels);  // and shows it so

    Click(Control(wizard_, IDC_ANSWER_OK));
    Click(Control(wizard_, IDC_ANSWER_OK));  // clicking the checked answer clears it
    EXPECT_FALSE(IsChecked(wizard_, IDC_ANSWER_OK));
    GoNext(wizard_, kByClick, -1);
    box = WaitForMessage(setup_);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageEnglish(box), "Please select a choice.");
    AnswerMessage(box, IDC_CONFIRM);
    Click(Control(wizard_, IDCANCEL));
    EXPECT_EQ(WaitForExit(&setup_), 0);
}

TEST_F(Wizard, FolderThatCannotBeMadeReturnsToTheFolderField) {
    std::string parentless = FreshFolder("parentless") + "\\missing\\Tesso";
    Start(parentless);
    WalkToLastPage(IDC_ANSWER_OK);
    GoNext(wizard_, kByClick, -1);
    HWND box = WaitForMessage(setup_);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageEnglish(box), "Cannot create folder! Please check folder path.");
    SaveScreenshot(box, "folder-message");
    AnswerMessage(box, IDC_CONFIRM);
    ASSERT_TRUE(WaitForPage(wizard_, 0));
    EXPECT_FALSE(IsShown(wizard_, IDC_BACK));
    EXPECT_TRUE(IsShown(wizard_, IDC_NEXT));
    EXPECT_EQ(FocusedWindow(setup_), Control(wizard_, IDC_FOLDER));
    EXPECT_FALSE(Exists(parentless));

    std::string corrected = FreshFolder("corrected") + "\\Tesso";
    SetText(wizard_, IDC_FOLDER, corrected);
    WalkToLastPage(IDC_ANSWER_OK);
    InstallRun run = FinishInstall(&setup_, kByClick);
    EXPECT_EQ(run.result, kSuccess);
    EXPECT_TRUE(Exists(corrected + "\\doc"));
    EXPECT_TRUE(Exists(corrected + "\\TSO.exe"));
}

TEST_F(Wizard, ExistingFolderThenAnInstallOverIt) {
    std::string folder = FreshFolder("existing");  // exists already: used as it is
    Start(folder);
    WalkToLastPage(IDC_ANSWER_OK);
    InstallRun run = FinishInstall(&setup_, kByClick, IDYES, "first");
    EXPECT_EQ(run.result, kSuccess);
    EXPECT_EQ(run.ownerQuestions, 1);  // the test made the folder (see driver::kOwnerQuestion)
    EXPECT_FALSE(Exists(folder + "\\doc"));
    ExpectInstalledFiles(folder);

    // The user's own word base, whole: one shorter than the new one would be completed.
    const unsigned long wordBaseBytes = FindPayloadEntry(127)->bytes;  // CiZuFlat.igb
    const std::string userBase = "the user's own word base" + std::string(wordBaseBytes, 'w');
    WriteWhole(folder + "\\CiZuFlat.igb", userBase);
    Start(folder);
    WalkToLastPage(IDC_ANSWER_OK);
    run = FinishInstall(&setup_, kByClick, IDNO, "second");
    EXPECT_EQ(run.result, kSuccess);
    EXPECT_EQ(ReadWhole(folder + "\\CiZuFlat.igb"), userBase);

    Start(folder);
    WalkToLastPage(IDC_ANSWER_OK);
    run = FinishInstall(&setup_, kByClick, IDYES);
    EXPECT_EQ(run.result, kSuccess);
    EXPECT_EQ(FileSize(folder + "\\CiZuFlat.igb"), (long)wordBaseBytes);
}

TEST_F(Wizard, BrowsePicksTheFolderAndCancelLeavesTheField) {
    std::string start = FreshFolder("browse");
    Start("", start);
    std::string before = Text(wizard_, IDC_FOLDER);
    Click(Control(wizard_, IDC_BROWSE));
    HWND chooser = WaitForWindow(setup_.process.dwProcessId, kChooserCaption);
    ASSERT_NE(chooser, nullptr);
    Click(Control(chooser, IDCANCEL));
    ASSERT_TRUE(WaitForWindowGone(chooser));
    EXPECT_EQ(Text(wizard_, IDC_FOLDER), before);

    Click(Control(wizard_, IDC_BROWSE));
    chooser = WaitForWindow(setup_.process.dwProcessId, kChooserCaption);
    ASSERT_NE(chooser, nullptr);
    SaveScreenshot(chooser, "chooser");
    Click(Control(chooser, IDOK));
    ASSERT_TRUE(WaitForWindowGone(chooser));
    EXPECT_EQ(Text(wizard_, IDC_FOLDER), start + "\\Tesso");
    Click(Control(wizard_, IDCANCEL));
    EXPECT_EQ(WaitForExit(&setup_), 0);

    // By keyboard: Enter on Browse opens it, Escape leaves the field, Enter picks the folder.
    Start("", start);
    Focus(Control(wizard_, IDC_BROWSE));
    Key(VK_RETURN);
    chooser = WaitForWindow(setup_.process.dwProcessId, kChooserCaption);
    ASSERT_NE(chooser, nullptr);
    Key(VK_ESCAPE);
    ASSERT_TRUE(WaitForWindowGone(chooser));
    EXPECT_EQ(Text(wizard_, IDC_FOLDER), before);
    Focus(Control(wizard_, IDC_BROWSE));
    Key(VK_RETURN);
    chooser = WaitForWindow(setup_.process.dwProcessId, kChooserCaption);
    ASSERT_NE(chooser, nullptr);
    Sleep(300);
    Key(VK_RETURN);
    ASSERT_TRUE(WaitForWindowGone(chooser));
    EXPECT_EQ(Text(wizard_, IDC_FOLDER), start + "\\Tesso");
    Click(Control(wizard_, IDCANCEL));
    EXPECT_EQ(WaitForExit(&setup_), 0);

    Start("", "C:\\");
    Click(Control(wizard_, IDC_BROWSE));
    chooser = WaitForWindow(setup_.process.dwProcessId, kChooserCaption);
    ASSERT_NE(chooser, nullptr);
    Click(Control(chooser, IDOK));
    ASSERT_TRUE(WaitForWindowGone(chooser));
    EXPECT_EQ(Text(wizard_, IDC_FOLDER), "C:\\Tesso");  // a drive root loses its backslash
    Click(Control(wizard_, IDCANCEL));
    EXPECT_EQ(WaitForExit(&setup_), 0);
}

// Read through the wide messages: the common dialog's window may be a wide one, and a narrow
// message from another process then comes back unconverted under Wine.
std::vector<std::string> ListTexts(HWND list, UINT count, UINT length, UINT get) {
    std::vector<std::string> texts;
    LRESULT items = SendMessageW(list, count, 0, 0);
    for (LRESULT i = 0; i < items; i++) {
        std::vector<wchar_t> wide(SendMessageW(list, length, i, 0) + 1, 0);
        SendMessageW(list, get, i, reinterpret_cast<LPARAM>(wide.data()));
        char text[MAX_PATH * 2] = "";
        WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, text, sizeof text - 1, nullptr, nullptr);
        texts.push_back(text);
    }
    return texts;
}

// A drive item's letter, lower case: the old-style dialog writes a drive as "[-c-]" or as
// "c: label"; 0 for any other text (such as the item data read as text).
char DriveLetter(const std::string &item) {
    char letter = 0;
    if (item.size() == 5 && item.compare(0, 2, "[-") == 0 && item.compare(3, 2, "-]") == 0)
        letter = item[2];
    else if (item.size() >= 2 && item[1] == ':')
        letter = item[0];
    letter = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
    return letter >= 'a' && letter <= 'z' ? letter : 0;
}

// The folders a directory list shows for `folder`: its subfolders that are not hidden.
std::set<std::string> ShownSubfolders(const std::string &folder) {
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !(found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) && found.cFileName[0] != '.')
            names.insert(Lower(found.cFileName));
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    return names;
}

// The drive list names every drive of the system; choosing another drive takes the directory list
// and its label there, and OK then takes that drive's folder.
TEST_F(Wizard, ChooserDriveListNamesTheDrivesAndChangesDrive) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    *std::strrchr(self, '\\') = 0;
    ASSERT_EQ(std::tolower(static_cast<unsigned char>(self[0])), 'z');  // started on Wine's Z: drive
    Start("", self);
    Click(Control(wizard_, IDC_BROWSE));
    HWND chooser = WaitForWindow(setup_.process.dwProcessId, kChooserCaption);
    ASSERT_NE(chooser, nullptr);
    HWND drives = Control(chooser, cmb2), directories = Control(chooser, lst2);

    std::vector<std::string> items = ListTexts(drives, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
    std::string letters, expected;
    for (const std::string &item : items) {
        EXPECT_NE(DriveLetter(item), 0) << "drive item \"" << item << "\"";
        letters += DriveLetter(item);
    }
    DWORD logical = GetLogicalDrives();
    for (int drive = 0; drive < 26; drive++)
        if (logical & (1u << drive))
            expected += static_cast<char>('a' + drive);
    std::sort(letters.begin(), letters.end());
    EXPECT_EQ(letters, expected);
    int target = -1;
    for (size_t i = 0; i < items.size(); i++)
        if (DriveLetter(items[i]) == 'c')
            target = static_cast<int>(i);
    ASSERT_GE(target, 0);

    // To drive C: with the keyboard, in the opened list, as a user does.
    Focus(drives);
    Key(VK_F4);
    EXPECT_TRUE(SendMessageA(drives, CB_GETDROPPEDSTATE, 0, 0));
    SaveScreenshot(chooser, "chooser-drive-list");
    int selected = static_cast<int>(SendMessageA(drives, CB_GETCURSEL, 0, 0));
    for (; selected > target; selected--)
        Key(VK_UP);
    for (; selected < target; selected++)
        Key(VK_DOWN);
    Key(VK_RETURN);
    Sleep(300);
    SaveScreenshot(chooser, "chooser-other-drive");
    std::string label = Lower(Text(chooser, stc1));
    ASSERT_EQ(label.compare(0, 2, "c:"), 0) << label;
    if (label.back() != '\\')
        label += '\\';
    std::set<std::string> listed;
    for (const std::string &item : ListTexts(directories, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT)) {
        std::string name = Lower(item);
        if (name.size() > 2 && name.front() == '[' && name.back() == ']')
            name = name.substr(1, name.size() - 2);
        if (name != ".." && name.find(':') == std::string::npos)
            listed.insert(name);
    }
    EXPECT_EQ(listed, ShownSubfolders(label));
    EXPECT_FALSE(listed.empty());

    Click(Control(chooser, IDOK));
    ASSERT_TRUE(WaitForWindowGone(chooser));
    std::string chosen = label.size() > 3 ? label.substr(0, label.size() - 1) : label.substr(0, 2);
    EXPECT_EQ(Lower(Text(wizard_, IDC_FOLDER)), chosen + "\\tesso");
    Click(Control(wizard_, IDCANCEL));
    EXPECT_EQ(WaitForExit(&setup_), 0);
}

// Runs in the high-contrast prefix only: white ink on black, glyphs and list text alike.
TEST_F(Wizard, HighContrastSchemeShowsEveryGlyph) {
    if (GetSysColor(COLOR_BTNFACE) != RGB(0, 0, 0))
        GTEST_SKIP() << "needs the black high-contrast scheme";
    const uint32_t kWhite = 0xFFFFFF;
    Start("");
    SaveScreenshot(wizard_, "high-contrast-page-0");
    Image image = Capture(wizard_);
    POINT at;
    EXPECT_TRUE(
        FindChineseText(image, "下一步", kWhite, ClientArea(Control(wizard_, IDC_NEXT), wizard_), &at));
    EXPECT_TRUE(FindChineseText(image, "取消", kWhite, ClientArea(Control(wizard_, IDCANCEL), wizard_), &at));
    EXPECT_TRUE(FindChineseText(image, "建立桌面图标", kWhite,
                                ClientArea(Control(wizard_, IDC_DESKTOP_ICONS), wizard_), &at));
    ASSERT_TRUE(GoNext(wizard_, kByClick, 1));
    Click(Control(wizard_, IDC_ANSWER_OK));
    ASSERT_TRUE(GoNext(wizard_, kByClick, 2));
    Sleep(300);
    SaveScreenshot(wizard_, "high-contrast-licence");
    image = Capture(wizard_);
    EXPECT_TRUE(FindChineseText(image, "最终用户许可协议", kWhite,
                                ClientArea(Control(wizard_, IDC_LICENCE_LIST), wizard_), &at));
    Click(Control(wizard_, IDCANCEL));
    EXPECT_EQ(WaitForExit(&setup_), 0);
}

// Runs on a Japanese system (code page 932) only: GBK bytes are not valid there, yet the message,
// the licence and the language names read as they do everywhere.
TEST_F(Wizard, JapaneseSystemShowsTheGbkTextsUnchanged) {
    if (GetACP() != 932)
        GTEST_SKIP() << "needs code page 932";
    const uint32_t kBlack = 0x000000;
    Start("");
    ASSERT_TRUE(GoNext(wizard_, kByClick, 1));
    GoNext(wizard_, kByClick, -1);
    HWND box = WaitForMessage(setup_);
    ASSERT_NE(box, nullptr);
    POINT at;
    EXPECT_TRUE(FindChineseText(Capture(box), "请您回答提问", kBlack,
                                ClientArea(Control(box, IDC_MESSAGE_TEXT), box), &at));
    AnswerMessage(box, IDC_CONFIRM);
    Click(Control(wizard_, IDC_ANSWER_OK));
    ASSERT_TRUE(GoNext(wizard_, kByClick, 2));
    Sleep(300);
    SaveScreenshot(wizard_, "japanese-system-licence");
    EXPECT_TRUE(FindChineseText(Capture(wizard_), "最终用户许可协议", kBlack,
                                ClientArea(Control(wizard_, IDC_LICENCE_LIST), wizard_), &at));
    ASSERT_TRUE(GoNext(wizard_, kByClick, 3));
    Sleep(300);
    SaveScreenshot(wizard_, "japanese-system-language");
    // The combo box's field is lower than a glyph: only the top rows of 中 and 简 are compared.
    Image page = Capture(wizard_);
    RECT field = ClientArea(Control(wizard_, IDC_LANGUAGE_LIST), wizard_);
    EXPECT_TRUE(FindGlyph(page, LoadGlyph(0xD6D0), kBlack, field, &at, 12));
    EXPECT_TRUE(FindGlyph(page, LoadGlyph(0xBCF2), kBlack, field, &at, 12));
    Click(Control(wizard_, IDCANCEL));
    EXPECT_EQ(WaitForExit(&setup_), 0);
}

// Runs on a Chinese system only: the group and shortcuts get their GBK names.
TEST_F(Wizard, ChineseSystemNamesTheShortcutsInChinese) {
    if (GetACP() != 936)
        GTEST_SKIP() << "needs a Chinese system";
    std::string folder = FreshFolder("chinese") + "\\Tesso";
    Start(folder);
    SaveScreenshot(wizard_, "page-0");
    ASSERT_TRUE(GoNext(wizard_, kByClick, 1));
    SaveScreenshot(wizard_, "page-1");
    Click(Control(wizard_, IDC_ANSWER_OK));
    ASSERT_TRUE(GoNext(wizard_, kByClick, 2));
    SaveScreenshot(wizard_, "page-2");
    ASSERT_TRUE(GoNext(wizard_, kByClick, 3));
    SaveScreenshot(wizard_, "page-3");
    InstallRun run = FinishInstall(&setup_, kByClick, IDYES, "install");
    ASSERT_TRUE(run.finished);
    std::string group = SpecialFolder(CSIDL_PROGRAMS) + "\\岚笔中文输入引擎";
    EXPECT_TRUE(Exists(group + "\\岚笔中文输入引擎.lnk"));
    EXPECT_TRUE(Exists(group + "\\岚笔输入引擎卸载.lnk"));
    EXPECT_TRUE(Exists(SpecialFolder(CSIDL_DESKTOPDIRECTORY) + "\\岚笔文本编辑.lnk"));
}

}  // namespace
