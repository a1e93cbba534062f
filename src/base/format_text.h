// Bounded formatting of narrow texts. The setup links no C99 printf of its own: Windows 95 and
// NT 4.0 have only msvcrt's _vsnprintf, which neither terminates a text that fills the buffer nor
// says how long the whole text would have been.
#pragma once

#include <cstddef>

// Formats into out (size bytes, terminator included). Returns the length written, or -1 when the
// whole text does not fit; out then holds the text cut short, always terminated.
int FormatText(char *out, size_t size, const char *format, ...);
