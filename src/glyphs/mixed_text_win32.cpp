#include "glyphs/mixed_text_win32.h"
#include "base/setup_state_win32.h"

namespace {

// A byte whose width cannot be measured advances by 0.
int ByteWidth(HDC dc, char byte) {
    SIZE size;
    return GetTextExtentPointA(dc, &byte, 1, &size) ? size.cx : 0;
}

int PieceWidth(HDC dc, const MixedPiece &piece) {
    return piece.isGlyph ? kGlyphSize : ByteWidth(dc, static_cast<char>(piece.code));
}

// The glyph's ink takes the surface's text colour and its paper stays transparent, on any colour
// scheme (dark and high-contrast ones included). A monochrome source on a colour surface gives its
// ink (0) the text colour and its paper (1) the background colour: the ink is first cut out to
// black (AND, black on white), then filled with the text colour (OR, that colour on black). With
// black text, the default scheme's, the second step changes nothing. The surface's colours are
// put back; text on a selection needs nothing else, since the ink is the text colour.
void DrawCell(HDC dc, int x, int y, const GlyphCell &cell) {
    HDC page = GlyphPages[cell.page].surface;
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

}  // namespace

SIZE MeasureMixedText(HDC dc, const char *text) {
    int width = 0;
    MixedPiece piece;
    for (const char *next = NextMixedPiece(text, &piece); next; next = NextMixedPiece(next, &piece))
        width += PieceWidth(dc, piece);
    return SIZE{width, kGlyphSize};
}

// One-byte characters sit one pixel lower than the glyphs, on a transparent background.
SIZE DrawMixedText(HDC dc, int x, int y, const char *text) {
    int previousMode = SetBkMode(dc, TRANSPARENT);
    int pen = x;
    MixedPiece piece;
    for (const char *next = NextMixedPiece(text, &piece); next; next = NextMixedPiece(next, &piece)) {
        if (piece.isGlyph) {
            DrawCell(dc, pen, y, piece.cell);
        } else {
            char byte = static_cast<char>(piece.code);
            TextOutA(dc, pen, y + 1, &byte, 1);
        }
        pen += PieceWidth(dc, piece);
    }
    SetBkMode(dc, previousMode);
    return SIZE{pen - x, kGlyphSize};
}
