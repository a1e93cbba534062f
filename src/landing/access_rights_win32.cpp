#include "landing/access_rights_win32.h"

#include <cstdlib>

#include "base/format_text.h"
#include "base/malloc_buffer.h"
#include "base/path_text.h"
#include "base/scoped_win32.h"
#include "base/setup_state.h"
#include "base/system_functions_win32.h"
#include "base/system_version.h"
#include "landing/access_rights.h"
#include "landing/file_system.h"

// Every security function is looked up in advapi32 (loaded already: the setup imports
// GetUserNameA from it) through the table of system functions instead of imported, once, as a set.
// NT 3.51 and later have all of them but SetSecurityDescriptorControl (Windows 2000); the 95
// family's advapi32 has no security support, which of them it exports even as stubs is documented
// nowhere, and one import it lacked would stop the setup from loading there. Nothing here is called
// on the 95 family, which has no access rights.

namespace {

// clang-format off
#define TESSO_SECURITY_CALLS(Call)                                                                  \
    Call(InitializeSecurityDescriptor) Call(InitializeAcl) Call(AddAccessAllowedAce)                \
    Call(SetSecurityDescriptorDacl) Call(SetSecurityDescriptorOwner) Call(SetFileSecurityA)         \
    Call(GetFileSecurityA) Call(GetSecurityDescriptorOwner) Call(GetSecurityDescriptorGroup)        \
    Call(EqualSid) Call(OpenProcessToken) Call(GetTokenInformation) Call(GetSecurityDescriptorDacl)  \
    Call(GetAce) Call(SetNamedSecurityInfoA)
// clang-format on

struct SecurityCalls {
#define TESSO_SECURITY_MEMBER(name) SystemCall<SystemFunction::name> name;
    TESSO_SECURITY_CALLS(TESSO_SECURITY_MEMBER)
#undef TESSO_SECURITY_MEMBER
    SystemCall<SystemFunction::SetSecurityDescriptorControl> SetSecurityDescriptorControl;  // 2000
};

// The set, or null on the 95 family or where one of them is missing (no NT system lacks one).
const SecurityCalls *Security() {
    static SecurityCalls calls;
    static int found;  // 0 not looked up yet, 1 complete, -1 incomplete
    if (!IsNt())
        return nullptr;
    if (!found) {
        int complete = 1;
#define TESSO_SECURITY_FIND(name)                                                                            \
    calls.name = FindSystemFunction<SystemFunction::name>();                                                 \
    complete &= calls.name != nullptr;
        TESSO_SECURITY_CALLS(TESSO_SECURITY_FIND)
#undef TESSO_SECURITY_FIND
        calls.SetSecurityDescriptorControl =
            FindSystemFunction<SystemFunction::SetSecurityDescriptorControl>();
        found = complete ? 1 : -1;
    }
    return found > 0 ? &calls : nullptr;
}

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
        if (FoldAsciiCase(path[0]) == 'u' && FoldAsciiCase(path[1]) == 'n' && FoldAsciiCase(path[2]) == 'c' &&
            path[3] == '\\')
            return 1;
    }
    if (!path[0] || path[1] != ':')
        return 0;
    char root[4] = {path[0], ':', '\\', 0};
    return GetDriveTypeA(root) == DRIVE_REMOTE;
}

// The answer for a drive letter is asked of the volume once per run and kept: under Wine each
// volume query is a round trip to the mount manager (about 1.5 ms), and every staged, installed and
// work file asks. A drive's file system and whether it is mapped to a share do not change under a
// running install that holds its folder open. Written by the staging threads too: each writes the
// same byte for a drive, so whichever writes first is right.
int AskVolume(const char *path) { return !OnNetworkVolume(path) && VolumeKeepsRights(path); }

int AppliesHere(const char *path) {
    if (!IsNtPlatform)
        return 0;
    static char knownDrives[26];  // 0 unknown, 1 keeps rights here, 2 not (zero before any code runs)
    unsigned index = static_cast<unsigned>(FoldAsciiCase(path[0]) - 'a');
    if (path[1] != ':' || index >= 26)
        return AskVolume(path);  // a share or a path without a drive letter: no volume is asked
    if (!knownDrives[index])
        knownDrives[index] = AskVolume(path) ? 1 : 2;
    return knownDrives[index] == 1;
}

