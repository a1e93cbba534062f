// What is checked before the install changes anything on disk (the purge included): the folder
// name, the space on its disk and the files it would replace.
#pragma once

enum FolderProblem {
    kFolderOk,
    kFolderNotAbsolute,  // not a drive letter, a colon and a backslash, or "." / ".." in it
    kFolderBadName,      // a character Windows refuses, or a name ending in a dot or space
    kFolderTooLong,      // cut short when read, or a path the install makes would not fit
};

// folder is the field's text as read into a kPathBufferSize buffer; typedLength is the length the
// field reported, which is larger when the read cut the text short.
int CheckFolderName(const char *folder, unsigned long typedLength);

enum TargetProblem { kTargetsReady, kDiskTooSmall, kTargetInUse };

struct TargetCheck {
    int problem;
    const char *file;        // kTargetInUse: the installed name of the file in use
    unsigned long neededKb;  // kDiskTooSmall: what the install needs and what is free
    unsigned long freeKb;
};

// Checks the disk and the files in InstallDir (which need not exist yet): enough free space for
// every file, less what it replaces, plus one file's temporary copy; no file to be replaced or
// purged is held open by another program.
TargetCheck CheckInstallTargets();

// Bytes the install needs on a disk with the given cluster size, given the size of each file
// already there (-1 for none), in catalogue order.
unsigned long long SpaceNeeded(const long *existingBytes, unsigned long clusterBytes);
