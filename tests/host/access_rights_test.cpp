// Which installed files get the programs' access list, and what an existing install folder must be
// like before the install goes on without a question.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <set>
#include <string>

#include "landing/access_rights.h"
#include "install/folder_trust.h"
#include "landing/commit.h"
#include "install/install_sequence.h"
#include "landing/program_files.h"
#include "install_doubles.h"
#include "payload/payload_catalogue.h"
#include "temp_folder.h"

namespace {

std::string Ending(const std::string &name) {
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? "" : name.substr(dot);
}

// The kinds the rule counts as code match what the files are by their names, row by row of the
// generated catalogue: every executable, DLL and compiled help file, and nothing else.
TEST(ProgramFiles, CodeKindsAreExactlyTheExecutablesDllsAndHelp) {
    int programs = 0;
    for (int i = 0; i < PayloadCatalogueCount; i++) {
        const PayloadEntry &entry = PayloadCatalogue[i];
        std::string ending = Ending(entry.file);
        for (char &c : ending)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        bool code = ending == ".exe" || ending == ".dll" || ending == ".chm";
        EXPECT_EQ(IsProgramKind(entry.kind), code) << entry.file << " (" << entry.kind << ")";
        programs += code;
    }
    EXPECT_EQ(programs, 7);
    EXPECT_EQ(FindPayloadEntryByName("tso.EXE"), FindPayloadEntry(160));
    EXPECT_EQ(FindPayloadEntryByName("TSO.exe.local"), nullptr);
}

class ProtectedInstall : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetProcessAnswers(folder_.path(), folder_.path() + "/", windows_.path() + "/", shell_.path());
        WantDesktopIcons = 0;
        WantAutoStart = 0;
    }
    std::set<std::string> Protected() {
        std::set<std::string> paths;
        for (const std::string &event : Doubles.Starting("protect "))
            paths.insert(event.substr(8));
        return paths;
    }
    TempFolder folder_, windows_, shell_;
};

// Each program is protected once, under the staged name its bytes are written to, before it takes
// its place, whether it is new or replaces an earlier file.
TEST_F(ProtectedInstall, EveryProgramAndNoDataFile) {
    std::set<std::string> expected;
    for (int i = 0; i < PayloadCatalogueCount; i++)
        if (IsProgramKind(PayloadCatalogue[i].kind))
            expected.insert(folder_.File(std::string(kWorkFolderName) + "/" + PayloadCatalogue[i].file) +
                            ".tsonew");
    for (int run = 0; run < 2; run++) {
        Doubles.events.clear();
        ASSERT_EQ(RunInstallInWorkFolder(), kInstallSucceeded) << run;
        EXPECT_EQ(Protected(), expected) << run;
        EXPECT_EQ(Doubles.Count("protect "), 7) << run;
    }
}

// A program whose rights cannot be set is not installed with the rights it inherited: the first
// (optional) one is reported, the required typing tutor ends the install, and nothing of it is
// left in place.
TEST_F(ProtectedInstall, ProgramThatCannotBeProtectedIsNotInstalled) {
    Doubles.protectResult = 0;
    EXPECT_EQ(RunInstallInWorkFolder(), kInstallFailed);
    EXPECT_STREQ(FirstUnwrittenFile, "Orbit7Show.exe");
    EXPECT_FALSE(PathExists(folder_.File("Orbit7Show.exe").c_str()));
    EXPECT_FALSE(PathExists(folder_.File("ChineseTypingTutorial.exe").c_str()));
    EXPECT_EQ(FileBytes(folder_.File("ZiParts.dat").c_str()), -1);
}

std::string SidText(const WellKnownSid &sid) {
    std::string text = "S-" + std::to_string(sid.revision) + "-" + std::to_string(sid.authority[5]);
    for (int i = 0; i < sid.subAuthorityCount; i++)
        text += "-" + std::to_string(sid.subAuthority[i]);
    return text;
}

