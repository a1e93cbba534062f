#include "landing/access_rights_win32.h"

#include <cstdlib>

#include "base/format_text.h"
#include "base/scoped_win32.h"
#include "base/setup_state.h"
#include "base/system_functions_win32.h"
#include "landing/access_rights.h"
#include "landing/file_placement.h"

// Every security function is looked up in advapi32 (loaded already: the setup imports
// GetUserNameA from it) through the table of system functions instead of imported. NT 3.51 and later have all
// of them but SetSecurityDescriptorControl (Windows 2000); the 95 family's advapi32 has no security support,
// which of them it exports even as stubs is documented nowhere, and one import it lacked would stop
// the setup from loading there. Nothing here is called on the
// 95 family, which has no access rights.

namespace {

PSID AsSid(const WellKnownSid &sid) { return const_cast<WellKnownSid *>(&sid); }

static_assert(kAccessFull == FILE_ALL_ACCESS, "the portable rights are the SDK's");
static_assert(kAccessReadExecute == (FILE_GENERIC_READ | FILE_GENERIC_EXECUTE),
              "the portable rights are the SDK's");

// 2000 and later; the mingw headers hide it for NT 4.0.
const SECURITY_DESCRIPTOR_CONTROL kDaclProtected = 0x1000;  // SE_DACL_PROTECTED

// Whether the volume that holds path keeps access lists: NTFS does, FAT does not, and there
// nothing is to be set or read. A path without a drive letter is taken as keeping them.
int VolumeKeepsRights(const char *path) {
    if (!path[0] || path[1] != ':')
        return 1;
    char root[4] = {path[0], ':', '\\', 0};
    DWORD flags = 0;
    if (!GetVolumeInformationA(root, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0))
        return 1;
    return (flags & FS_PERSISTENT_ACLS) != 0;
}

// A mapped drive or a UNC path. A share on an NTFS volume reports the server's file system, access
// lists included, but setting a file's owner through a share needs rights (restore, take ownership)
// that the server seldom gives the account, and fails with "access denied" rather than "invalid
// owner"; where it succeeds, the Administrators and SYSTEM it names are the server's, not this
// machine's. So nothing is set or asked there: the share's own rights are what protect the files.
// GetDriveTypeA is in every Windows from 95 and NT 3.1 on and answers DRIVE_REMOTE for a drive
// letter mapped to a share, from 95 to 11 alike.
int OnNetworkVolume(const char *path) {
    if (path[0] == '\\' && path[1] == '\\') {
        if ((path[2] != '?' && path[2] != '.') || path[3] != '\\')
            return 1;  // \\server\share
        path += 4;     // \\?\C:\... names a local drive, \\?\UNC\server\share a share
        if ((path[0] | 0x20) == 'u' && (path[1] | 0x20) == 'n' && (path[2] | 0x20) == 'c' && path[3] == '\\')
            return 1;
    }
    if (!path[0] || path[1] != ':')
        return 0;
    char root[4] = {path[0], ':', '\\', 0};
    return GetDriveTypeA(root) == DRIVE_REMOTE;
}

int AppliesHere(const char *path) {
    return IsNtPlatform && !OnNetworkVolume(path) && VolumeKeepsRights(path);
}

// Whether sid is the account the setup runs as.
int IsRunningUser(PSID sid) {
    auto equalSid = FindSystemFunction<SystemFunction::EqualSid>();
    auto openProcessToken = FindSystemFunction<SystemFunction::OpenProcessToken>();
    auto getTokenInformation = FindSystemFunction<SystemFunction::GetTokenInformation>();
    KernelHandle token;
    DWORD user[64], needed = 0;  // TOKEN_USER and its SID: at most 76 bytes
    return equalSid && openProcessToken && getTokenInformation &&
           openProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive()) &&
           getTokenInformation(token.get(), TokenUser, user, sizeof user, &needed) &&
           equalSid(sid, reinterpret_cast<TOKEN_USER *>(user)->User.Sid);
}

}  // namespace

// GetVersionExA never fails with the size set; an unknown answer counts as NT 4.0.
SystemVersion RunningSystemVersion() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version))
        return SystemVersion{4, 0, 0};
    return SystemVersion{version.dwMajorVersion, version.dwMinorVersion, version.dwBuildNumber};
}

