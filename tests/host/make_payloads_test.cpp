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

// Runs the generator on a list of a real file (4 bytes listed), a stand-in and a row carried but
// never installed; its messages go to out/messages.
int MakePayloads(const TempFolder &folder, const std::string &realBytes) {
    WriteFile(folder.File("list.tsv"), "# id\tfile\tro\thidden\tbytes\tkind\n"
                                       "900\treal.bin\t1\t0\t4\tdata\n"
                                       "901\tstandin.bin\t0\t1\t1000\tdata\n"
                                       "902\t-\t0\t0\t10\tascii\n");
    mkdir(folder.File("real").c_str(), 0755);
    mkdir(folder.File("out").c_str(), 0755);
    WriteFile(folder.File("real/real.bin"), realBytes);
    std::string command = std::string(TESSO_MAKE_PAYLOADS) + " " + folder.File("list.tsv") + " " +
                          TESSO_TEXT_DIR + " " + TESSO_UNIFONT_HEX + " " + folder.File("real") + " " +
                          folder.File("out") + " 2>" + folder.File("out/messages");
    return std::system(command.c_str());
}

TEST(MakePayloads, RealFileReplacesItsStandInAndTheCatalogueListsTheInstalledRows) {
    TempFolder folder;
    ASSERT_EQ(MakePayloads(folder, "REAL"), 0);
    EXPECT_EQ(Inflate(ReadFile(folder.File("out/900.z")), 100), "REAL");
    EXPECT_EQ(Inflate(ReadFile(folder.File("out/901.z")), 2000).size(), 1000u);
    std::string rc = ReadFile(folder.File("out/payloads.rc"));
    EXPECT_NE(rc.find("IDR_PAYLOAD_STREAMS TEXT \"" + folder.File("out/payloads.pack") + "\""),
              std::string::npos);
    // The pack is the streams one after another, in the order of the table of their checks.
    EXPECT_EQ(ReadFile(folder.File("out/payloads.pack")), ReadFile(folder.File("out/900.z")) +
                                                              ReadFile(folder.File("out/901.z")) +
                                                              ReadFile(folder.File("out/902.z")));
    std::string checks = ReadFile(folder.File("out/payload_checks.inc"));
    EXPECT_LT(checks.find("{900, "), checks.find("{901, "));
    EXPECT_LT(checks.find("{901, "), checks.find("{902, "));
    std::string table = ReadFile(folder.File("out/payload_catalogue_table.inc"));
    // The names and kinds once each in one text, the rows giving where theirs begin.
    EXPECT_EQ(table.substr(table.find("const char")),
              "const char PayloadCatalogueText[] =\n    \"real.bin\\0\"\n    \"data\\0\"\n    "
              "\"standin.bin\\0\"\n    ;\n"
              "const PayloadEntry PayloadCatalogue[] = {\n{900, 1, 0, 0, 9, 4ul},\n{901, 0, 1, 14, 9, "
              "1000ul},\n};\n");
}

// The install's space check and its check of every staged file trust the listed size.
TEST(MakePayloads, RealFileOfAnotherSizeThanListedStopsTheBuild) {
    TempFolder folder;
    EXPECT_NE(MakePayloads(folder, "REALLY"), 0);
    EXPECT_NE(ReadFile(folder.File("out/messages"))
                  .find(folder.File("real/real.bin") + " has 6 bytes, but " + folder.File("list.tsv") +
                        " lists 4 for it"),
              std::string::npos);
}

}  // namespace
