// Bounded formatting of narrow texts. The setup links no C99 printf of its own: Windows 95 and
// NT 4.0 have only msvcrt's _vsnprintf, which neither terminates a text that fills the buffer nor
// says how long the whole text would have been.
#pragma once

#include <cstddef>

// Formats into out (size bytes, terminator included). Returns the length written, or -1 when the
// whole text does not fit; out then holds the text cut short, always terminated.
int FormatText(char *out, size_t size, const char *format, ...);

// How many texts a run of texts one after another holds (each ends in its zero), counted as the
// program is compiled: for tables kept as one text, so that no row needs a pointer of its own.
constexpr int TextsIn(const char *text, int bytes) {
    int count = 0;
    for (int i = 0; i < bytes; i++)
        count += text[i] == 0;
    return count;
}

// The text at index n (from 0) of such a run.
const char *NthText(const char *texts, int n);
