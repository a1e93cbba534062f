// Stand-ins for the wizard window and the shell on Linux: the native benchmark runs the real
// install sequence with these. Messages answer Yes; shortcuts are small text files.
#include <cstdio>

#include "install/install_ui.h"
#include "install/shortcuts.h"
#include "setup/setup_state.h"

int ShowWizardMessage(const char *, const char *, int) { return kAnswerYes; }
void ShowInstallProgress() {}
void SetProgressCheckpoint(int) {}
void ShowWaitCursor() {}

int ResolveShellFolder(char *path, int) { return std::snprintf(path, kPathBufferSize, "%s", WindowsDir) > 0; }

int CreateShellLink(const char *targetPath, const char *linkPath, const char *description) {
    std::FILE *link = std::fopen(linkPath, "w");
    if (!link)
        return 0;
    std::fprintf(link, "%s\n%s\n", targetPath, description);
    return std::fclose(link) == 0;
}

int QueryWindowsDirectory(char *buffer, unsigned capacity) {
    return std::snprintf(buffer, capacity, "%s", WindowsDir);
}

int QueryUserName(char *buffer, unsigned long capacity) { return std::snprintf(buffer, capacity, "user") > 0; }
