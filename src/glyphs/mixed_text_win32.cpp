#include "glyphs/glyph_text_win32.h"
#include "setup/setup_state_win32.h"

namespace {

int MeasureByte(void *context, char byte, int *width) {
    SIZE size;
    if (!GetTextExtentPointA(static_cast<HDC>(context), &byte, 1, &size))
        return 0;
    *width = size.cx;
    return 1;
}

// Monochrome source onto a colour surface: ink (0) takes the text colour, paper (1) the
// background colour; AND keeps the background where the paper is white, OR where it is black.
void DrawCell(void *context, int x, int y, const GlyphCell &cell, int inverse) {
    HDC page = GlyphPages[cell.page].surface;
    if (page)  // before the pages exist (start-up's memory message) a glyph stays blank
        BitBlt(static_cast<HDC>(context), x, y, kGlyphSize, kGlyphSize, page, cell.x, cell.y,
               inverse ? SRCPAINT : SRCAND);
}

void DrawByte(void *context, int x, int y, char byte) { TextOutA(static_cast<HDC>(context), x, y, &byte, 1); }

int SetTransparent(void *context) { return SetBkMode(static_cast<HDC>(context), TRANSPARENT); }

void RestoreBackground(void *context, int mode) { SetBkMode(static_cast<HDC>(context), mode); }

MixedTextSurface SurfaceOf(HDC dc) {
    return MixedTextSurface{dc, MeasureByte, DrawCell, DrawByte, SetTransparent, RestoreBackground};
}

}  // namespace

SIZE MeasureMixedText(HDC dc, const char *text) {
    TextExtent extent = MeasureMixedTextOn(SurfaceOf(dc), text);
    return SIZE{extent.cx, extent.cy};
}

SIZE DrawMixedText(HDC dc, int x, int y, const char *text, int inverse) {
    TextExtent extent = DrawMixedTextOn(SurfaceOf(dc), x, y, text, inverse);
    return SIZE{extent.cx, extent.cy};
}
