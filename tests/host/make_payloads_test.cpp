// The payload generator: a real product file in the override folder replaces its stand-in.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "temp_folder.h"

namespace {

std::string Inflate(const std::string &stream, size_t capacity) {
    std::vector<unsigned char> out(capacity);
    uLongf length = capacity;
    if (uncompress(out.data(), &length, reinterpret_cast<const Bytef *>(stream.data()), stream.size()) !=
        Z_OK)
        return "<damaged>";
    return std::string(out.begin(), out.begin() + length);
}

TEST(MakePayloads, RealFileReplacesItsStandIn) {
    TempFolder folder;
    WriteFile(folder.File("list.tsv"), "# id\tfile\tro\thidden\tbytes\tkind\n"
                                       "900\treal.bin\t1\t1\t4\tdata\n"
                                       "901\tstandin.bin\t0\t0\t1000\tdata\n");
    mkdir(folder.File("real").c_str(), 0755);
    mkdir(folder.File("out").c_str(), 0755);
    WriteFile(folder.File("real/real.bin"), "REAL");
    std::string command = std::string(TESSO_MAKE_PAYLOADS) + " " + folder.File("list.tsv") + " " +
                          TESSO_TEXT_DIR + " " + TESSO_UNIFONT_HEX + " " + folder.File("real") + " " +
                          folder.File("out") + " 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(Inflate(ReadFile(folder.File("out/900.z")), 100), "REAL");
    EXPECT_EQ(Inflate(ReadFile(folder.File("out/901.z")), 2000).size(), 1000u);
    std::string rc = ReadFile(folder.File("out/payloads.rc"));
    EXPECT_NE(rc.find("900 TEXT \"" + folder.File("out/900.z") + "\""), std::string::npos);
    EXPECT_NE(rc.find("901 TEXT"), std::string::npos);
}

}  // namespace