// The programs' list on each system: sandboxed apps are named from Windows 8 on, the restricted
// ones from Windows 10 1607 on; a folder the running user owns passes unasked only before Vista.
TEST(ProgramFiles, AccessEntriesAndOwnerRulePerSystem) {
    const std::string base = "S-1-5-32-544:full S-1-5-18:full S-1-1-0:rx";
    struct Case {
        SystemVersion version;
        std::string entries;
        int userOwnerTrusted;
    } cases[] = {
        {{4, 0, 1381}, base, 1},
        {{5, 0, 2195}, base, 1},
        {{5, 1, 2600}, base, 1},
        {{6, 0, 6002}, base, 0},
        {{6, 1, 7601}, base, 0},
        {{6, 2, 9200}, base + " S-1-15-2-1:rx", 0},
        {{6, 3, 9600}, base + " S-1-15-2-1:rx", 0},
        {{10, 0, 10586}, base + " S-1-15-2-1:rx", 0},
        {{10, 0, 14393}, base + " S-1-15-2-1:rx S-1-15-2-2:rx", 0},
        {{10, 0, 22631}, base + " S-1-15-2-1:rx S-1-15-2-2:rx", 0},
    };
    for (const Case &c : cases) {
        AccessEntry entries[kProgramAccessEntriesMax];
        int count = ProgramAccessEntries(c.version, entries);
        std::string listed;
        for (int i = 0; i < count; i++)
            listed += (i ? " " : "") + SidText(*entries[i].sid) + ":" +
                      (entries[i].mask == kAccessFull          ? "full"
                       : entries[i].mask == kAccessReadExecute ? "rx"
                                                               : "?");
        EXPECT_EQ(listed, c.entries) << c.version.major << "." << c.version.minor << "." << c.version.build;
        EXPECT_EQ(RunningUserOwnerTrusted(c.version), c.userOwnerTrusted) << c.version.major;
    }
    EXPECT_EQ(SidText(kTrustedInstallerSid),
              "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464");
}

TEST(FolderTrust, ForeignCodeNames) {
    struct Case {
        const char *name;
        int foreign;
    };
    const Case cases[] = {
        {"version.dll", 1},  {"WINMM.DLL", 1},    {"TSO.exe.manifest", 1}, {"TSO.exe.local", 1},
        {"winspool.drv", 1}, {"setup.exe", 1},    {"TSO.exe", 0},          {"tso.EXE", 0},
        {"keyhook.dll", 0},  {"readme.txt", 0},   {"x.dll.bak", 0},        {".dll", 0},
        {"dll", 0},          {"chipadui.ini", 0}, {"flatAuto.dic", 0},     {"TessoInputEngineGuide.chm", 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(IsForeignCodeName(c.name), c.foreign) << c.name;
}

TEST(FolderTrust, ExistingFolders) {
    TempFolder work;
    EXPECT_EQ(CheckFolderTrust(work.File("new").c_str()).problem, kFolderTrusted);
    WriteFile(work.File("a-file"), "x");
    EXPECT_EQ(CheckFolderTrust(work.File("a-file").c_str()).problem, kFolderTrusted);  // reported later

    std::string folder = work.File("Tesso");
    mkdir(folder.c_str(), 0755);
    EXPECT_EQ(CheckFolderTrust(folder.c_str()).problem, kFolderTrusted);
    WriteFile(folder + "/TSO.exe", "earlier engine");
    WriteFile(folder + "/flatAuto.dic", "the user's words");
    mkdir((folder + "/doc").c_str(), 0755);
    EXPECT_EQ(CheckFolderTrust(folder.c_str()).problem, kFolderTrusted);

    mkdir((folder + "/TSO.exe.local").c_str(), 0755);
    FolderTrustCheck check = CheckFolderTrust(folder.c_str());
    EXPECT_EQ(check.problem, kFolderForeignCode);
    EXPECT_STREQ(check.name, "TSO.exe.local");
    rmdir((folder + "/TSO.exe.local").c_str());
    WriteFile(folder + "/Version.dll", "planted");
    check = CheckFolderTrust(folder.c_str());
    EXPECT_EQ(check.problem, kFolderForeignCode);
    EXPECT_STREQ(check.name, "Version.dll");

    if (geteuid() != 0)
        GTEST_SKIP() << "only root can give a folder to another user";
    std::string other = work.File("other");
    mkdir(other.c_str(), 0755);
    ASSERT_EQ(chown(other.c_str(), 65534, 65534), 0);
    EXPECT_EQ(CheckFolderTrust(other.c_str()).problem, kFolderForeignOwner);
}

}  // namespace
