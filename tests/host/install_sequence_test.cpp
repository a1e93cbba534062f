#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "install/install_sequence.h"
#include "install/install_tables.h"
#include "install/shortcuts.h"
#include "install_doubles.h"
#include "landing/commit.h"
#include "payload/payload_catalogue.h"
#include "temp_folder.h"

namespace {

// Every installed file once; the progress only moves forward, between the bar's first position (10)
// and the shortcuts' (94); what "keep the old word base" keeps is the word base.
TEST(InstallSteps, EveryPayloadOnceProgressForwardWordBaseKept) {
    std::set<int> ids, kept;
    int extractions = 0, lastCheckpoint = 10;
    for (int i = 0; i < InstallStepCount; i++) {
        const InstallStep &step = InstallSteps[i];
        if (step.checkpoint) {
            EXPECT_GT(step.checkpoint, lastCheckpoint);
            lastCheckpoint = step.checkpoint;
        }
        if (!step.payloadId)
            continue;
        extractions++;
        EXPECT_TRUE(ids.insert(step.payloadId).second) << step.payloadId;
        EXPECT_NE(FindPayloadEntry(step.payloadId), nullptr) << step.payloadId;
        if (step.skippedWhenKept)
            kept.insert(step.payloadId);
    }
    EXPECT_EQ(extractions, PayloadCatalogueCount);
    EXPECT_LT(lastCheckpoint, 94);
    EXPECT_EQ(kept, (std::set<int>{kPayloadCiZuFlatIgb, kPayloadPycizudicIdx, kPayloadPxcizudicIdx,
                                   kPayloadPy23ZiCi1stZuMuIdx}));
}

TEST(InstallSteps, PurgeNamesAndShortcutNames) {
    std::vector<std::string> names;
    for (int i = 0; i < kPurgeCount; i++) {
        char name[32];
        ASSERT_TRUE(PurgeFileName(i, name, sizeof name));
        names.push_back(name);
    }
    EXPECT_EQ(names[0], "pykeys.dic");
    EXPECT_EQ(names[1], "Gbkflat.dic");
    EXPECT_EQ(names[3], "flatAdjust.dic");
    EXPECT_EQ(names[4], "pykeys.dic0001");
    EXPECT_EQ(names[22], "flatAuto.dic0101");
    EXPECT_EQ(names[63], "flatAdjust.dic1111");
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
    EXPECT_STREQ(ShortcutNamesFor(0).group, "Tesso Chinese Input Engine");
    EXPECT_STREQ(ShortcutNamesFor(-1).editor, "Inkleaf Pad");
    EXPECT_STREQ(ShortcutNamesFor(1).uninstall, "岚笔输入引擎卸载");
    EXPECT_STREQ(ShortcutNamesFor(2).group,
                 "\xB4\x50\xB5\xA7\xA4\xA4\xA4\xE5\xBF\xE9\xA4\x4A\xA4\xDE\xC0\xBA");
    EXPECT_STREQ(ShortcutNamesFor(5).editor, "\xB4\x50\xB5\xA7\xA4\xE5\xA5\xBB\xBD\x73\xBF\xE8");
}

class RunInstallTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetProcessAnswers(folder_.path(), setup_.path() + "/", windows_.path() + "/", shell_.path());
    }
    std::string File(const std::string &name) { return folder_.File(name); }
    // An old word base whose files are whole (at least the new ones' sizes) or cut short.
    void PutOldWordBase(char firstByte, bool whole = true) {
        WriteFile(File("CiZuFlat.igb"), OldFile("CiZuFlat.igb", 'b', whole));
        WriteFile(File("pycizudic.idx"), std::string(1, firstByte) + OldFile("pycizudic.idx", 'i', whole));
    }
    static std::string OldFile(const char *name, char fill, bool whole) {
        for (int i = 0; i < PayloadCatalogueCount; i++)
            if (std::string(PayloadFile(&PayloadCatalogue[i])) == name)
                return std::string(whole ? PayloadCatalogue[i].bytes : 9, fill);
        return "";
    }
    std::string Listing() {
        std::string names;
        if (DIR *dir = opendir(folder_.path().c_str())) {
            while (dirent *entry = readdir(dir))
                if (entry->d_name[0] != '.')
                    names += std::string(entry->d_name) + " ";
            closedir(dir);
        }
        return names;
    }
    int Progress() {
        std::vector<std::string> steps = Doubles.Starting("progress");
        return steps.empty() ? -1 : std::stoi(steps.back().substr(9));
    }
    TempFolder folder_, shell_, setup_, windows_;
};

