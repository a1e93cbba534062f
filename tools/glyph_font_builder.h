#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The 241,664-byte glyph font in the setup's page layout, drawn from a Unifont .hex file.
std::vector<unsigned char> BuildGlyphFont(const std::string &unifontHexPath);
