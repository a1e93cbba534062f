// The glyph font on GDI: the four page surfaces and mixed-text drawing onto a device context.
#pragma once

#include <windows.h>

#include "glyphs/mixed_text.h"

// Builds GlyphPages from the unpacked font. 0 when a bitmap or surface could not be made (the
// pages built so far stay in GlyphPages for ReleaseGlyphPages).
int BuildGlyphPages(const unsigned char *font);
void ReleaseGlyphPages();

SIZE MeasureMixedText(HDC dc, const char *text);
// Draws in the surface's text colour on whatever is there: glyphs from GlyphPages, other bytes with
// the surface's font.
SIZE DrawMixedText(HDC dc, int x, int y, const char *text);
