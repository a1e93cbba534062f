// Start-menu group, desktop and start-up shortcuts.
#pragma once

enum { kFolderDesktop = 0, kFolderPrograms = 2, kFolderStartup = 7 };

struct ShortcutEntry {
    const char *displayName;  // null ends a list
    const char *targetFile;   // relative to InstallDir
};

// Creates the group folder (when groupName is neither null nor empty) under the shell folder of
// `kind` and one shortcut per entry. 1 = every shortcut was written and reads back pointing at its
// target; 0 = failure, reported, with FailedShortcut naming the first shortcut that is not.
int CreateProgramGroup(const char *groupName, const ShortcutEntry *entries, int kind);

// A desktop shortcut to InstallDir\targetFile. 1 = written and read back; 0 = failure, not
// reported here (FailedShortcut names it).
int CreateDesktopShortcut(const char *targetFile, const char *displayName);

// After a failure of either: "<display name>.lnk" of the first shortcut that is not in place.
extern char FailedShortcut[];

struct ShortcutNames {
    const char *group;
    const char *engine;
    const char *uninstall;
    const char *editor;
};

// English, GBK or Big5 names, by the system language.
const ShortcutNames &ShortcutNamesFor(int uiLanguage);

// The shell folder of `kind` from WindowsDir, for systems that report version 3.
int ComposeShellFolder(char *path, int kind);

// --- provided by the platform (the shell and the link object on Win32) ---------------------------
// One session of the link objects around every shortcut of an install: opened before the first,
// closed after the last (each shortcut works without one too, at the cost of its own session).
void OpenShellSession();
void CloseShellSession();
int ResolveShellFolder(char *path, int kind);
int CreateShellLink(const char *targetPath, const char *linkPath, const char *description);
// The target path a shortcut file holds (kPathBufferSize bytes). 1 = read.
int ReadShellLinkTarget(const char *linkPath, char *targetPath);
int QueryUserName(char *buffer, unsigned long capacity);  // 1 = read
