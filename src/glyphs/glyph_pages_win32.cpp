#include "glyphs/glyph_pages_win32.h"
#include "base/setup_state_win32.h"
#include "glyphs/glyph_cell.h"

int BuildGlyphPages(const unsigned char *font) {
    for (int k = 0; k < kGlyphPageCount; k++) {
        GlyphPage &page = GlyphPages[k];
        // Rows of 64 bytes already meet the word alignment of device-dependent bitmaps.
        page.bitmap = CreateBitmap(kGlyphPageWidth, kGlyphPageHeight, 1, 1, font + k * kGlyphPageBytes);
        if (!page.bitmap)
            return 0;
        page.surface = CreateCompatibleDC(nullptr);
        if (!page.surface)
            return 0;
        page.previous = SelectObject(page.surface, page.bitmap);
    }
    return 1;
}

void ReleaseGlyphPages() {
    for (GlyphPage &page : GlyphPages) {
        if (page.surface) {
            SelectObject(page.surface, page.previous);
            DeleteDC(page.surface);
        }
        if (page.bitmap)
            DeleteObject(page.bitmap);
        page = GlyphPage{};
    }
}
