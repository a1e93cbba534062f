#include <gtest/gtest.h>

#include "glyphs/glyph_cell.h"

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
        MapGlyphCell(v.code, &cell);
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
        MapGlyphCell(code, &cell);
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

}  // namespace
