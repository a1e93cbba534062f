#include "install/install_tables.h"

#include "base/format_text.h"

enum { kOptional = 0, kRequired = 1 };
enum { kAlways = 0, kWordBase = 1 };

// One row a phase, as the install reads; the formatter leaves the rows as they are.
// clang-format off
const InstallStep InstallSteps[] = {
    // A: core dictionaries (checkpoint 10 is set when the bar appears)
    {0, 106, kRequired, kAlways}, {0, 131, kRequired, kAlways}, {0, 143, kRequired, kAlways},
    // B
    {15, 111, kRequired, kAlways},
    // C
    {20, 153, kOptional, kAlways}, {0, 123, kOptional, kAlways}, {0, 118, kOptional, kAlways},
    {0, 137, kOptional, kAlways},
    // D: read-me texts and the configuration template
    {0, 114, kRequired, kAlways}, {0, 115, kRequired, kAlways}, {0, 120, kRequired, kAlways},
    // E
    {0, 122, kOptional, kAlways}, {0, 203, kOptional, kAlways}, {0, 204, kOptional, kAlways},
    {0, 165, kOptional, kAlways},
    // F: the glyph font
    {25, 110, kRequired, kAlways},
    // G: keyboard maps
    {30, 116, kRequired, kAlways}, {0, 136, kRequired, kAlways}, {0, 138, kRequired, kAlways},
    {0, 140, kRequired, kAlways}, {0, 141, kRequired, kAlways}, {0, 149, kRequired, kAlways},
    {0, 151, kRequired, kAlways}, {0, 150, kRequired, kAlways}, {0, 152, kRequired, kAlways},
    // H: the word base
    {35, 127, kRequired, kWordBase},
    // I
    {45, 130, kRequired, kAlways}, {0, 191, kRequired, kAlways}, {0, 192, kRequired, kAlways},
    {0, 132, kRequired, kAlways},
    // J: data files, tools, help pages and images
    {0, 144, kOptional, kAlways}, {0, 162, kOptional, kAlways}, {0, 189, kOptional, kAlways},
    {0, 173, kOptional, kAlways}, {0, 241, kOptional, kAlways}, {0, 240, kOptional, kAlways},
    {0, 248, kOptional, kAlways}, {0, 249, kOptional, kAlways}, {0, 250, kOptional, kAlways},
    {0, 251, kOptional, kAlways}, {0, 252, kOptional, kAlways},
    {0, 253, kOptional, kAlways}, {0, 254, kOptional, kAlways}, {0, 255, kOptional, kAlways},
    {0, 256, kOptional, kAlways},
    {0, 175, kOptional, kAlways}, {0, 176, kOptional, kAlways}, {0, 177, kOptional, kAlways},
    {0, 178, kOptional, kAlways}, {0, 179, kOptional, kAlways}, {0, 174, kOptional, kAlways},
    {0, 180, kOptional, kAlways}, {0, 181, kOptional, kAlways}, {0, 182, kOptional, kAlways},
    {0, 183, kOptional, kAlways}, {0, 184, kOptional, kAlways},
    {0, 194, kOptional, kAlways}, {0, 195, kOptional, kAlways}, {0, 196, kOptional, kAlways},
    {0, 197, kOptional, kAlways}, {0, 198, kOptional, kAlways}, {0, 193, kOptional, kAlways},
    {0, 199, kOptional, kAlways}, {0, 200, kOptional, kAlways}, {0, 201, kOptional, kAlways},
    {0, 294, kOptional, kAlways}, {0, 295, kOptional, kAlways}, {0, 296, kOptional, kAlways},
    {0, 297, kOptional, kAlways}, {0, 298, kOptional, kAlways}, {0, 293, kOptional, kAlways},
    {0, 299, kOptional, kAlways}, {0, 300, kOptional, kAlways}, {0, 301, kOptional, kAlways},
    {0, 205, kOptional, kAlways}, {0, 206, kOptional, kAlways}, {0, 207, kOptional, kAlways},
    {0, 208, kOptional, kAlways},
    {0, 258, kOptional, kAlways}, {0, 119, kOptional, kAlways}, {0, 171, kOptional, kAlways},
    {0, 164, kOptional, kAlways}, {0, 163, kOptional, kAlways}, {0, 190, kOptional, kAlways},
    {0, 210, kOptional, kAlways}, {0, 211, kOptional, kAlways}, {0, 212, kOptional, kAlways},
    {0, 213, kOptional, kAlways}, {0, 214, kOptional, kAlways}, {0, 215, kOptional, kAlways},
    {0, 216, kOptional, kAlways}, {0, 217, kOptional, kAlways}, {0, 218, kOptional, kAlways},
    {0, 219, kOptional, kAlways}, {0, 220, kOptional, kAlways}, {0, 221, kOptional, kAlways},
    {0, 222, kOptional, kAlways}, {0, 223, kOptional, kAlways}, {0, 224, kOptional, kAlways},
    {0, 225, kOptional, kAlways}, {0, 226, kOptional, kAlways}, {0, 227, kOptional, kAlways},
    // K: the typing tutor
    {50, 139, kRequired, kAlways},
    // L
    {55, 126, kOptional, kWordBase},
    // M: word-base indexes and the editor
    {65, 128, kRequired, kWordBase}, {0, 129, kRequired, kWordBase}, {0, 109, kRequired, kAlways},
    // N: guides, the keyboard hook and the engine itself
    {70, 133, kOptional, kAlways}, {0, 134, kOptional, kAlways}, {0, 135, kOptional, kAlways},
    {0, 159, kOptional, kAlways}, {0, 160, kOptional, kAlways}, {0, 271, kOptional, kAlways},
    {0, 272, kOptional, kAlways}, {0, 145, kOptional, kAlways}, {0, 146, kOptional, kAlways},
    // O
    {90, 0, kOptional, kAlways},
};
// clang-format on
const int InstallStepCount = sizeof InstallSteps / sizeof InstallSteps[0];

static const char *const kPurgePatterns[] = {"pykeys.dic%s", "Gbkflat.dic%s", "flatAuto.dic%s",
                                             "flatAdjust.dic%s"};

int PurgeFileName(int index, char *name, unsigned size) {
    // Sixteen suffixes: none, then the four-digit binary numerals of 1 to 15.
    int bits = index / 4;
    char suffix[8] = "";
    if (bits)
        FormatText(suffix, sizeof suffix, "%1d%1d%1d%1d", bits >> 3 & 1, bits >> 2 & 1, bits >> 1 & 1,
                   bits & 1);
    return FormatText(name, size, kPurgePatterns[index % 4], suffix) > 0;
}
