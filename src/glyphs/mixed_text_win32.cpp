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

// The glyph's ink takes the surface's text colour and its paper stays transparent, on any colour
// scheme (dark and high-contrast ones included). A monochrome source on a colour surface gives its
// ink (0) the text colour and its paper (1) the background colour: the ink is first cut out to
// black (AND, black on white), then filled with the text colour (OR, that colour on black). With
// black text, the default scheme's, the second step changes nothing. The surface's colours are
// put back; `inverse` (text on a selection) needs nothing else, since the ink is the text colour.
void DrawCell(void *context, int x, int y, const GlyphCell &cell, int) {
    HDC dc = static_cast<HDC>(context), page = GlyphPages[cell.page].surface;
    if (!page)  // before the pages exist (start-up's memory message) a glyph stays blank
        return;
    const COLORREF kBlack = RGB(0, 0, 0), kWhite = RGB(255, 255, 255);
    COLORREF ink = GetTextColor(dc), paper = GetBkColor(dc);
    SetTextColor(dc, kBlack);
    SetBkColor(dc, kWhite);
    BitBlt(dc, x, y, kGlyphSize, kGlyphSize, page, cell.x, cell.y, SRCAND);
    if (ink != kBlack) {
        SetTextColor(dc, ink);
        SetBkColor(dc, kBlack);
        BitBlt(dc, x, y, kGlyphSize, kGlyphSize, page, cell.x, cell.y, SRCPAINT);
    }
    SetTextColor(dc, ink);
    SetBkColor(dc, paper);
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
