// Recording stand-ins for the wizard window and the shell, linked into the host tests.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "../install_in_work_folder.h"

struct InstallDoubles {
    std::vector<std::string> events;  // "message <english>", "progress <n>", "show progress", "wait cursor",
                                      // "link <link path>", "protect <path>"
    std::vector<std::string> messages;   // Chinese text of each message, in order
    int answer = 6;                      // what every message box returns
    std::string shellRoot;               // ResolveShellFolder gives <shellRoot>/<kind>; empty = fails
    std::set<std::string> failingLinks;  // link paths whose CreateShellLink fails
    std::string userName = "Admin";      // empty = the user-name query fails
    int protectResult = 1;               // what ProtectProgramFile returns
    int responsiveCalls = 0;             // KeepWizardResponsive and AnswerWizardMessages
    int endSessionAt = 0;  // the call to KeepWizardResponsive in which the session ends (0 = none)
    int sessionEnded = 0;  // SessionEnded

    void Reset() { *this = InstallDoubles(); }
    int Count(const std::string &prefix) const;
    std::vector<std::string> Starting(const std::string &prefix) const;
};

extern InstallDoubles Doubles;

// The process-wide answers every install test starts from: an English install on a shell that
// resolves its folders (made under shellRoot, whose "<kind>" folders stand for the desktop,
// Programs and start-up folders), the display fine, desktop icons and auto-start asked for, the old
// word base not kept; the doubles reset. A fixture then changes only what it is about.
void ResetProcessAnswers(const std::string &installDir, const std::string &setupDir,
                         const std::string &windowsDir, const std::string &shellRoot);
