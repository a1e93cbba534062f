// src/glyphs/: the setup's own bilingual text. Its 16x16 GBK glyph font, text that mixes glyphs
// with ASCII, and the look of every control the program draws, so that Chinese reads on systems
// without Chinese fonts.
//
// The built-in 16x16 glyph font: four pages of 59 x 32 cells, GB2312 rows in order.
#pragma once

struct GlyphCell {
    int x;  // pixel position of the cell's top-left corner within its page
    int y;
    int page;  // 0 to 3
};

enum {
    kGlyphSize = 16,
    kGlyphPageWidth = 512,
    kGlyphPageHeight = 944,
    kGlyphPageBytes = 60416,
    kGlyphFontBytes = 4 * kGlyphPageBytes,
};

// Maps a GBK code (lead byte high) to its cell. Every 16-bit value yields a cell inside the pages.
void MapGlyphCell(unsigned code, GlyphCell *cell);
