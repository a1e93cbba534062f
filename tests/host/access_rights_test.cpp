// The programs' access list and the owner rule on each system.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <cstdint>

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
        AccessEntry sandboxes[kProgramAccessEntriesMax];  // what a folder the setup makes passes on
        int sandboxCount = SandboxAccessEntries(c.version, sandboxes);
        EXPECT_EQ(sandboxCount, count - 3) << c.version.major;
        for (int i = 0; i < sandboxCount; i++)
            EXPECT_EQ(sandboxes[i].sid, entries[3 + i].sid);
    }
    // Administrators enabled and assignable as owner (an elevated token, any administrator's
    // before Vista), or the restore privilege; not the filtered token's deny-only group.
    const unsigned long kAttributes[][2] = {{0xF, 1}, {0xC, 1}, {0x10, 0}, {0x7, 0}, {0, 0}};
    for (const auto &row : kAttributes)
        EXPECT_EQ(MayNameAdministratorsOwner(row[0], 0), int(row[1])) << row[0];
    EXPECT_EQ(MayNameAdministratorsOwner(0x10, 1), 1);
    EXPECT_EQ(SidText(kTrustedInstallerSid),
              "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464");
}

// Lists in the system's layout, for the NT 4.0 inheritance: entries of (type, flags, mask, SID).
struct Entry {
    unsigned char type, flags;
    uint32_t mask;
    std::vector<unsigned char> sid;
};
std::vector<unsigned char> Sid(unsigned char authority, std::vector<uint32_t> subs) {
    std::vector<unsigned char> sid = {1, static_cast<unsigned char>(subs.size()), 0, 0, 0, 0, 0, authority};
    for (uint32_t sub : subs)
        for (int i = 0; i < 4; i++)
            sid.push_back(static_cast<unsigned char>(sub >> 8 * i));
    return sid;
}
std::vector<unsigned char> List(const std::vector<Entry> &entries) {
    std::vector<unsigned char> list = {2, 0, 0, 0, static_cast<unsigned char>(entries.size()), 0, 0, 0};
    for (const Entry &e : entries) {
        size_t size = 8 + e.sid.size();
        list.insert(list.end(), {e.type, e.flags, static_cast<unsigned char>(size), 0});
        for (int i = 0; i < 4; i++)
            list.push_back(static_cast<unsigned char>(e.mask >> 8 * i));
        list.insert(list.end(), e.sid.begin(), e.sid.end());
    }
    list[2] = static_cast<unsigned char>(list.size());
    list[3] = static_cast<unsigned char>(list.size() >> 8);
    return list;
}
std::vector<unsigned char> Inherit(const FileListSources &sources) {
    long size = InheritedFileList(sources, nullptr, 0);
    std::vector<unsigned char> out(size > 0 ? size : 0);
    EXPECT_EQ(InheritedFileList(sources, out.data(), out.size()), size);
    return out;
}

// What NT 4.0 gives a file made in the folder: generic rights mapped to file rights, the creator
// entries as the file's owner and group, inherit-only entries of the folder in force on the file,
// entries for folders only left out.
TEST(InheritedFileList, AsNt4GivesAFileMadeInTheFolder) {
    auto users = Sid(5, {32, 545}), owner = Sid(5, {21, 1, 2, 3, 1001}), group = Sid(5, {21, 1, 2, 3, 513});
    auto admins = Sid(5, {32, 544});
    auto folder = List({{0, 0x0B, 0x10000000, admins},         // GENERIC_ALL, inherit-only, both
                        {0, 0x02, 0x001F01FF, users},          // folders only
                        {1, 0x01, 0x40000000, users},          // denied GENERIC_WRITE, files
                        {0, 0x09, 0xA0000000, Sid(3, {0})},    // CREATOR OWNER read and execute
                        {0, 0x01, 0x00000001, Sid(3, {1})}});  // CREATOR GROUP
    FileListSources sources = {folder.data(), owner.data(), group.data(), nullptr};
    auto expected = List({{0, 0, 0x001F01FF, admins},
                          {1, 0, 0x00120116, users},
                          {0, 0, 0x001200A9, owner},
                          {0, 0, 0x00000001, group}});
    EXPECT_EQ(Inherit(sources), expected);
    // A buffer too small is left as it is.
    std::vector<unsigned char> small(expected.size() - 1, 0xEE);
    EXPECT_EQ(InheritedFileList(sources, small.data(), small.size()), long(expected.size()));
    EXPECT_EQ(small, std::vector<unsigned char>(expected.size() - 1, 0xEE));
}

// Nothing for files: the creator's default list (none at all when it has none), never an empty one.
TEST(InheritedFileList, NothingInheritableKeepsTheCreatorsList) {
    auto owner = Sid(5, {18}), created = List({{0, 0, 0x001F01FF, Sid(5, {18})}});
    auto folder = List({{0, 0x02, 0x001F01FF, Sid(1, {0})}});
    FileListSources sources = {folder.data(), owner.data(), nullptr, created.data()};
    EXPECT_EQ(Inherit(sources), created);
    sources.folderList = nullptr;
    EXPECT_EQ(Inherit(sources), created);
    sources.createdList = nullptr;
    EXPECT_EQ(InheritedFileList(sources, nullptr, 0), 0);
    auto cut = List({{0, 0x01, 0x001F01FF, Sid(1, {0})}});
    cut[2] -= 4;  // the entry runs past the list's size
    sources.folderList = cut.data();
    EXPECT_EQ(InheritedFileList(sources, nullptr, 0), -1);
}

}  // namespace
