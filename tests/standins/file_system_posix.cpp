// POSIX stand-in of the attribute word, laid out exactly as Wine keeps it on a Unix file system:
// read-only is the absence of write bits, hidden and system live in the xattr user.DOSATTRIB as
// "0x%x" text. A folder this build writes therefore reads back the same under Wine.
#include "base/path_text.h"
#include "landing/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

static const char kDosAttributeName[] = "user.DOSATTRIB";
static const unsigned long kXattrBits = 0x2 | 0x4;  // hidden, system: the bits Wine stores there

static unsigned long ReadXattrBits(const char *path) {
    char text[64];
    ssize_t length = getxattr(path, kDosAttributeName, text, sizeof text - 1);
    if (length <= 0)
        return 0;
    text[length] = 0;
    return std::strtoul(text, nullptr, 16) & kXattrBits;
}

static int WriteXattrBits(const char *path, unsigned long bits) {
    if (!bits)
        return removexattr(path, kDosAttributeName) == 0 || errno == ENODATA;
    char text[16];
    int length = std::snprintf(text, sizeof text, "0x%lx", bits);
    return setxattr(path, kDosAttributeName, text, length, 0) == 0;
}

static mode_t WritableMode(mode_t mode) { return mode | 0200 | ((mode & 044) >> 1); }

int ReadAttributeWord(const char *path, unsigned long *word) {
    struct stat info;
    if (stat(path, &info) != 0)
        return 0;
    *word = S_ISDIR(info.st_mode) ? kAttributeDirectory : kAttributeArchive;
    if (!(info.st_mode & 0222))
        *word |= kAttributeReadOnly;
    *word |= ReadXattrBits(path);
    return 1;
}

int WriteAttributeWord(const char *path, unsigned long word) {
    struct stat info;
    if (stat(path, &info) != 0)
        return 0;
    mode_t mode = info.st_mode & 07777;
    // Changing an xattr needs write access, so the write bits are restored first and taken
    // away last.
    if (!(mode & 0200) && chmod(path, WritableMode(mode)) != 0)
        return 0;
    int ok = WriteXattrBits(path, word & kXattrBits);
    mode_t wanted = (word & kAttributeReadOnly) ? (mode & ~0222) : WritableMode(mode);
    return chmod(path, wanted) == 0 && ok;
}

int PathExists(const char *path) { return access(path, F_OK) == 0; }

int RemoveFile(const char *path) {
    struct stat info;
    if (lstat(path, &info) != 0 || S_ISDIR(info.st_mode))
        return 0;
    return unlink(path) == 0;
}

int MakeDirectory(const char *path) { return mkdir(path, 0777) == 0; }

int ChangeDirectory(const char *path) { return chdir(path) == 0; }

int CopyFileOverwriting(const char *source, const char *target) {
    std::ifstream in(source, std::ios::binary);
    if (!in)
        return 0;
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out << in.rdbuf();
    out.close();
    return !out.fail();
}

long FileBytes(const char *path) {
    struct stat info;
    if (stat(path, &info) != 0 || S_ISDIR(info.st_mode))
        return -1;
    return static_cast<long>(info.st_size);
}

// POSIX has no sharing modes: nothing is ever in use here (the Wine tests cover it).
int FileInUse(const char *) { return 0; }

int KindOfPath(const char *path) {
    struct stat info;
    if (lstat(path, &info) != 0)
        return errno == ENOENT ? kPathMissing : kPathNotPlain;
    return S_ISREG(info.st_mode) && info.st_nlink <= 1 ? kPathPlainFile : kPathNotPlain;
}

int RemoveFolder(const char *path) { return rmdir(path) == 0; }