// One kind of information about the setup's own token, into a block from malloc (null when it
// cannot be had): its size is asked first, so that no list is too long for it.
MallocBuffer<unsigned char> ReadToken(const SecurityCalls &calls, TOKEN_INFORMATION_CLASS kind) {
    KernelHandle token;
    DWORD needed = 0;
    if (!calls.OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive()))
        return MallocBuffer<unsigned char>(nullptr);
    calls.GetTokenInformation(token.get(), kind, nullptr, 0, &needed);
    MallocBuffer<unsigned char> block = AllocateBuffer<unsigned char>(needed ? needed : 1);
    if (block && !calls.GetTokenInformation(token.get(), kind, block.get(), needed, &needed))
        block.reset();
    return block;
}

// Whether sid is the account the setup runs as.
int IsRunningUser(PSID sid) {
    const SecurityCalls *calls = Security();
    if (!calls)
        return 0;
    MallocBuffer<unsigned char> user = ReadToken(*calls, TokenUser);
    return user && calls->EqualSid(sid, reinterpret_cast<TOKEN_USER *>(user.get())->User.Sid);
}

// SE_RESTORE_PRIVILEGE: the same number on every NT system (winnt.h's SE_ constants).
const DWORD kRestorePrivilege = 18;

// What the token holds that decides whether it may name Administrators as an owner (NT 3.1 and
// later give both kinds of information).
int ReadTokenMayNameAdministrators() {
    const SecurityCalls *calls = Security();
    if (!calls)
        return 0;
    unsigned long administrators = 0;
    int restore = 0;
    MallocBuffer<unsigned char> groups = ReadToken(*calls, TokenGroups);
    MallocBuffer<unsigned char> privileges = ReadToken(*calls, TokenPrivileges);
    const TOKEN_GROUPS *groupList = reinterpret_cast<const TOKEN_GROUPS *>(groups.get());
    for (DWORD i = 0; groupList && i < groupList->GroupCount; i++)
        if (calls->EqualSid(groupList->Groups[i].Sid, AsSid(kAdministratorsSid)))
            administrators = groupList->Groups[i].Attributes;
    const TOKEN_PRIVILEGES *privilegeList = reinterpret_cast<const TOKEN_PRIVILEGES *>(privileges.get());
    for (DWORD i = 0; privilegeList && i < privilegeList->PrivilegeCount; i++) {
        const LUID_AND_ATTRIBUTES &held = privilegeList->Privileges[i];
        if (held.Luid.HighPart == 0 && held.Luid.LowPart == kRestorePrivilege &&
            (held.Attributes & SE_PRIVILEGE_ENABLED))
            restore = 1;
    }
    return MayNameAdministratorsOwner(administrators, restore);
}

}  // namespace

int TokenNamesAdministrators;  // zero until read: no initialised data page for one flag

int TokenMayNameAdministrators() {
    if (!TokenNamesAdministrators)
        TokenNamesAdministrators = ReadTokenMayNameAdministrators() ? kTokenNamesThem : kTokenCannot;
    return TokenNamesAdministrators == kTokenNamesThem;
}

int BuildProgramDescriptor(ProgramDescriptor *program) {
    const SecurityCalls *calls = Security();
    if (!calls)
        return 0;
    PACL list = reinterpret_cast<PACL>(program->list);
    AccessEntry entries[kProgramAccessEntriesMax];
    int count = ProgramAccessEntries(RunningSystem, entries);
    // ACL_REVISION (2) entries carry no inheritance of their own: a file passes nothing on. A SID
    // of the application package authority is one like any other to AddAccessAllowedAce, which
    // checks only its form.
    if (!calls->InitializeSecurityDescriptor(&program->descriptor, SECURITY_DESCRIPTOR_REVISION) ||
        !calls->InitializeAcl(list, sizeof program->list, ACL_REVISION))
        return 0;
    for (int i = 0; i < count; i++)
        if (!calls->AddAccessAllowedAce(list, ACL_REVISION, entries[i].mask, AsSid(*entries[i].sid)))
            return 0;
    if (!calls->SetSecurityDescriptorDacl(&program->descriptor, TRUE, list, FALSE) ||
        !calls->SetSecurityDescriptorOwner(&program->descriptor, AsSid(kAdministratorsSid), FALSE))
        return 0;
    // Protected, the list takes in nothing the folder passes on, now or when an administrator
    // changes the folder's rights later (2000 and later propagate such changes). NT 4.0 has no
    // such control and needs none: it copies inheritable entries only when a file is created, so
    // an explicit list stays as it is set until an administrator replaces it.
    if (calls->SetSecurityDescriptorControl)
        calls->SetSecurityDescriptorControl(&program->descriptor, kDaclProtected, kDaclProtected);
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
    ProgramDescriptor program;
    if (!BuildProgramDescriptor(&program))
        return 0;
    // The owner becomes Administrators, so that no single account (on XP and earlier, the
    // installing administrator's own) keeps the owner's right to change the list again.
    if (Security()->SetFileSecurityA(path, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                     &program.descriptor))
        return 1;
    // Only a member of Administrators may name it the owner. Where no elevation is asked for (NT
    // 4.0 to XP) an ordinary user may run the setup into a folder of their own: the programs are
    // then theirs, and a list that shut them out would stop the install replacing them.
    return GetLastError() == ERROR_INVALID_OWNER;
}

