// What is checked before the install changes anything on disk (the purge included): the folder
// name, the space on its disk and the files it would replace.
#pragma once

// Each refused form of name has a value of its own, so that the user is told which rule it broke.
enum FolderProblem {
    kFolderOk,
    kFolderNotAbsolute,         // not a drive letter, a colon and a backslash
    kFolderBadName,             // a character Windows refuses in a name
    kFolderTooLong,             // cut short when read, or a path the install makes would not fit
    kFolderDeviceName,          // a name Windows keeps for a device (CON, NUL, COM1...), in any component
    kFolderDriveRoot,           // the root of a drive itself
    kFolderSystemFolder,        // the Windows folder or a system folder itself
    kFolderTrailingDotOrSpace,  // a name ending in a dot or a space, which Windows would drop
    kFolderDotName,             // "." or ".." as a name
    kFolderPrefixedPath,        // "\\?\", "\\.\" or "\??\" before the path
    kFolderNetworkPath,         // "\\server\share": a network folder, which the field does not take
    kFolderLeadingSpace,        // a space before the drive letter
    kFolderStreamName,          // a colon after the drive's, which names a stream of a file
};

// folder is the field's text as read into a kPathBufferSize buffer; typedLength is the length the
// field reported, which is larger when the read cut the text short.
int CheckFolderName(const char *folder, unsigned long typedLength);
// The longest folder path the install can use (kFolderTooLong beyond it): every file it makes
// below the folder, the work folder's included, must fit a path.
unsigned long LongestInstallFolder();

// The folders the install never goes into, found by the platform: the Windows folder and the
// system folders (on 64-bit Windows the 32-bit programs' one too), and the root of every drive.
struct KeptFolders {
    enum { kSystemMax = 3, kRootMax = 26 };
    const char *system[kSystemMax];  // empty or null where there is none
    const char *roots[kRootMax];
    int rootCount;
};

// kFolderSystemFolder or kFolderDriveRoot when folder is one of them, compared as folders (another
// spelling, a short name, another drive letter or Wine's Unix drive for the same folder is the
// same), else kFolderOk: a folder that does not exist yet is neither.
int CheckFolderPlace(const char *folder, const KeptFolders &kept);

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