int BuildProgramDescriptor(ProgramDescriptor *program) {
    if (!IsNtPlatform)
        return 0;
    auto initializeDescriptor = FindSystemFunction<SystemFunction::InitializeSecurityDescriptor>();
    auto initializeAcl = FindSystemFunction<SystemFunction::InitializeAcl>();
    auto addAllowedAce = FindSystemFunction<SystemFunction::AddAccessAllowedAce>();
    auto setDacl = FindSystemFunction<SystemFunction::SetSecurityDescriptorDacl>();
    auto setOwner = FindSystemFunction<SystemFunction::SetSecurityDescriptorOwner>();
    if (!initializeDescriptor || !initializeAcl || !addAllowedAce || !setDacl || !setOwner)
        return 0;
    PACL list = reinterpret_cast<PACL>(program->list);
    AccessEntry entries[kProgramAccessEntriesMax];
    int count = ProgramAccessEntries(RunningSystemVersion(), entries);
    // ACL_REVISION (2) entries carry no inheritance of their own: a file passes nothing on. A SID
    // of the application package authority is one like any other to AddAccessAllowedAce, which
    // checks only its form.
    if (!initializeDescriptor(&program->descriptor, SECURITY_DESCRIPTOR_REVISION) ||
        !initializeAcl(list, sizeof program->list, ACL_REVISION))
        return 0;
    for (int i = 0; i < count; i++)
        if (!addAllowedAce(list, ACL_REVISION, entries[i].mask, AsSid(*entries[i].sid)))
            return 0;
    if (!setDacl(&program->descriptor, TRUE, list, FALSE) ||
        !setOwner(&program->descriptor, AsSid(kAdministratorsSid), FALSE))
        return 0;
    // Protected, the list takes in nothing the folder passes on, now or when an administrator
    // changes the folder's rights later (2000 and later propagate such changes). NT 4.0 has no
    // such control and needs none: it copies inheritable entries only when a file is created, so
    // an explicit list stays as it is set until an administrator replaces it.
    if (auto setControl = FindSystemFunction<SystemFunction::SetSecurityDescriptorControl>())
        setControl(&program->descriptor, kDaclProtected, kDaclProtected);
    return 1;
}

// Only the programs get a list of their own. The product writes its dictionaries and its
// configuration in the install folder at run time, as whichever user runs it, so data files keep
// the rights they inherit and the folder keeps letting users create files: that is the trade-off.
// A user can therefore still add files beside the programs (a DLL a program would load from its
// own folder among them) and, where the folder grants users full control (a new folder at the root
// of an NT 4.0 or 2000 drive inherits "Everyone: Full Control"), delete or rename a program
// through the folder's own delete-child right, which no list on the file can withhold.
int ProtectProgramFile(const char *path) {
    if (!AppliesHere(path))
        return 1;
    auto setFileSecurity = FindSystemFunction<SystemFunction::SetFileSecurityA>();
    ProgramDescriptor program;
    if (!setFileSecurity || !BuildProgramDescriptor(&program))
        return 0;
    // The owner becomes Administrators, so that no single account (on XP and earlier, the
    // installing administrator's own) keeps the owner's right to change the list again.
    if (setFileSecurity(path, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &program.descriptor))
        return 1;
    // Only a member of Administrators may name it the owner. Where no elevation is asked for (NT
    // 4.0 to XP) an ordinary user may run the setup into a folder of their own: the programs are
    // then theirs, and a list that shut them out would stop the install replacing them.
    return GetLastError() == ERROR_INVALID_OWNER;
}

int FolderOwnerTrusted(const char *folder) {
    if (!AppliesHere(folder))
        return kOwnerTrusted;
    auto getFileSecurity = FindSystemFunction<SystemFunction::GetFileSecurityA>();
    auto getOwner = FindSystemFunction<SystemFunction::GetSecurityDescriptorOwner>();
    auto equalSid = FindSystemFunction<SystemFunction::EqualSid>();
    if (!getFileSecurity || !getOwner || !equalSid)
        return kOwnerTrusted;  // every NT system has them
    DWORD descriptor[128];     // a self-relative descriptor with an owner only: at most 88 bytes
    DWORD needed = 0;
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    if (!getFileSecurity(folder, OWNER_SECURITY_INFORMATION, descriptor, sizeof descriptor, &needed) ||
        !getOwner(descriptor, &owner, &defaulted) || !owner)
        return kOwnerOther;
    static const WellKnownSid *const kTrustedOwners[] = {&kAdministratorsSid, &kLocalSystemSid,
                                                         &kTrustedInstallerSid};
    for (const WellKnownSid *trusted : kTrustedOwners)
        if (equalSid(owner, AsSid(*trusted)))
            return kOwnerTrusted;
    if (!IsRunningUser(owner))
        return kOwnerOther;
    // The user's own folder passes on NT 4.0 to XP only (RunningUserOwnerTrusted says why): from
    // Vista on it is asked about, with a question of its own.
    return RunningUserOwnerTrusted(RunningSystemVersion()) ? kOwnerTrusted : kOwnerRunningUser;
}

