#include "landing/install_names.h"

#include "base/format_text.h"

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
