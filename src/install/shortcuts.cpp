#include "install/shortcuts.h"

#include <cstdio>
#include <cstring>

#include "base/format_text.h"
#include "base/setup_state.h"
#include "install/wizard_window.h"
#include "landing/file_placement.h"
#include "landing/file_system.h"

char FailedShortcut[kPathBufferSize];

static const ShortcutNames kShortcutNames[] = {
    {"Tesso Chinese Input Engine", "Tesso Chinese Input Engine", "Tesso UnInstall", "Inkleaf Pad"},
    {"岚笔中文输入引擎", "岚笔中文输入引擎", "岚笔输入引擎卸载", "岚笔文本编辑"},
    // Big5 bytes, passed on unchanged.
    {"\xB4\x50\xB5\xA7\xA4\xA4\xA4\xE5\xBF\xE9\xA4\x4A\xA4\xDE\xC0\xBA",
     "\xB4\x50\xB5\xA7\xA4\xA4\xA4\xE5\xBF\xE9\xA4\x4A\xA4\xDE\xC0\xBA",
     "\xB4\x50\xB5\xA7\xBF\xE9\xA4\x4A\xA4\xDE\xC0\xBA\xA8\xF8\xB8\xFC",
     "\xB4\x50\xB5\xA7\xA4\xE5\xA5\xBB\xBD\x73\xBF\xE8"},
};

const ShortcutNames &ShortcutNamesFor(int uiLanguage) {
    return kShortcutNames[uiLanguage <= 0 ? 0 : uiLanguage == 1 ? 1 : 2];
}

namespace {

const int kUserNameSize = 256;
const int kDesktopPieceSize = 100;  // "\" + display name + ".lnk"

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

// A shortcut that an earlier install left read-only or hidden is replaced all the same (its
// protection lifted for the write and set back after it), never written through a link, and
// counts only when it reads back pointing at the target.
int WriteShortcut(const char *targetPath, const char *linkPath, const char *description) {
    int kind = KindOfPath(linkPath);
    if (kind == kPathNotPlain)
        return 0;
    unsigned long before = 0;
    int wasProtected =
        kind == kPathPlainFile && ReadAttributeWord(linkPath, &before) && (before & kAttributeProtection);
    char written[kPathBufferSize];
    // The shell may give the target back spelt otherwise (its long name for a short one typed):
    // the same file counts.
    int ok = WithProtectionLifted(linkPath, [&] {
        return CreateShellLink(targetPath, linkPath, description) && ReadShellLinkTarget(linkPath, written) &&
               (SamePathText(written, targetPath) || SameFileOrFolder(written, targetPath));
    });
    if (ok && wasProtected)
        WriteAttributeWord(linkPath, before);
    return ok;
}

void NoteFailedShortcut(const char *displayName) {
    if (!FailedShortcut[0])
        FormatText(FailedShortcut, kPathBufferSize, "%s.lnk", displayName);
}

int CreateEntryShortcut(const char *folder, const ShortcutEntry &entry) {
    char linkPath[kPathBufferSize], targetPath[kPathBufferSize];
    int length =
        FormatText(linkPath, sizeof linkPath, "%s" PATH_SEPARATOR "%s.lnk", folder, entry.displayName);
    int ok = length >= 0 && length < kPathBufferSize && JoinPath(targetPath, InstallDir, entry.targetFile) &&
             WriteShortcut(targetPath, linkPath, entry.displayName);
    if (!ok)
        NoteFailedShortcut(entry.displayName);
    return ok;
}

}  // namespace

int ComposeShellFolder(char *path, int kind) {
    char user[kUserNameSize] = "";
    if (IsNtPlatform && !QueryUserName(user, sizeof user))
        return 0;
    // WindowsDir, which the wizard fills when it starts: empty before, and only its backslash should
    // the system not have given the folder ("X:\" is the shortest there is).
    path[0] = 0;
    if (std::strlen(WindowsDir) < 3 || !AppendToPath(path, "%s", WindowsDir))
        return 0;
    if (path[std::strlen(path) - 1] != '\\' && !AppendToPath(path, "%s", "\\"))
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
        NoteFailedShortcut(entries[0].displayName);
        ShowStartMenuMessage();
        return 0;
    }
    if (inGroup && !PathExists(folder) && !MakeDirectory(folder)) {
        NoteFailedShortcut(entries[0].displayName);
        ShowFolderMessage(folder);
        return 0;
    }
    int result = 1;
    for (const ShortcutEntry *entry = entries; entry->displayName; entry++)
        result = CreateEntryShortcut(folder, *entry) && result;
    if (!result) {
        ShowStartMenuMessage();
        return 0;
    }
    return 1;
}

int CreateDesktopShortcut(const char *targetFile, const char *displayName) {
    char targetPath[kPathBufferSize], linkPath[kPathBufferSize], piece[kDesktopPieceSize];
    int length = FormatText(piece, sizeof piece, PATH_SEPARATOR "%s.lnk", displayName);
    int ok = JoinPath(targetPath, InstallDir, targetFile) && FindBaseFolder(linkPath, kFolderDesktop) &&
             length >= 0 && length < kDesktopPieceSize && AppendToPath(linkPath, "%s", piece) &&
             WriteShortcut(targetPath, linkPath, displayName);
    if (!ok)
        NoteFailedShortcut(displayName);
    return ok;
}