int FolderOwnerTrusted(const char *folder) {
    if (!AppliesHere(folder))
        return kOwnerTrusted;
    const SecurityCalls *calls = Security();
    if (!calls)
        return kOwnerTrusted;  // every NT system has them
    DWORD descriptor[128];     // a self-relative descriptor with an owner only: at most 88 bytes
    DWORD needed = 0;
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    if (!calls->GetFileSecurityA(folder, OWNER_SECURITY_INFORMATION, descriptor, sizeof descriptor,
                                 &needed) ||
        !calls->GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) || !owner)
        return kOwnerOther;
    static const WellKnownSid *const kTrustedOwners[] = {&kAdministratorsSid, &kLocalSystemSid,
                                                         &kTrustedInstallerSid};
    for (const WellKnownSid *trusted : kTrustedOwners)
        if (calls->EqualSid(owner, AsSid(*trusted)))
            return kOwnerTrusted;
    if (!IsRunningUser(owner))
        return kOwnerOther;
    // The user's own folder passes on NT 4.0 to XP only (RunningUserOwnerTrusted says why): from
    // Vista on it is asked about, with a question of its own. A token that cannot name
    // Administrators as an owner is the user's unelevated one itself: it has nothing to fear from
    // programs that run as it does.
    return RunningUserOwnerTrusted(RunningSystem) || !TokenMayNameAdministrators() ? kOwnerTrusted
                                                                                   : kOwnerRunningUser;
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
// for the user and SYSTEM alone; one that lets other users in has an entry for Everyone. The folder
// an unelevated run makes (BuildPrivateDescriptor) names the same accounts.
int OnlyTrustedEntries(const SecurityCalls &calls, PACL list) {
    for (DWORD i = 0; i < list->AceCount; i++) {
        void *entry = nullptr;
        if (!calls.GetAce(list, i, &entry))
            return 0;
        PSID sid = &static_cast<ACCESS_ALLOWED_ACE *>(entry)->SidStart;
        if (!calls.EqualSid(sid, AsSid(kAdministratorsSid)) && !calls.EqualSid(sid, AsSid(kLocalSystemSid)) &&
            !IsRunningUser(sid))
            return 0;
    }
    return 1;
}

struct PrivateDescriptor {
    SECURITY_DESCRIPTOR descriptor;  // absolute: points at the list below and at a constant owner
    DWORD list[48];                  // three entries of at most 76 bytes, DWORD-aligned
};

// Adds an allowed entry that files and folders made below inherit. AddAccessAllowedAce takes no
// inheritance flags (its Ex form is from 2000), so they are set on the entry after it is added:
// ACL_REVISION entries with the flags are what NT 4.0 itself writes.
int AddInheritedEntry(const SecurityCalls &calls, PACL list, DWORD mask, PSID sid) {
    void *entry = nullptr;
    if (!calls.AddAccessAllowedAce(list, ACL_REVISION, mask, sid) ||
        !calls.GetAce(list, list->AceCount - 1, &entry))
        return 0;
    static_cast<ACE_HEADER *>(entry)->AceFlags = kFolderAndFiles;
    return 1;
}