struct FolderListing {
    HANDLE search;
    int pending;  // found holds a name not handed out yet
    WIN32_FIND_DATAA found;
};

FolderListing *OpenFolderListing(const char *folder) {
    char pattern[kPathBufferSize];
    if (FormatText(pattern, sizeof pattern, "%s%s*", folder, EndsWithSeparator(folder) ? "" : "\\") < 0)
        return nullptr;
    FolderListing *listing = static_cast<FolderListing *>(std::malloc(sizeof(FolderListing)));
    if (!listing)
        return nullptr;
    listing->search = FindFirstFileA(pattern, &listing->found);
    listing->pending = listing->search != INVALID_HANDLE_VALUE;
    // The root of an empty drive has no "." entry, so nothing at all is found there.
    if (!listing->pending && GetLastError() != ERROR_FILE_NOT_FOUND) {
        std::free(listing);
        return nullptr;
    }
    return listing;
}

const char *NextListedName(FolderListing *listing) {
    for (;;) {
        if (!listing->pending &&
            (listing->search == INVALID_HANDLE_VALUE || !FindNextFileA(listing->search, &listing->found)))
            return nullptr;
        listing->pending = 0;
        const char *name = listing->found.cFileName;
        if (!(name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))))
            return name;
    }
}

void CloseFolderListing(FolderListing *listing) {
    if (listing->search != INVALID_HANDLE_VALUE)
        FindClose(listing->search);
    std::free(listing);
}

// The work folder: what the setup keeps between the steps of an install (staged files, files
// moved aside, the journal, the commit record) is trusted by its next run, so nobody but the
// administrators may put or change anything there. Its list is protected (inheriting nothing from
// the install folder, which lets users create files) and passed on to every file made in it.
namespace {

const BYTE kFolderAndFiles = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;
const WellKnownSid *const kWorkFolderWriters[] = {&kAdministratorsSid, &kLocalSystemSid};

// Debian's Wine keeps no security descriptor: it makes one from the Unix owner and mode, the owner
// being the running user for a file of the setup's Unix account. A folder the setup made there has
// the mode its list gave (no access for other Unix users), and reads back as the user's with entries
// for the user and SYSTEM alone; one that lets other users in has an entry for Everyone.
int OnlyTrustedEntries(PACL list) {
    auto getAce = FindSystemFunction<SystemFunction::GetAce>();
    auto equalSid = FindSystemFunction<SystemFunction::EqualSid>();
    for (DWORD i = 0; getAce && equalSid && i < list->AceCount; i++) {
        void *entry = nullptr;
        if (!getAce(list, i, &entry))
            return 0;
        PSID sid = &static_cast<ACCESS_ALLOWED_ACE *>(entry)->SidStart;
        if (!equalSid(sid, AsSid(kAdministratorsSid)) && !equalSid(sid, AsSid(kLocalSystemSid)) &&
            !IsRunningUser(sid))
            return 0;
    }
    return getAce && equalSid;
}

struct PrivateDescriptor {
    SECURITY_DESCRIPTOR descriptor;  // absolute: points at the list below and at a constant owner
    DWORD list[24];                  // two entries of at most 28 bytes, DWORD-aligned
};

// AddAccessAllowedAce takes no inheritance flags (its Ex form is from 2000), so they are set on
// each entry after it is added: ACL_REVISION entries with the flags are what NT 4.0 itself writes.
int BuildPrivateDescriptor(PrivateDescriptor *built) {
    auto initializeDescriptor = FindSystemFunction<SystemFunction::InitializeSecurityDescriptor>();
    auto initializeAcl = FindSystemFunction<SystemFunction::InitializeAcl>();
    auto addAllowedAce = FindSystemFunction<SystemFunction::AddAccessAllowedAce>();
    auto getAce = FindSystemFunction<SystemFunction::GetAce>();
    auto setDacl = FindSystemFunction<SystemFunction::SetSecurityDescriptorDacl>();
    auto setOwner = FindSystemFunction<SystemFunction::SetSecurityDescriptorOwner>();
    if (!initializeDescriptor || !initializeAcl || !addAllowedAce || !getAce || !setDacl || !setOwner)
        return 0;
    PACL list = reinterpret_cast<PACL>(built->list);
    if (!initializeDescriptor(&built->descriptor, SECURITY_DESCRIPTOR_REVISION) ||
        !initializeAcl(list, sizeof built->list, ACL_REVISION))
        return 0;
    DWORD index = 0;
    for (const WellKnownSid *writer : kWorkFolderWriters) {
        void *entry = nullptr;
        if (!addAllowedAce(list, ACL_REVISION, FILE_ALL_ACCESS, AsSid(*writer)) ||
            !getAce(list, index++, &entry))
            return 0;
        static_cast<ACE_HEADER *>(entry)->AceFlags = kFolderAndFiles;
    }
    if (!setDacl(&built->descriptor, TRUE, list, FALSE) ||
        !setOwner(&built->descriptor, AsSid(kAdministratorsSid), FALSE))
        return 0;
    if (auto setControl = FindSystemFunction<SystemFunction::SetSecurityDescriptorControl>())
        setControl(&built->descriptor, kDaclProtected, kDaclProtected);  // 2000 and later, as above
    return 1;
}

}  // namespace

