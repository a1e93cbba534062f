#include "landing/file_system.h"

#include <windows.h>

#include <direct.h>
#include <io.h>

#include <cstring>

#include <zlib.h>

#include "base/scoped_win32.h"
#include "base/setup_state.h"
#include "base/system_functions_win32.h"
#include "base/system_version.h"
#include "landing/file_placement.h"

int ReadAttributeWord(const char *path, unsigned long *word) {
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return 0;
    *word = attributes;
    return 1;
}

// Read-only goes on in a second call, after the other bits: Wine keeps read-only as the Unix write
// bits and hidden and system in an extended attribute, which an ordinary user cannot change on a
// file without a write bit (on Windows the extra call costs nothing that matters).
int WriteAttributeWord(const char *path, unsigned long word) {
    if (word & FILE_ATTRIBUTE_READONLY) {
        unsigned long writable = word & ~static_cast<unsigned long>(FILE_ATTRIBUTE_READONLY);
        SetFileAttributesA(path, writable ? writable : FILE_ATTRIBUTE_NORMAL);
    }
    return SetFileAttributesA(path, word) != 0;
}

int PathExists(const char *path) { return _access(path, 0) == 0; }

int RemoveFile(const char *path) { return DeleteFileA(path) != 0; }

int MakeDirectory(const char *path) { return CreateDirectoryA(path, nullptr) != 0; }

int ChangeDirectory(const char *path) { return _chdir(path) == 0; }

int CopyFileOverwriting(const char *source, const char *target) {
    return CopyFileA(source, target, FALSE) != 0;
}

// GetFileAttributesExA (98 and NT 4.0; retail 95 lacks it, so it is looked up) reads the size
// without a directory search; like FindFirstFileA it reports a link's own entry and does not follow
// it. Where it is missing, a search for the one name serves.
long FileBytes(const char *path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (auto attributesEx = FindSystemFunction<SystemFunction::GetFileAttributesExA>()) {
        if (!attributesEx(path, GetFileExInfoStandard, &data))
            return -1;
        return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? -1 : static_cast<long>(data.nFileSizeLow);
    }
    WIN32_FIND_DATAA found;
    FindHandle search(path, &found);
    if (!search.valid())
        return -1;
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? -1 : static_cast<long>(found.nFileSizeLow);
}

