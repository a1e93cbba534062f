// The Linux stand-in of the platform's file services (tests/standins/file_system_posix.cpp), which
// the host tests and the native benchmark run on.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "install/file_system.h"
#include "temp_folder.h"

namespace {

TEST(FindLinkInPath, AFolderOnTheWayThatIsALink) {
    TempFolder folder, elsewhere;
    char found[kPathBufferSize];
    EXPECT_FALSE(FindLinkInPath(folder.File("Tesso").c_str(), found));
    ASSERT_EQ(symlink(elsewhere.path().c_str(), folder.File("link").c_str()), 0);
    EXPECT_TRUE(FindLinkInPath(folder.File("link/Tesso").c_str(), found));
    EXPECT_EQ(std::string(found), folder.File("link"));
}

}  // namespace