// Made with its rights in one step, so that there is no moment at which it has the install
// folder's; set once more after (Wine 8 keeps no descriptor given when a folder is made, only one set
// on it afterwards; on Windows the second call changes nothing). Only a member of Administrators may
// name them the owner: an ordinary user who runs the setup (NT 4.0 to XP ask for no elevation) into a
// folder of their own gets a plain folder, which PrivateFolderTrusted accepts from that user alone.
// The 95 family and volumes without access lists get a plain folder.
int MakePrivateFolder(const char *path) {
    PrivateDescriptor built;
    if (!AppliesHere(path))
        return CreateDirectoryA(path, nullptr) != 0;
    auto setFileSecurity = FindSystemFunction<SystemFunction::SetFileSecurityA>();
    if (!setFileSecurity || !BuildPrivateDescriptor(&built))
        return 0;
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, &built.descriptor, FALSE};
    if (CreateDirectoryA(path, &attributes)) {
        // Wine turns a list into Unix mode bits: an entry for a SID of the running token gives the
        // owner and the group the same bits (mode 0770, which a setgid folder's group then shares),
        // and only an entry for the owner named in the descriptor, when that owner is not in the
        // token, gives the owner's bits alone. SYSTEM is in no Wine token: named owner there (Wine
        // keeps no owner, it only computes the mode), the list's SYSTEM entry makes the folder 0700.
        if (RunningUnderWine())
            built.descriptor.Owner = AsSid(kLocalSystemSid);
        if (setFileSecurity(path, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &built.descriptor))
            return 1;
        RemoveDirectoryA(path);
        return 0;
    }
    return GetLastError() == ERROR_INVALID_OWNER && CreateDirectoryA(path, nullptr);
}

// Owner Administrators, and exactly the entries MakePrivateFolder gives, in its order: anything
// more (an entry a user added, or one inherited because the list was made unprotected) or less
// makes it someone else's folder.
int PrivateFolderTrusted(const char *path) {
    if (!AppliesHere(path))
        return 1;
    auto getFileSecurity = FindSystemFunction<SystemFunction::GetFileSecurityA>();
    auto getOwner = FindSystemFunction<SystemFunction::GetSecurityDescriptorOwner>();
    auto getDacl = FindSystemFunction<SystemFunction::GetSecurityDescriptorDacl>();
    auto getAce = FindSystemFunction<SystemFunction::GetAce>();
    auto equalSid = FindSystemFunction<SystemFunction::EqualSid>();
    if (!getFileSecurity || !getOwner || !getDacl || !getAce || !equalSid)
        return 0;
    DWORD descriptor[256];  // owner and a list of a few entries: far less than 1 KB
    DWORD needed = 0;
    PSID owner = nullptr;
    PACL list = nullptr;
    BOOL defaulted = FALSE, present = FALSE;
    if (!getFileSecurity(path, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, descriptor,
                         sizeof descriptor, &needed) ||
        !getOwner(descriptor, &owner, &defaulted) || !owner)
        return 0;
    if (!getDacl(descriptor, &present, &list, &defaulted) || !present || !list)
        return 0;
    if (!equalSid(owner, AsSid(kAdministratorsSid)))
        return IsRunningUser(owner) && (RunningUserOwnerTrusted(RunningSystemVersion()) ||
                                        (RunningUnderWine() && OnlyTrustedEntries(list)));
    const DWORD kWriters = sizeof kWorkFolderWriters / sizeof kWorkFolderWriters[0];
    if (list->AceCount != kWriters)
        return 0;
    for (DWORD i = 0; i < kWriters; i++) {
        void *entry = nullptr;
        if (!getAce(list, i, &entry))
            return 0;
        ACCESS_ALLOWED_ACE *allowed = static_cast<ACCESS_ALLOWED_ACE *>(entry);
        if (allowed->Header.AceType != ACCESS_ALLOWED_ACE_TYPE ||
            (allowed->Header.AceFlags & ~INHERITED_ACE) != kFolderAndFiles ||
            allowed->Mask != FILE_ALL_ACCESS || !equalSid(&allowed->SidStart, AsSid(*kWorkFolderWriters[i])))
            return 0;
    }
    return 1;
}