// Owner Administrators where the token may name them; else (an unelevated run, which no system
// before Vista asks to elevate) the running user, the token's default owner, with an entry of its
// own beside the administrators' and SYSTEM's, so that no other user can write there either.
int BuildPrivateDescriptor(const SecurityCalls &calls, PrivateDescriptor *built, int administratorsOwn) {
    PACL list = reinterpret_cast<PACL>(built->list);
    if (!calls.InitializeSecurityDescriptor(&built->descriptor, SECURITY_DESCRIPTOR_REVISION) ||
        !calls.InitializeAcl(list, sizeof built->list, ACL_REVISION))
        return 0;
    for (const WellKnownSid *writer : kWorkFolderWriters)
        if (!AddInheritedEntry(calls, list, FILE_ALL_ACCESS, AsSid(*writer)))
            return 0;
    if (!administratorsOwn) {
        MallocBuffer<unsigned char> user = ReadToken(calls, TokenUser);
        if (!user || !AddInheritedEntry(calls, list, FILE_ALL_ACCESS,
                                        reinterpret_cast<TOKEN_USER *>(user.get())->User.Sid))
            return 0;
    }
    if (!calls.SetSecurityDescriptorDacl(&built->descriptor, TRUE, list, FALSE) ||
        (administratorsOwn &&
         !calls.SetSecurityDescriptorOwner(&built->descriptor, AsSid(kAdministratorsSid), FALSE)))
        return 0;
    if (calls.SetSecurityDescriptorControl)  // 2000 and later, as above
        calls.SetSecurityDescriptorControl(&built->descriptor, kDaclProtected, kDaclProtected);
    return 1;
}

}  // namespace

// Made with its rights in one step, so that there is no moment at which it has the install
// folder's; set once more after (Wine 8 keeps no descriptor given when a folder is made, only one set
// on it afterwards; on Windows the second call changes nothing). Only a token that may name
// Administrators as the owner makes it theirs: an unelevated one makes it the user's
// (BuildPrivateDescriptor). The 95 family and volumes without access lists get a plain folder.
int MakePrivateFolder(const char *path) {
    PrivateDescriptor built;
    if (!AppliesHere(path))
        return CreateDirectoryA(path, nullptr) != 0;
    const SecurityCalls *calls = Security();
    int administratorsOwn = TokenMayNameAdministrators();
    if (!calls || !BuildPrivateDescriptor(*calls, &built, administratorsOwn))
        return 0;
    SECURITY_INFORMATION parts =
        DACL_SECURITY_INFORMATION | (administratorsOwn ? OWNER_SECURITY_INFORMATION : 0);
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, &built.descriptor, FALSE};
    if (!CreateDirectoryA(path, &attributes)) {
        // A token whose Administrators group may not be made an owner after all: the user's folder.
        if (!administratorsOwn || GetLastError() != ERROR_INVALID_OWNER ||
            !BuildPrivateDescriptor(*calls, &built, 0) || !CreateDirectoryA(path, &attributes))
            return 0;
        parts = DACL_SECURITY_INFORMATION;
    }
    // Wine turns a list into Unix mode bits: an entry for a SID of the running token gives the owner
    // and the group the same bits (mode 0770, which a setgid folder's group then shares), and only an
    // entry for the owner named in the descriptor, when that owner is not in the token, gives the
    // owner's bits alone. SYSTEM is in no Wine token: named owner there (Wine keeps no owner, it only
    // computes the mode), the list's SYSTEM entry makes the folder 0700.
    if (RunningUnderWine()) {
        built.descriptor.Owner = AsSid(kLocalSystemSid);
        parts |= OWNER_SECURITY_INFORMATION;
    }
    if (calls->SetFileSecurityA(path, parts, &built.descriptor))
        return 1;
    RemoveDirectoryA(path);
    return 0;
}

