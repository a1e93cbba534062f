#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "install/install_checks.h"
#include "install/payload_catalogue.h"

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
        {"\\\\server\\share", kFolderNotAbsolute},
        {"C:\\Tesso\\..\\Windows", kFolderNotAbsolute},
        {"C:\\a<b", kFolderBadName},
        {"C:\\a:b", kFolderBadName},
        {"C:\\a|b", kFolderBadName},
        {"C:\\a/b", kFolderBadName},
        {"C:\\Tesso.", kFolderBadName},
        {"C:\\Tesso \\x", kFolderBadName},
        {"C:\\a\tb", kFolderBadName},
        {"", kFolderNotAbsolute},
    };
    for (const Case &c : cases)
        EXPECT_EQ(CheckFolderName(c.folder, std::string(c.folder).size()), c.problem) << c.folder;
}

TEST(CheckFolderName, EveryPathTheInstallMakesMustFit) {
    // The longest installed or purged name decides; 233 bytes leave too little room.
    size_t longest = 0;
    for (int i = 0; i < PayloadCatalogueCount; i++)
        longest = std::max(longest, std::string(PayloadCatalogue[i].file).size());
    std::string fits = "C:\\" + std::string(259 - 1 - longest - 3, 'f');
    EXPECT_EQ(CheckFolderName(fits.c_str(), fits.size()), kFolderOk);
    std::string longer = fits + "g";
    EXPECT_EQ(CheckFolderName(longer.c_str(), longer.size()), kFolderTooLong);
    std::string folder233 = "C:\\" + std::string(230, 'x');
    EXPECT_EQ(CheckFolderName(folder233.c_str(), folder233.size()), kFolderTooLong);
    // A field holding 300 bytes is read cut to 259: what the user typed is not what was read.
    EXPECT_EQ(CheckFolderName("C:\\Tesso", 300), kFolderTooLong);
}

TEST(SpaceNeeded, EveryFileLessWhatItReplacesPlusOneTemporaryCopy) {
    std::vector<long> none(PayloadCatalogueCount, -1), all(PayloadCatalogueCount);
    unsigned long long total = 0, largest = 0;
    for (int i = 0; i < PayloadCatalogueCount; i++) {
        all[i] = static_cast<long>(PayloadCatalogue[i].bytes);
        total += PayloadCatalogue[i].bytes;
        largest = std::max<unsigned long long>(largest, PayloadCatalogue[i].bytes);
    }
    EXPECT_EQ(SpaceNeeded(none.data(), 1), total + largest + 2);
    EXPECT_EQ(SpaceNeeded(all.data(), 1), largest + 2);  // an install over the same files
    EXPECT_GT(SpaceNeeded(none.data(), 32768), SpaceNeeded(none.data(), 1));  // whole clusters
}

}  // namespace
