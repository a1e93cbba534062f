#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <map>
#include <string>

#include "install_doubles.h"
#include "landing/commit.h"
#include "landing/file_placement.h"
#include "landing/program_files.h"
#include "temp_folder.h"

namespace {

TEST(Journal, OnlyAWholeJournalIsRead) {
    static CommitPlan plan, read;
    plan.count = 0;
    ASSERT_TRUE(AddCommitEntry(&plan, "flatAuto.dic", kCommitPurge, 0));
    ASSERT_TRUE(AddCommitEntry(&plan, "TSO.exe", kCommitReplace, kAttributeReadOnly));
    ASSERT_TRUE(AddCommitEntry(&plan, "ChnBmp.bin", kCommitCreate, kAttributeProtection));
    plan.entries[2].placedBytes = 1234;
    plan.entries[2].placedCrc = 0xc0ffee;
    EXPECT_FALSE(AddCommitEntry(&plan, std::string(kCommitNameSize, 'n').c_str(), kCommitCreate, 0));
    EXPECT_FALSE(AddCommitEntry(&plan, "x", 'x', 0));
    char text[256];
    ASSERT_TRUE(FormatJournal(&plan, text, sizeof text));
    EXPECT_STREQ(text, "-0flatAuto.dic\n=1 0 0 TSO.exe\n+3 1234 c0ffee ChnBmp.bin\nend\n");
    EXPECT_FALSE(FormatJournal(&plan, text, 20));
    ASSERT_TRUE(ParseJournal("-0flatAuto.dic\n=1 0 0 TSO.exe\n+3 1234 c0ffee ChnBmp.bin\nend\n", &read));
    ASSERT_EQ(read.count, 3);
    EXPECT_STREQ(read.entries[1].name, "TSO.exe");
    EXPECT_EQ(read.entries[2].kind, kCommitCreate);
    EXPECT_EQ(read.entries[2].wantedBits, kAttributeProtection);
    // Only exactly what was placed is the install's: the product's own write at the name is not.
    EXPECT_TRUE(IsPlacedFile(&read.entries[2], 1234, 0xc0ffee));
    EXPECT_FALSE(IsPlacedFile(&read.entries[2], 1234, 0xc0ffef));
    EXPECT_FALSE(IsPlacedFile(&read.entries[2], 1235, 0xc0ffee));
    EXPECT_FALSE(IsPlacedFile(&read.entries[0], 0, 0));  // a purge placed nothing
    // Cut short by a kill, or not written by this setup: the commit had not begun.
    for (const char *text :
         {"-0flatAuto.dic\n=1 0 0 TSO.exe\n+3 1 1 ChnBmp.bin\nen", "-0flatAuto.dic\n=1 0 0 TS", "",
          "?0a\nend\n", "=9 0 0 a\nend\n", "=0 0 0 ..\\..\\boot.ini\nend\n", "=0 0 0 \nend\n",
          "=1TSO.exe\nend\n", "=1 0 TSO.exe\nend\n"})
        EXPECT_FALSE(ParseJournal(text, &read)) << text;
}

// Whole journals that this setup's commit would never write, as a user who can create files in the
// install folder might forge them: none is acted on.
TEST(Journal, OnlyWhatTheSetupWritesIsTrusted) {
    static CommitPlan read;
    ASSERT_TRUE(
        ParseJournal("-0flatAuto.dic\n-0pykeys.dic\n=3 0 0 pykeys.dic\n=3 0 0 chipadui.ini\nend\n", &read));
    EXPECT_TRUE(JournalIsTheSetups(&read));  // pykeys.dic is both purged and installed
    for (const char *forged :
         {"+0 0 0 someone-elses.dat\nend\n", "=0 0 0 version.dll\nend\n", "-0TSO.exe\nend\n",
          "=0 0 0 TSO.exe\nend\n", "=1 0 0 TSO.exe\n=1 0 0 TSO.exe\nend\n",
          "-0flatAuto.dic\n-0FLATAUTO.DIC\nend\n", "-1flatAuto.dic\nend\n"}) {
        ASSERT_TRUE(ParseJournal(forged, &read)) << forged;
        EXPECT_FALSE(JournalIsTheSetups(&read)) << forged;
    }
}

// A commit interrupted after any number of its steps (a kill: the journal written, some files
// moved aside, some put in place) is undone by the next run: the folder is again exactly what it
// was, attributes included. A run killed while it wrote the staged files leaves nothing behind,
// and one killed once the commit was recorded is finished, never undone.
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
        ASSERT_EQ(OpenWorkFolder(), kWorkFolderReady);
    }
    void TearDown() override { LeaveWorkFolder(); }
    void Stage(CommitPlan *plan) {
        plan->count = 0;
        AddCommitEntry(plan, "flatAuto.dic", kCommitPurge, 0);
        for (const char *name : {"TSO.exe", "chipadui.ini", "ChnBmp.bin"}) {
            AddCommitEntry(plan, name,
                           PathExists(folder_.File(name).c_str()) ? kCommitReplace : kCommitCreate,
                           ListedProtection(FindPayloadEntryByName(name)));
            char staged[kPathBufferSize];
            StagedPath(staged, name);
            std::string bytes = std::string("new ") + name;
            WriteFile(staged, bytes);
            plan->entries[plan->count - 1].placedBytes = bytes.size();
            plan->entries[plan->count - 1].placedCrc =
                crc32(0, reinterpret_cast<const Bytef *>(bytes.data()), bytes.size());
        }
    }
    // The install folder, and the work folder's files apart from its lock.
    std::map<std::string, std::string> Folder(const std::string &sub = "") {
        std::map<std::string, std::string> files;
        std::string path = folder_.path() + sub;
        DIR *dir = opendir(path.c_str());
        while (dirent *entry = dir ? readdir(dir) : nullptr)
            if (entry->d_name[0] != '.' && entry->d_name != std::string(kWorkFolderName) &&
                entry->d_name != std::string("~tsolock"))
                files[entry->d_name] =
                    ReadFile(path + "/" + entry->d_name) + " " +
                    std::to_string(Attributes(path + "/" + entry->d_name) & kAttributeProtection);
        if (dir)
            closedir(dir);
        return files;
    }
    std::map<std::string, std::string> Work() { return Folder(std::string("/") + kWorkFolderName); }
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
        EXPECT_EQ(RecoverInterruptedInstall().problem, kRecovered);
        EXPECT_EQ(Folder(), earlier) << steps << " steps";
        EXPECT_EQ(Work().size(), 0u) << steps << " steps";
    }
}

