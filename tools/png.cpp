#include "png.h"

#include <zlib.h>

#include <cstdint>

namespace {

std::string Be32(uint32_t v) {
    return std::string{static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
                       static_cast<char>(v)};
}

}  // namespace

std::string PngChunk(const std::string &type, const std::string &data) {
    std::string typed = type + data;
    uint32_t crc = crc32(0, reinterpret_cast<const Bytef *>(typed.data()), static_cast<uInt>(typed.size()));
    return Be32(static_cast<uint32_t>(data.size())) + typed + Be32(crc);
}

std::string PngStart(int width, int height, int bitDepth, int colourType, const std::string &rows,
                     int level) {
    uLongf packedSize = compressBound(static_cast<uLong>(rows.size()));
    std::string packed(packedSize, 0);
    compress2(reinterpret_cast<Bytef *>(&packed[0]), &packedSize,
              reinterpret_cast<const Bytef *>(rows.data()), static_cast<uLong>(rows.size()), level);
    packed.resize(packedSize);
    std::string header = Be32(width) + Be32(height) +
                         std::string{static_cast<char>(bitDepth), static_cast<char>(colourType), 0, 0, 0};
    return "\x89PNG\r\n\x1a\n" + PngChunk("IHDR", header) + PngChunk("IDAT", packed);
}