TEST_F(RunInstallTest, InstallsEveryFileWithItsAttributesAndShortcuts) {
    ASSERT_EQ(RunInstallInWorkFolder(), 1);
    for (int i = 0; i < PayloadCatalogueCount; i++) {
        const PayloadEntry &entry = PayloadCatalogue[i];
        std::string path = File(PayloadFile(&entry));
        ASSERT_TRUE(PathExists(path.c_str())) << PayloadFile(&entry);
        if (entry.id != 120)
            EXPECT_EQ(ReadFile(path).size(), entry.bytes) << PayloadFile(&entry);
        unsigned long wanted =
            (entry.readOnly ? kAttributeReadOnly : 0) | (entry.hidden ? kAttributeHidden : 0);
        EXPECT_EQ(Attributes(path) & kAttributeProtection, wanted) << PayloadFile(&entry);
    }
    EXPECT_NE(ReadFile(File("chipadui.ini")).find("ForceLanguage=1"), std::string::npos);
    EXPECT_EQ(Doubles.Starting("progress"),
              (std::vector<std::string>{"progress 10", "progress 15", "progress 20", "progress 25",
                                        "progress 30", "progress 35", "progress 45", "progress 50",
                                        "progress 55", "progress 65", "progress 70", "progress 90",
                                        "progress 94", "progress 97", "progress 100"}));
    EXPECT_EQ(Doubles.events[0], "show progress");
    std::vector<std::string> links = Doubles.Starting("link");
    ASSERT_EQ(links.size(), 5u);
    std::string group = shell_.File("2/Tesso Chinese Input Engine/");
    EXPECT_EQ(links[0], "link " + group + "Tesso Chinese Input Engine.lnk -> " + File("TSO.exe") +
                            " (Tesso Chinese Input Engine)");
    EXPECT_EQ(links[1],
              "link " + group + "Tesso UnInstall.lnk -> " + File("TSOUnInstall.exe") + " (Tesso UnInstall)");
    EXPECT_EQ(links[2],
              "link " + shell_.File("0/Inkleaf Pad.lnk") + " -> " + File("Inkleaf.exe") + " (Inkleaf Pad)");
    EXPECT_EQ(links[3].substr(0, 5 + shell_.File("0/Tesso").size()), "link " + shell_.File("0/Tesso"));
    EXPECT_EQ(links[4], "link " + shell_.File("7/Tesso Chinese Input Engine.lnk") + " -> " + File("TSO.exe") +
                            " (Tesso Chinese Input Engine)");
    // Every shortcut inside the one session of the link objects.
    std::vector<std::string> sessions = Doubles.Starting("shell session");
    ASSERT_EQ(sessions.size(), 2u);
    auto at = [&](const std::string &event) {
        return std::find(Doubles.events.begin(), Doubles.events.end(), event);
    };
    EXPECT_LT(at("shell session"), at(links[0]));
    EXPECT_GT(at("shell session closed"), at(links[4]));
    EXPECT_EQ(Doubles.Count("message"), 0);
}

TEST_F(RunInstallTest, ChineseNamesAndOneGroupWhenBothOptionsAreOff) {
    UiLanguage = 1;
    WantDesktopIcons = 0;
    WantAutoStart = 0;
    ASSERT_EQ(RunInstallInWorkFolder(), 1);
    std::vector<std::string> links = Doubles.Starting("link");
    ASSERT_EQ(links.size(), 2u);
    EXPECT_NE(links[0].find("/2/岚笔中文输入引擎/岚笔中文输入引擎.lnk"), std::string::npos);
    EXPECT_NE(links[1].find("/岚笔输入引擎卸载.lnk"), std::string::npos);
}

TEST_F(RunInstallTest, NoQuestionWithoutTheOldWordBase) {
    WriteFile(File("pycizudic.idx"), "\x80index");
    ASSERT_EQ(RunInstallInWorkFolder(), 1);
    EXPECT_EQ(Doubles.Count("message"), 0);
    EXPECT_EQ(ReadFile(File("pycizudic.idx")).size(), FindPayloadEntry(128)->bytes);
    EXPECT_EQ(Doubles.Count("wait cursor"), 0);
}

TEST_F(RunInstallTest, AnsweringNoKeepsTheFourWordBaseFiles) {
    PutOldWordBase('\x80');
    WriteFile(File("pxcizudic.idx"), OldFile("pxcizudic.idx", 'x', true));
    WriteFile(File("py2_3ZiCi1stZuMu.idx"), OldFile("py2_3ZiCi1stZuMu.idx", 'y', true));
    Doubles.answer = 7;
    ASSERT_EQ(RunInstallInWorkFolder(), 1);
    EXPECT_EQ(
        Doubles.Starting("message"),
        std::vector<std::string>{"message Old CiKu (Word Base) is detected. Replace it with new CiKu?"});
    EXPECT_EQ(Doubles.messages[0], "安装目录有老词库。是否安装新词库(会冲掉老词库)?");
    EXPECT_EQ(KeepOldWordBase, 1);
    EXPECT_EQ(ReadFile(File("CiZuFlat.igb")), OldFile("CiZuFlat.igb", 'b', true));
    EXPECT_EQ(ReadFile(File("pycizudic.idx")), "\x80" + OldFile("pycizudic.idx", 'i', true));
    EXPECT_EQ(ReadFile(File("pxcizudic.idx")), OldFile("pxcizudic.idx", 'x', true));
    EXPECT_EQ(ReadFile(File("py2_3ZiCi1stZuMu.idx")), OldFile("py2_3ZiCi1stZuMu.idx", 'y', true));
    EXPECT_EQ(ReadFile(File("Inkleaf.exe")).size(), FindPayloadEntry(109)->bytes);
    EXPECT_EQ(Doubles.Count("wait cursor"), 1);
}

