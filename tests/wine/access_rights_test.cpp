// The access rights the setup gives installed programs on the NT family, checked with AccessCheck
// against the token of an ordinary user: the administrators' own token with Administrators made
// deny-only (CreateRestrictedToken, looked up: it is Windows 2000 and later). Wine does not enforce
// access rights on files, and Debian's Wine keeps no descriptor once a file is closed (it turns the
// list into Unix mode bits): the descriptors read back after an install are checked only where the
// system keeps them.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "base/setup_state_win32.h"
#include "install/install_sequence.h"
#include "landing/access_rights.h"
#include "landing/access_rights_win32.h"
#include "landing/program_files.h"
#include "payload/payload_catalogue.h"
#include "wine_helpers.h"

namespace {

struct Sid {
    explicit Sid(BYTE authority, BYTE count, DWORD a, DWORD b = 0) {
        SID_IDENTIFIER_AUTHORITY id = {{0, 0, 0, 0, 0, authority}};
        AllocateAndInitializeSid(&id, count, a, b, 0, 0, 0, 0, 0, 0, &sid);
    }
    ~Sid() { FreeSid(sid); }
    PSID sid = nullptr;
};
const Sid kAdministrators(5, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS);
const Sid kSystem(5, 1, SECURITY_LOCAL_SYSTEM_RID);
const Sid kEveryone(1, 1, SECURITY_WORLD_RID);
const Sid kAuthenticatedUsers(5, 1, SECURITY_AUTHENTICATED_USER_RID);

const DWORD kReadAndExecute = FILE_GENERIC_READ | FILE_GENERIC_EXECUTE;
// Every right that changes, renames or deletes a file or its rights.
const DWORD kChangeRights[] = {FILE_WRITE_DATA, FILE_APPEND_DATA, FILE_WRITE_EA, FILE_WRITE_ATTRIBUTES,
                               DELETE,          WRITE_DAC,        WRITE_OWNER};

// Impersonation tokens: the process's own (an administrator's under Wine), and the same with
// Administrators deny-only, as an ordinary user's token holds no Administrators.
HANDLE ImpersonationToken(bool ordinary) {
    HANDLE process = nullptr, token = nullptr, impersonation = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, &process))
        return nullptr;
    if (ordinary) {
        typedef BOOL(WINAPI * CreateRestrictedTokenCall)(HANDLE, DWORD, DWORD, PSID_AND_ATTRIBUTES, DWORD,
                                                         PLUID_AND_ATTRIBUTES, DWORD, PSID_AND_ATTRIBUTES,
                                                         PHANDLE);
        auto create = reinterpret_cast<CreateRestrictedTokenCall>(reinterpret_cast<void *>(
            GetProcAddress(GetModuleHandleA("advapi32.dll"), "CreateRestrictedToken")));
        SID_AND_ATTRIBUTES denyOnly = {kAdministrators.sid, 0};
        if (!create || !create(process, 0, 1, &denyOnly, 0, nullptr, 0, nullptr, &token))
            token = nullptr;
        CloseHandle(process);
    } else
        token = process;
    if (token && !DuplicateToken(token, SecurityImpersonation, &impersonation))
        impersonation = nullptr;
    if (token)
        CloseHandle(token);
    return impersonation;
}

// Whether the token is granted every right asked for, by the descriptor (which must have an owner
// and a group).
bool Granted(PSECURITY_DESCRIPTOR descriptor, HANDLE token, DWORD wanted) {
    GENERIC_MAPPING mapping = {FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE, FILE_ALL_ACCESS};
    PRIVILEGE_SET privileges;
    DWORD privilegesLength = sizeof privileges, granted = 0;
    BOOL status = FALSE;
    if (!AccessCheck(descriptor, token, wanted, &mapping, &privileges, &privilegesLength, &granted,
                     &status)) {
        ADD_FAILURE() << "AccessCheck failed: " << GetLastError();
        return false;
    }
    return status && granted == wanted;
}

std::vector<char> ReadDescriptor(const std::string &path) {
    std::vector<char> descriptor(4096);
    DWORD needed = 0;
    SECURITY_INFORMATION what =
        OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    if (!GetFileSecurityA(path.c_str(), what, descriptor.data(), descriptor.size(), &needed))
        descriptor.clear();
    return descriptor;
}

struct Entry {
    BYTE type, flags;
    DWORD mask;
    PSID sid;
};

