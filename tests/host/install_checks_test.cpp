#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include <unistd.h>

#include "base/system_version.h"
#include "install/install_checks.h"
#include "landing/commit.h"
#include "payload/payload_catalogue.h"
#include "temp_folder.h"

namespace {

TEST(CheckFolderName, FullPathsOnlyWithNamesWindowsKeeps) {
    struct Case {
        const char *folder;
        int problem;
    } cases[] = {
        {"C:\\Tesso", kFolderOk},
        {"d:\\Program Files\\Tesso\\", kFolderOk},
        {"C:\\\xC7\x5C", kFolderOk},  // a GBK name whose second byte is the backslash
        {"C:\\\xB1\x7C", kFolderOk},  // ... or '|'
        {".", kFolderNotAbsolute},
        {"..", kFolderNotAbsolute},
        {"Tesso2", kFolderNotAbsolute},
        {"\\Tesso", kFolderNotAbsolute},
        {"C:Tesso", kFolderNotAbsolute},
        {"\\\\server\\share", kFolderNetworkPath},
        {"\\\\?\\C:\\Tesso", kFolderPrefixedPath},
        {"\\\\.\\C:\\Tesso", kFolderPrefixedPath},
        {"\\??\\C:\\Tesso", kFolderPrefixedPath},
        {" C:\\Tesso", kFolderLeadingSpace},
        {"C:\\ Tesso", kFolderOk},
        {"C:\\Tesso\\..\\Windows", kFolderDotName},
        {"C:\\.\\Tesso", kFolderDotName},
        {"C:\\Tesso:stream", kFolderStreamName},
        {"C:\\a<b", kFolderBadName},
        {"C:\\a:b", kFolderStreamName},
        {"C:\\a|b", kFolderBadName},
        {"C:\\a/b", kFolderBadName},
        {"C:\\con/x", kFolderDeviceName},  // the system reads "/" as a separator
        {"C:\\Tesso.", kFolderTrailingDotOrSpace},
        {"C:\\Tesso \\x", kFolderTrailingDotOrSpace},
        {"C:\\a\tb", kFolderBadName},
        {"", kFolderNotAbsolute},
        {"C:\\COM1", kFolderDeviceName},
        {"C:\\nul.txt", kFolderDeviceName},
        {"C:\\Tesso\\AUX.txt", kFolderDeviceName},
        {"C:\\nul\\Tesso", kFolderDeviceName},
        {"C:\\Con", kFolderDeviceName},
        {"C:\\prn .log\\x", kFolderDeviceName},
        {"C:\\lpt9.", kFolderDeviceName},
        {"C:\\COM0", kFolderDeviceName},
        {"C:\\lpt\xB9", kFolderDeviceName},  // LPT¹ in code page 1252
        {"C:\\COM\xB3", kFolderDeviceName},
        {"C:\\COM\xB4", kFolderOk},
        {"C:\\conin$", kFolderDeviceName},
        {"C:\\CONOUT$.log\\x", kFolderDeviceName},
        {"C:\\CONIN", kFolderOk},
        {"C:\\COM10", kFolderOk},
        {"C:\\LPT", kFolderOk},
        {"C:\\CONSOLE", kFolderOk},
        {"C:\\Tesso.con", kFolderOk},
        {"C:\\", kFolderDriveRoot},
        {"d:\\\\", kFolderDriveRoot},
    };
    for (const Case &c : cases)
        EXPECT_EQ(CheckFolderName(c.folder, std::string(c.folder).size()), c.problem) << c.folder;
}

// Windows 11 takes a device's name with an extension as a plain name, but for NUL's.
TEST(CheckFolderName, DeviceNamesWithAnExtensionOnWindows11) {
    auto Check = [](const char *folder) { return CheckFolderName(folder, std::string(folder).size()); };
    IsNtPlatform = 1;
    const SystemVersion kVersions[] = {{10, 0, 19045}, {10, 0, 22000}};
    for (const SystemVersion &version : kVersions) {
        RunningSystem = version;
        int older = version.build < 22000;
        EXPECT_EQ(Check("C:\\COM1.txt"), older ? kFolderDeviceName : kFolderOk);
        EXPECT_EQ(Check("C:\\con.d\\x"), older ? kFolderDeviceName : kFolderOk);
        EXPECT_EQ(Check("C:\\NUL.txt"), kFolderDeviceName);
        EXPECT_EQ(Check("C:\\COM1"), kFolderDeviceName);
    }
    RunningSystem = SystemVersion{};
    IsNtPlatform = 0;
}

TEST(CheckFolderName, EveryPathTheInstallMakesMustFit) {
    // The longest installed or purged name under its staged name in the work folder decides; 233
    // bytes leave too little room.
    size_t longest = 0;
    for (int i = 0; i < PayloadCatalogueCount; i++)
        longest = std::max(longest, std::string(PayloadFile(&PayloadCatalogue[i])).size() + kWorkPathExtra);
    std::string fits = "C:\\" + std::string(259 - 1 - longest - 3, 'f');
    EXPECT_EQ(CheckFolderName(fits.c_str(), fits.size()), kFolderOk);
    std::string longer = fits + "g";
    EXPECT_EQ(CheckFolderName(longer.c_str(), longer.size()), kFolderTooLong);
    std::string folder233 = "C:\\" + std::string(230, 'x');
    EXPECT_EQ(CheckFolderName(folder233.c_str(), folder233.size()), kFolderTooLong);
    // A field holding 300 bytes is read cut to 259: what the user typed is not what was read.
    EXPECT_EQ(CheckFolderName("C:\\Tesso", 300), kFolderTooLong);
}

// The Windows and system folders and the drives' roots are found by what they are, not by how they
// are spelt.
TEST(CheckFolderPlace, TheSystemsOwnFoldersAndRootsAreRefusedByIdentity) {
    TempFolder windows, elsewhere, root;
    std::string system = windows.File("system32"), wow = windows.File("SysWOW64");
    ASSERT_EQ(mkdir(system.c_str(), 0755), 0);
    ASSERT_EQ(mkdir(wow.c_str(), 0755), 0);
    ASSERT_EQ(symlink(windows.path().c_str(), elsewhere.File("w").c_str()), 0);
    ASSERT_EQ(symlink(root.path().c_str(), elsewhere.File("r").c_str()), 0);
    KeptFolders kept = {{windows.path().c_str(), system.c_str(), wow.c_str()}, {root.path().c_str()}, 1};
    EXPECT_EQ(CheckFolderPlace(windows.path().c_str(), kept), kFolderSystemFolder);
    EXPECT_EQ(CheckFolderPlace((system + "/.").c_str(), kept), kFolderSystemFolder);
    EXPECT_EQ(CheckFolderPlace(wow.c_str(), kept), kFolderSystemFolder);
    EXPECT_EQ(CheckFolderPlace(elsewhere.File("w").c_str(), kept), kFolderSystemFolder);
    EXPECT_EQ(CheckFolderPlace(elsewhere.File("r").c_str(), kept), kFolderDriveRoot);
    EXPECT_EQ(CheckFolderPlace(windows.File("Tesso").c_str(), kept), kFolderOk);  // new
    EXPECT_EQ(CheckFolderPlace(elsewhere.path().c_str(), kept), kFolderOk);
    kept.system[2] = "";  // 32-bit Windows has no second system folder
    EXPECT_EQ(CheckFolderPlace(elsewhere.path().c_str(), kept), kFolderOk);
}

TEST(SpaceNeeded, EveryFileWhileTheOldOnesAreStillThere) {
    unsigned long long total = 0;
    for (int i = 0; i < PayloadCatalogueCount; i++)
        total += PayloadCatalogue[i].bytes;
    EXPECT_EQ(SpaceNeeded(1), total + 3);
    EXPECT_GE(SpaceNeeded(32768), total + PayloadCatalogueCount * 32768ull / 2);  // whole clusters
}

// Names the install writes, replaces or purges that are folders or links stop it before any
// change; the problem names what is there.
TEST(CheckInstallTargets, FoldersAndLinksAtAnyNameStopTheInstall) {
    TempFolder folder, outside;
    UseInstallDir(folder.path());
    WriteFile(outside.File("precious"), "outside");
    EXPECT_EQ(CheckInstallTargets().problem, kTargetsReady);
    struct Plant {
        const char *name;
        int how;  // 0 folder, 1 symbolic link, 2 hard link
    } plants[] = {{"TSO.exe", 0}, {"TSO.exe", 1}, {"TSO.exe", 2}, {"pykeys.dic0001", 1}, {"flatAuto.dic", 2}};
    for (const Plant &plant : plants) {
        std::string path = folder.File(plant.name);
        int made = plant.how == 0   ? mkdir(path.c_str(), 0755)
                   : plant.how == 1 ? symlink(outside.File("precious").c_str(), path.c_str())
                                    : link(outside.File("precious").c_str(), path.c_str());
        ASSERT_EQ(made, 0) << plant.name;
        TargetCheck check = CheckInstallTargets();
        EXPECT_EQ(check.problem, kTargetNotPlain) << plant.name << " " << plant.how;
        EXPECT_STREQ(check.file, plant.name);
        plant.how == 0 ? rmdir(path.c_str()) : unlink(path.c_str());
    }
    WriteFile(folder.File("TSO.exe"), "an earlier engine");  // a plain file is replaced as usual
    EXPECT_EQ(CheckInstallTargets().problem, kTargetsReady);
    EXPECT_EQ(ReadFile(outside.File("precious")), "outside");
}

}  // namespace
