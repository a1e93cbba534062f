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
    if (lstat(target, &info) == 0)
        return 0;
    return rename(source, target) == 0;
}

int FindLinkInPath(const char *path, char *found) {
    std::string prefix;
    for (const char *p = path;; p++) {
        if ((*p == '/' || *p == 0) && !prefix.empty()) {
            struct stat info;
            if (lstat(prefix.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
                std::snprintf(found, 260, "%s", prefix.c_str());
                return 1;
            }
        }
        if (*p == 0)
            return 0;
        prefix += *p;
    }
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