// The entries of a descriptor's list, in order; none when it has no list.
std::vector<Entry> Entries(PSECURITY_DESCRIPTOR descriptor) {
    std::vector<Entry> entries;
    BOOL present = FALSE, defaulted = FALSE;
    PACL list = nullptr;
    if (!GetSecurityDescriptorDacl(descriptor, &present, &list, &defaulted) || !present || !list)
        return entries;
    for (DWORD i = 0; i < list->AceCount; i++) {
        ACCESS_ALLOWED_ACE *ace = nullptr;
        if (GetAce(list, i, reinterpret_cast<void **>(&ace)))
            entries.push_back({ace->Header.AceType, ace->Header.AceFlags, ace->Mask, &ace->SidStart});
    }
    return entries;
}

void ExpectProgramDescriptor(PSECURITY_DESCRIPTOR descriptor, const std::string &what) {
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ASSERT_TRUE(GetSecurityDescriptorControl(descriptor, &control, &revision)) << what;
    EXPECT_TRUE(control & SE_DACL_PRESENT) << what;
    EXPECT_TRUE(control & SE_DACL_PROTECTED) << what;
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    ASSERT_TRUE(GetSecurityDescriptorOwner(descriptor, &owner, &defaulted)) << what;
    EXPECT_TRUE(owner && EqualSid(owner, kAdministrators.sid)) << what;
    // The first three on every system; the sandboxed apps' groups where this one knows them (the
    // table itself is checked per system by the host tests).
    std::vector<Entry> entries = Entries(descriptor);
    AccessEntry expected[kProgramAccessEntriesMax];
    int count = ProgramAccessEntries(RunningSystem, expected);
    ASSERT_GE(count, 3) << what;
    ASSERT_EQ(entries.size(), static_cast<size_t>(count)) << what;
    const PSID sids[] = {kAdministrators.sid, kSystem.sid, kEveryone.sid};
    const DWORD masks[] = {FILE_ALL_ACCESS, FILE_ALL_ACCESS, kReadAndExecute};
    for (int i = 0; i < count; i++) {
        EXPECT_EQ(entries[i].type, ACCESS_ALLOWED_ACE_TYPE) << what << " entry " << i;
        EXPECT_EQ(entries[i].flags, 0) << what << " entry " << i;  // neither inherited nor inheritable
        EXPECT_EQ(entries[i].mask, i < 3 ? masks[i] : kReadAndExecute) << what << " entry " << i;
        EXPECT_TRUE(EqualSid(entries[i].sid, i < 3 ? sids[i] : const_cast<WellKnownSid *>(expected[i].sid)))
            << what << " entry " << i;
    }
}

class ProgramRights : public ::testing::Test {
  protected:
    void SetUp() override {
        IsNtPlatform = 1;
        ordinary_ = ImpersonationToken(true);
        administrator_ = ImpersonationToken(false);
        ASSERT_NE(ordinary_, nullptr);
        ASSERT_NE(administrator_, nullptr);
    }
    void TearDown() override {
        CloseHandle(ordinary_);
        CloseHandle(administrator_);
        IsNtPlatform = 0;
    }
    HANDLE ordinary_ = nullptr, administrator_ = nullptr;
};

// The descriptor SetFileSecurityA is given for every program: an ordinary user may read and run
// the program and nothing else; the administrators may do everything.
TEST_F(ProgramRights, OnlyAdministratorsAndSystemMayChangeAProgram) {
    ProgramDescriptor program;
    ASSERT_TRUE(BuildProgramDescriptor(&program));
    ExpectProgramDescriptor(&program.descriptor, "built");
    ASSERT_TRUE(SetSecurityDescriptorGroup(&program.descriptor, kAdministrators.sid,
                                           FALSE));  // AccessCheck needs one
    EXPECT_TRUE(Granted(&program.descriptor, ordinary_, kReadAndExecute));
    EXPECT_TRUE(Granted(&program.descriptor, administrator_, FILE_ALL_ACCESS));
    for (DWORD right : kChangeRights)
        EXPECT_FALSE(Granted(&program.descriptor, ordinary_, right)) << std::hex << right;

    // The same token may write a file whose list is what a data file inherits in a folder at the
    // root of a Vista or later system drive (every signed-in user may modify it): it is refused the
    // program's rights for the program's list, not for being refused everything.
    std::vector<DWORD> buffer(64);
    PACL inherited = reinterpret_cast<PACL>(buffer.data());
    ASSERT_TRUE(InitializeAcl(inherited, buffer.size() * sizeof(DWORD), ACL_REVISION));
    AddAccessAllowedAceEx(inherited, ACL_REVISION, INHERITED_ACE, FILE_ALL_ACCESS, kAdministrators.sid);
    AddAccessAllowedAceEx(inherited, ACL_REVISION, INHERITED_ACE, FILE_ALL_ACCESS, kSystem.sid);
    AddAccessAllowedAceEx(inherited, ACL_REVISION, INHERITED_ACE,
                          FILE_GENERIC_READ | FILE_GENERIC_WRITE | FILE_GENERIC_EXECUTE | DELETE,
                          kAuthenticatedUsers.sid);
    SECURITY_DESCRIPTOR data;
    InitializeSecurityDescriptor(&data, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&data, TRUE, inherited, FALSE);
    SetSecurityDescriptorOwner(&data, kAdministrators.sid, FALSE);
    SetSecurityDescriptorGroup(&data, kAdministrators.sid, FALSE);
    EXPECT_TRUE(Granted(&data, ordinary_, FILE_WRITE_DATA));
}

