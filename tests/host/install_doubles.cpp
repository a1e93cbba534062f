#include "install_doubles.h"

#include <sys/stat.h>

#include <cstdio>
#include <mutex>

#include "base/setup_state.h"
#include "install/shortcuts.h"
#include "install/wizard_window.h"
#include "landing/access_rights.h"
#include "landing/commit.h"

InstallDoubles Doubles;

void ResetProcessAnswers(const std::string &installDir, const std::string &setupDir,
                         const std::string &windowsDir, const std::string &shellRoot) {
    Doubles.Reset();
    Doubles.shellRoot = shellRoot;
    for (const char *kind : {"/0", "/2", "/7"})
        mkdir((shellRoot + kind).c_str(), 0755);
    std::snprintf(InstallDir, kPathBufferSize, "%s", installDir.c_str());
    std::snprintf(SetupDir, kPathBufferSize, "%s", setupDir.c_str());
    std::snprintf(WindowsDir, kPathBufferSize, "%s", windowsDir.c_str());
    UiLanguage = 0;
    IsOldShell = 0;
    DisplayOk = 1;
    ForceLanguage = 1;
    WantDesktopIcons = 1;
    WantAutoStart = 1;
    KeepOldWordBase = 0;
}

int InstallDoubles::Count(const std::string &prefix) const {
    return static_cast<int>(Starting(prefix).size());
}

std::vector<std::string> InstallDoubles::Starting(const std::string &prefix) const {
    std::vector<std::string> found;
    for (const std::string &event : events)
        if (event.compare(0, prefix.size(), prefix) == 0)
            found.push_back(event);
    return found;
}

int ShowWizardMessage(const char *chinese, const char *english, int) {
    Doubles.events.push_back(std::string("message ") + english);
    Doubles.messages.push_back(chinese);
    return Doubles.answer;
}

void ShowInstallProgress() { Doubles.events.push_back("show progress"); }

void SetProgressCheckpoint(int position) { Doubles.events.push_back("progress " + std::to_string(position)); }

void ShowWaitCursor() { Doubles.events.push_back("wait cursor"); }

// As the wizard answers WM_ENDSESSION with TRUE: the folder settled, then the session over.
void KeepWizardResponsive() {
    if (++Doubles.responsiveCalls == Doubles.endSessionAt) {
        SettleCommitAtSessionEnd();
        Doubles.sessionEnded = 1;
    }
}

int SessionEnded() { return Doubles.sessionEnded; }

void AnswerWizardMessages() { Doubles.responsiveCalls++; }

void WaitAnsweringWizard(unsigned long) { Doubles.responsiveCalls++; }

void OpenShellSession() { Doubles.events.push_back("shell session"); }

void CloseShellSession() { Doubles.events.push_back("shell session closed"); }

int ResolveShellFolder(char *path, int kind) {
    if (Doubles.shellRoot.empty())
        return 0;
    std::snprintf(path, 260, "%s/%d", Doubles.shellRoot.c_str(), kind);
    return 1;
}

int CreateShellLink(const char *targetPath, const char *linkPath, const char *description) {
    Doubles.events.push_back(std::string("link ") + linkPath + " -> " + targetPath + " (" + description +
                             ")");
    if (Doubles.failingLinks.count(linkPath))
        return 0;
    std::FILE *link = std::fopen(linkPath, "w");
    if (!link)
        return 0;
    std::fputs(targetPath, link);
    return std::fclose(link) == 0;
}

int ReadShellLinkTarget(const char *linkPath, char *targetPath) {
    std::FILE *link = std::fopen(linkPath, "rb");
    if (!link)
        return 0;
    size_t length = std::fread(targetPath, 1, 259, link);
    std::fclose(link);
    targetPath[length] = 0;
    return length > 0;
}

int QueryUserName(char *buffer, unsigned long capacity) {
    if (Doubles.userName.empty())
        return 0;
    return std::snprintf(buffer, capacity, "%s", Doubles.userName.c_str()) > 0;
}

// Called from the staging threads: one at a time.
int ProtectProgramFile(const char *path) {
    static std::mutex recording;
    std::lock_guard<std::mutex> hold(recording);
    Doubles.events.push_back(std::string("protect ") + path);
    return Doubles.protectResult;
}
