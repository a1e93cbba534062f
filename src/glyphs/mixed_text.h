// Mixed GBK/ASCII text: a byte of 0x80 or above starts a two-byte character drawn 16x16 from the
// glyph font; every other byte is one character drawn with the surface's own font. The scanner
// returns the pieces; the Win32 side measures and draws them (mixed_text_win32.h).
#pragma once

#include "glyphs/glyph_cell.h"

struct TextExtent {
    int cx;
    int cy;
};

struct MixedPiece {
    int isGlyph;     // 1: a glyph cell, kGlyphSize wide; 0: one single-byte character
    GlyphCell cell;  // isGlyph: where the glyph is in the pages
    unsigned code;   // isGlyph: the two-byte code; else the byte
};

// The program's own text is GBK whatever the system's code page: its lead bytes are told by this
// rule, not by the system's (paths follow the system's, base/path_text.h).
inline int IsGbkLeadByte(unsigned char c) { return c >= 0x80; }
// The bytes of the character at p: 2 for a lead byte followed by another byte, else 1.
inline int GbkCharacterBytes(const char *p) {
    return IsGbkLeadByte(static_cast<unsigned char>(*p)) && p[1] ? 2 : 1;
}

// The next piece of text and the text after it, or null at the end. A lead byte takes any next
// byte as its trail; one that ends the text takes the terminating zero (its code is lead x 256).
const char *NextMixedPiece(const char *text, MixedPiece *piece);
