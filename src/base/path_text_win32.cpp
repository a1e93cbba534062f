#include <windows.h>

#include "base/path_text.h"

// IsDBCSLeadByte follows the system's ANSI code page, on every Windows from 95 and NT 3.1 on; in a
// single-byte code page it is never true.
int IsLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != 0; }
