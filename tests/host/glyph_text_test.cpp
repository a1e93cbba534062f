#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "glyphs/glyph_cell.h"
#include "glyphs/mixed_text.h"

namespace {

struct Expected {
    unsigned code;
    int page, x, y;
};

TEST(MapGlyphCell, WorkedValues) {
    const Expected values[] = {
        {0xA1A1, 0, 0, 0},    {0xA3C1, 0, 448, 96},  {0xB0A1, 0, 288, 320}, {0xA8A1, 0, 288, 320},
        {0xD2BB, 2, 128, 48}, {0xD6D0, 2, 336, 240}, {0xF7FE, 3, 16, 880},  {0xF8A1, 3, 32, 880},
        {0xE946, 3, 0, 896},  {0xA9A4, 3, 16, 896},  {0x8140, 3, 496, 160},
    };
    for (const Expected &v : values) {
        GlyphCell cell;
        EXPECT_EQ(MapGlyphCell(v.code, &cell), 1);
        EXPECT_EQ(cell.page, v.page) << std::hex << v.code;
        EXPECT_EQ(cell.x, v.x) << std::hex << v.code;
        EXPECT_EQ(cell.y, v.y) << std::hex << v.code;
    }
}

TEST(MapGlyphCell, GB2312RowsFormOneSequenceOfCells) {
    for (unsigned lead = 0xA1; lead <= 0xF7; lead++) {
        for (unsigned trail = 0xA1; trail <= 0xFE; trail++) {
            unsigned code = lead << 8 | trail;
            if (code == 0xA9A4)
                continue;
            // Rows 8-15 (lead 0xA8-0xAF) thus land on the first hanzi cells.
            int n =
                lead < 0xB0 ? 94 * (lead - 0xA1) + (trail - 0xA1) : 658 + 94 * (lead - 0xB0) + (trail - 0xA1);
            GlyphCell cell;
            MapGlyphCell(code, &cell);
            ASSERT_EQ(cell.page, n / 1888) << std::hex << code;
            ASSERT_EQ(cell.y, (n % 1888) / 32 * 16) << std::hex << code;
            ASSERT_EQ(cell.x, n % 32 * 16) << std::hex << code;
        }
    }
}

TEST(MapGlyphCell, EveryCodeStaysInsideThePages) {
    for (unsigned code = 0; code <= 0xFFFF; code++) {
        GlyphCell cell;
        ASSERT_EQ(MapGlyphCell(code, &cell), 1);
        ASSERT_TRUE(cell.page >= 0 && cell.page <= 3) << code;
        ASSERT_TRUE(cell.x >= 0 && cell.x <= 496 && cell.x % 16 == 0) << code;
        ASSERT_TRUE(cell.y >= 0 && cell.y <= 928 && cell.y % 16 == 0) << code;
    }
    GlyphCell high, low;
    MapGlyphCell(0x1D6D0, &high);  // bits above 16 are ignored
    MapGlyphCell(0xD6D0, &low);
    EXPECT_EQ(high.x, low.x);
    EXPECT_EQ(high.y, low.y);
}

// A surface that records what would be drawn; one-byte characters are 7 pixels wide, except
// '?' whose width cannot be measured.
struct Recorder {
    std::vector<std::string> calls;
    int mode = 1;
};

MixedTextSurface RecordingSurface(Recorder &r) {
    MixedTextSurface s;
    s.context = &r;
    s.measureByte = [](void *, char byte, int *width) {
        if (byte == '?')
            return 0;
        *width = 7;
        return 1;
    };
    s.drawCell = [](void *c, int x, int y, const GlyphCell &cell, int inverse) {
        static_cast<Recorder *>(c)->calls.push_back(
            "cell " + std::to_string(x) + "," + std::to_string(y) + " p" + std::to_string(cell.page) + " " +
            std::to_string(cell.x) + "," + std::to_string(cell.y) + (inverse ? " or" : " and"));
    };
    s.drawByte = [](void *c, int x, int y, char byte) {
        static_cast<Recorder *>(c)->calls.push_back(std::string("byte ") + byte + " " + std::to_string(x) +
                                                    "," + std::to_string(y));
    };
    s.setTransparent = [](void *c) {
        Recorder *r = static_cast<Recorder *>(c);
        r->calls.push_back("transparent");
        int previous = r->mode;
        r->mode = 0;
        return previous;
    };
    s.restoreBackground = [](void *c, int mode) {
        Recorder *r = static_cast<Recorder *>(c);
        r->calls.push_back("restore " + std::to_string(mode));
        r->mode = mode;
    };
    return s;
}

TEST(MixedText, EmptyTextMeasuresZeroAndStillRestoresTheMode) {
    Recorder r;
    TextExtent measured = MeasureMixedTextOn(RecordingSurface(r), "");
    EXPECT_EQ(measured.cx, 0);
    EXPECT_EQ(measured.cy, 16);
    TextExtent drawn = DrawMixedTextOn(RecordingSurface(r), 5, 5, "", 0);
    EXPECT_EQ(drawn.cx, 0);
    EXPECT_EQ(r.calls, (std::vector<std::string>{"transparent", "restore 1"}));
}

TEST(MixedText, TwoHanziAndLetterWithHanzi) {
    Recorder r;
    EXPECT_EQ(MeasureMixedTextOn(RecordingSurface(r), "中一").cx, 32);
    TextExtent drawn = DrawMixedTextOn(RecordingSurface(r), 10, 20, "A中", 0);
    EXPECT_EQ(drawn.cx, 7 + 16);
    EXPECT_EQ(drawn.cy, 16);
    EXPECT_EQ(r.calls, (std::vector<std::string>{"transparent", "byte A 10,21", "cell 17,20 p2 336,240 and",
                                                 "restore 1"}));
}

TEST(MixedText, TrailingLeadByteCountsSixteenAndDrawsCodeLeadTimes256) {
    Recorder r;
    const char text[] = "x\xD6";
    EXPECT_EQ(MeasureMixedTextOn(RecordingSurface(r), text).cx, 7 + 16);
    DrawMixedTextOn(RecordingSurface(r), 0, 0, text, 1);
    GlyphCell cell;
    MapGlyphCell(0xD600, &cell);
    EXPECT_EQ(r.calls[2], "cell 7,0 p" + std::to_string(cell.page) + " " + std::to_string(cell.x) + "," +
                              std::to_string(cell.y) + " or");
}

TEST(MixedText, LeadByteTakesAnyNextByteAndUnmeasurableBytesAddNothing) {
    Recorder r;
    EXPECT_EQ(MeasureMixedTextOn(RecordingSurface(r), "\x81"
                                                      "AB")
                  .cx,
              16 + 7);  // 'A' is the trail
    EXPECT_EQ(MeasureMixedTextOn(RecordingSurface(r), "a?b").cx, 14);
    TextExtent drawn = DrawMixedTextOn(RecordingSurface(r), 0, 0, "a?b", 0);
    EXPECT_EQ(drawn.cx, 14);
    EXPECT_EQ(r.calls[3], "byte b 7,1");  // the unmeasurable '?' advanced by nothing
}

}  // namespace
