#include "glyphs/mixed_text.h"

const char *NextMixedPiece(const char *text, MixedPiece *piece) {
    unsigned char first = static_cast<unsigned char>(text[0]);
    if (!first)
        return nullptr;
    piece->isGlyph = IsGbkLeadByte(first);
    if (!piece->isGlyph) {
        piece->code = first;
        piece->cell = GlyphCell{0, 0, 0};
        return text + 1;
    }
    unsigned char second = static_cast<unsigned char>(text[1]);
    piece->code = static_cast<unsigned>(first) << 8 | second;
    MapGlyphCell(piece->code, &piece->cell);
    return second ? text + 2 : text + 1;
}
