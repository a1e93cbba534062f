#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "glyphs/glyph_cell.h"
#include "glyphs/mixed_text.h"

namespace {

// The pieces of a text, as "g<code>" for a glyph and the character itself otherwise.
std::vector<std::string> Pieces(const char *text) {
    std::vector<std::string> pieces;
    MixedPiece piece;
    for (const char *next = NextMixedPiece(text, &piece); next; next = NextMixedPiece(next, &piece)) {
        char name[16];
        std::snprintf(name, sizeof name, piece.isGlyph ? "g%04X" : "%c", piece.code);
        pieces.push_back(name);
    }
    return pieces;
}

TEST(MixedText, PiecesOfHanziLettersAndOddBytes) {
    EXPECT_TRUE(Pieces("").empty());
    EXPECT_EQ(Pieces("A中b"), (std::vector<std::string>{"A", "gD6D0", "b"}));
    EXPECT_EQ(Pieces("\x81"
                     "AB"),
              (std::vector<std::string>{"g8141", "B"}));                   // a lead byte takes any next byte
    EXPECT_EQ(Pieces("x\xD6"), (std::vector<std::string>{"x", "gD600"}));  // and the terminator at the end
    MixedPiece piece;
    NextMixedPiece("中", &piece);
    GlyphCell cell;
    MapGlyphCell(0xD6D0, &cell);
    EXPECT_EQ(piece.cell.page, cell.page);
    EXPECT_EQ(piece.cell.x, 336);
    EXPECT_EQ(piece.cell.y, 240);
}

}  // namespace
