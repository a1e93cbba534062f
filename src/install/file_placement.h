// Writing installed files and managing their read-only and hidden protection.
#pragma once

// "%s\%s" of folder and name into out (kPathBufferSize bytes). Returns 0, with out emptied, when the
// joined path would not fit: callers then fail without touching the disk.
int JoinPath(char *out, const char *folder, const char *name);

// Writes count bytes as InstallDir\fileName (or fullPath when not null), lifting the protection
// of an existing file first and setting the wanted bits afterwards. 1 = written completely.
int WriteInstalledFile(const char *fileName, const void *bytes, unsigned long count, int readOnly,
                       int hidden, const char *fullPath);

// Clears the asked bits. 1 when an asked bit was set (and the word was written back), else 0.
int ClearProtectiveAttributes(const char *path, int clearReadOnly, int clearHidden);

// Lifts the protection and deletes the file: 0 = deleted, -1 = not deleted.
int DeleteInstalledFile(const char *path);