// Whether this system keeps a file's descriptor once the file is closed (Windows does, Debian's
// Wine does not).
bool KeepsDescriptors(const std::string &folder) {
    std::string probe = folder + "\\probe.exe";
    WriteWhole(probe, "probe");
    ProgramDescriptor program;
    bool kept = BuildProgramDescriptor(&program) &&
                SetFileSecurityA(probe.c_str(), DACL_SECURITY_INFORMATION, &program.descriptor);
    std::vector<char> back = ReadDescriptor(probe);
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    kept = kept && !back.empty() && GetSecurityDescriptorControl(back.data(), &control, &revision) &&
           (control & SE_DACL_PROTECTED) && Entries(back.data()).size() >= 3;
    DeleteFileA(probe.c_str());
    return kept;
}

// A whole install: every program's rights are set (a failure would leave the install incomplete),
// and, where the system keeps them, read back entry by entry. Data files carry no list of their
// own: every entry they have is inherited, and an ordinary user may write the dictionaries.
TEST_F(ProgramRights, InstallSetsThemOnEveryProgramAndOnNoDataFile) {
    std::string folder = UseFreshInstallFolder("rights");
    WantDesktopIcons = 0;
    WantAutoStart = 0;
    ASSERT_EQ(RunInstallInWorkFolder(), kInstallSucceeded) << (FirstUnwrittenFile ? FirstUnwrittenFile : "");
    if (!KeepsDescriptors(folder))
        GTEST_SKIP()
            << "this system keeps no descriptor on a closed file (Debian's Wine maps it to mode bits)";
    for (int i = 0; i < PayloadCatalogueCount; i++) {
        const PayloadEntry &entry = PayloadCatalogue[i];
        std::vector<char> descriptor = ReadDescriptor(folder + "\\" + PayloadFile(&entry));
        ASSERT_FALSE(descriptor.empty()) << PayloadFile(&entry);
        if (IsProgramKind(PayloadKind(&entry))) {
            ExpectProgramDescriptor(descriptor.data(), PayloadFile(&entry));
            for (DWORD right : kChangeRights)
                EXPECT_FALSE(Granted(descriptor.data(), ordinary_, right))
                    << PayloadFile(&entry) << " " << right;
            continue;
        }
        SECURITY_DESCRIPTOR_CONTROL control = 0;
        DWORD revision = 0;
        GetSecurityDescriptorControl(descriptor.data(), &control, &revision);
        EXPECT_FALSE(control & SE_DACL_PROTECTED) << PayloadFile(&entry);
        for (const Entry &ace : Entries(descriptor.data()))
            EXPECT_TRUE(ace.flags & INHERITED_ACE) << PayloadFile(&entry);
    }
    EXPECT_TRUE(Granted(ReadDescriptor(folder + "\\sort.dic").data(), ordinary_, FILE_WRITE_DATA));
}

// The 95 family has no access rights: nothing is set, and that is no failure.
TEST(ProgramRightsOn95, NothingIsSet) {
    IsNtPlatform = 0;
    std::string file = FreshFolder("rights-95") + "\\TSO.exe";
    WriteWhole(file, "engine");
    std::vector<char> before = ReadDescriptor(file);
    EXPECT_EQ(ProtectProgramFile(file.c_str()), 1);
    EXPECT_EQ(ReadDescriptor(file), before);
    ProgramDescriptor program;
    EXPECT_EQ(BuildProgramDescriptor(&program), 0);
}

}  // namespace