namespace {

HANDLE OpenForWriting(const char *path) {
    return CreateFileA(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

// Opened for writing with no sharing: any other open handle makes it fail with a sharing
// violation, and so does a program that is running (on the NT family its image is mapped, which
// refuses writers even though the loader keeps no handle; the 95 family keeps the file open). A
// read-only file refuses writers by itself, so a plain one (by the one link rule, KindOfPath: a
// compressed read-only program is plain) is tested again with its protection lifted for the
// moment of the test and put back at once; a folder or a link is left alone.
int FileInUse(const char *path) {
    KernelHandle file(OpenForWriting(path));
    DWORD error = GetLastError();
    if (!file.valid() && error == ERROR_ACCESS_DENIED && KindOfPath(path) == kPathPlainFile) {
        WithProtectionLifted(path, [&] {
            *file.Receive() = OpenForWriting(path);  // the first open failed: nothing is dropped
            error = GetLastError();
            return 0;  // the protection goes back whatever the answer
        });
    }
    if (!file.valid())
        return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
    return 0;
}

namespace {

int FileInformation(HANDLE file, BY_HANDLE_FILE_INFORMATION *info);

// Only 2000 and later have reparse points; FindFirstFileA gives the tag in dwReserved0 when the
// attribute is set. A point whose tag cannot be read counts as a link.
int IsLinkReparsePoint(const char *path) {
    WIN32_FIND_DATAA found;
    FindHandle search(path, &found);
    return !search.valid() || !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
           IsLinkReparseTag(found.dwReserved0);
}

int IsLinkOrFolder(DWORD attributes, const char *path) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return 1;
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsLinkReparsePoint(path);
}

// The folder part and the name of a path, split at its last separator.
int SplitPath(const char *path, char *folder, const char **name) {
    const char *separator = LastSeparator(path);
    if (!separator || separator - path >= kPathBufferSize)
        return 0;
    lstrcpynA(folder, path, static_cast<int>(separator - path) + 1);
    if (separator - path == 2)
        lstrcatA(folder, "\\");  // "X:" alone is the current folder of drive X
    *name = separator + 1;
    return 1;
}

// Under Wine a Unix symbolic link to a file looks like the file itself to every attribute and
// identity call (Wine's file calls stat() through it), and its delete and rename act on the file it
// points to, wherever that is. Wine's server keeps the path it resolved when the file was opened,
// and GetFinalPathNameByHandleA reports it: a file opened through a link reports the file it points
// to. So under Wine a file whose final path is not in its own folder under its own name is a link.
// (On Windows a symbolic link is a reparse point, refused before this; there the final path can
// differ for plain files too, by a short name, a substituted or mapped drive, so it is not asked.)
int IsUnixLinkUnderWine(HANDLE file, const char *path) {
    auto finalPath = FindSystemFunction<SystemFunction::GetFinalPathNameByHandleA>();
    if (!RunningUnderWine() || !finalPath)
        return 0;
    char resolved[kPathBufferSize + 8], folder[kPathBufferSize], resolvedFolder[kPathBufferSize];
    const char *name = nullptr, *resolvedName = nullptr;
    DWORD length = finalPath(file, resolved, sizeof resolved, 0);
    if (length == 0 || length >= sizeof resolved)
        return 1;
    const char *plain = std::strncmp(resolved, "\\\\?\\", 4) == 0 ? resolved + 4 : resolved;
    if (!SplitPath(path, folder, &name) || !SplitPath(plain, resolvedFolder, &resolvedName))
        return 1;
    // The name exactly, its case included: "TSO.exe" linked to "tso.exe" in the same folder is a
    // link too. A name asked in another case than the folder holds it ("Gbkflat.dic" for
    // "GbkFlat.dic") is the same file, as on Windows: the folder's own entry for the name (a search
    // reports it as the folder spells it) must then be what the open resolved to.
    if (std::strcmp(name, resolvedName) != 0) {
        WIN32_FIND_DATAA entry;
        HANDLE search =
            lstrcmpiA(name, resolvedName) == 0 ? FindFirstFileA(path, &entry) : INVALID_HANDLE_VALUE;
        if (search == INVALID_HANDLE_VALUE)
            return 1;
        FindClose(search);
        if (std::strcmp(entry.cFileName, resolvedName) != 0)
            return 1;
    }
    // The same text is the same folder (the usual case, and cheap: this runs on every file the
    // install touches, on the staging threads too); another spelling is compared by identity.
    return std::strcmp(folder, resolvedFolder) != 0 && !SameFileOrFolder(folder, resolvedFolder);
}

// What the attribute word alone says: no such path, not plain (a folder, a link; under Wine a FIFO
// or a device, for which it fails with ERROR_INVALID_PARAMETER), or plain as far as it can tell.
int KindByAttributes(const char *path) {
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? kPathMissing : kPathNotPlain;
    }
    return IsLinkOrFolder(attributes, path) ? kPathNotPlain : kPathPlainFile;
}

}  // namespace

// GetFileAttributesA does not follow a reparse point: it reports the link's own word, with
// FILE_ATTRIBUTE_REPARSE_POINT (Windows 2000 and later; NT 4.0 and the 95 family have no reparse
// points and never set the bit). Hard links are counted on an open handle: NTFS keeps the count
// on every NT (NT 4.0 included, where only backup programs made them). The 95 family's FAT has no
// hard links, so there the folder bit is all there is to see. The handle asks for no access, so a
// file held open by another program still answers. Some network servers (SMB servers that are not
// Windows) do not answer the identity call: a file there cannot be counted, and is taken for what
// its attributes say, a plain file.
int KindOfPath(const char *path) {
    int kind = KindByAttributes(path);
    if (kind != kPathPlainFile || !IsNtPlatform)
        return kind;
    KernelHandle file(CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return kPathNotPlain;
    BY_HANDLE_FILE_INFORMATION info;
    if (FileInformation(file.get(), &info) && info.nNumberOfLinks > 1)
        return kPathNotPlain;
    return IsUnixLinkUnderWine(file.get(), path) ? kPathNotPlain : kPathPlainFile;
}

int IsPlainFolder(const char *path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !((attributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsLinkReparsePoint(path));
}

// MoveFileA never replaces an existing target, on either family.
int RenameFile(const char *source, const char *target) { return MoveFileA(source, target) != 0; }

int RemoveFolder(const char *path) { return RemoveDirectoryA(path) != 0; }

// The 95 family reports a file another program holds as a sharing violation or access denied, as
// NT does; a byte-range lock gives the lock violation.
int LastFailureWasHeld() {
    DWORD error = GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
}

// The handle stands for the lock. LockFile is in every Windows (95 included, where the file-sharing
// driver is built in); a byte-range lock is refused to every other handle, in any process and
// session, and over a network share to other machines too. Under Wine the server takes a Unix fcntl
// lock as well, which other Wine prefixes (other servers) see. The file is opened sharing read and
// write, so that a second setup gets as far as asking for the lock and is told it is held.
int TakeFileLock(const char *path, FileLock **lock) {
    HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_SHARING_VIOLATION ? kLockHeldElsewhere : kLockFailed;
    if (!LockFile(file, 0, 0, 1, 0)) {
        DWORD error = GetLastError();
        CloseHandle(file);
        return error == ERROR_LOCK_VIOLATION ? kLockHeldElsewhere : kLockFailed;
    }
    *lock = reinterpret_cast<FileLock *>(file);
    return kLockTaken;
}

// Closing the handle lets the lock go; unlocked first, as the documentation asks.
void ReleaseFileLock(FileLock *lock) {
    HANDLE file = reinterpret_cast<HANDLE>(lock);
    UnlockFile(file, 0, 0, 1, 0);
    CloseHandle(file);
}

// Each folder from the first below the root down to path itself. Only Windows 2000 and later have
// reparse points; before them the bit is never set and nothing is found.
int FindLinkInPath(const char *path, char *found) {
    return FirstFolderInPathWhere(path, found, [](const char *folder) {
        DWORD attributes = GetFileAttributesA(folder);
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
               IsLinkReparsePoint(folder);
    });
}

namespace {

// A folder's identity on the NT family: its volume's serial number and its file index. Only NT
// opens a folder (FILE_FLAG_BACKUP_SEMANTICS, with no access asked, needs no backup privilege).
int FolderIdentity(const char *folder, BY_HANDLE_FILE_INFORMATION *info) {
    KernelHandle handle(CreateFileA(folder, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return handle.valid() && GetFileInformationByHandle(handle.get(), info) != 0;
}

}  // namespace

// The 95 family cannot open a folder; there both paths are made full and short (GetShortPathNameA
// is in 95 and NT 4.0; the long-name call only from 98 and 2000), which gives one spelling for one
// folder whichever of its names was used.
int SameFileOrFolder(const char *first, const char *second) {
    if (IsNtPlatform) {
        BY_HANDLE_FILE_INFORMATION a, b;
        return FolderIdentity(first, &a) && FolderIdentity(second, &b) &&
               a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
               a.nFileIndexLow == b.nFileIndexLow;
    }
    char full[2][kPathBufferSize], shortName[2][kPathBufferSize];
    const char *paths[2] = {first, second};
    for (int i = 0; i < 2; i++) {
        char *namePart = nullptr;
        DWORD length = GetFullPathNameA(paths[i], kPathBufferSize, full[i], &namePart);
        if (length == 0 || length >= kPathBufferSize)
            return 0;
        length = GetShortPathNameA(full[i], shortName[i], kPathBufferSize);
        if (length == 0 || length >= kPathBufferSize)
            return 0;
        length = static_cast<DWORD>(std::strlen(shortName[i]));
        if (length > 3 && shortName[i][length - 1] == '\\')
            shortName[i][length - 1] = 0;
    }
    return _stricmp(shortName[0], shortName[1]) == 0;
}

namespace {

// The deepest folder of path that exists, with a trailing backslash (what both free-space calls
// want), or the drive's root.
void DeepestExistingFolder(const char *path, char *folder) {
    lstrcpynA(folder, path, kPathBufferSize - 1);
    for (;;) {
        DWORD attributes = GetFileAttributesA(folder);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            break;
        char *separator = const_cast<char *>(LastSeparator(folder));
        if (!separator || separator - folder <= 2) {
            folder[3] = 0;  // "X:\"
            return;
        }
        *separator = 0;
    }
    if (!EndsWithSeparator(folder))
        std::strcat(folder, "\\");
}

// The largest cluster a volume of the 95 family can have (FAT32 and FAT16 as they format it).
const unsigned long kLargestClusterOn95 = 32768;

}  // namespace

// GetDiskFreeSpaceExA is looked up: retail Windows 95 lacks it (OSR2 has it), and its
// GetDiskFreeSpaceA reports at most 2 GB (enough to tell whether the install fits). The Ex call
// takes any folder, so a volume mounted in a folder (2000 and later) is the one measured; the
// old call wants the root on the 95 family (and on NT 4.0, which then gets the root's), and takes
// any folder from 2000 on. On 95 OSR2, 98 and ME the
// old call adjusts its cluster figures on a FAT32 volume over 2 GB so that their product stays
// under 2 GB; the size the install rounds each file to is then never taken as larger than the
// largest cluster such a volume really has.
int FreeDiskSpace(const char *folder, unsigned long long *freeBytes, unsigned long *clusterBytes) {
    char existing[kPathBufferSize];
    DeepestExistingFolder(folder, existing);
    char root[4] = {existing[0], ':', '\\', 0};
    DWORD sectorsPerCluster, bytesPerSector, freeClusters, clusters;
    if (!(IsNtPlatform &&
          GetDiskFreeSpaceA(existing, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters)) &&
        !GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters))
        return 0;
    *clusterBytes = sectorsPerCluster * bytesPerSector;
    *freeBytes = static_cast<unsigned long long>(freeClusters) * *clusterBytes;
    if (!IsNtPlatform && *clusterBytes > kLargestClusterOn95)
        *clusterBytes = kLargestClusterOn95;
    auto query = FindSystemFunction<SystemFunction::GetDiskFreeSpaceExA>();
    ULARGE_INTEGER available, total, totalFree;
    if (query && query(existing, &available, &total, &totalFree))
        *freeBytes = available.QuadPart;  // the caller's quota, where there is one
    return 1;
}

// The handle itself stands for the file; INVALID_HANDLE_VALUE is never handed out. CREATE_NEW fails
// whenever the name exists, on the 95 and the NT family alike: nothing is written through it.
OutputFile *CreateOutputFile(const char *path) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    return file == INVALID_HANDLE_VALUE ? nullptr : reinterpret_cast<OutputFile *>(file);
}

int WriteOutputFile(OutputFile *file, const void *bytes, unsigned long count) {
    DWORD written = 0;
    return WriteFile(reinterpret_cast<HANDLE>(file), bytes, count, &written, nullptr) && written == count;
}

int CloseOutputFile(OutputFile *file) { return CloseHandle(reinterpret_cast<HANDLE>(file)) != 0; }

int FlushOutputFile(OutputFile *file) { return FlushFileBuffers(reinterpret_cast<HANDLE>(file)) != 0; }

int NotPlainKindOf(const char *path) {
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return kNotPlainOther;
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsLinkReparsePoint(path))
        return kNotPlainLink;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return kNotPlainFolder;
    // Under Wine a FIFO or a device reads as a file that cannot be opened as one; a second link,
    // or a Unix link to a file, opens.
    KernelHandle file(CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.valid() && GetFileType(file.get()) == FILE_TYPE_DISK ? kNotPlainLink : kNotPlainOther;
}

namespace {

DWORD LastHeldError;  // the error of the last held-file call that failed

// Wine reports a name that is gone as a path not found when its folder is gone too.
int IsWorkFolderGoneError(DWORD error) { return error == ERROR_PATH_NOT_FOUND; }

}  // namespace

int LastFailureCause() {
    DWORD error = LastHeldError ? LastHeldError : GetLastError();
    LastHeldError = 0;
    switch (error) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return kCauseHeld;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return kCauseDiskFull;
    case ERROR_DIRECTORY:
    case ERROR_CANT_RESOLVE_FILENAME:
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
        return kCauseNotPlain;
    case ERROR_NOT_SAME_DEVICE:
        return kCauseSwapped;
    default:
        return IsWorkFolderGoneError(error) ? kCauseWorkFolderGone : kCauseOther;
    }
}

// Rename and delete by handle: NtSetInformationFile, in every ntdll of the NT family (NT 3.1 on),
// looked up at run time. The classes and layouts below are the documented ones (the DDK's
// FILE_RENAME_INFORMATION, FILE_DISPOSITION_INFORMATION, FILE_BASIC_INFORMATION), unchanged since
// NT 3.1. Windows 2000 and later honour FILE_FLAG_OPEN_REPARSE_POINT: the open then holds a link
// itself, never what it points to; NT 4.0 has no reparse points, and its kernel refuses the
// option it does not know, so it is asked only from 2000 on.
namespace {

struct RenameInformation {
    BOOLEAN replaceIfExists;
    HANDLE rootDirectory;
    ULONG nameBytes;
    WCHAR name[kPathBufferSize + 8];
};
struct DispositionInformation {
    BOOLEAN deleteFile;
};
struct BasicInformation {
    LARGE_INTEGER creationTime, lastAccessTime, lastWriteTime, changeTime;  // 0 = unchanged
    ULONG attributes;
};
struct StandardInformation {
    LARGE_INTEGER allocationSize, endOfFile;
    ULONG numberOfLinks;
    BOOLEAN deletePending, directory;
};
const FILE_INFORMATION_CLASS kRenameClass = static_cast<FILE_INFORMATION_CLASS>(10);
const FILE_INFORMATION_CLASS kDispositionClass = static_cast<FILE_INFORMATION_CLASS>(13);
const FILE_INFORMATION_CLASS kBasicClass = static_cast<FILE_INFORMATION_CLASS>(4);
const FILE_INFORMATION_CLASS kStandardClass = static_cast<FILE_INFORMATION_CLASS>(5);
const DWORD kOpenReparsePoint = 0x00200000;  // FILE_FLAG_OPEN_REPARSE_POINT (2000 and later)

int SetByHandle(HANDLE file, void *information, ULONG bytes, FILE_INFORMATION_CLASS kind) {
    auto setInformation = FindSystemFunction<SystemFunction::NtSetInformationFile>();
    auto toError = FindSystemFunction<SystemFunction::RtlNtStatusToDosError>();
    if (!setInformation || !toError) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return 0;
    }
    IO_STATUS_BLOCK status = {};
    NTSTATUS result = setInformation(file, &status, information, bytes, kind);
    if (result >= 0)
        return 1;
    SetLastError(toError(result));
    return 0;
}

// An open file's attribute word, size and number of names. GetFileInformationByHandle gives them
// with its volume's serial number, which Wine asks of its mount manager, a service in another
// process: about half a millisecond a file, most of a commit's time there. Under Wine the file's
// own facts are asked of ntdll (NT 3.1's classes, as for the rename) and the serial is left 0:
// OnInstallVolume does not ask it there, where what it guards cannot happen (below).
int FileInformation(HANDLE file, BY_HANDLE_FILE_INFORMATION *info) {
    if (!RunningUnderWine())
        return GetFileInformationByHandle(file, info);
    auto queryInformation = FindSystemFunction<SystemFunction::NtQueryInformationFile>();
    IO_STATUS_BLOCK status = {};
    StandardInformation standard = {};
    BasicInformation basic = {};
    if (!queryInformation ||
        queryInformation(file, &status, &standard, sizeof standard, kStandardClass) < 0 ||
        queryInformation(file, &status, &basic, sizeof basic, kBasicClass) < 0)
        return 0;
    std::memset(info, 0, sizeof *info);
    info->dwFileAttributes = basic.attributes;
    info->nFileSizeLow = standard.endOfFile.LowPart;
    info->nFileSizeHigh = static_cast<DWORD>(standard.endOfFile.HighPart);
    info->nNumberOfLinks = standard.numberOfLinks;
    return 1;
}

// The serial number of the install folder's volume, read once for each install folder: every
// file the commit moves must be on it (a folder mounted below the install folder is another
// volume, where a rename would fail or a delete reach another disk).
int InstallVolumeSerial(DWORD *serial) {
    static char measuredFor[kPathBufferSize];
    if (!InstallDir[0])
        return 2;  // no install folder yet: any volume
    static DWORD measured;
    if (std::strcmp(measuredFor, InstallDir) != 0) {
        KernelHandle folder(CreateFileA(InstallDir, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        BY_HANDLE_FILE_INFORMATION info;
        if (!folder.valid() || !GetFileInformationByHandle(folder.get(), &info))
            return 2;  // no install folder (yet): nothing is installed, and any volume will do
        measured = info.dwVolumeSerialNumber;
        lstrcpynA(measuredFor, InstallDir, kPathBufferSize);
    }
    *serial = measured;
    return 1;
}

// A reparse point held open is a link when its tag says so; the tag is read on the open itself.
int HeldReparsePointIsLink(HANDLE file) {
    const DWORD kGetReparsePoint = 0x000900A8;       // FSCTL_GET_REPARSE_POINT
    static DWORD buffer[16 * 1024 / sizeof(DWORD)];  // the largest reparse data there is
    DWORD returned = 0;
    if (!DeviceIoControl(file, kGetReparsePoint, nullptr, 0, buffer, sizeof buffer, &returned, nullptr) ||
        returned < sizeof(DWORD))
        return 1;
    return IsLinkReparseTag(buffer[0]);
}

// On the install folder's volume (or any, before there is an install folder).
int OnInstallVolume(const BY_HANDLE_FILE_INFORMATION &info) {
    // Under Wine a file of another volume in a folder is a Unix mount over that file (FUSE lets an
    // ordinary user make one): Unix refuses to rename it to another file system or to delete it, so
    // the commit's rename fails, names the file as one that is not plain, and nothing moves.
    if (RunningUnderWine())
        return 1;
    DWORD serial = 0;
    int known = InstallVolumeSerial(&serial);
    return known == 2 || (known && info.dwVolumeSerialNumber == serial);
}

int Fail(DWORD error) {
    LastHeldError = error;
    SetLastError(error);
    return 0;
}

}  // namespace

// The 95 family has no rename or delete by handle, and no other users to race: a HeldFile there
// is its name, checked and then moved or deleted by that name.
int OpenHeldFile(const char *path, HeldFile *file) {
    file->handle = nullptr;
    lstrcpynA(file->path, path, kPathBufferSize);
    LastHeldError = 0;
    if (!IsNtPlatform) {
        int kind = KindOfPath(path);
        if (kind != kPathPlainFile)
            return kind == kPathMissing ? kHeldMissing : kHeldNotPlain;
        file->attributes = GetFileAttributesA(path);
        file->bytes = static_cast<unsigned long>(FileBytes(path));
        return kHeldOpened;
    }
    // Wine opens a FIFO for reading as Unix does, waiting for a writer: its attribute word, which
    // Wine cannot give for a FIFO or a device, finds it first (Windows has no FIFOs in its file
    // systems). Links and second names are found on the open itself.
    if (RunningUnderWine() && KindByAttributes(path) == kPathNotPlain)
        return kHeldNotPlain;
    // Read, to check the contents; DELETE to rename or delete it; attributes, to lift and set its
    // protection. No delete sharing: while it is held, nobody renames, deletes or replaces it.
    auto open = [path] {
        return CreateFileA(path, GENERIC_READ | DELETE | FILE_WRITE_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL | (AtLeast2000() ? kOpenReparsePoint : 0), nullptr);
    };
    HANDLE opened = open();
    // The open's own error, read at once: the checks below make calls of their own.
    DWORD error = opened == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    // Wine keeps read-only as the Unix write bits, and refuses the attribute access to such a file
    // to every user but root; Windows grants it whatever the attribute says. There a plain file's
    // protection (its links checked first: a lift by name would reach a link's target) is lifted by
    // name for the open and put back at once, through the handle when there is one.
    unsigned long word = 0;
    if (error == ERROR_ACCESS_DENIED && RunningUnderWine() && KindOfPath(path) == kPathPlainFile &&
        ReadAttributeWord(path, &word) && (word & FILE_ATTRIBUTE_READONLY) &&
        WriteAttributeWord(path, word & ~FILE_ATTRIBUTE_READONLY)) {
        opened = open();
        error = opened == INVALID_HANDLE_VALUE ? GetLastError() : 0;
        file->handle = opened == INVALID_HANDLE_VALUE ? nullptr : opened;
        file->attributes = word & ~FILE_ATTRIBUTE_READONLY;
        if (!SetHeldFileAttributes(file, word)) {
            CloseHeldFile(file);
            return kHeldFailed;
        }
    }
    if (opened == INVALID_HANDLE_VALUE) {
        if (error == ERROR_FILE_NOT_FOUND)
            return kHeldMissing;
        if (error == ERROR_ACCESS_DENIED && KindOfPath(path) == kPathNotPlain)
            return kHeldNotPlain;  // a folder refuses a file's open
        Fail(error);               // a path not found: the folder itself is gone
        return kHeldFailed;
    }
    file->handle = opened;
    BY_HANDLE_FILE_INFORMATION info;
    int plain = FileInformation(opened, &info) && GetFileType(opened) == FILE_TYPE_DISK &&
                !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && HeldReparsePointIsLink(opened)) &&
                info.nNumberOfLinks == 1 && OnInstallVolume(info) && !IsUnixLinkUnderWine(opened, path);
    if (!plain) {
        CloseHeldFile(file);
        return kHeldNotPlain;
    }
    file->attributes = info.dwFileAttributes;
    file->bytes = info.nFileSizeLow;
    return kHeldOpened;
}

// Under Wine the rename acts on the name Wine resolved at the open, not on the open file: a name
// swapped in the meantime is what moves (a Unix link itself, never the file it points to), and the
// open then names where that link points. So under Wine the open must name the target exactly
// after the rename; otherwise the name was swapped, and nothing more is done through it.
int MoveHeldFile(HeldFile *file, const char *target) {
    if (!file->handle)
        return MoveFileA(file->path, target) ? (lstrcpynA(file->path, target, kPathBufferSize), 1)
                                             : Fail(GetLastError());
    static RenameInformation rename;
    char full[kPathBufferSize];
    char *namePart = nullptr;
    DWORD length = GetFullPathNameA(target, sizeof full, full, &namePart);
    if (length == 0 || length >= sizeof full)
        return Fail(ERROR_FILENAME_EXCED_RANGE);
    int unc = full[0] == '\\' && full[1] == '\\';
    const WCHAR *prefix = unc ? L"\\??\\UNC" : L"\\??\\";
    int prefixLength = 0;
    for (; prefix[prefixLength]; prefixLength++)
        rename.name[prefixLength] = prefix[prefixLength];
    int wide = MultiByteToWideChar(CP_ACP, 0, unc ? full + 1 : full, -1, rename.name + prefixLength,
                                   kPathBufferSize);
    if (wide <= 0)
        return Fail(ERROR_FILENAME_EXCED_RANGE);
    rename.replaceIfExists = FALSE;
    rename.rootDirectory = nullptr;
    rename.nameBytes = static_cast<ULONG>((prefixLength + wide - 1) * sizeof(WCHAR));
    if (!SetByHandle(file->handle, &rename, sizeof rename, kRenameClass))
        return Fail(GetLastError());
    lstrcpynA(file->path, target, kPathBufferSize);
    if (IsUnixLinkUnderWine(file->handle, target)) {
        CloseHeldFile(file);  // nothing more goes through it
        return Fail(ERROR_NOT_SAME_DEVICE);
    }
    return 1;
}

// A read-only file cannot be given the delete disposition (nor deleted by name on the 95 family):
// its protection is lifted first, and put back when the delete fails.
int DeleteHeldFile(HeldFile *file) {
    unsigned long word = file->attributes;
    int lifted = (word & kAttributeProtection) && SetHeldFileAttributes(file, word & ~kAttributeProtection);
    DispositionInformation disposition = {TRUE};
    if (file->handle ? SetByHandle(file->handle, &disposition, sizeof disposition, kDispositionClass)
                     : DeleteFileA(file->path))
        return 1;
    DWORD error = GetLastError();
    if (lifted)
        SetHeldFileAttributes(file, word);
    return Fail(error);
}

// FILE_ATTRIBUTE_NORMAL stands for no bit at all: 0 would leave the word as it is. Read-only goes
// on after the other bits, as WriteAttributeWord puts it, for Wine's sake.
int SetHeldFileAttributes(HeldFile *file, unsigned long word) {
    if (!file->handle)
        return WriteAttributeWord(file->path, word);
    // The first step only where the file is not read-only yet: on one that is, it would leave it
    // writable for a moment.
    BasicInformation basic = {};
    const unsigned long steps[2] = {file->attributes & FILE_ATTRIBUTE_READONLY
                                        ? word
                                        : word & ~static_cast<unsigned long>(FILE_ATTRIBUTE_READONLY),
                                    word};
    for (unsigned long step : steps) {
        basic.attributes = step ? step : FILE_ATTRIBUTE_NORMAL;
        if (!SetByHandle(file->handle, &basic, sizeof basic, kBasicClass))
            return Fail(GetLastError());
        file->attributes = step;
    }
    return 1;
}

int HeldFileCrc(HeldFile *file, unsigned long *crc) {
    KernelHandle byName;
    HANDLE read = file->handle;
    if (!read) {  // the 95 family: by its name
        *byName.Receive() = CreateFileA(file->path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        read = byName.get();
        if (!byName.valid())
            return 0;
    }
    static unsigned char block[64 * 1024];
    unsigned long sum = 0;
    SetFilePointer(read, 0, nullptr, FILE_BEGIN);
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(read, block, sizeof block, &got, nullptr))
            return 0;
        if (got == 0)
            break;
        sum = crc32(sum, block, got);
    }
    *crc = sum;
    return 1;
}

void CloseHeldFile(HeldFile *file) {
    if (file->handle)
        CloseHandle(file->handle);
    file->handle = nullptr;
}

// Asked on an open of the name that asks for no access; under Wine a Unix link resolves elsewhere
// and is no hard link.
int IsSecondHardLink(const char *path) {
    DWORD attributes = GetFileAttributesA(path);
    if (!IsNtPlatform || attributes == INVALID_FILE_ATTRIBUTES || IsLinkOrFolder(attributes, path))
        return 0;
    KernelHandle file(CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    return file.valid() && FileInformation(file.get(), &info) && info.nNumberOfLinks > 1 &&
           !IsUnixLinkUnderWine(file.get(), path);
}
