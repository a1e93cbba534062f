// An install folder that exists already and that someone else could control: the real setup asks
// before anything changes, Cancel leaves the folder as it was, OK installs.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "base/resource_ids.h"
#include "setup_fixture.h"
#include "wine_helpers.h"
#include "wizard_walk.h"

namespace {

using namespace driver;

const char kSuccess[] = "Congratulations! Installation Success!";

// The names in a folder ("." and ".." left out).
std::string Listing(const std::string &folder) {
    std::string names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
        if (std::string(found.cFileName) != "." && std::string(found.cFileName) != "..")
            names += std::string(found.cFileName) + " ";
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    return names;
}

// The Windows version the setup sees while this lives: Wine's per-program setting, which
// run-under-wine.sh --windows-version gives a whole run.
class SetupSeesVersion {
  public:
    explicit SetupSeesVersion(const std::string &version) {
        RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\TessoSetup.exe", &key_);
        RegSetValueExA(key_, "Version", 0, REG_SZ, reinterpret_cast<const BYTE *>(version.c_str()),
                       static_cast<DWORD>(version.size() + 1));
    }
    ~SetupSeesVersion() {
        RegDeleteValueA(key_, "Version");
        RegCloseKey(key_);
    }

  private:
    HKEY key_ = nullptr;
};

class FolderTrust : public SetupTest {
  protected:
    // The English line of the next message box, answered after a screenshot named `shot`.
    std::string NextMessage(int answer, const std::string &shot = "") {
        HWND box = WaitForMessage(setup_, 15000);
        if (!box)
            return "(no message)";
        std::string english = MessageEnglish(box);
        if (!shot.empty())
            SaveScreenshot(box, shot);
        AnswerMessage(box, answer);
        return english;
    }
};

// As XP sees it, where the user's own folder passes (from Vista on, the test's folder would be
// asked about first: see driver::kOwnerQuestion).
TEST_F(FolderTrust, PlantedDllIsNamedCancelChangesNothingAndOkInstalls) {
    SetupSeesVersion xp("winxp");
    std::string folder = FreshFolder("planted");
    WriteWhole(folder + "\\version.dll", "planted");
    const std::string question = "version.dll here is not part of Tesso and could run with its programs. OK "
                                 "installs anyway; Cancel quits, changing nothing.";
    WalkToInstall(folder);
    EXPECT_EQ(NextMessage(IDC_CANCEL, "foreign-code-question"), question);
    EXPECT_EQ(WaitForExit(&setup_), 0);
    EXPECT_EQ(Listing(folder), "version.dll ");
    EXPECT_EQ(ReadWhole(folder + "\\version.dll"), "planted");

    WalkToInstall(folder);
    EXPECT_EQ(NextMessage(IDC_CONFIRM), question);
    EXPECT_EQ(NextMessage(IDC_CONFIRM), kSuccess);
    EXPECT_EQ(WaitForExit(&setup_), 0);
    EXPECT_EQ(FileSize(folder + "\\TSO.exe"), 1396736);
    EXPECT_EQ(ReadWhole(folder + "\\version.dll"), "planted");  // the user's to remove
}

// A folder the setup makes, and an earlier install of the product in it, raise no question on NT
// 4.0 to XP, where what the administrator makes is the administrator's own (the first question an
// install over it asks is the word base's). From Vista on only Administrators, SYSTEM and
// TrustedInstaller pass: a folder of the installing user, as Wine makes every folder, is asked
// about, and Cancel changes nothing.
TEST_F(FolderTrust, EarlierInstallAsksNothingOnXpButItsOwnerFromVista) {
    std::string folder = FreshFolder("earlier") + "\\Tesso";
    WalkToInstall(folder);
    EXPECT_EQ(NextMessage(IDC_CONFIRM), kSuccess);
    EXPECT_EQ(WaitForExit(&setup_), 0);
    std::string installed = Listing(folder);
    WalkToInstall(folder);  // the prefix's own version, 7
    EXPECT_EQ(NextMessage(IDC_CANCEL), kOwnerQuestion);
    EXPECT_EQ(WaitForExit(&setup_), 0);
    EXPECT_EQ(Listing(folder), installed);

    SetupSeesVersion xp("winxp");
    CreateDirectoryA((folder + "\\TSO.exe.local").c_str(), nullptr);
    WalkToInstall(folder);
    EXPECT_EQ(NextMessage(IDC_CANCEL).find("TSO.exe.local here is not part of Tesso"), 0u);
    EXPECT_EQ(WaitForExit(&setup_), 0);
    RemoveDirectoryA((folder + "\\TSO.exe.local").c_str());
    WalkToInstall(folder);
    EXPECT_EQ(NextMessage(IDC_YES_BUTTON), "Old CiKu (Word Base) is detected. Replace it with new CiKu?");
    EXPECT_EQ(NextMessage(IDC_CONFIRM), kSuccess);
    EXPECT_EQ(WaitForExit(&setup_), 0);
}

// Runs started unelevated, as a standard user's (or one run as invoker) are from Vista on: a token
// with Administrators for denying only and no privileges, which Wine never gives by itself.
class Unelevated : public FolderTrust {
  protected:
    static DWORD administrators_[4];
    void SetUp() override {
        SID_AND_ATTRIBUTES denyOnly = {administrators_, 0};
        HANDLE own = nullptr;
        OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, &own);
        ASSERT_TRUE(CreateRestrictedToken(own, DISABLE_MAX_PRIVILEGE, 1, &denyOnly, 0, nullptr, 0, nullptr,
                                          &SetupToken));
        CloseHandle(own);
    }
    void TearDown() override {
        FolderTrust::TearDown();
        CloseHandle(SetupToken);
        SetupToken = nullptr;
    }
    // The folder's list: everyone may read and run what is in it, or (null) do anything.
    static bool SetFolderList(const std::string &folder, DWORD readAndRun) {
        static DWORD everyone[3] = {0x101, 0x01000000, SECURITY_WORLD_RID}, list[32];
        SECURITY_DESCRIPTOR descriptor;
        InitializeAcl(reinterpret_cast<PACL>(list), sizeof list, ACL_REVISION);
        AddAccessAllowedAce(reinterpret_cast<PACL>(list), ACL_REVISION, readAndRun, everyone);
        InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
        SetSecurityDescriptorDacl(&descriptor, TRUE, readAndRun ? reinterpret_cast<PACL>(list) : nullptr,
                                  FALSE);
        return SetFileSecurityA(folder.c_str(), DACL_SECURITY_INFORMATION, &descriptor) != 0;
    }
};