// Owner Administrators, and exactly the entries MakePrivateFolder gives, in its order: anything
// more (an entry a user added, or one inherited because the list was made unprotected) or less
// makes it someone else's folder. A folder of the running user's is what an unelevated run makes,
// trusted by such a run alone (an elevated one would have made it the administrators'), and only
// with entries for no one else.
int PrivateFolderTrusted(const char *path) {
    if (!AppliesHere(path))
        return 1;
    const SecurityCalls *calls = Security();
    if (!calls)
        return 0;
    DWORD descriptor[256];  // owner and a list of a few entries: far less than 1 KB
    DWORD needed = 0;
    PSID owner = nullptr;
    PACL list = nullptr;
    BOOL defaulted = FALSE, present = FALSE;
    if (!calls->GetFileSecurityA(path, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, descriptor,
                                 sizeof descriptor, &needed) ||
        !calls->GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) || !owner)
        return 0;
    if (!calls->GetSecurityDescriptorDacl(descriptor, &present, &list, &defaulted) || !present || !list)
        return 0;
    if (!calls->EqualSid(owner, AsSid(kAdministratorsSid)))
        return IsRunningUser(owner) && (!TokenMayNameAdministrators() || RunningUnderWine()) &&
               OnlyTrustedEntries(*calls, list);
    const DWORD kWriters = sizeof kWorkFolderWriters / sizeof kWorkFolderWriters[0];
    if (list->AceCount != kWriters)
        return 0;
    for (DWORD i = 0; i < kWriters; i++) {
        void *entry = nullptr;
        if (!calls->GetAce(list, i, &entry))
            return 0;
        ACCESS_ALLOWED_ACE *allowed = static_cast<ACCESS_ALLOWED_ACE *>(entry);
        if (allowed->Header.AceType != ACCESS_ALLOWED_ACE_TYPE ||
            (allowed->Header.AceFlags & ~INHERITED_ACE) != kFolderAndFiles ||
            allowed->Mask != FILE_ALL_ACCESS ||
            !calls->EqualSid(&allowed->SidStart, AsSid(*kWorkFolderWriters[i])))
            return 0;
    }
    return 1;
}

namespace {

// A self-relative descriptor of path holding the parts asked for, in a block from malloc sized to
// what the system says it needs (no list is too long); null when it cannot be read.
MallocBuffer<unsigned char> ReadDescriptor(const SecurityCalls &calls, const char *path,
                                           SECURITY_INFORMATION parts) {
    DWORD needed = 0;
    calls.GetFileSecurityA(path, parts, nullptr, 0, &needed);
    MallocBuffer<unsigned char> block = AllocateBuffer<unsigned char>(needed ? needed : 1);
    if (block && !calls.GetFileSecurityA(path, parts, block.get(), needed, &needed))
        block.reset();
    return block;
}

// NT 4.0 copies inheritable entries only when a file is created and knows no request to inherit
// later: the file gets the list NT 4.0 would have given it had it been made in its folder
// (InheritedFileList), from the folder's list, the file's owner and group and the token's default
// list.
int TakeFolderRightsAsNt4(const SecurityCalls &calls, const char *path) {
    char folder[kPathBufferSize];
    const char *separator = LastSeparator(path);
    if (!separator)
        return 0;
    FormatText(folder, sizeof folder, "%.*s", static_cast<int>(separator - path), path);
    MallocBuffer<unsigned char> folderDescriptor = ReadDescriptor(calls, folder, DACL_SECURITY_INFORMATION);
    MallocBuffer<unsigned char> fileDescriptor =
        ReadDescriptor(calls, path, OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION);
    MallocBuffer<unsigned char> defaults = ReadToken(calls, TokenDefaultDacl);
    PACL folderList = nullptr;
    PSID owner = nullptr, group = nullptr;
    BOOL present = FALSE, defaulted = FALSE;
    if (!folderDescriptor || !fileDescriptor || !defaults ||
        !calls.GetSecurityDescriptorDacl(folderDescriptor.get(), &present, &folderList, &defaulted) ||
        !calls.GetSecurityDescriptorOwner(fileDescriptor.get(), &owner, &defaulted) || !owner ||
        !calls.GetSecurityDescriptorGroup(fileDescriptor.get(), &group, &defaulted))
        return 0;
    FileListSources sources = {present ? reinterpret_cast<unsigned char *>(folderList) : nullptr,
                               static_cast<unsigned char *>(owner), static_cast<unsigned char *>(group),
                               reinterpret_cast<unsigned char *>(
                                   reinterpret_cast<TOKEN_DEFAULT_DACL *>(defaults.get())->DefaultDacl)};
    long bytes = InheritedFileList(sources, nullptr, 0);
    MallocBuffer<unsigned char> list = AllocateBuffer<unsigned char>(bytes > 0 ? bytes : 1);
    SECURITY_DESCRIPTOR descriptor;
    if (bytes < 0 || !list || InheritedFileList(sources, list.get(), bytes) != bytes ||
        !calls.InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) ||
        !calls.SetSecurityDescriptorDacl(&descriptor, TRUE,
                                         bytes ? reinterpret_cast<PACL>(list.get()) : nullptr, FALSE))
        return 0;
    return calls.SetFileSecurityA(path, DACL_SECURITY_INFORMATION, &descriptor);  // no list: everyone
}

}  // namespace

