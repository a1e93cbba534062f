// Writes the setup's 32x32 program icon: a brush stroke over an ink-blue tile.
#include <cstdint>
#include <cstdio>
#include <string>

static std::string Le(uint32_t value, int width) {
    std::string bytes;
    for (int i = 0; i < width; i++)
        bytes.push_back(static_cast<char>(value >> (8 * i)));
    return bytes;
}

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icon <out.ico>\n");
        return 2;
    }
    const int size = 32;
    std::string pixels;
    for (int y = size - 1; y >= 0; y--) {  // bottom-up rows, BGRA
        for (int x = 0; x < size; x++) {
            bool border = x < 2 || y < 2 || x >= size - 2 || y >= size - 2;
            int dx = x - 16, dy = y - 16;
            bool stroke = (dx + dy > -6 && dx + dy < 2 && dx > -11 && dx < 11) ||
                          (x >= 14 && x <= 17 && y >= 6 && y <= 25);
            uint8_t b = 150, g = 70, r = 20;
            if (stroke)
                b = g = r = 250;
            if (border)
                b = 90, g = 40, r = 10;
            pixels += std::string{static_cast<char>(b), static_cast<char>(g), static_cast<char>(r),
                                  static_cast<char>(255)};
        }
    }
    std::string mask(size * 4, 0);  // all opaque, rows of 32 bits
    std::string image = Le(40, 4) + Le(size, 4) + Le(size * 2, 4) + Le(1, 2) + Le(32, 2) + Le(0, 4) +
                        Le(pixels.size() + mask.size(), 4) + Le(0, 4) + Le(0, 4) + Le(0, 4) + Le(0, 4) +
                        pixels + mask;
    std::string ico = Le(0, 2) + Le(1, 2) + Le(1, 2);
    ico += std::string{static_cast<char>(size), static_cast<char>(size), 0, 0} + Le(1, 2) + Le(32, 2) +
           Le(image.size(), 4) + Le(6 + 16, 4);
    ico += image;
    FILE *out = std::fopen(argv[1], "wb");
    if (!out || std::fwrite(ico.data(), 1, ico.size(), out) != ico.size() || std::fclose(out) != 0) {
        std::fprintf(stderr, "make_icon: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
