// What is checked before the install changes anything on disk (the purge included): the folder
// name, the space on its disk and the files it would replace.
#pragma once

enum FolderProblem {
    kFolderOk,
    kFolderNotAbsolute,   // not a drive letter, a colon and a backslash, or "." / ".." in it
    kFolderBadName,       // a character Windows refuses, or a name ending in a dot or space
    kFolderTooLong,       // cut short when read, or a path the install makes would not fit
    kFolderDeviceName,    // a name Windows keeps for a device (CON, NUL, COM1...), in any component
    kFolderDriveRoot,     // the root of a drive itself
    kFolderSystemFolder,  // the Windows folder or the system folder itself
};

// folder is the field's text as read into a kPathBufferSize buffer; typedLength is the length the
// field reported, which is larger when the read cut the text short.
int CheckFolderName(const char *folder, unsigned long typedLength);

// kFolderSystemFolder when folder is the Windows folder or the system folder, compared as folders
// (another spelling, a short name or another drive letter for the same folder is the same), else
// kFolderOk: a folder that does not exist yet is neither.
int CheckFolderPlace(const char *folder, const char *windowsDir, const char *systemDir);

enum TargetProblem { kTargetsReady, kDiskTooSmall, kTargetInUse, kTargetNotPlain };

struct TargetCheck {
    int problem;
    const char *file;        // kTargetInUse, kTargetNotPlain: the name in the install folder
    unsigned long neededKb;  // kDiskTooSmall: what the install needs and what is free
    unsigned long freeKb;
};

// Checks the disk and the files in InstallDir (which need not exist yet), after an interrupted run
// there has been cleaned up: no file to be replaced or purged is held open or run by another
// program; no name the install writes, replaces or purges is a folder or a link; enough free space
// on the folder's own volume for every file written while the old ones are still there.
TargetCheck CheckInstallTargets();

// Bytes the install needs on a volume with the given cluster size.
unsigned long long SpaceNeeded(unsigned long clusterBytes);
