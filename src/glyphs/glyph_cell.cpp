#include "glyphs/glyph_cell.h"

void MapGlyphCell(unsigned code, GlyphCell *cell) {
    code &= 0xFFFF;
    if (code == 0xE946 || code == 0xA9A4) {  // two characters outside the GB2312 rows have cells of their own
        cell->x = code == 0xE946 ? 0 : 16;
        cell->y = 896;
        cell->page = 3;
        return;
    }
    int t = static_cast<int>((code + 0x5F60) % 65536);  // code - 0xA0A0 modulo 2^16
    int hi = t / 256, lo = t % 256;
    int s = 96 * hi + lo;
    int d, base;
    if (code >= 0xB0A1) {  // the hanzi rows follow the seven symbol rows directly
        d = s - 1537;
        base = s - 879;
    } else {
        d = s - 97;
        base = s - 97;
    }
    int q = d / 96;
    int n = ((base - 2 * q) % 65536 + 65536) % 65536;
    int r = n / 32;
    int page = r / 59;
    cell->x = (n % 32) * 16;
    cell->y = (16 * r) % kGlyphPageHeight;
    cell->page = page > 3 ? 3 : page;
}
