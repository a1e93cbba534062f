// The setup's own glyph font, read from its exe, and the search for its glyphs in a capture.
#include "wizard_driver.h"

#include <zlib.h>

#include "glyphs/glyph_cell.h"

namespace driver {

namespace {

const std::vector<unsigned char> &GlyphFont() {
    static std::vector<unsigned char> font;
    if (!font.empty())
        return font;
    std::vector<char> stream = PayloadStream(WindowsPath(Environment("TESSO_SETUP_EXE")), 110);
    if (stream.empty())
        return font;
    std::vector<unsigned char> bytes(307200);
    uLongf length = bytes.size();
    if (uncompress(bytes.data(), &length, reinterpret_cast<const Bytef *>(stream.data()), stream.size()) ==
        Z_OK) {
        bytes.resize(length);
        font = bytes;
    }
    return font;
}

// The same cell arithmetic as the setup, restated from the font's layout: GB2312 rows in order,
// 94 cells a row, the hanzi straight after the seventh symbol row.
int CellNumber(unsigned code) {
    unsigned lead = code >> 8, trail = code & 0xFF;
    if (code == 0xE946)
        return 7456;
    if (lead >= 0xB0)
        return 658 + 94 * (lead - 0xB0) + (trail - 0xA1);
    return 94 * (lead - 0xA1) + (trail - 0xA1);
}

bool GlyphAt(const Image &image, const Glyph &glyph, uint32_t ink, int x0, int y0, int rows) {
    for (int row = 0; row < rows; row++) {
        const uint32_t *line = &image.pixels[(y0 + row) * image.width + x0];
        for (int col = 0; col < 16; col++) {
            bool isInk = (glyph[row] >> (15 - col)) & 1;
            if ((line[col] == ink) != isInk)
                return false;
        }
    }
    return true;
}

}  // namespace

Glyph LoadGlyph(unsigned code) {
    const std::vector<unsigned char> &font = GlyphFont();
    Glyph glyph(16, 0);
    if (font.size() != kGlyphFontBytes)
        return glyph;
    int n = CellNumber(code);
    int page = n / 1888, within = n % 1888;
    int x = (within % 32) * 16, y = (within / 32) * 16;
    for (int row = 0; row < 16; row++) {
        size_t offset = page * 60416 + (y + row) * 64 + x / 8;
        glyph[row] = static_cast<uint16_t>(~(font[offset] << 8 | font[offset + 1]));
    }
    return glyph;
}

bool FindGlyph(const Image &image, const Glyph &glyph, uint32_t ink, const RECT &area, POINT *at, int rows) {
    for (int y = area.top; y + 16 <= area.bottom && y + 16 <= image.height; y++)
        for (int x = area.left; x + 16 <= area.right && x + 16 <= image.width; x++)
            if (x >= 0 && y >= 0 && GlyphAt(image, glyph, ink, x, y, rows)) {
                *at = POINT{x, y};
                return true;
            }
    return false;
}

bool FindChineseText(const Image &image, const char *gbk, uint32_t ink, const RECT &area, POINT *at) {
    RECT rest = area;
    bool first = true;
    for (const unsigned char *p = reinterpret_cast<const unsigned char *>(gbk); *p;) {
        if (*p < 0x80) {
            p++;
            continue;
        }
        POINT found;
        if (!FindGlyph(image, LoadGlyph(p[0] << 8 | p[1]), ink, rest, &found))
            return false;
        if (first)
            *at = found;
        first = false;
        rest = RECT{found.x + 16, found.y, area.right, found.y + 16};
        p += 2;
    }
    return !first;
}

}  // namespace driver