// 2000 and later compute inherited entries themselves: a list set unprotected through
// SetNamedSecurityInfoA takes the folder's inheritable entries, marked as inherited, so that later
// changes to the folder's rights reach the file too. NT 4.0 copies inheritable entries only when a
// file is created and knows no such request: there the folder's entries for files are copied onto
// the file, as NT 4.0 would have done had the file been made in the folder.
int TakeFolderRights(const char *path) {
    if (!AppliesHere(path))
        return 1;
    auto setNamedSecurity = FindSystemFunction<SystemFunction::SetNamedSecurityInfoA>();
    auto initializeAcl = FindSystemFunction<SystemFunction::InitializeAcl>();
    if (!setNamedSecurity || !initializeAcl)
        return 0;
    if (FindSystemFunction<SystemFunction::SetSecurityDescriptorControl>()) {
        DWORD empty[2];  // an ACL header and no entry
        PACL list = reinterpret_cast<PACL>(empty);
        return initializeAcl(list, sizeof empty, ACL_REVISION) &&
               setNamedSecurity(const_cast<char *>(path), SE_FILE_OBJECT,
                                DACL_SECURITY_INFORMATION | UNPROTECTED_DACL_SECURITY_INFORMATION, nullptr,
                                nullptr, list, nullptr) == ERROR_SUCCESS;
    }
    auto getFileSecurity = FindSystemFunction<SystemFunction::GetFileSecurityA>();
    auto getDacl = FindSystemFunction<SystemFunction::GetSecurityDescriptorDacl>();
    auto getAce = FindSystemFunction<SystemFunction::GetAce>();
    auto addAce = FindSystemFunction<SystemFunction::AddAce>();
    char folder[kPathBufferSize];
    const char *separator = LastSeparator(path);
    if (!getFileSecurity || !getDacl || !getAce || !addAce || !separator)
        return 0;
    FormatText(folder, sizeof folder, "%.*s", static_cast<int>(separator - path), path);
    DWORD descriptor[1024], copied[1024], needed = 0;
    PACL folderList = nullptr, fileList = reinterpret_cast<PACL>(copied);
    BOOL present = FALSE, defaulted = FALSE;
    if (!getFileSecurity(folder, DACL_SECURITY_INFORMATION, descriptor, sizeof descriptor, &needed) ||
        !getDacl(descriptor, &present, &folderList, &defaulted) ||
        !initializeAcl(fileList, sizeof copied, ACL_REVISION))
        return 0;
    for (DWORD i = 0; present && folderList && i < folderList->AceCount; i++) {
        void *entry = nullptr;
        if (!getAce(folderList, i, &entry))
            return 0;
        ACE_HEADER *header = static_cast<ACE_HEADER *>(entry);
        if (!(header->AceFlags & OBJECT_INHERIT_ACE))
            continue;
        BYTE flags = header->AceFlags;
        header->AceFlags = 0;  // on the file it applies, and passes nothing on
        int added = addAce(fileList, ACL_REVISION, MAXDWORD, entry, header->AceSize);
        header->AceFlags = flags;
        if (!added)
            return 0;
    }
    // A folder without a list grants everyone everything; so does a file without one.
    return setNamedSecurity(const_cast<char *>(path), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                            nullptr, present && folderList ? fileList : nullptr, nullptr) == ERROR_SUCCESS;
}
