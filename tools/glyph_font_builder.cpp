// Builds the 16x16 glyph font (four 512x944 one-bit pages, 0 bits are ink) from GNU Unifont.
#include "glyph_font_builder.h"

#include <cstdio>
#include <fstream>
#include <map>
#include <stdexcept>

#include "standin_text.h"

namespace {

const int kPageBytes = 60416;
const int kPageCount = 4;
const int kCellsPerPage = 1888;
const int kRowBytes = 64;

using Glyph = std::array<uint16_t, 16>;  // one row per entry, bit 15 is the leftmost pixel

std::map<uint32_t, std::string> ReadUnifont(const std::string &path) {
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::map<uint32_t, std::string> glyphs;
    std::string line;
    while (std::getline(in, line)) {
        size_t colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        glyphs[std::stoul(line.substr(0, colon), nullptr, 16)] = line.substr(colon + 1);
    }
    return glyphs;
}

Glyph DecodeHex(const std::string &hex, bool widen) {
    Glyph glyph{};
    bool halfWidth = hex.size() == 32;
    for (int row = 0; row < 16; row++) {
        if (halfWidth) {
            unsigned bits = std::stoul(hex.substr(row * 2, 2), nullptr, 16);
            if (widen) {  // box drawing: every pixel doubled so the lines reach both cell edges
                uint16_t wide = 0;
                for (int b = 0; b < 8; b++)
                    if (bits & (0x80 >> b))
                        wide |= 0xC000 >> (2 * b);
                glyph[row] = wide;
            } else {  // other half-width glyphs are centred in the cell
                glyph[row] = static_cast<uint16_t>(bits << 4);
            }
        } else {
            glyph[row] = static_cast<uint16_t>(std::stoul(hex.substr(row * 4, 4), nullptr, 16));
        }
    }
    return glyph;
}

uint32_t GbkToCodePoint(unsigned code) {
    std::string bytes{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    std::string utf8;
    try {
        utf8 = ConvertToUtf8(bytes, "GBK");
    } catch (const std::exception &) {
        return 0;
    }
    const unsigned char *u = reinterpret_cast<const unsigned char *>(utf8.data());
    if (utf8.size() == 2)
        return ((u[0] & 0x1F) << 6) | (u[1] & 0x3F);
    if (utf8.size() == 3)
        return ((u[0] & 0x0F) << 12) | ((u[1] & 0x3F) << 6) | (u[2] & 0x3F);
    return 0;
}

void PutGlyph(std::vector<unsigned char> &font, int cell, const Glyph &glyph) {
    int page = cell / kCellsPerPage, within = cell % kCellsPerPage;
    int x = (within % 32) * 16, y = (within / 32) * 16;
    for (int row = 0; row < 16; row++) {
        size_t offset = page * kPageBytes + (y + row) * kRowBytes + x / 8;
        font[offset] = static_cast<unsigned char>(~(glyph[row] >> 8));
        font[offset + 1] = static_cast<unsigned char>(~glyph[row]);
    }
}

}  // namespace

std::vector<unsigned char> BuildGlyphFont(const std::string &unifontHexPath) {
    std::map<uint32_t, std::string> unifont = ReadUnifont(unifontHexPath);
    std::vector<unsigned char> font(kPageBytes * kPageCount, 0xFF);
    auto glyphOf = [&](unsigned code, bool widen) -> Glyph {
        uint32_t codePoint = GbkToCodePoint(code);
        bool privateUse = codePoint >= 0xE000 && codePoint <= 0xF8FF;  // unassigned GB2312 positions
        auto found = codePoint && !privateUse ? unifont.find(codePoint) : unifont.end();
        return found == unifont.end() ? Glyph{} : DecodeHex(found->second, widen);
    };
    auto putRow = [&](int firstCell, unsigned lead, bool widen) {
        for (unsigned trail = 0xA1; trail <= 0xFE; trail++)
            PutGlyph(font, firstCell + (trail - 0xA1), glyphOf(lead << 8 | trail, widen));
    };
    for (unsigned lead = 0xA1; lead <= 0xA5; lead++)
        putRow(94 * (lead - 0xA1), lead, false);
    putRow(470, 0xA9, true);  // the box-drawing row of GB2312 is stored under lead 0xA6
    putRow(564, 0xA7, false);
    for (unsigned lead = 0xB0; lead <= 0xF7; lead++)
        putRow(658 + 94 * (lead - 0xB0), lead, false);
    PutGlyph(font, 0, Glyph{});  // the ideographic space stays blank
    PutGlyph(font, 7456, glyphOf(0xE946, false));
    Glyph bar{};
    bar[9] = bar[10] = 0xFFFF;
    PutGlyph(font, 7457, bar);
    return font;
}
