// Which accounts an installed program's access list names, by system version: a table, so that the
// tests can check it for every system without a Windows of each kind.
#include "landing/access_rights.h"

const WellKnownSid kAdministratorsSid = {1, 2, {0, 0, 0, 0, 0, 5}, {32, 544}};
const WellKnownSid kLocalSystemSid = {1, 1, {0, 0, 0, 0, 0, 5}, {18}};
const WellKnownSid kEveryoneSid = {1, 1, {0, 0, 0, 0, 0, 1}, {0}};
// The service SID of TrustedInstaller, which owns the system's own folders from Vista on: S-1-5-80
// followed by the SHA-1 of the upper-case service name, the same on every system.
const WellKnownSid kTrustedInstallerSid = {
    1, 6, {0, 0, 0, 0, 0, 5}, {80, 956008885, 3418522649u, 1831038044, 1853292631, 2271478464u}};
// The application package authority (15) came with app containers in Windows 8: "ALL APPLICATION
// PACKAGES" stands for every app container. "ALL RESTRICTED APPLICATION PACKAGES" came with the
// less privileged app containers of Windows 10 version 1607 (build 14393), which are not members of
// the first. Earlier systems do not resolve either: an entry for one there would show as an unknown
// account in the file's properties and grant nothing.
const WellKnownSid kAllAppPackagesSid = {1, 2, {0, 0, 0, 0, 0, 15}, {2, 1}};
const WellKnownSid kAllRestrictedAppsSid = {1, 2, {0, 0, 0, 0, 0, 15}, {2, 2}};

namespace {

struct ProgramAccessRow {
    const WellKnownSid *sid;
    uint32_t mask;
    SystemVersion since;  // the first system that knows the account
};

// The administrators and the system may change the programs; everyone else may read and run them.
// Sandboxed processes (Store apps, the browsers' and Office's sandboxes, the touch keyboard's and
// search's hosts) are not "everyone": from Windows 8 on they are let in only where a list names
// their groups, as the system's own lists on Program Files do. A keyboard-hook DLL of the engine is
// loaded into every program that takes typing, sandboxed ones included, and without these two
// entries the load fails there and no Chinese can be typed in them.
const ProgramAccessRow kProgramAccessRows[] = {
    {&kAdministratorsSid, kAccessFull, {3, 51, 0}},
    {&kLocalSystemSid, kAccessFull, {3, 51, 0}},
    {&kEveryoneSid, kAccessReadExecute, {3, 51, 0}},
    {&kAllAppPackagesSid, kAccessReadExecute, {6, 2, 0}},
    {&kAllRestrictedAppsSid, kAccessReadExecute, {10, 0, 14393}},
};
static_assert(sizeof kProgramAccessRows / sizeof kProgramAccessRows[0] == kProgramAccessEntriesMax,
              "one entry at most per row");

}  // namespace

int ProgramAccessEntries(const SystemVersion &version, AccessEntry *entries) {
    int count = 0;
    for (const ProgramAccessRow &row : kProgramAccessRows)
        if (AtLeast(version, row.since))
            entries[count++] = AccessEntry{row.sid, row.mask};
    return count;
}

int SandboxAccessEntries(const SystemVersion &version, AccessEntry *entries) {
    AccessEntry all[kProgramAccessEntriesMax];
    int count = 0, listed = ProgramAccessEntries(version, all);
    for (int i = 0; i < listed; i++)
        if (all[i].sid->authority[5] == 15)  // the application package authority
            entries[count++] = all[i];
    return count;
}

// SE_GROUP_ENABLED and SE_GROUP_OWNER: a group in force that may be assigned as an owner. The
// filtered token of an administrator under UAC holds the group for deny only (SE_GROUP_USE_FOR_
// DENY_ONLY, 0x10, without the other two); the restore privilege lets any owner be set.
int MayNameAdministratorsOwner(unsigned long administratorsAttributes, int restoreEnabled) {
    const unsigned long kEnabledOwner = 0x4 | 0x8;
    return (administratorsAttributes & kEnabledOwner) == kEnabledOwner || restoreEnabled;
}

// On NT 4.0 to XP what an administrator makes belongs to that administrator's own account, so the
// folder of an earlier install is the user's, and it is the same identity that runs the setup now.
// From Vista on, what an elevated administrator makes belongs to Administrators; the user's own SID
// is also the identity of their unelevated token, under which every program they start runs, and
// any of those could rewrite the folder's list and replace the programs in it.
int RunningUserOwnerTrusted(const SystemVersion &version) { return version.major < 6; }

