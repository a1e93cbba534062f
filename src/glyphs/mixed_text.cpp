#include "glyphs/mixed_text.h"

#include <cstring>

static int IsLeadByte(char byte) { return static_cast<unsigned char>(byte) >= 0x80; }

TextExtent MeasureMixedTextOn(const MixedTextSurface &surface, const char *text) {
    size_t length = std::strlen(text);
    int width = 0;
    for (size_t i = 0; i < length;) {
        if (IsLeadByte(text[i])) {
            width += kGlyphSize;  // also for a lead byte that ends the text
            i += 2;
        } else {
            int byteWidth = 0;
            if (surface.measureByte(surface.context, text[i], &byteWidth))
                width += byteWidth;
            i += 1;
        }
    }
    return TextExtent{width, kGlyphSize};
}

TextExtent DrawMixedTextOn(const MixedTextSurface &surface, int x, int y, const char *text, int inverse) {
    size_t length = std::strlen(text);
    int previousMode = surface.setTransparent(surface.context);
    int pen = x;
    for (size_t i = 0; i < length;) {
        if (IsLeadByte(text[i])) {
            // A lead byte at the end takes the terminating zero as its trail.
            unsigned code =
                static_cast<unsigned char>(text[i]) << 8 | static_cast<unsigned char>(text[i + 1]);
            GlyphCell cell;
            MapGlyphCell(code, &cell);
            surface.drawCell(surface.context, pen, y, cell, inverse);
            pen += kGlyphSize;
            i += 2;
        } else {
            // A byte whose width cannot be measured advances by 0.
            int advance = 0;
            surface.measureByte(surface.context, text[i], &advance);
            surface.drawByte(surface.context, pen, y + 1, text[i]);
            pen += advance;
            i += 1;
        }
    }
    surface.restoreBackground(surface.context, previousMode);
    return TextExtent{pen - x, kGlyphSize};
}