DWORD Unelevated::administrators_[4] = {0x201, 0x05000000, SECURITY_BUILTIN_DOMAIN_RID,
                                        DOMAIN_ALIAS_RID_ADMINS};

// A new folder: its work folder of its own is trusted by the token, and it installs.
TEST_F(Unelevated, InstallsIntoANewFolder) {
    std::string folder = FreshFolder("unelevated") + "\\Tesso";
    WalkToInstall(folder);
    HANDLE token = nullptr;  // the setup runs with Administrators for denying only
    DWORD groups[256], size = 0;
    OpenProcessToken(setup_.process.hProcess, TOKEN_QUERY, &token);
    ASSERT_TRUE(GetTokenInformation(token, TokenGroups, groups, sizeof groups, &size));
    CloseHandle(token);
    const TOKEN_GROUPS *list = reinterpret_cast<const TOKEN_GROUPS *>(groups);
    for (DWORD i = 0; i < list->GroupCount; i++)
        if (EqualSid(list->Groups[i].Sid, administrators_))
            EXPECT_EQ(list->Groups[i].Attributes & SE_GROUP_ENABLED, 0u);
    EXPECT_EQ(NextMessage(IDC_CONFIRM), kSuccess);
    EXPECT_EQ(WaitForExit(&setup_), 0);
    EXPECT_EQ(FileSize(folder + "\\TSO.exe"), 1396736);
}

// The folder of an elevated install, which the user may read and run but not change (Wine keeps
// that as the Unix write bits, which bind an ordinary user only), and a new folder in it: the setup
// says it needs administrator rights before anything changes, and leaves nothing behind.
TEST_F(Unelevated, SaysItNeedsAdministratorRightsWhereItCannotWrite) {
    std::string folder = FreshFolder("elevated");
    WriteWhole(folder + "\\TSO.exe", "an elevated install's engine");
    ASSERT_TRUE(SetFolderList(folder, GENERIC_READ | GENERIC_EXECUTE));
    bool written = CreateDirectoryA((folder + "\\probe").c_str(), nullptr);
    const char needsRights[] = "Installing into this folder needs administrator rights. Run the setup as an "
                               "administrator, or choose a folder of your own.";
    if (!written) {
        WalkToInstall(folder);
        EXPECT_EQ(NextMessage(IDC_CONFIRM, "needs-administrator"), needsRights);
        EXPECT_EQ(WaitForExit(&setup_), 0);
        WalkToInstall(folder + "\\Tesso");  // a new folder there: another can be chosen
        EXPECT_EQ(NextMessage(IDC_CONFIRM), needsRights);
        EXPECT_TRUE(WaitForPage(setup_.wizard, 0));
        TerminateProcess(setup_.process.hProcess, 0);
        EXPECT_EQ(Listing(folder), "TSO.exe ");
    }
    RemoveDirectoryA((folder + "\\probe").c_str());
    SetFolderList(folder, 0);  // so that the run's scratch folder can be removed
    if (written)
        GTEST_SKIP() << "root writes any folder: run as an ordinary user (wine.ordinary_user)";
}

// A folder another Unix user owns, which Wine reports as owned by a SID that is neither the user's
// nor Administrators' (tests/wine/with-foreign-folder.sh makes it).
TEST_F(FolderTrust, FolderOfAnotherUserCancelChangesNothing) {
    std::string folder = Environment("TESSO_FOREIGN_FOLDER");
    if (folder.empty())
        GTEST_SKIP() << "no folder of another user: only root can make one";
    WalkToInstall(folder);
    EXPECT_EQ(NextMessage(IDC_CANCEL, "foreign-owner-question"),
              "Another user owns this folder and could change the programs put in it. OK installs anyway; "
              "Cancel quits, changing nothing.");
    EXPECT_EQ(WaitForExit(&setup_), 0);
    EXPECT_EQ(Listing(folder), "");
}

}  // namespace
