// Mixed GBK and ASCII text on GDI: glyphs from the page surfaces (glyph_pages_win32.h), other bytes
// with the surface's font.
#pragma once

#include <windows.h>

#include "glyphs/mixed_text.h"

SIZE MeasureMixedText(HDC dc, const char *text);
// Draws in the surface's text colour on whatever is there: glyphs from GlyphPages, other bytes with
// the surface's font.
SIZE DrawMixedText(HDC dc, int x, int y, const char *text);
