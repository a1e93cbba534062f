// PNG pieces shared by the stand-in generator and the test driver's screenshots.
#pragma once

#include <string>

// One chunk: length, type, data and the CRC of type and data.
std::string PngChunk(const std::string &type, const std::string &data);

// The signature, the header and the one data chunk of an image whose rows are given filtered (each
// row begins with its filter byte), packed at the zlib level given. The caller adds what follows,
// IEND last.
std::string PngStart(int width, int height, int bitDepth, int colourType, const std::string &rows, int level);