// Keeping the old word base keeps only what is there whole: a base cut short by a killed run, or
// one that lacks a file, is completed with the new files.
TEST_F(RunInstallTest, KeepingAPartialWordBaseInstallsWhatIsMissingOrShort) {
    PutOldWordBase('\x80', false);
    Doubles.answer = 7;
    ASSERT_EQ(RunInstallInWorkFolder(), kInstallSucceeded);
    EXPECT_EQ(KeepOldWordBase, 1);
    for (const char *name : {"CiZuFlat.igb", "pycizudic.idx", "pxcizudic.idx", "py2_3ZiCi1stZuMu.idx"})
        EXPECT_EQ(ReadFile(File(name)).size(), OldFile(name, 0, true).size()) << name;
    EXPECT_NE(ReadFile(File("CiZuFlat.igb")), OldFile("CiZuFlat.igb", 'b', true));
}

TEST_F(RunInstallTest, AnsweringYesOrClosingReplacesOrKeeps) {
    PutOldWordBase('\xFF');
    Doubles.answer = 6;
    ASSERT_EQ(RunInstallInWorkFolder(), 1);
    EXPECT_EQ(KeepOldWordBase, 0);
    EXPECT_EQ(ReadFile(File("CiZuFlat.igb")).size(), FindPayloadEntry(127)->bytes);
    PutOldWordBase('\x80');
    Doubles.answer = 2;  // Escape or the close box
    ASSERT_EQ(RunInstallInWorkFolder(), 1);
    EXPECT_EQ(KeepOldWordBase, 1);
    EXPECT_EQ(ReadFile(File("CiZuFlat.igb")), OldFile("CiZuFlat.igb", 'b', true));
}

TEST_F(RunInstallTest, NoQuestionForAnIndexThatDoesNotLookOld) {
    PutOldWordBase('\x7F');
    ASSERT_EQ(RunInstallInWorkFolder(), 1);
    WriteFile(File("pycizudic.idx"), "");
    ASSERT_EQ(RunInstallInWorkFolder(), 1);
    unlink(File("pycizudic.idx").c_str());
    ASSERT_EQ(RunInstallInWorkFolder(), 1);
    EXPECT_EQ(Doubles.Count("message"), 0);
    EXPECT_EQ(Doubles.Count("wait cursor"), 3);
    EXPECT_EQ(ReadFile(File("CiZuFlat.igb")).size(), FindPayloadEntry(127)->bytes);
}

TEST_F(RunInstallTest, PurgeRemovesOldUserDictionaries) {
    for (const char *name : {"flatAuto.dic0101", "flatAdjust.dic", "pykeys.dic1111", "flatAuto.dic0002",
                             "flatAuto.dic0000", "flatAuto.dic00000"})
        WriteFile(File(name), "old");
    WriteAttributeWord(File("pykeys.dic1111").c_str(),
                       Attributes(File("pykeys.dic1111")) | kAttributeProtection);
    ASSERT_EQ(RunInstallInWorkFolder(), 1);
    EXPECT_FALSE(PathExists(File("flatAuto.dic0101").c_str()));
    EXPECT_FALSE(PathExists(File("flatAdjust.dic").c_str()));
    EXPECT_FALSE(PathExists(File("pykeys.dic1111").c_str()));
    EXPECT_TRUE(PathExists(File("flatAuto.dic0002").c_str()));
    EXPECT_TRUE(PathExists(File("flatAuto.dic0000").c_str()));
    EXPECT_TRUE(PathExists(File("flatAuto.dic00000").c_str()));
}