// The record's states: without it the commit is undone; with it (the journal, or files moved aside,
// or both still there, or the journal unreadable) it is finished and never undone; no record and a
// journal that cannot be read or trusted, or files moved aside with no journal at all, delete nothing.
TEST_F(Recovery, TheCommitRecordDecidesBetweenFinishingAndUndoing) {
    static CommitPlan plan;
    std::string journal = folder_.File(std::string(kWorkFolderName) + "/" + kJournalName);
    for (const char *cut : {"", "-0flatAu"}) {  // killed while staging, or while writing the journal
        Stage(&plan);
        if (*cut)
            WriteFile(journal, cut);
        EXPECT_EQ(RecoverInterruptedInstall().problem, kRecovered);
        EXPECT_EQ(Work().size(), 0u);
    }
    Stage(&plan);
    ASSERT_TRUE(WriteJournal(&plan));
    ASSERT_EQ(CommitToDisk(&plan), nullptr);
    ASSERT_TRUE(RecordCommit());
    EXPECT_FALSE(RecordCommit());  // never written over
    std::map<std::string, std::string> committed = Folder();
    EXPECT_EQ(committed["TSO.exe"],
              "new TSO.exe " + std::to_string(ListedProtection(FindPayloadEntryByName("TSO.exe"))));
    WriteFile(journal, "unreadable");
    EXPECT_EQ(RecoverInterruptedInstall().problem, kRecovered);
    EXPECT_EQ(Folder(), committed);
    EXPECT_EQ(Work().size(), 0u);

    // The journal cut after a kill, forged, or gone: each moved-aside file goes back by its own name,
    // and the earlier install comes back whole.
    for (const char *damage : {"=1 0 0 TSO.e", "+0 0 0 someone-elses.dat\nend\n", ""}) {
        Stage(&plan);
        ASSERT_TRUE(WriteJournal(&plan));
        ASSERT_EQ(CommitToDisk(&plan), nullptr);
        if (*damage)
            WriteFile(journal, damage);
        else
            unlink(journal.c_str());
        EXPECT_EQ(RecoverInterruptedInstall().problem, kRecoveredWithoutJournal) << damage;
        EXPECT_EQ(Folder(), committed) << damage;
        EXPECT_EQ(Work().size(), 0u) << damage;
    }
    // Anything but the setup's own record at its name is no record: the commit is undone.
    Stage(&plan);
    ASSERT_TRUE(WriteJournal(&plan));
    ASSERT_EQ(CommitToDisk(&plan), nullptr);
    std::string record = folder_.File(std::string(kWorkFolderName) + "/" + kCommitRecordName);
    mkdir(record.c_str(), 0700);
    RecoverInterruptedInstall();
    EXPECT_EQ(Folder(), committed);
    rmdir(record.c_str());
}

