// What an existing install folder must be like before the install goes on without a question.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "install/folder_trust.h"
#include "install_doubles.h"
#include "temp_folder.h"

namespace {

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
