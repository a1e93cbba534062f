// The programs' access list and the owner rule on each system.
#include <gtest/gtest.h>

#include <string>

#include "landing/access_rights.h"

namespace {

std::string SidText(const WellKnownSid &sid) {
    std::string text = "S-" + std::to_string(sid.revision) + "-" + std::to_string(sid.authority[5]);
    for (int i = 0; i < sid.subAuthorityCount; i++)
        text += "-" + std::to_string(sid.subAuthority[i]);
    return text;
}

// The programs' list on each system: sandboxed apps are named from Windows 8 on, the restricted
// ones from Windows 10 1607 on; a folder the running user owns passes unasked only before Vista.
TEST(AccessRights, ProgramEntriesAndOwnerRulePerSystem) {
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

}  // namespace