// A file the product wrote at a name the commit created, between a kill and the next run (the
// words the user taught it), is kept; the install's own file there goes.
TEST_F(Recovery, AProductWriteAtACreatedNameIsKept) {
    static CommitPlan plan;
    Stage(&plan);
    ASSERT_TRUE(WriteJournal(&plan));
    ASSERT_EQ(CommitToDisk(&plan), nullptr);
    unlink(folder_.File("ChnBmp.bin").c_str());
    WriteFile(folder_.File("ChnBmp.bin"), "the product's own bytes");
    RecoveryResult result = RecoverInterruptedInstall();
    EXPECT_EQ(result.problem, kRecovered);
    EXPECT_STREQ(result.kept, "ChnBmp.bin");
    std::map<std::string, std::string> expected = before_;
    for (auto &file : expected)
        file.second += " " + std::to_string(kAttributeProtection);
    expected["ChnBmp.bin"] = "the product's own bytes 0";
    EXPECT_EQ(Folder(), expected);
    EXPECT_EQ(Work().size(), 0u);
}

// The user links their own purged file a second time once the commit has moved it aside: the
// commit completes and leaves nothing in the work folder, and the file lives on under the link.
TEST_F(Recovery, ASecondLinkToAMovedAsideFileLeavesNothingBehind) {
    TempFolder elsewhere;
    static CommitPlan plan;
    Stage(&plan);
    ASSERT_TRUE(WriteJournal(&plan));
    ASSERT_EQ(CommitToDisk(&plan), nullptr);
    char aside[kPathBufferSize];
    KeptAsidePath(aside, "flatAuto.dic");
    ASSERT_EQ(link(aside, elsewhere.File("words").c_str()), 0);
    ASSERT_TRUE(RecordCommit());
    FinishCommit(&plan);
    EXPECT_EQ(Work().size(), 0u);
    EXPECT_EQ(ReadFile(elsewhere.File("words")), "learned words");
}

// A name swapped for a link between the check and the move: the move stops, the link is not
// followed, and the file it points to is untouched.
TEST_F(Recovery, ANameSwappedAfterTheCheckMovesNothingElse) {
    TempFolder outside;
    WriteFile(outside.File("precious"), "outside");
    HeldFile held;
    ASSERT_EQ(OpenHeldFile(folder_.File("flatAuto.dic").c_str(), &held), kHeldOpened);
    std::string swap = folder_.File("swap");
    ASSERT_EQ(symlink(outside.File("precious").c_str(), swap.c_str()), 0);
    ASSERT_EQ(rename(swap.c_str(), folder_.File("flatAuto.dic").c_str()), 0);
    char aside[kPathBufferSize];
    KeptAsidePath(aside, "flatAuto.dic");
    EXPECT_FALSE(MoveHeldFile(&held, aside));
    EXPECT_EQ(LastFailureCause(), kCauseSwapped);
    EXPECT_FALSE(DeleteHeldFile(&held));
    CloseHeldFile(&held);
    EXPECT_FALSE(PathExists(aside));
    EXPECT_EQ(ReadFile(outside.File("precious")), "outside");
}

