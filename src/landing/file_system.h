// The few file-system services the installer needs beyond the C runtime. Win32 keeps read-only and
// hidden in the attribute word; the POSIX stand-in keeps them as Wine does (the write bits, and the
// hex attribute word in the xattr user.DOSATTRIB), so a folder written by either build reads the same.
#pragma once

#include <cstdio>
#include <cstring>

#include "base/path_text.h"

enum : unsigned long {
    kAttributeReadOnly = 0x1,
    kAttributeHidden = 0x2,
    kAttributeDirectory = 0x10,
    kAttributeArchive = 0x20,
    kAttributeNotContentIndexed = 0x2000,
    // The protection the payload list gives a file, and what the install lifts to replace or
    // delete one: the one pair everywhere.
    kAttributeProtection = kAttributeReadOnly | kAttributeHidden,
};

int ReadAttributeWord(const char *path, unsigned long *word);  // 1 = read, 0 = no such path
int WriteAttributeWord(const char *path, unsigned long word);  // 1 = written
int PathExists(const char *path);                              // files and folders alike
int RemoveFile(const char *path);                              // 1 = deleted
int MakeDirectory(const char *path);                           // 1 = created (one level)
int ChangeDirectory(const char *path);                         // 1 = it is now the current directory
int CopyFileOverwriting(const char *source, const char *target);
long FileBytes(const char *path);  // -1 = no such file
// 1 = another program holds the file open, or runs it: it cannot be opened for writing without
// sharing. A plain read-only file is tested with its read-only bit lifted for the moment of the
// test (the link rule below decides what is plain).
int FileInUse(const char *path);
// What is at a name the install writes, replaces, purges or changes the attributes of. Anything
// but a plain file is never written, replaced or changed through: a folder, a link (symbolic link,
// junction, mount point; under Wine a Unix symbolic link too) or a file with more than one hard
// link (the other names may be outside the install folder). A file the system keeps compressed,
// deduplicated or as a cloud placeholder is a reparse point but no link: a plain file.
enum PathKind { kPathMissing = 0, kPathPlainFile = 1, kPathNotPlain = 2 };
// Whether a reparse point with this tag is a link: its tag is a name surrogate (symbolic links,
// junctions, mount points: whatever names another file or folder). Files the system keeps
// compressed (WOF, Windows 10's "compact /EXE"), deduplicated, held by a storage manager or as cloud
// placeholders carry other tags and are ordinary files and folders to every program. Under Wine a
// Unix symbolic link to a folder is reported as a reparse point with the tag 0, which no Windows
// ever gives: it counts as a link.
inline int IsLinkReparseTag(unsigned long tag) {
    const unsigned long kNameSurrogate = 0x20000000;  // IsReparseTagNameSurrogate
    return tag == 0 || (tag & kNameSurrogate) != 0;
}
int KindOfPath(const char *path);
// What a name that is not a plain file holds, for the message that names it.
enum NotPlainKind { kNotPlainLink = 0, kNotPlainFolder = 1, kNotPlainOther = 2 };  // other: a FIFO, a device
int NotPlainKindOf(const char *path);
// A plain file with more than one hard link (never a symbolic link, a Unix link under Wine, or a
// folder): removing this name of it leaves the file under its other names.
int IsSecondHardLink(const char *path);
int IsPlainFolder(const char *path);  // 1 = a folder that is no link
// Renames source to target, which must not exist. 1 = renamed.
int RenameFile(const char *source, const char *target);
int RemoveFolder(const char *path);  // 1 = an empty folder was removed
// Right after a RenameFile or RemoveFile that failed: 1 when another program held the file (a
// sharing or lock violation, or access denied, as a scanner's or indexer's open of a new file
// gives for a moment), so that trying again a little later may succeed.
int LastFailureWasHeld();
// Why the last file call failed, as the messages name it.
enum FailureCause {
    kCauseOther = 0,
    kCauseHeld,            // another program holds the file
    kCauseDiskFull,        // not enough space
    kCauseNotPlain,        // a folder, a link, a FIFO... at the name
    kCauseWorkFolderGone,  // the work folder or its lock was removed by someone
    kCauseSwapped,         // the name was given to another file between the check and the move
};
int LastFailureCause();

