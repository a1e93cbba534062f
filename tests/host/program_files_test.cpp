// Which installed files are programs and get the programs' access list, checked over whole installs.
#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

#include "install/install_sequence.h"
#include "install_doubles.h"
#include "landing/program_files.h"
#include "landing/work_folder.h"
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
        std::string ending = Ending(PayloadFile(&entry));
        for (char &c : ending)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        bool code = ending == ".exe" || ending == ".dll" || ending == ".chm";
        EXPECT_EQ(IsProgramKind(PayloadKind(&entry)), code)
            << PayloadFile(&entry) << " (" << PayloadKind(&entry) << ")";
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
        if (IsProgramKind(PayloadKind(&PayloadCatalogue[i])))
            expected.insert(
                folder_.File(std::string(kWorkFolderName) + "/" + PayloadFile(&PayloadCatalogue[i])) +
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

}  // namespace
