// Measuring and drawing mixed GBK/ASCII text: a byte of 0x80 or above starts a two-byte character
// drawn 16x16 from the glyph font; every other byte is drawn with the surface's own font.
#pragma once

#include "glyphs/glyph_cell.h"

struct TextExtent {
    int cx;
    int cy;
};

// What drawing mixed text needs from a surface; the Win32 build backs it with GDI.
struct MixedTextSurface {
    void *context;
    int (*measureByte)(void *context, char byte, int *width);  // 1 when the width is known
    void (*drawCell)(void *context, int x, int y, const GlyphCell &cell, int inverse);
    void (*drawByte)(void *context, int x, int y, char byte);
    int (*setTransparent)(void *context);  // returns the previous background mode
    void (*restoreBackground)(void *context, int mode);
};

TextExtent MeasureMixedTextOn(const MixedTextSurface &surface, const char *text);
TextExtent DrawMixedTextOn(const MixedTextSurface &surface, int x, int y, const char *text, int inverse);
