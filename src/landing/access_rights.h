// Access rights and owners of files and folders, where the system keeps them: the NT family, on a
// local volume with persistent access lists (NTFS). The 95 family, FAT volumes and network volumes
// have none the setup can use; there every operation here succeeds without doing anything.
#pragma once

#include <cstdint>

// A system of the NT family by the version GetVersionExA reports to the setup (its manifest names
// every system up to 10, so 8.1 and later report themselves instead of 8).
struct SystemVersion {
    unsigned long major, minor, build;
};

// A well-known SID laid out as the system's SID structure is (revision, count, the authority's six
// bytes most significant first, then the sub-authorities), so that none needs allocating, looking
// up or freeing, and a system that does not know one still takes it as it is.
struct WellKnownSid {
    unsigned char revision;
    unsigned char subAuthorityCount;
    unsigned char authority[6];
    uint32_t subAuthority[6];
};
extern const WellKnownSid kAdministratorsSid;     // S-1-5-32-544
extern const WellKnownSid kLocalSystemSid;        // S-1-5-18
extern const WellKnownSid kEveryoneSid;           // S-1-1-0
extern const WellKnownSid kTrustedInstallerSid;   // NT SERVICE\TrustedInstaller (Vista and later)
extern const WellKnownSid kAllAppPackagesSid;     // S-1-15-2-1 (Windows 8 and later)
extern const WellKnownSid kAllRestrictedAppsSid;  // S-1-15-2-2 (Windows 10 1607 and later)

// The rights of the programs' list, as the SDK spells them (access_rights_win32.cpp checks them).
enum : uint32_t {
    kAccessFull = 0x001F01FF,         // FILE_ALL_ACCESS
    kAccessReadExecute = 0x001200A9,  // FILE_GENERIC_READ | FILE_GENERIC_EXECUTE
};

struct AccessEntry {
    const WellKnownSid *sid;
    uint32_t mask;
};
enum { kProgramAccessEntriesMax = 5 };

// The entries of an installed program's access list on the given system, in their order: each an
// "allowed" entry that passes nothing on. Returns how many were written to entries.
int ProgramAccessEntries(const SystemVersion &version, AccessEntry *entries);

// Whether an existing install folder owned by the user running the setup passes the trust check
// without a question on the given system (NT 4.0 to XP only).
int RunningUserOwnerTrusted(const SystemVersion &version);

// Gives the file at path the access list of an installed program: Administrators and SYSTEM full
// control, everyone else read and execute (on Windows 8 and later sandboxed apps too), inherited
// from nothing. 1 = done, or nothing to do on this system or volume (a network volume among them);
// 0 = the system keeps access rights and they could not be set.
int ProtectProgramFile(const char *path);

// The setup's work folder: made with rights of its own that inherit nothing (Administrators and
// SYSTEM full control, and the files made in it the same; owner Administrators), so that nobody
// else can put or change anything in it. 1 = made; 0 = it could not be (something is at path).
int MakePrivateFolder(const char *path);
// Whether the existing folder at path has exactly the owner and rights MakePrivateFolder gives
// (also 1 where the system or volume keeps no rights: there nobody's files are kept apart).
int PrivateFolderTrusted(const char *path);
// A data file renamed out of the work folder keeps the rights it was made with there; this gives
// it those it would have had if it had been made where it is now, inherited from its folder, so
// that the users the folder lets write their dictionaries and configuration still can. 1 = done,
// or nothing to do on this system or volume.
int TakeFolderRights(const char *path);

// Who owns an existing folder, as the trust check counts it. kOwnerTrusted: Administrators, SYSTEM,
// TrustedInstaller or (NT 4.0 to XP) the user the setup runs as, and every folder where there are
// no owners to ask about (the 95 family, FAT and network volumes). kOwnerRunningUser: the user the
// setup runs as, from Vista on. kOwnerOther: someone else, or an owner that cannot be read (a
// folder that shuts out the administrators themselves).
enum FolderOwner { kOwnerOther = 0, kOwnerTrusted = 1, kOwnerRunningUser = 2 };
int FolderOwnerTrusted(const char *folder);

// The names in a folder, one at a time, "." and ".." left out. Open gives null when the folder
// cannot be listed; Next gives null at the end (its name stays valid until the next call).
struct FolderListing;
FolderListing *OpenFolderListing(const char *folder);
const char *NextListedName(FolderListing *listing);
void CloseFolderListing(FolderListing *listing);
