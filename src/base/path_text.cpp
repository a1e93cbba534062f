#include "base/path_text.h"

#include <cstring>

#include "base/format_text.h"

int JoinPath(char *out, const char *folder, const char *name) {
    int length = FormatText(out, kPathBufferSize, "%s" PATH_SEPARATOR "%s", folder, name);
    if (length < 0 || length >= kPathBufferSize) {
        out[0] = 0;
        return 0;
    }
    return 1;
}

int AppendToPath(char *path, const char *format, const char *text) {
    size_t used = std::strlen(path);
    int added = FormatText(path + used, kPathBufferSize - used, format, text);
    if (added < 0 || used + added >= kPathBufferSize) {
        path[used] = 0;
        return 0;
    }
    return 1;
}

const char *LastCharacter(const char *text, char c) {
    const char *last = nullptr;
    for (const char *p = text; *p; p += PathCharacterBytes(p))
        if (*p == c)
            last = p;  // a lead byte is never c: c is ASCII
    return last;
}

const char *NameEnd(const char *name) {
    while (*name && *name != '\\' && *name != '/')
        name += PathCharacterBytes(name);
    return name;
}

const char *LastSeparator(const char *path) { return LastCharacter(path, PATH_SEPARATOR[0]); }

int EndsWithSeparator(const char *path) {
    const char *last = LastSeparator(path);
    return last && last[1] == 0;
}

int FolderPartOf(char *out, const char *path) {
    const char *last = LastCharacter(path, '\\');
    if (!last)
        return 0;
    size_t length = last - path + 1;
    if (length >= kPathBufferSize)
        length = kPathBufferSize - 1;
    std::memcpy(out, path, length);
    out[length] = 0;
    return 1;
}

int SamePathText(const char *a, const char *b) {
    const char separator = PATH_SEPARATOR[0];
    while (*a && *b) {
        unsigned char x = static_cast<unsigned char>(*a), y = static_cast<unsigned char>(*b);
        if (PathCharacterBytes(a) == 2) {
            if (x != y || a[1] != b[1])
                return 0;
            a += 2;
            b += 2;
            continue;
        }
        if (x == separator && y == separator) {
            while (*a == separator)
                a++;
            while (*b == separator)
                b++;
            continue;
        }
        if (FoldAsciiCase(*a) != FoldAsciiCase(*b))
            return 0;
        a++;
        b++;
    }
    return *a == *b;
}