// NT 4.0's inheritance onto a file (a file has no children, so it takes only the entries that
// apply to itself): each entry of the folder marked "files inherit" (OBJECT_INHERIT_ACE), with its
// generic rights mapped to the file rights they stand for, CREATOR OWNER and CREATOR GROUP replaced
// by the file's owner and group, and every inheritance flag cleared (an entry that was inherit-only
// on the folder applies to the file; no inherit-only copy is kept, which NT makes for folders
// alone). No such entry: the creator's default list, as NT gives a file made there.
namespace {

enum : unsigned char {
    kAclHeaderBytes = 8,
    kAceHeaderBytes = 4,
    kObjectInherit = 0x01,
    kInheritanceFlags = 0x1F,  // object, container, no-propagate, inherit-only, inherited
    kLastMaskAndSidType = 3,   // allowed, denied, audit, alarm: a mask, then a SID
};

// The file generic mapping: what GENERIC_READ, _WRITE, _EXECUTE and _ALL stand for on a file.
const uint32_t kGenericRights[][2] = {
    {0x80000000u, 0x00120089},   // FILE_GENERIC_READ
    {0x40000000u, 0x00120116},   // FILE_GENERIC_WRITE
    {0x20000000u, 0x001200A0},   // FILE_GENERIC_EXECUTE
    {0x10000000u, kAccessFull},  // FILE_ALL_ACCESS
};

const unsigned char kCreatorOwner[] = {1, 1, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0};  // S-1-3-0
const unsigned char kCreatorGroup[] = {1, 1, 0, 0, 0, 0, 0, 3, 1, 0, 0, 0};  // S-1-3-1

unsigned Read16(const unsigned char *p) { return p[0] | p[1] << 8; }
uint32_t Read32(const unsigned char *p) { return Read16(p) | static_cast<uint32_t>(Read16(p + 2)) << 16; }
void Write16(unsigned char *p, unsigned value) {
    p[0] = static_cast<unsigned char>(value);
    p[1] = static_cast<unsigned char>(value >> 8);
}
void Write32(unsigned char *p, uint32_t value) {
    Write16(p, value & 0xFFFF);
    Write16(p + 2, value >> 16);
}

unsigned long SidBytes(const unsigned char *sid) { return 8ul + 4ul * sid[1]; }

int SameSid(const unsigned char *a, const unsigned char *b) {
    unsigned long bytes = SidBytes(a);
    if (bytes != SidBytes(b))
        return 0;
    for (unsigned long i = 0; i < bytes; i++)
        if (a[i] != b[i])
            return 0;
    return 1;
}

uint32_t MapGenericRights(uint32_t mask) {
    for (const auto &generic : kGenericRights)
        if (mask & generic[0])
            mask = (mask & ~generic[0]) | generic[1];
    return mask;
}

// Appends one entry at out + used when it fits; returns the bytes it takes.
unsigned long CopyEffectiveEntry(const unsigned char *entry, const FileListSources &sources,
                                 unsigned char *out, unsigned long used, unsigned long outSize) {
    unsigned long entryBytes = Read16(entry + 2);
    if (entry[0] > kLastMaskAndSidType) {  // a kind NT 4.0 does not map: taken as it is
        if (out && used + entryBytes <= outSize) {
            for (unsigned long i = 0; i < entryBytes; i++)
                out[used + i] = entry[i];
            out[used + 1] = static_cast<unsigned char>(entry[1] & ~kInheritanceFlags);
        }
        return entryBytes;
    }
    const unsigned char *sid = entry + 8;
    if (SameSid(sid, kCreatorOwner))
        sid = sources.owner;
    else if (SameSid(sid, kCreatorGroup) && sources.group)
        sid = sources.group;
    unsigned long bytes = 8 + SidBytes(sid);
    if (out && used + bytes <= outSize) {
        unsigned char *copy = out + used;
        copy[0] = entry[0];
        copy[1] = static_cast<unsigned char>(entry[1] & ~kInheritanceFlags);
        Write16(copy + 2, bytes);
        Write32(copy + 4, MapGenericRights(Read32(entry + 4)));
        for (unsigned long i = 0; i < SidBytes(sid); i++)
            copy[8 + i] = sid[i];
    }
    return bytes;
}

// Whether the list's header and every entry (and each SID of a mapped kind) lie within its size.
int ListWellFormed(const unsigned char *list) {
    unsigned long size = Read16(list + 2), offset = kAclHeaderBytes;
    if (size < kAclHeaderBytes)
        return 0;
    for (unsigned count = Read16(list + 4); count > 0; count--) {
        if (offset + kAceHeaderBytes > size)
            return 0;
        unsigned long entryBytes = Read16(list + offset + 2);
        if (entryBytes < kAceHeaderBytes || offset + entryBytes > size)
            return 0;
        if (list[offset] <= kLastMaskAndSidType &&
            (entryBytes < 8 + 8 || 8 + SidBytes(list + offset + 8) > entryBytes))
            return 0;
        offset += entryBytes;
    }
    return 1;
}

}  // namespace

namespace {

// The list into out (which holds it), or only its size with out null.
long BuildInheritedFileList(const FileListSources &sources, unsigned char *out, unsigned long outSize) {
    if (!sources.owner || (sources.folderList && !ListWellFormed(sources.folderList)) ||
        (sources.createdList && !ListWellFormed(sources.createdList)))
        return -1;
    unsigned long used = kAclHeaderBytes, entries = 0;
    const unsigned char *list = sources.folderList;
    for (unsigned i = 0, offset = kAclHeaderBytes; list && i < Read16(list + 4); i++) {
        const unsigned char *entry = list + offset;
        offset += Read16(entry + 2);
        if (!(entry[1] & kObjectInherit))
            continue;
        used += CopyEffectiveEntry(entry, sources, out, used, outSize);
        entries++;
    }
    if (used > 0xFFFF)
        return -1;  // more than an ACL can hold
    if (entries == 0) {
        if (!sources.createdList)
            return 0;
        unsigned long size = Read16(sources.createdList + 2);
        for (unsigned long i = 0; out && size <= outSize && i < size; i++)
            out[i] = sources.createdList[i];
        return static_cast<long>(size);
    }
    if (out && used <= outSize) {
        out[0] = list[0];  // the folder's revision: NT 4.0 writes ACL_REVISION (2)
        out[1] = 0;
        Write16(out + 2, used);
        Write16(out + 4, entries);
        Write16(out + 6, 0);
    }
    return static_cast<long>(used);
}

}  // namespace

long InheritedFileList(const FileListSources &sources, unsigned char *out, unsigned long outSize) {
    long size = BuildInheritedFileList(sources, nullptr, 0);
    if (out && size > 0 && static_cast<unsigned long>(size) <= outSize)
        BuildInheritedFileList(sources, out, outSize);
    return size;
}
