// The Linux stand-in of the platform's file services (tests/standins/file_system_posix.cpp), which
// the host tests and the native benchmark run on.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "landing/file_system.h"
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

// Links name another file or folder; compressed, deduplicated, tiered and cloud files do not.
TEST(IsLinkReparseTag, OnlyNameSurrogatesAndWinesZeroAreLinks) {
    const struct {
        unsigned long tag;
        bool link;
    } tags[] = {{0xA000000C, true},    // symbolic link
                {0xA0000003, true},    // junction, mount point
                {0x00000000, true},    // Wine's Unix link to a folder
                {0x80000017, false},   // WOF: compact /EXE
                {0x80000013, false},   // deduplication
                {0xC0000004, false},   // storage manager (HSM)
                {0x9000001A, false}};  // cloud placeholder
    for (const auto &t : tags)
        EXPECT_EQ(IsLinkReparseTag(t.tag) != 0, t.link) << std::hex << t.tag;
}

}  // namespace