int IsPlainFolder(const char *path) {
    struct stat info;
    return lstat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

int LastFailureWasHeld() { return errno == EBUSY || errno == ETXTBSY; }

// fcntl locks are per process: a second lock of this process on the file is granted. The tests
// that need another holder take it in a child process.
struct FileLock {
    int descriptor;
};

int TakeFileLock(const char *path, FileLock **lock) {
    int descriptor = open(path, O_RDWR | O_CREAT, 0666);
    if (descriptor < 0)
        return kLockFailed;
    struct flock range = {};
    range.l_type = F_WRLCK;
    range.l_whence = SEEK_SET;
    range.l_len = 1;
    if (fcntl(descriptor, F_SETLK, &range) != 0) {
        int held = errno == EACCES || errno == EAGAIN;
        close(descriptor);
        return held ? kLockHeldElsewhere : kLockFailed;
    }
    *lock = new FileLock{descriptor};
    return kLockTaken;
}

void ReleaseFileLock(FileLock *lock) {
    close(lock->descriptor);
    delete lock;
}

int RenameFile(const char *source, const char *target) {
    struct stat info;
    if (lstat(target, &info) == 0) {
        errno = EEXIST;
        return 0;
    }
    return rename(source, target) == 0;
}

int FindLinkInPath(const char *path, char *found) {
    return FirstFolderInPathWhere(path, found, [](const char *folder) {
        struct stat info;
        return lstat(folder, &info) == 0 && S_ISLNK(info.st_mode);
    });
}

int SameFileOrFolder(const char *first, const char *second) {
    struct stat a, b;
    return stat(first, &a) == 0 && stat(second, &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

int FreeDiskSpace(const char *folder, unsigned long long *freeBytes, unsigned long *clusterBytes) {
    struct statvfs info;
    std::string existing = folder;  // the nearest folder that exists
    while (statvfs(existing.c_str(), &info) != 0) {
        size_t slash = existing.find_last_of('/');
        if (slash == std::string::npos || existing.size() <= 1)
            return 0;
        existing.resize(slash ? slash : 1);
    }
    *freeBytes = static_cast<unsigned long long>(info.f_bavail) * info.f_frsize;
    *clusterBytes = static_cast<unsigned long>(info.f_frsize);
    return 1;
}

// The stand-in reads every text as GBK, the code page the host tests use.
int IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
// The superscripts of code page 1252 (a GBK system has none: its 0xB2 leads a two-byte character).
int SuperscriptDigit(unsigned char c) { return c == 0xB9 ? 1 : c == 0xB2 ? 2 : c == 0xB3 ? 3 : 0; }

// The descriptor plus one stands for the file, so that no valid file is ever null.
OutputFile *CreateOutputFile(const char *path) {
    int descriptor = open(path, O_WRONLY | O_CREAT | O_EXCL, 0666);
    return descriptor < 0 ? nullptr : reinterpret_cast<OutputFile *>(static_cast<intptr_t>(descriptor) + 1);
}

static int Descriptor(OutputFile *file) { return static_cast<int>(reinterpret_cast<intptr_t>(file) - 1); }

int WriteOutputFile(OutputFile *file, const void *bytes, unsigned long count) {
    const char *next = static_cast<const char *>(bytes);
    while (count > 0) {
        ssize_t written = write(Descriptor(file), next, count);
        if (written <= 0)
            return 0;
        next += written;
        count -= static_cast<unsigned long>(written);
    }
    return 1;
}

int CloseOutputFile(OutputFile *file) { return close(Descriptor(file)) == 0; }

int FlushOutputFile(OutputFile *file) { return fsync(Descriptor(file)) == 0; }

int NotPlainKindOf(const char *path) {
    struct stat info;
    if (lstat(path, &info) != 0 || S_ISLNK(info.st_mode) || (S_ISREG(info.st_mode) && info.st_nlink > 1))
        return kNotPlainLink;
    return S_ISDIR(info.st_mode) ? kNotPlainFolder : kNotPlainOther;
}

static int LastHeldErrno;

int LastFailureCause() {
    int error = LastHeldErrno ? LastHeldErrno : errno;
    LastHeldErrno = 0;
    switch (error) {
    case EBUSY:
    case ETXTBSY:
        return kCauseHeld;
    case ENOSPC:
        return kCauseDiskFull;
    case EISDIR:
    case ELOOP:
    case EEXIST:
        return kCauseNotPlain;
    case ESTALE:
        return kCauseSwapped;
    case ENOENT:
        return kCauseWorkFolderGone;
    default:
        return kCauseOther;
    }
}

// POSIX renames and deletes by name only: the stand-in holds the descriptor and checks, just before
// each step, that the name still is the file it opened (what Windows does by handle).
static int HeldDescriptor(const HeldFile *file) {
    return static_cast<int>(reinterpret_cast<intptr_t>(file->handle) - 1);
}

static int StillTheHeldFile(const HeldFile *file) {
    struct stat named, held;
    if (lstat(file->path, &named) != 0 || fstat(HeldDescriptor(file), &held) != 0 ||
        named.st_dev != held.st_dev || named.st_ino != held.st_ino) {
        LastHeldErrno = ESTALE;
        return 0;
    }
    return 1;
}

int OpenHeldFile(const char *path, HeldFile *file) {
    file->handle = nullptr;
    std::snprintf(file->path, sizeof file->path, "%s", path);
    int descriptor = open(path, O_RDONLY | O_NOFOLLOW | O_NONBLOCK);
    if (descriptor < 0) {
        LastHeldErrno = errno;
        return errno == ENOENT ? kHeldMissing : errno == ELOOP ? kHeldNotPlain : kHeldFailed;
    }
    struct stat info, volume;
    if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode) || info.st_nlink != 1 ||
        (stat(InstallDir, &volume) == 0 && volume.st_dev != info.st_dev)) {
        close(descriptor);
        return kHeldNotPlain;
    }
    file->handle = reinterpret_cast<void *>(static_cast<intptr_t>(descriptor) + 1);
    unsigned long word = 0;
    ReadAttributeWord(path, &word);
    file->attributes = word;
    file->bytes = static_cast<unsigned long>(info.st_size);
    return kHeldOpened;
}

int MoveHeldFile(HeldFile *file, const char *target) {
    if (!StillTheHeldFile(file) || !RenameFile(file->path, target))
        return 0;
    std::snprintf(file->path, sizeof file->path, "%s", target);
    return 1;
}

int DeleteHeldFile(HeldFile *file) { return StillTheHeldFile(file) && unlink(file->path) == 0; }

int SetHeldFileAttributes(HeldFile *file, unsigned long word) {
    if (!StillTheHeldFile(file) || !WriteAttributeWord(file->path, word))
        return 0;
    file->attributes = word;
    return 1;
}

int HeldFileCrc(HeldFile *file, unsigned long *crc) {
    unsigned char block[64 * 1024];
    unsigned long sum = crc32(0, nullptr, 0);
    lseek(HeldDescriptor(file), 0, SEEK_SET);
    for (;;) {
        ssize_t got = read(HeldDescriptor(file), block, sizeof block);
        if (got < 0)
            return 0;
        if (got == 0)
            break;
        sum = crc32(sum, block, static_cast<uInt>(got));
    }
    *crc = sum;
    return 1;
}

void CloseHeldFile(HeldFile *file) {
    if (file->handle)
        close(HeldDescriptor(file));
    file->handle = nullptr;
}

int IsSecondHardLink(const char *path) {
    struct stat info;
    return lstat(path, &info) == 0 && S_ISREG(info.st_mode) && info.st_nlink > 1;
}
