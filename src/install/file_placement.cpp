#include "install/file_placement.h"

#include <cstdio>

#include "install/file_system.h"
#include "setup/format_text.h"
#include "setup/setup_state.h"

int JoinPath(char *out, const char *folder, const char *name) {
    int length = FormatText(out, kPathBufferSize, "%s" PATH_SEPARATOR "%s", folder, name);
    if (length < 0 || length >= kPathBufferSize) {
        out[0] = 0;
        return 0;
    }
    return 1;
}

static int CopyPath(char *out, const char *path) {
    int length = FormatText(out, kPathBufferSize, "%s", path);
    return length >= 0 && length < kPathBufferSize;
}

static void SetProtection(const char *path, int readOnly, int hidden) {
    unsigned long word = 0;
    if (!ReadAttributeWord(path, &word))
        return;
    if (readOnly)
        word |= kAttributeReadOnly;
    if (hidden)
        word |= kAttributeHidden;
    WriteAttributeWord(path, word);
}

int WriteInstalledFile(const char *fileName, const void *bytes, unsigned long count, int readOnly,
                       int hidden, const char *fullPath) {
    char target[kPathBufferSize];
    if (fullPath ? !CopyPath(target, fullPath) : !JoinPath(target, InstallDir, fileName))
        return 0;
    ClearProtectiveAttributes(target, 1, 1);  // lifts the protection of a file already there
    std::FILE *file = std::fopen(target, "wb");
    if (!file)
        return 0;
    size_t written = std::fwrite(bytes, 1, count, file);
    // A failed close means the data may not have reached the disk (a full disk shows up here).
    int closed = std::fclose(file) == 0;
    if (written != count || !closed)
        return 0;
    if (readOnly || hidden)
        SetProtection(target, readOnly, hidden);
    return 1;
}

int ClearProtectiveAttributes(const char *path, int clearReadOnly, int clearHidden) {
    unsigned long word = 0;
    if (!ReadAttributeWord(path, &word))
        return clearReadOnly || clearHidden;
    unsigned long cleared = word;
    if (clearReadOnly)
        cleared &= ~kAttributeReadOnly;
    if (clearHidden)
        cleared &= ~kAttributeHidden;
    if (cleared == word)
        return 0;
    WriteAttributeWord(path, cleared);
    return 1;
}

int DeleteInstalledFile(const char *path) {
    ClearProtectiveAttributes(path, 1, 1);
    return RemoveFile(path) ? 0 : -1;
}