// 2000 and later compute inherited entries themselves: a list set unprotected through
// SetNamedSecurityInfoA takes the folder's inheritable entries, marked as inherited, so that later
// changes to the folder's rights reach the file too. NT 4.0 knows no such request: there the list
// is computed as NT 4.0 computes it (TakeFolderRightsAsNt4). Wine computes no inherited entries
// and keeps a list only as the Unix mode: the empty list would leave the file to root alone, so
// there the file keeps the mode it was made with (from the user's umask, as the folder's was).
int TakeFolderRights(const char *path) {
    if (!AppliesHere(path) || RunningUnderWine())
        return 1;
    const SecurityCalls *calls = Security();
    if (!calls)
        return 0;
    if (!AtLeast2000())  // chosen by the version: Wine exports what 2000 brought in every mode
        return TakeFolderRightsAsNt4(*calls, path);
    DWORD empty[2];  // an ACL header and no entry
    PACL list = reinterpret_cast<PACL>(empty);
    return calls->InitializeAcl(list, sizeof empty, ACL_REVISION) &&
           calls->SetNamedSecurityInfoA(const_cast<char *>(path), SE_FILE_OBJECT,
                                        DACL_SECURITY_INFORMATION | UNPROTECTED_DACL_SECURITY_INFORMATION,
                                        nullptr, nullptr, list, nullptr) == ERROR_SUCCESS;
}

// A folder the setup makes takes its list from its parent. Owner Administrators, where the token
// may name them, so that no single account (the installing one, on XP and on Vista and later
// without UAC) keeps the owner's right to change its list, and the next administrator's upgrade is
// asked nothing about it. SetFileSecurityA with the owner alone changes nothing else, on NT 4.0 as
// on 11. 1 = done, or nothing to do.
int OwnMadeFolder(const char *path) {
    const SecurityCalls *calls = Security();
    SECURITY_DESCRIPTOR descriptor;
    if (!AppliesHere(path) || !TokenMayNameAdministrators())
        return 1;
    return calls && calls->InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
           calls->SetSecurityDescriptorOwner(&descriptor, AsSid(kAdministratorsSid), FALSE) &&
           calls->SetFileSecurityA(path, OWNER_SECURITY_INFORMATION, &descriptor);
}

// The sandboxed-app groups (Windows 8 and later) are let read and run what is in a folder the
// setup makes, data files included, as the programs' own lists let them: the engine's hook inside
// a sandboxed app reads its dictionaries there. Set unprotected (2000 and later), the explicit
// entries stand before those the folder inherits, which stay. 1 = done, or nothing to do.
int OpenMadeFolderToSandboxes(const char *path) {
    AccessEntry entries[kProgramAccessEntriesMax];
    int count = SandboxAccessEntries(RunningSystem, entries);
    const SecurityCalls *calls = Security();
    if (!AppliesHere(path) || !AtLeastWindows8() || count == 0)
        return 1;
    DWORD built[48];  // a header and at most two entries of 24 bytes
    PACL list = reinterpret_cast<PACL>(built);
    if (!calls || !calls->InitializeAcl(list, sizeof built, ACL_REVISION))
        return 0;
    for (int i = 0; i < count; i++)
        if (!AddInheritedEntry(*calls, list, entries[i].mask, AsSid(*entries[i].sid)))
            return 0;
    return calls->SetNamedSecurityInfoA(const_cast<char *>(path), SE_FILE_OBJECT,
                                        DACL_SECURITY_INFORMATION | UNPROTECTED_DACL_SECURITY_INFORMATION,
                                        nullptr, nullptr, list, nullptr) == ERROR_SUCCESS;
}

// An unelevated run cannot replace what an elevated one installed: the folder of an earlier
// install is the administrators' (or the system's), and so are its programs' lists.
int NeedsAdministratorRights(const char *folder) {
    const SecurityCalls *calls = Security();
    if (!AppliesHere(folder) || !calls || TokenMayNameAdministrators())
        return 0;
    MallocBuffer<unsigned char> descriptor = ReadDescriptor(*calls, folder, OWNER_SECURITY_INFORMATION);
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    if (!descriptor || !calls->GetSecurityDescriptorOwner(descriptor.get(), &owner, &defaulted) || !owner)
        return 0;  // a new folder, or one the trust check asks about
    return calls->EqualSid(owner, AsSid(kAdministratorsSid)) ||
           calls->EqualSid(owner, AsSid(kLocalSystemSid)) ||
           calls->EqualSid(owner, AsSid(kTrustedInstallerSid));
}
