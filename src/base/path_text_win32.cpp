#include <windows.h>

#include "base/path_text.h"

// IsDBCSLeadByte follows the system's ANSI code page, on every Windows from 95 and NT 3.1 on; in a
// single-byte code page it is never true.
int IsLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != 0; }

// MultiByteToWideChar follows the same code page, on 95 and NT 3.1 alike; a lead byte alone does not
// convert, and a code page without the superscripts converts the byte to another character.
int SuperscriptDigit(unsigned char c) {
    static const WCHAR kSuperscripts[] = {0x00B9, 0x00B2, 0x00B3};
    char byte = static_cast<char>(c);
    WCHAR wide = 0;
    if (c < 0x80 || MultiByteToWideChar(CP_ACP, 0, &byte, 1, &wide, 1) != 1)
        return 0;
    for (int i = 0; i < 3; i++)
        if (wide == kSuperscripts[i])
            return i + 1;
    return 0;
}
