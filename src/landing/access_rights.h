// Access rights and owners of files and folders, where the system keeps them: the NT family, on a
// local volume with persistent access lists (NTFS). The 95 family, FAT volumes and network volumes
// have none the setup can use; there every operation here succeeds without doing anything.
#pragma once

#include <cstdint>

#include "base/system_version.h"

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

// The sandboxed-app groups' entries of the programs' list on the given system (Windows 8 and
// later), which a folder the setup makes passes on to everything in it. Returns how many.
int SandboxAccessEntries(const SystemVersion &version, AccessEntry *entries);

// Whether an existing install folder owned by the user running the setup passes the trust check
// without a question on the given system (NT 4.0 to XP only).
int RunningUserOwnerTrusted(const SystemVersion &version);

// Whether a token may name Administrators as an object's owner, from the attributes it gives the
// Administrators group (0 when it has none) and whether its restore privilege is enabled. An
// unelevated token cannot, and whatever it makes is the user's own.
int MayNameAdministratorsOwner(unsigned long administratorsAttributes, int restoreEnabled);

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

// The folders the setup makes (the install folder, its "doc"): owner Administrators where the token
// may name them, and the sandboxed-app groups let read what is in them (Windows 8 and later). Not
// done is no reason to stop: 1 = done or nothing to do, 0 = could not be.
int OwnMadeFolder(const char *path);
int OpenMadeFolderToSandboxes(const char *path);
// Whether an unelevated run meets a folder only an elevated one can install into (an earlier
// install's, owned by the administrators): it says so before anything changes.
int NeedsAdministratorRights(const char *folder);

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

// The list NT 4.0 gives a file made in a folder, computed as NT 4.0 computes it: NT 4.0 copies the
// folder's inheritable entries only when a file is created, and a data file is created in the work
// folder and renamed into the install folder, so the setup computes what it would have had there.
// The lists and SIDs are in the system's own layout (ACL header, entries, SIDs; little-endian).
struct FileListSources {
    const unsigned char *folderList;   // the folder's list; null when it has none
    const unsigned char *owner;        // the file's owner, for CREATOR OWNER
    const unsigned char *group;        // the file's primary group, for CREATOR GROUP (may be null)
    const unsigned char *createdList;  // the creator's default list, which the file takes when the
                                       // folder passes nothing on to files; null when it has none
};
// Writes the file's list into out when outSize bytes hold it, and returns its size either way (so
// that a caller may ask with no buffer first); 0 when the file is to have no list at all, -1 when a
// list or SID given is malformed.
long InheritedFileList(const FileListSources &sources, unsigned char *out, unsigned long outSize);
