// Moves the resource section of a PE image (and every section after it in the file) to a 4 KiB
// boundary of the file, in place. The setup is linked with 512-byte file alignment, which keeps its
// code and tables free of page padding; its resources, which hold the 28 MB of packed payloads, stay
// where a loader can map them straight from the file: Wine maps a section whose file offset is a
// page multiple and reads any other whole into memory at start-up (Windows NT pages any section in
// from its sectors as it is touched, either way). Only file offsets change: nothing in the image as
// loaded moves, and the header's checksum, when set, is computed again.
// usage: align_resources <exe>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

uint32_t Read32(const std::vector<char> &image, size_t at) {
    uint32_t value;
    std::memcpy(&value, &image[at], 4);
    return value;
}

void Write32(std::vector<char> *image, size_t at, uint32_t value) { std::memcpy(&(*image)[at], &value, 4); }

// The image checksum as the system's CheckSumMappedFile computes it, the field itself counted as 0.
uint32_t ImageChecksum(const std::vector<char> &image, size_t field) {
    uint64_t sum = 0;
    for (size_t at = 0; at < image.size(); at += 2) {
        if (at == field || at == field + 2)
            continue;
        uint16_t word = static_cast<unsigned char>(image[at]);
        if (at + 1 < image.size())
            word |= static_cast<uint16_t>(static_cast<unsigned char>(image[at + 1]) << 8);
        sum += word;
        sum = (sum & 0xffff) + (sum >> 16);
    }
    return static_cast<uint32_t>(sum + image.size());
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: align_resources <exe>\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::vector<char> image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (image.size() < 0x40 || image[0] != 'M' || image[1] != 'Z') {
        std::fprintf(stderr, "%s: not a PE image\n", argv[1]);
        return 1;
    }
    // Only what the linker makes of the setup is taken: a PE image with its optional header and
    // section table whole, no symbol table and no debug directory (whose file offsets would move).
    const size_t header = Read32(image, 0x3c), optional = header + 24;
    if (header > image.size() - 24 || std::memcmp(&image[header], "PE\0\0", 4) != 0) {
        std::fprintf(stderr, "%s: not a PE image\n", argv[1]);
        return 1;
    }
    const unsigned sections =
        static_cast<unsigned char>(image[header + 6]) | static_cast<unsigned char>(image[header + 7]) << 8;
    const unsigned optionalSize =
        static_cast<unsigned char>(image[header + 20]) | static_cast<unsigned char>(image[header + 21]) << 8;
    const bool wide = optionalSize > 1 && static_cast<unsigned char>(image[optional + 1]) == 2;  // PE32+
    const size_t checksumField = optional + 64, directories = optional + (wide ? 112 : 96);
    const size_t certificates = directories + 4 * 8, debug = directories + 6 * 8;
    const size_t table = optional + optionalSize;
    if (table + 40 * sections > image.size() || debug + 8 > table || Read32(image, header + 12) != 0 ||
        Read32(image, debug + 4) != 0) {
        std::fprintf(stderr, "%s: not an image this tool can move sections of\n", argv[1]);
        return 1;
    }
    for (unsigned i = 0; i < sections; i++) {
        uint64_t end = uint64_t{Read32(image, table + 40 * i + 20)} + Read32(image, table + 40 * i + 16);
        if (end > image.size()) {
            std::fprintf(stderr, "%s: a section runs past the end of the file\n", argv[1]);
            return 1;
        }
    }
    size_t resources = 0;
    for (unsigned i = 0; i < sections; i++)
        if (std::memcmp(&image[table + 40 * i], ".rsrc\0\0", 8) == 0)
            resources = table + 40 * i;
    if (!resources) {
        std::fprintf(stderr, "%s: no resource section\n", argv[1]);
        return 1;
    }
    const uint32_t from = Read32(image, resources + 20), to = (from + 0xfff) & ~0xfffu;
    if (from == to)
        return 0;
    for (unsigned i = 0; i < sections; i++) {
        size_t entry = table + 40 * i;
        uint32_t offset = Read32(image, entry + 20);
        if (offset >= from)
            Write32(&image, entry + 20, offset + (to - from));
    }
    if (Read32(image, certificates) >= from && Read32(image, certificates + 4))
        Write32(&image, certificates, Read32(image, certificates) + (to - from));
    image.insert(image.begin() + from, to - from, 0);
    if (Read32(image, checksumField))
        Write32(&image, checksumField, ImageChecksum(image, checksumField));
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(image.data(), static_cast<std::streamsize>(image.size()));
    return out ? 0 : 1;
}
