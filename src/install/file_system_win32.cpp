#include "install/file_system.h"

#include <windows.h>

#include <direct.h>
#include <io.h>
#include <sys/stat.h>

#include "setup/dll_search_win32.h"
#include "setup/setup_state.h"

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

int SetFileWritable(const char *path, int writable) {
    return _chmod(path, writable ? (_S_IREAD | _S_IWRITE) : _S_IREAD) == 0;
}

int CopyFileOverwriting(const char *source, const char *target) {
    return CopyFileA(source, target, FALSE) != 0;
}

int TruncateOpenFile(std::FILE *file, long length) {
    return std::fflush(file) == 0 && _chsize(_fileno(file), length) == 0;
}

long FileBytes(const char *path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return -1;
    FindClose(search);
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? -1 : static_cast<long>(found.nFileSizeLow);
}

// Opened for reading, so that a read-only file (every file of an earlier install) still opens,
// and with no sharing, so that any other open handle makes it fail with a sharing violation.
int FileInUse(const char *path) {
    HANDLE file = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_SHARING_VIOLATION;
    CloseHandle(file);
    return 0;
}

// GetDiskFreeSpaceExA is looked up: retail Windows 95 lacks it, and its GetDiskFreeSpaceA reports
// at most 2 GB (enough to tell whether the install fits). The old call wants the root folder.
int FreeDiskSpace(const char *folder, unsigned long long *freeBytes, unsigned long *clusterBytes) {
    char root[4] = {folder[0], ':', '\\', 0};
    DWORD sectorsPerCluster, bytesPerSector, freeClusters, clusters;
    if (!GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters))
        return 0;
    *clusterBytes = sectorsPerCluster * bytesPerSector;
    *freeBytes = static_cast<unsigned long long>(freeClusters) * *clusterBytes;
    typedef BOOL(WINAPI * GetDiskFreeSpaceExCall)(LPCSTR, ULARGE_INTEGER *, ULARGE_INTEGER *,
                                                  ULARGE_INTEGER *);
    FARPROC query = KernelFunction("GetDiskFreeSpaceExA");
    ULARGE_INTEGER available, total, totalFree;
    if (query && AsFunction<GetDiskFreeSpaceExCall>(query)(root, &available, &total, &totalFree))
        *freeBytes = available.QuadPart;  // the caller's quota, where there is one
    return 1;
}

// MoveFileExA replaces in one step on NT; the 95 family has no MoveFileEx, so there the old file
// is deleted first and the new one renamed into its place.
int MoveOverFile(const char *source, const char *target) {
    typedef BOOL(WINAPI * MoveFileExCall)(LPCSTR, LPCSTR, DWORD);
    FARPROC moveEx = IsNtPlatform ? KernelFunction("MoveFileExA") : nullptr;
    if (moveEx)
        return AsFunction<MoveFileExCall>(moveEx)(source, target, MOVEFILE_REPLACE_EXISTING) != 0;
    if (!DeleteFileA(target) && GetLastError() != ERROR_FILE_NOT_FOUND)
        return 0;
    return MoveFileA(source, target) != 0;
}

int IsLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != 0; }

// The handle itself stands for the file; INVALID_HANDLE_VALUE is never handed out.
OutputFile *CreateOutputFile(const char *path, int mode) {
    HANDLE file =
        CreateFileA(path, GENERIC_WRITE, 0, nullptr, mode == kNewFileOnly ? CREATE_NEW : CREATE_ALWAYS,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    return file == INVALID_HANDLE_VALUE ? nullptr : reinterpret_cast<OutputFile *>(file);
}

int WriteOutputFile(OutputFile *file, const void *bytes, unsigned long count) {
    DWORD written = 0;
    return WriteFile(reinterpret_cast<HANDLE>(file), bytes, count, &written, nullptr) && written == count;
}

int CloseOutputFile(OutputFile *file) { return CloseHandle(reinterpret_cast<HANDLE>(file)) != 0; }
