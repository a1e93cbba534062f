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

static int CopyPath(char *out, const char *path) { return FormatText(out, kPathBufferSize, "%s", path) >= 0; }

const char *LastCharacter(const char *text, char c) {
    const char *last = nullptr;
    for (const char *p = text; *p; p++) {
        if (IsLeadByte(static_cast<unsigned char>(*p)) && p[1])
            p++;  // its second byte is part of the same character
        else if (*p == c)
            last = p;
    }
    return last;
}

const char *LastSeparator(const char *path) { return LastCharacter(path, PATH_SEPARATOR[0]); }

int EndsWithSeparator(const char *path) {
    const char *last = LastSeparator(path);
    return last && last[1] == 0;
}

// The temporary name in the target's own folder, so that putting it in place is a rename.
static int TemporaryPathFor(char *out, const char *target) {
    const char *separator = LastSeparator(target);
    int folderLength = separator ? static_cast<int>(separator - target + 1) : 0;
    return FormatText(out, kPathBufferSize, "%.*s~tsonew.tmp", folderLength, target) >= 0;
}

// Every byte written and accepted: the stream's own flush and error flag are checked before the
// close, since some runtimes report 0 from fclose when its final flush failed.
static int WriteWholeFile(const char *path, const void *bytes, unsigned long count) {
    std::FILE *file = std::fopen(path, "wb");
    if (!file)
        return 0;
    int written = std::fwrite(bytes, 1, count, file) == count;
    written = std::fflush(file) == 0 && !std::ferror(file) && written;
    return std::fclose(file) == 0 && written;
}

int WriteInstalledFile(const char *fileName, const void *bytes, unsigned long count, int readOnly,
                       int hidden, const char *fullPath) {
    char target[kPathBufferSize], temporary[kPathBufferSize];
    if (fullPath ? !CopyPath(target, fullPath) : !JoinPath(target, InstallDir, fileName))
        return 0;
    if (!TemporaryPathFor(temporary, target))
        return 0;
    if (!WriteWholeFile(temporary, bytes, count)) {
        RemoveFile(temporary);
        return 0;
    }
    unsigned long before = 0;
    int existed = ReadAttributeWord(target, &before);
    ClearProtectiveAttributes(target, 1, 1);  // a read-only file cannot be replaced
    if (!MoveOverFile(temporary, target)) {
        RemoveFile(temporary);
        if (existed)
            WriteAttributeWord(target, before);
        return 0;
    }
    // The new file keeps the other bits the old one had.
    unsigned long word = 0;
    if (existed)
        WriteAttributeWord(target, before & ~(kAttributeReadOnly | kAttributeHidden));
    if ((readOnly || hidden) && ReadAttributeWord(target, &word))
        WriteAttributeWord(target, word | (readOnly ? kAttributeReadOnly : 0ul) | (hidden ? kAttributeHidden : 0ul));
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