// A file the commit or the recovery moves or deletes: opened once, without delete sharing (so that
// nobody can rename, delete or replace it while it is held), checked on that open (a plain file,
// not a link, one link, on the install folder's volume), and moved, changed or deleted through
// that same open, never by its name again. A name swapped for a link between a check and a move
// therefore moves nothing but the file that was checked.
struct HeldFile {
    void *handle;  // the open file; null where the system has no rename by handle (the 95 family)
    char path[kPathBufferSize];  // where it is now
    unsigned long attributes;
    unsigned long bytes;
};
enum HeldOpen { kHeldOpened, kHeldMissing, kHeldNotPlain, kHeldFailed };
// On kHeldFailed, LastFailureWasHeld says whether another program held it.
int OpenHeldFile(const char *path, HeldFile *file);
int MoveHeldFile(HeldFile *file, const char *target);  // 1 = renamed; target must not exist
int DeleteHeldFile(HeldFile *file);                    // 1 = gone (its protection lifted first)
int SetHeldFileAttributes(HeldFile *file, unsigned long word);
// The CRC-32 of the file's bytes, read through the open. 1 = read whole.
int HeldFileCrc(HeldFile *file, unsigned long *crc);
void CloseHeldFile(HeldFile *file);
// An exclusive lock on the first byte of the file at path (opened, or created when missing), seen
// by every process on the machine and, under Wine, by every prefix. Held until ReleaseFileLock.
struct FileLock;
enum LockResult { kLockTaken, kLockHeldElsewhere, kLockFailed };
int TakeFileLock(const char *path, FileLock **lock);
void ReleaseFileLock(FileLock *lock);
// The first folder of an absolute path (below its drive's root) that exists and is a link, a
// junction or a mount point, copied into found (kPathBufferSize bytes); 0 when there is none.
// Whatever is written below such a folder lands somewhere else than the path says.
int FindLinkInPath(const char *path, char *found);
// The one folder-by-folder walk: each folder of an absolute path from the first below its root
// down to the path itself, given to visit as a path of its own, until visit returns nonzero; that
// value is returned, with folder holding the path visited (kPathBufferSize bytes), or 0.
template <class Visit> int FirstFolderInPathWhere(const char *path, char *folder, Visit visit) {
    size_t rootLength = std::strlen(path) < 3 ? std::strlen(path) : 3;
    for (const char *end = path + rootLength;; end++) {
        end = NameEnd(end);
        size_t length = end - path;
        if (length >= kPathBufferSize)
            return 0;
        if (length > 3) {
            std::memcpy(folder, path, length);
            folder[length] = 0;
            if (int found = visit(static_cast<const char *>(folder)))
                return found;
        }
        if (!*end)
            return 0;
    }
}
// Whether two paths name the same file or the same folder, whatever the paths (another drive
// letter for it, a short or a long name). Unknown counts as not the same.
int SameFileOrFolder(const char *first, const char *second);
// Free bytes for the caller and the cluster size of the volume that holds folder (an absolute path
// whose folders need not exist yet: the deepest one that exists tells the volume, which may be
// mounted in a folder of another drive). 1 = known.
int FreeDiskSpace(const char *folder, unsigned long long *freeBytes, unsigned long *clusterBytes);
// A file created new (null when anything is at path, or it cannot be created) and written from
// start to end in large blocks, straight to the system (no runtime buffer: every write is one
// system call, and each one's result is checked).
struct OutputFile;
OutputFile *CreateOutputFile(const char *path);
int WriteOutputFile(OutputFile *file, const void *bytes, unsigned long count);  // 1 = all written
int CloseOutputFile(OutputFile *file);  // 1 = closed with every byte accepted
int FlushOutputFile(OutputFile *file);  // 1 = what was written is on the disk
