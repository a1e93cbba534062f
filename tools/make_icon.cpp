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
    // Three colours: a 16-colour image (4 bits a pixel, the depth every Windows from 95 and NT 4.0
    // on draws as it is) holds them in a quarter of the bytes of 32-bit pixels.
    enum Colour { kTile, kStroke, kBorder };
    const uint8_t palette[3][3] = {{150, 70, 20}, {250, 250, 250}, {90, 40, 10}};  // blue, green, red
    const int size = 32;
    std::string pixels;
    for (int y = size - 1; y >= 0; y--) {  // bottom-up rows, two pixels a byte, the left one high
        for (int x = 0; x < size; x += 2) {
            int pair = 0;
            for (int half = 0; half < 2; half++) {
                int px = x + half, dx = px - 16, dy = y - 16;
                bool border = px < 2 || y < 2 || px >= size - 2 || y >= size - 2;
                bool stroke = (dx + dy > -6 && dx + dy < 2 && dx > -11 && dx < 11) ||
                              (px >= 14 && px <= 17 && y >= 6 && y <= 25);
                Colour colour = border ? kBorder : stroke ? kStroke : kTile;
                pair = pair << 4 | colour;
            }
            pixels.push_back(static_cast<char>(pair));
        }
    }
    std::string colours;  // 16 entries, BGR and a reserved 0; the unused ones black
    for (int i = 0; i < 16; i++)
        colours += i < 3 ? std::string{static_cast<char>(palette[i][0]), static_cast<char>(palette[i][1]),
                                       static_cast<char>(palette[i][2]), 0}
                         : std::string(4, 0);
    std::string mask(size * 4, 0);  // all opaque, rows of 32 bits
    std::string image = Le(40, 4) + Le(size, 4) + Le(size * 2, 4) + Le(1, 2) + Le(4, 2) + Le(0, 4) +
                        Le(pixels.size() + mask.size(), 4) + Le(0, 4) + Le(0, 4) + Le(16, 4) + Le(0, 4) +
                        colours + pixels + mask;
    std::string ico = Le(0, 2) + Le(1, 2) + Le(1, 2);
    ico += std::string{static_cast<char>(size), static_cast<char>(size), 16, 0} + Le(1, 2) + Le(4, 2) +
           Le(image.size(), 4) + Le(6 + 16, 4);
    ico += image;
    FILE *out = std::fopen(argv[1], "wb");
    if (!out || std::fwrite(ico.data(), 1, ico.size(), out) != ico.size() || std::fclose(out) != 0) {
        std::fprintf(stderr, "make_icon: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
