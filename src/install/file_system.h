// The few file-system services the installer needs beyond the C runtime. Win32 keeps read-only and
// hidden in the attribute word; the POSIX stand-in keeps them as Wine does (the write bits, and the
// hex attribute word in the xattr user.DOSATTRIB), so a folder written by either build reads the same.
#pragma once

#include <cstdio>

enum : unsigned long {
    kAttributeReadOnly = 0x1,
    kAttributeHidden = 0x2,
    kAttributeDirectory = 0x10,
    kAttributeArchive = 0x20,
};

int ReadAttributeWord(const char *path, unsigned long *word);  // 1 = read, 0 = no such path
int WriteAttributeWord(const char *path, unsigned long word);  // 1 = written
int PathExists(const char *path);                              // files and folders alike
int RemoveFile(const char *path);                              // 1 = deleted
int MakeDirectory(const char *path);                           // 1 = created (one level)
int ChangeDirectory(const char *path);                         // 1 = it is now the current directory
int SetFileWritable(const char *path, int writable);           // the runtime's permission change
int CopyFileOverwriting(const char *source, const char *target);
int TruncateOpenFile(std::FILE *file, long length);            // 1 = done