// Over an earlier install (its user dictionaries and configuration included), a failure while the
// files are written (a size limit, as a full disk) or while they are put in place (a folder at a
// later name) leaves every earlier file as it was, with its attributes, and nothing else behind.
TEST_F(RunInstallTest, AFailedInstallLeavesTheEarlierOneAsItWas) {
    std::map<std::string, std::string> before;
    for (int i = 0; i < PayloadCatalogueCount; i++)
        before[PayloadFile(&PayloadCatalogue[i])] =
            std::string("earlier ") + PayloadFile(&PayloadCatalogue[i]);
    before["flatAuto.dic"] = "learned words";
    before["pykeys.dic0101"] = "more words";
    for (const auto &file : before) {
        WriteFile(File(file.first), file.second);
        WriteAttributeWord(File(file.first).c_str(), Attributes(File(file.first)) | kAttributeProtection);
    }
    auto expectAsBefore = [&](const char *when) {
        for (const auto &file : before) {
            EXPECT_EQ(ReadFile(File(file.first)), file.second) << file.first << " " << when;
            EXPECT_EQ(Attributes(File(file.first)) & kAttributeProtection, kAttributeProtection)
                << file.first << " " << when;
        }
        std::string listing = Listing();
        EXPECT_EQ(listing.find(".tso"), std::string::npos) << when << ": " << listing;
        EXPECT_EQ(listing.find("~tso"), std::string::npos) << when << ": " << listing;
    };
    struct rlimit saved, limit;
    getrlimit(RLIMIT_FSIZE, &saved);
    limit = saved;
    limit.rlim_cur = 1 << 20;
    signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &limit);
    int result = RunInstallInWorkFolder();
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(result, kInstallFailed);
    EXPECT_NE(FirstUnwrittenFile, nullptr);
    expectAsBefore("disk full");
    // The engine is put in place near the end: everything before it was already committed.
    unlink(File("TSO.exe").c_str());
    before.erase("TSO.exe");
    mkdir(File("TSO.exe").c_str(), 0755);
    EXPECT_EQ(RunInstallInWorkFolder(), kInstallFailed);
    expectAsBefore("a folder in the way");
    EXPECT_EQ(Doubles.Count("link"), 0);
}

// A file that cannot be written ends the install with nothing changed, an optional one too (the
// engine, late in the install) as well as a required one (early): the progress shows where.
TEST_F(RunInstallTest, AnyFileThatCannotBeWrittenEndsWithoutChangingAnything) {
    struct Case {
        const char *name;
        int progress;
    } cases[] = {{"readme2.igb", 20}, {"TSO.exe", 70}};
    for (const Case &c : cases) {
        Doubles.events.clear();
        char blocked[kPathBufferSize];
        StagedPath(blocked, c.name);
        mkdir(File(kWorkFolderName).c_str(), 0700);
        mkdir(blocked, 0755);
        EXPECT_EQ(RunInstallInWorkFolder(), kInstallFailed) << c.name;
        EXPECT_STREQ(FirstUnwrittenFile, c.name);
        rmdir(blocked);
        rmdir(File(kWorkFolderName).c_str());
        EXPECT_EQ(Listing(), "") << c.name;
        EXPECT_EQ(Progress(), c.progress) << c.name;
        EXPECT_EQ(Doubles.Count("link"), 0) << c.name;
    }
    EXPECT_EQ(RunInstallInWorkFolder(), kInstallSucceeded);
}

TEST_F(RunInstallTest, ControlFileIsCopiedOnlyWhenItIsThere) {
    WriteFile(windows_.File("SCtrlSet1.bin"), "previous");
    ASSERT_EQ(RunInstallInWorkFolder(), 1);
    EXPECT_EQ(ReadFile(windows_.File("SCtrlSet1.bin")), "previous");
    WriteFile(setup_.File("SCtrlSet1.bin"), "control");
    WriteAttributeWord(windows_.File("SCtrlSet1.bin").c_str(),
                       Attributes(windows_.File("SCtrlSet1.bin")) | kAttributeProtection);
    ASSERT_EQ(RunInstallInWorkFolder(), 1);
    EXPECT_EQ(ReadFile(windows_.File("SCtrlSet1.bin")), "control");
    // Run from the Windows folder itself: source and target are one file, which stays.
    std::snprintf(SetupDir, kPathBufferSize, "%s", WindowsDir);
    ASSERT_EQ(RunInstallInWorkFolder(), 1);
    EXPECT_EQ(ReadFile(windows_.File("SCtrlSet1.bin")), "control");
    // Never copied through a link: the file it names stays, and the install is incomplete.
    std::snprintf(SetupDir, kPathBufferSize, "%s/", setup_.path().c_str());
    WriteFile(windows_.File("elsewhere.bin"), "other");
    ASSERT_EQ(unlink(windows_.File("SCtrlSet1.bin").c_str()), 0);
    ASSERT_EQ(symlink(windows_.File("elsewhere.bin").c_str(), windows_.File("SCtrlSet1.bin").c_str()), 0);
    EXPECT_EQ(RunInstallInWorkFolder(), kInstallIncomplete);
    EXPECT_EQ(ReadFile(windows_.File("elsewhere.bin")), "other");
}

}  // namespace
