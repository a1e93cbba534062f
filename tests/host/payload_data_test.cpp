// The generated payload data: the glyph font drawn from Unifont, the licence texts and the
// configuration template keep the shapes the setup and the product rely on.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "glyphs/glyph_cell.h"
#include "payload/payload_store.h"

namespace {

std::string Unpack(unsigned short id) {
    std::vector<unsigned char> buffer(33554432);
    unsigned long length = 0;
    EXPECT_EQ(UnpackPayload(id, buffer.data(), buffer.size(), &length), kPayloadOk) << id;
    return std::string(buffer.begin(), buffer.begin() + length);
}

std::vector<std::string> CrLfLines(const std::string &text, bool *allCrLf) {
    std::vector<std::string> lines;
    *allCrLf = true;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            *allCrLf = false;
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// One row of a glyph cell as 16 bits, leftmost pixel highest; ink is a 1 here.
unsigned CellRow(const std::string &font, unsigned code, int row) {
    GlyphCell cell;
    MapGlyphCell(code, &cell);
    size_t offset = cell.page * kGlyphPageBytes + (cell.y + row) * 64 + cell.x / 8;
    unsigned bits =
        static_cast<unsigned char>(font[offset]) << 8 | static_cast<unsigned char>(font[offset + 1]);
    return ~bits & 0xFFFF;
}

std::string UnifontGlyph(const std::string &codePoint) {
    std::ifstream in(TESSO_UNIFONT_HEX);
    std::string line;
    while (std::getline(in, line))
        if (line.compare(0, codePoint.size() + 1, codePoint + ":") == 0)
            return line.substr(codePoint.size() + 1);
    return "";
}

TEST(GlyphFont, ZhongIsUnifontsGlyphWithInkAsZeroBits) {
    std::string font = Unpack(110);
    ASSERT_EQ(font.size(), static_cast<size_t>(kGlyphFontBytes));
    std::string hex = UnifontGlyph("4E2D");
    ASSERT_EQ(hex.size(), 64u);
    for (int row = 0; row < 16; row++)
        EXPECT_EQ(CellRow(font, 0xD6D0, row), std::stoul(hex.substr(row * 4, 4), nullptr, 16)) << row;
}

TEST(GlyphFont, SpecialCellsAndBlanks) {
    std::string font = Unpack(110);
    for (int row = 0; row < 16; row++) {
        EXPECT_EQ(CellRow(font, 0xA9A4, row), (row == 9 || row == 10) ? 0xFFFFu : 0u) << row;
        EXPECT_EQ(CellRow(font, 0xA1A1, row), 0u);  // the ideographic space
        EXPECT_EQ(CellRow(font, 0xD7FA, row), 0u);  // an unassigned position
    }
    unsigned ink = 0;
    for (int row = 0; row < 16; row++)
        ink |= CellRow(font, 0xE946, row) | CellRow(font, 0xB0A1, row);
    EXPECT_NE(ink, 0u);
    // Box drawing under lead 0xA6 is widened to reach both cell edges: U+2500 is a full line.
    bool fullLine = false;
    for (int row = 0; row < 16; row++)
        fullLine |= CellRow(font, 0xA6A4, row) == 0xFFFF;
    EXPECT_TRUE(fullLine);
}

// Every line of the source text, each ended by CR LF and short enough for the licence box.
TEST(LicenceTexts, ChineseIsItsSourceInShortCrLfLines) {
    std::string text = Unpack(163);
    bool allCrLf = false;
    std::vector<std::string> lines = CrLfLines(text, &allCrLf);
    EXPECT_TRUE(allCrLf);
    std::ifstream source(std::string(TESSO_TEXT_DIR) + "/licence_cn.txt");
    std::string line;
    size_t sourceLines = 0;
    while (std::getline(source, line))
        sourceLines++;
    EXPECT_EQ(lines.size(), sourceLines);
    for (const std::string &line : lines)
        EXPECT_LE(line.size(), 54u) << line;
}

TEST(ConfigTemplate, EndsWithTheConfigSectionAndHasLongLines) {
    std::string ini = Unpack(120);
    const std::string tail = "\r\n[Config]\r\nUseBmpFont=0\r\n\r\n";
    EXPECT_EQ(ini.substr(ini.size() - tail.size()), tail);
    EXPECT_EQ(ini.find("ForceLanguage="), std::string::npos);
    EXPECT_EQ(ini.find("UseBmpFont="), ini.size() - tail.size() + 12);
    bool allCrLf = false;
    std::vector<std::string> lines = CrLfLines(ini, &allCrLf);
    EXPECT_TRUE(allCrLf);
    // The two numbered help texts, and only they, take more than one 255-byte read of the update.
    size_t overLimit = 0;
    for (const std::string &line : lines)
        overLimit += line.size() > 255;
    EXPECT_EQ(overLimit, 2u);
    EXPECT_GT(lines.size(), 600u);
}

}  // namespace
