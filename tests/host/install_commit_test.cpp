#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <string>

#include "install/file_placement.h"
#include "install/install_commit.h"
#include "temp_folder.h"

namespace {

TEST(Journal, OnlyAWholeJournalIsRead) {
    static CommitPlan plan, read;
    plan.count = 0;
    ASSERT_TRUE(AddCommitEntry(&plan, "flatAuto.dic", kCommitPurge, 0));
    ASSERT_TRUE(AddCommitEntry(&plan, "TSO.exe", kCommitReplace, kAttributeReadOnly));
    ASSERT_TRUE(AddCommitEntry(&plan, "ChnBmp.bin", kCommitCreate, kAttributeProtection));
    EXPECT_FALSE(AddCommitEntry(&plan, std::string(kCommitNameSize, 'n').c_str(), kCommitCreate, 0));
    EXPECT_FALSE(AddCommitEntry(&plan, "x", 'x', 0));
    char text[256];
    ASSERT_TRUE(FormatJournal(&plan, text, sizeof text));
    EXPECT_STREQ(text, "-0flatAuto.dic\n=1TSO.exe\n+3ChnBmp.bin\nend\n");
    EXPECT_FALSE(FormatJournal(&plan, text, 20));
    ASSERT_TRUE(ParseJournal("-0flatAuto.dic\n=1TSO.exe\n+3ChnBmp.bin\nend\n", &read));
    ASSERT_EQ(read.count, 3);
    EXPECT_STREQ(read.entries[1].name, "TSO.exe");
    EXPECT_EQ(read.entries[2].kind, kCommitCreate);
    EXPECT_EQ(read.entries[2].wantedBits, kAttributeProtection);
    // Cut short by a kill, or not written by this setup: the commit had not begun.
    for (const char *text : {"-0flatAuto.dic\n=1TSO.exe\n+3ChnBmp.bin\nen", "-0flatAuto.dic\n=1TS", "",
                             "?0a\nend\n", "=9a\nend\n", "=0..\\..\\boot.ini\nend\n", "=0\nend\n"})
        EXPECT_FALSE(ParseJournal(text, &read)) << text;
}

// A commit interrupted after any number of its steps (a kill: the journal written, some files
// moved aside, some put in place) is undone by the next run: the folder is again exactly what it
// was, attributes included. A run killed while it wrote the staged files, or after the commit,
// leaves nothing behind either.
class Recovery : public ::testing::Test {
  protected:
    void SetUp() override {
        UseInstallDir(folder_.path());
        before_ = {
            {"TSO.exe", "old engine"}, {"flatAuto.dic", "learned words"}, {"chipadui.ini", "[Config]"}};
        for (const auto &file : before_) {
            WriteFile(folder_.File(file.first), file.second);
            WriteAttributeWord(folder_.File(file.first).c_str(),
                               Attributes(folder_.File(file.first)) | kAttributeProtection);
        }
    }
    void Stage(CommitPlan *plan) {
        plan->count = 0;
        AddCommitEntry(plan, "flatAuto.dic", kCommitPurge, 0);
        for (const char *name : {"TSO.exe", "chipadui.ini", "ChnBmp.bin"}) {
            AddCommitEntry(plan, name, before_.count(name) ? kCommitReplace : kCommitCreate,
                           kAttributeProtection);
            char staged[kPathBufferSize];
            StagedPath(staged, name);
            WriteFile(staged, std::string("new ") + name);
        }
    }
    std::map<std::string, std::string> Folder() {
        std::map<std::string, std::string> files;
        DIR *dir = opendir(folder_.path().c_str());
        while (dirent *entry = readdir(dir))
            if (entry->d_name[0] != '.')
                files[entry->d_name] =
                    ReadFile(folder_.File(entry->d_name)) + " " +
                    std::to_string(Attributes(folder_.File(entry->d_name)) & kAttributeProtection);
        closedir(dir);
        return files;
    }
    TempFolder folder_;
    std::map<std::string, std::string> before_;
};

TEST_F(Recovery, AnInterruptedCommitIsUndoneAtTheNextRun) {
    std::map<std::string, std::string> earlier = Folder();
    static CommitPlan plan, done;
    for (int steps = 0; steps <= 4; steps++) {
        Stage(&plan);
        ASSERT_TRUE(WriteJournal(&plan));
        done = plan;
        done.count = steps;  // killed after this many entries
        ASSERT_EQ(CommitToDisk(&done), nullptr);
        RecoverInterruptedInstall();
        EXPECT_EQ(Folder(), earlier) << steps << " steps";
    }
}

TEST_F(Recovery, LeftoversOfOtherMomentsAreRemoved) {
    static CommitPlan plan;
    Stage(&plan);  // killed while staging: no journal
    RecoverInterruptedInstall();
    EXPECT_EQ(Folder().size(), before_.size());
    Stage(&plan);
    ASSERT_TRUE(WriteJournal(&plan));
    ASSERT_EQ(CommitToDisk(&plan), nullptr);
    char journal[kPathBufferSize];
    JoinPath(journal, InstallDir, kJournalName);
    unlink(journal);  // killed after the commit, while the files moved aside were deleted
    RecoverInterruptedInstall();
    std::map<std::string, std::string> after = Folder();
    EXPECT_EQ(after.size(), 3u);
    EXPECT_EQ(after["TSO.exe"], "new TSO.exe 3");
    EXPECT_EQ(after.count("flatAuto.dic"), 0u);
}

// A staged or moved-aside name planted as a link is never removed or renamed through.
TEST_F(Recovery, LinksAtLeftoverNamesAreLeftAlone) {
    TempFolder outside;
    WriteFile(outside.File("precious"), "outside");
    char staged[kPathBufferSize];
    StagedPath(staged, "TSO.exe");
    ASSERT_EQ(symlink(outside.File("precious").c_str(), staged), 0);
    char aside[kPathBufferSize];
    KeptAsidePath(aside, "pykeys.dic0001");
    ASSERT_EQ(link(outside.File("precious").c_str(), aside), 0);
    RecoverInterruptedInstall();
    EXPECT_EQ(ReadFile(staged), "outside");
    EXPECT_EQ(ReadFile(aside), "outside");
    EXPECT_EQ(ReadFile(outside.File("precious")), "outside");
}

// An earlier file that cannot be put back yet (its name taken by something the run cannot remove,
// as by a file held open) keeps the journal and its moved-aside copy, the only one: the next try,
// once the name is free, puts it back.
TEST_F(Recovery, AFileThatCannotBePutBackIsKeptForTheNextTry) {
    std::map<std::string, std::string> earlier = Folder();
    static CommitPlan plan;
    Stage(&plan);
    ASSERT_TRUE(WriteJournal(&plan));
    plan.count = 1;  // killed after moving the user's words aside
    ASSERT_EQ(CommitToDisk(&plan), nullptr);
    mkdir(folder_.File("flatAuto.dic").c_str(), 0755);
    EXPECT_STREQ(RecoverInterruptedInstall(), "flatAuto.dic");
    EXPECT_EQ(ReadFile(folder_.File("flatAuto.dic.tsoold")), "learned words");
    EXPECT_TRUE(PathExists(folder_.File(kJournalName).c_str()));
    rmdir(folder_.File("flatAuto.dic").c_str());
    EXPECT_EQ(RecoverInterruptedInstall(), nullptr);
    EXPECT_EQ(Folder(), earlier);
}

}  // namespace
