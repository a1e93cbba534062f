#include "install/shortcuts.h"

#include <cstdio>
#include <cstring>

#include "install/file_placement.h"
#include "install/file_system.h"
#include "install/install_ui.h"
#include "setup/format_text.h"
#include "setup/setup_state.h"

namespace {

const int kUserNameSize = 256;
const int kDesktopPieceSize = 100;  // "\" + display name + ".lnk"

// Appends formatted text to a path buffer; 0, with nothing appended, when it would not fit.
int AppendToPath(char *path, const char *format, const char *text) {
    size_t used = std::strlen(path);
    int added = FormatText(path + used, kPathBufferSize - used, format, text);
    if (added < 0 || used + added >= kPathBufferSize) {
        path[used] = 0;
        return 0;
    }
    return 1;
}

int FindBaseFolder(char *path, int kind) {
    return IsOldShell ? ComposeShellFolder(path, kind) : ResolveShellFolder(path, kind);
}

void ShowStartMenuMessage() {
    ShowWizardMessage("无法在 Start 菜单中为本程序建立一个条目。很抱歉，只好请您以后自已建立了。",
                      "Failed to create an entry on Start Menu.", kMessageOk);
}

void ShowFolderMessage(const char *folder) {
    char chinese[kPathBufferSize + 32];
    FormatText(chinese, sizeof chinese, "无法建目录(%s)!", folder);
    ShowWizardMessage(chinese, "Cannot create folder!", kMessageOk);
}

int CreateEntryShortcut(const char *folder, const ShortcutEntry &entry) {
    char linkPath[kPathBufferSize], targetPath[kPathBufferSize];
    int length =
        FormatText(linkPath, sizeof linkPath, "%s" PATH_SEPARATOR "%s.lnk", folder, entry.displayName);
    if (length < 0 || length >= kPathBufferSize || !JoinPath(targetPath, InstallDir, entry.targetFile))
        return 0;
    return CreateShellLink(targetPath, linkPath, entry.displayName);
}

}  // namespace

int ComposeShellFolder(char *path, int kind) {
    char user[kUserNameSize] = "";
    unsigned length = QueryWindowsDirectory(path, kPathBufferSize);
    if (IsNtPlatform && !QueryUserName(user, sizeof user))
        return 0;
    if (length == 0 || length >= kPathBufferSize)
        return 0;
    if (path[length - 1] != '\\' && !AppendToPath(path, "%s", "\\"))
        return 0;
    if (IsNtPlatform && !(AppendToPath(path, "profiles\\%s", user) && AppendToPath(path, "%s", "\\")))
        return 0;
    // Version 3 shells have no start-up folder of their own: the Programs folder's "Startup"
    // group serves.
    if (kind == kFolderPrograms)
        return AppendToPath(path, "%s", "start menu\\programs");
    if (kind == kFolderStartup)
        return AppendToPath(path, "%s", "start menu\\programs\\Startup");
    if (kind == kFolderDesktop)
        return AppendToPath(path, "%s", "Desktop");
    return 1;
}

int CreateProgramGroup(const char *groupName, const ShortcutEntry *entries, int kind) {
    char folder[kPathBufferSize];
    int inGroup = groupName && *groupName;  // otherwise straight into the base folder
    if (!FindBaseFolder(folder, kind) || (inGroup && !AppendToPath(folder, PATH_SEPARATOR "%s", groupName))) {
        ShowStartMenuMessage();
        return 0;
    }
    if (inGroup && !PathExists(folder) && !MakeDirectory(folder)) {
        ShowFolderMessage(folder);
        return 0;
    }
    int result = 1;
    for (const ShortcutEntry *entry = entries; entry->displayName; entry++)
        result = CreateEntryShortcut(folder, *entry);
    if (!result) {
        ShowStartMenuMessage();
        return 0;
    }
    return 1;
}

int CreateDesktopShortcut(const char *targetFile, const char *displayName) {
    char targetPath[kPathBufferSize], linkPath[kPathBufferSize], piece[kDesktopPieceSize];
    if (!JoinPath(targetPath, InstallDir, targetFile) || !FindBaseFolder(linkPath, kFolderDesktop))
        return 0;
    int length = FormatText(piece, sizeof piece, PATH_SEPARATOR "%s.lnk", displayName);
    if (length < 0 || length >= kDesktopPieceSize || !AppendToPath(linkPath, "%s", piece))
        return 0;
    return CreateShellLink(targetPath, linkPath, displayName);
}
