#include <gtest/gtest.h>

#include <string>

#include "base/path_text.h"
#include "setup/startup.h"

namespace {

TEST(PathText, TrailByteBackslashIsNoSeparator) {
    const char *path = "C:\\\xC7\x5C";  // C:\淺: 淺 is C7 5C in GBK
    EXPECT_EQ(LastCharacter(path, '\\'), path + 2);
    const char *folder = "C:\\\xC7\x5C\\doc";
    EXPECT_EQ(LastCharacter(folder, '\\'), folder + 5);
    EXPECT_EQ(LastCharacter("plain", '\\'), nullptr);
    char setupDir[kPathBufferSize];
    SetupDirFromModulePath(setupDir, "C:\\\xC7\x5C\\setup.exe");
    EXPECT_STREQ(setupDir, "C:\\\xC7\x5C\\");
}

TEST(PathText, JoinedPathThatDoesNotFitIsRefused) {
    const std::string folder = "/tmp/folder";
    // Exactly 259 bytes fit the 260-byte buffer; one more does not.
    std::string fits(259 - folder.size() - 1, 'f');
    char joined[kPathBufferSize];
    EXPECT_EQ(JoinPath(joined, folder.c_str(), fits.c_str()), 1);
    EXPECT_EQ(JoinPath(joined, folder.c_str(), (fits + "x").c_str()), 0);
    EXPECT_STREQ(joined, "");
}

}  // namespace