// The session ending at any moment of a commit and of its undo (WM_ENDSESSION comes while the
// wizard answers between two entries) settles the folder before the wizard answers; the work it
// interrupted then changes nothing more.
TEST_F(Recovery, TheSessionEndingAnywhereInTheCommitSettlesTheFolder) {
    std::map<std::string, std::string> earlier = Folder();
    static CommitPlan plan;
    int moment = 1;
    for (;; moment++) {
        Stage(&plan);
        ASSERT_TRUE(WriteJournal(&plan));
        Doubles.Reset();
        Doubles.endSessionAt = moment;
        CommitToDisk(&plan);
        UndoCommit(&plan);
        if (!Doubles.sessionEnded)
            break;
        EXPECT_EQ(Folder(), earlier) << moment;
        EXPECT_EQ(Work().size(), 0u) << moment;
    }
    EXPECT_GT(moment, 2 * plan.count);
    Doubles.Reset();
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
    RecoveryResult result = RecoverInterruptedInstall();
    EXPECT_EQ(result.problem, kRecoveryFileHeld);
    EXPECT_STREQ(result.name, "flatAuto.dic");
    EXPECT_EQ(Work()["flatAuto.dic.tsoold"], "learned words 3");
    EXPECT_EQ(Work().count(kJournalName), 1u);
    rmdir(folder_.File("flatAuto.dic").c_str());
    EXPECT_EQ(RecoverInterruptedInstall().problem, kRecovered);
    EXPECT_EQ(Folder(), earlier);
}

// The work folder is used only when it is the setup's own and no other setup holds it; anything
// else at its name is never read. Left empty, it goes.
TEST(WorkFolder, OnlyTheSetupsOwnUnlockedFolderIsUsed) {
    TempFolder folder;
    UseInstallDir(folder.path());
    std::string work = folder.File(kWorkFolderName);
    int held[2], done[2];
    ASSERT_EQ(pipe(held), 0);
    ASSERT_EQ(pipe(done), 0);
    pid_t other = fork();
    if (other == 0) {  // another setup, in a process of its own, holds the folder
        FileLock *lock = nullptr;
        char taken =
            mkdir(work.c_str(), 0700) == 0 && TakeFileLock((work + "/~tsolock").c_str(), &lock) == kLockTaken;
        char wait;
        _exit(write(held[1], &taken, 1) == 1 && read(done[0], &wait, 1) == 1 ? 0 : 1);
    }
    char taken = 0;
    ASSERT_EQ(read(held[0], &taken, 1), 1);
    ASSERT_TRUE(taken);
    EXPECT_EQ(OpenWorkFolder(), kWorkFolderLocked);
    ASSERT_EQ(write(done[1], &taken, 1), 1);
    waitpid(other, nullptr, 0);
    ASSERT_EQ(OpenWorkFolder(), kWorkFolderReady);
    EXPECT_EQ(OpenWorkFolder(), kWorkFolderReady);  // this run's own lock
    LeaveWorkFolder();
    EXPECT_FALSE(PathExists(work.c_str()));
    struct Plant {
        const char *what;
        int (*make)(const std::string &);
    } plants[] = {
        {"a folder others may write",
         [](const std::string &p) { return mkdir(p.c_str(), 0777) | chmod(p.c_str(), 0777); }},
        {"a folder its setgid group may write",
         [](const std::string &p) { return mkdir(p.c_str(), 0700) | chmod(p.c_str(), 02770); }},
        {"a file",
         [](const std::string &p) {
             WriteFile(p, "x");
             return 0;
         }},
        {"a link to a folder", [](const std::string &p) { return symlink("/tmp", p.c_str()); }},
    };
    for (const Plant &plant : plants) {
        ASSERT_EQ(plant.make(work), 0) << plant.what;
        EXPECT_EQ(OpenWorkFolder(), kWorkFolderForeign) << plant.what;
        std::system(("rm -rf '" + work + "'").c_str());
    }
}

}  // namespace
