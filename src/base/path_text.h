// Paths as text: joining, cutting and comparing them, one character at a time. A path is in the
// system's ANSI code page, where (in GBK and Big5) the second byte of a two-byte character may be
// 0x5C, the backslash: every walk here steps over whole characters, so that such a byte is never
// taken for a separator.
#pragma once

#include "base/setup_state.h"

// Whether c starts a two-byte character in the system's ANSI code page. The platform defines it
// (on Windows the system's own table, which follows the code page in use).
int IsLeadByte(unsigned char c);

// 1, 2 or 3 when the single byte c is the superscript digit ¹, ² or ³ in the system's ANSI code page
// (0xB9, 0xB2 and 0xB3 in 1252), else 0. The platform defines it, as IsLeadByte.
int SuperscriptDigit(unsigned char c);

// The bytes of the character at p: 2 for a lead byte followed by another byte, else 1 (a lead byte
// at the end of the text is a character of its own).
inline int PathCharacterBytes(const char *p) {
    return IsLeadByte(static_cast<unsigned char>(*p)) && p[1] ? 2 : 1;
}

// A to Z as a to z, every other byte as it is: the one case folding of the setup's name
// comparisons. Windows compares file names without their case; the names and endings the setup
// compares are ASCII, and folding only A to Z never turns a byte of a two-byte character into
// another character.
inline char FoldAsciiCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// "%s\%s" of folder and name into out (kPathBufferSize bytes). Returns 0, with out emptied, when the
// joined path would not fit: callers then fail without touching the disk.
int JoinPath(char *out, const char *folder, const char *name);

// Appends formatted text to a path buffer of kPathBufferSize bytes; 0, with nothing appended, when
// it would not fit.
int AppendToPath(char *path, const char *format, const char *text);

// The last byte c of text that is a character of its own, or null.
const char *LastCharacter(const char *text, char c);
// The last path separator of path, or null.
const char *LastSeparator(const char *path);
// The end of the folder or file name that begins at name: the next separator ('\\', or '/', which
// the system takes for one too) or the end of the path. Every walk of a path name by name uses it.
const char *NameEnd(const char *name);
// Whether path ends with a separator.
int EndsWithSeparator(const char *path);

// The folder part of a Windows path (the program's own, a shortcut's target), its last backslash
// included, into out (kPathBufferSize bytes, cut to fit); 0, with out untouched, when path has no
// backslash. The backslash on every build: such a path comes from Windows, also in the tests.
int FolderPartOf(char *out, const char *path);

// Whether two paths are the same text to Windows: ASCII case folded (the shell keeps the case it
// was given, Windows ignores it) and a run of separators taken as one (a folder typed with a
// trailing backslash joins with two); the second byte of a two-byte character is compared as it is.
int SamePathText(const char *a, const char *b);
