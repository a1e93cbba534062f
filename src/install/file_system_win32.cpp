#include "install/file_system.h"

#include <windows.h>

#include <direct.h>
#include <io.h>
#include <sys/stat.h>

int ReadAttributeWord(const char *path, unsigned long *word) {
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return 0;
    *word = attributes;
    return 1;
}

int WriteAttributeWord(const char *path, unsigned long word) { return SetFileAttributesA(path, word) != 0; }

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
