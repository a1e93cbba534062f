// Build-time generator of the setup's payloads, and the one reader of resources/payloads.tsv. For
// every row it takes the product's real file from the override folder when one is there (its size
// must be the listed one: the install's space check and its check of every staged file trust the
// list), and otherwise makes a deterministic stand-in of the catalogue's exact size and kind. Each
// payload is packed with Zopfli as one zlib stream into <out>/<id>.z; <out>/payloads.pack holds
// the same streams one after another, in the order of <out>/payload_checks.inc, which lists the
// size and CRC-32 of every packed stream for the setup's check; <out>/payloads.rc embeds that pack
// as one "TEXT" resource (IDR_PAYLOAD_STREAMS, where the setup finds each stream by the sizes
// before it in the table); <out>/payload_catalogue_table.inc is the program's catalogue of
// the installed rows and <out>/payload_ids.inc names their ids for the install's tables.
//
// usage: make_payloads <payloads.tsv> <text folder> <unifont.hex> <override folder> <out folder>
#include <zlib.h>
#include <zopfli/zopfli.h>

#include "png.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "glyph_font_builder.h"
#include "standin_text.h"

namespace {

struct Row {
    int id;
    std::string file;
    int readOnly, hidden;
    size_t bytes;
    std::string kind;
};

struct Inputs {
    std::string textFolder, unifontPath, overrideFolder;
};

// "kPayload" and the installed name in capitalised pieces: TSO.exe is kPayloadTsoExe, ChnBmp.bin
// kPayloadChnBmpBin, License_cn.txt kPayloadLicenseCnTxt (a piece in capitals alone is lowered
// after its first letter).
std::string IdName(const std::string &file) {
    std::string name = "kPayload", piece;
    auto flush = [&] {
        bool allUpper = std::none_of(piece.begin(), piece.end(), [](char c) { return c >= 'a' && c <= 'z'; });
        for (size_t i = 0; i < piece.size(); i++) {
            char c = piece[i];
            if (i == 0 && c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
            else if (i > 0 && allUpper && c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
            name += c;
        }
        piece.clear();
    };
    for (char c : file) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
            piece += c;
        else
            flush();
    }
    flush();
    return name;
}

std::vector<Row> ReadCatalogue(const std::string &path) {
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::vector<Row> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        Row row;
        fields >> row.id >> row.file >> row.readOnly >> row.hidden >> row.bytes >> row.kind;
        if (!fields)
            throw std::runtime_error("bad catalogue line: " + line);
        rows.push_back(row);
    }
    return rows;
}

bool ReadWholeFile(const std::string &path, std::string &bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream content;
    content << in.rdbuf();
    bytes = content.str();
    return true;
}

void WriteWholeFile(const std::string &path, const std::string &bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), bytes.size());
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::string Le(uint32_t value, int width) {
    std::string bytes;
    for (int i = 0; i < width; i++)
        bytes.push_back(static_cast<char>(value >> (8 * i)));
    return bytes;
}

// ---- images -------------------------------------------------------------------------------------

std::string Bmp(int width, int height, int bitsPerPixel, size_t expected) {
    int rowBytes = ((width * bitsPerPixel + 31) / 32) * 4;
    int paletteEntries = bitsPerPixel <= 8 ? 1 << bitsPerPixel : 0;
    uint32_t dataOffset = 14 + 40 + 4 * paletteEntries;
    uint32_t imageBytes = rowBytes * height;
    std::string bmp = "BM" + Le(dataOffset + imageBytes, 4) + Le(0, 4) + Le(dataOffset, 4);
    bmp += Le(40, 4) + Le(width, 4) + Le(height, 4) + Le(1, 2) + Le(bitsPerPixel, 2) + Le(0, 4) +
           Le(imageBytes, 4) + Le(2835, 4) + Le(2835, 4) + Le(paletteEntries, 4) + Le(0, 4);
    for (int i = 0; i < paletteEntries; i++) {
        int grey = paletteEntries == 2 ? (i ? 255 : 0) : i;
        bmp += std::string{static_cast<char>(grey), static_cast<char>(grey), static_cast<char>(grey), 0};
    }
    // A keyboard-like grid of keys, so the picture is recognisably a key map.
    for (int y = 0; y < height; y++) {
        std::string row(rowBytes, 0);
        for (int x = 0; x < width; x++) {
            bool line = (x % 54) < 2 || (y % 54) < 2;
            if (bitsPerPixel == 1) {
                if (!line)
                    row[x / 8] |= static_cast<char>(0x80 >> (x % 8));
            } else if (bitsPerPixel == 8) {
                row[x] = static_cast<char>(line ? 40 : 200 + (x / 54 + y / 54) % 40);
            } else {
                for (int c = 0; c < 3; c++)
                    row[3 * x + c] =
                        static_cast<char>(line ? 60 : 150 + ((x / 54) * 37 + (y / 54) * 53 + c * 29) % 100);
            }
        }
        bmp += row;
    }
    if (bmp.size() != expected)
        throw std::runtime_error("BMP size differs from the catalogue");
    return bmp;
}

std::string Png(Rng &rng, int width, int height, size_t expected) {
    std::string raw;
    int rowBytes = (width + 7) / 8;
    for (int y = 0; y < height; y++) {
        raw.push_back(0);
        for (int x = 0; x < rowBytes; x++)
            raw.push_back(static_cast<char>((y / 8 + x) % 3 ? 0xFF : 0xF0));
    }
    std::string png = PngStart(width, height, 1, 0, raw, 9);  // 1-bit greyscale
    const size_t kTail = 12;                                  // IEND
    if (expected) {
        // The real images are photographs of screens: fill up with incompressible private data.
        if (png.size() + 12 + kTail > expected)
            throw std::runtime_error("PNG stand-in too large for its size");
        std::string pad(expected - png.size() - 12 - kTail, 0);
        for (char &c : pad)
            c = static_cast<char>(rng.Next());
        png += PngChunk("tsPd", pad);
    }
    return png + PngChunk("IEND", "");
}

// ---- texts --------------------------------------------------------------------------------------

std::string ReadLicence(const Inputs &in, const char *name, const char *codePage) {
    std::string utf8;
    if (!ReadWholeFile(in.textFolder + "/" + name, utf8))
        throw std::runtime_error(std::string("missing licence text ") + name);
    std::string crlf;
    for (char c : utf8) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    return ConvertFromUtf8(crlf, codePage);
}

std::string Html(Rng &rng, const Row &row) {
    std::string head =
        "<html>\r\n<head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">\r\n"
        "<title>Tesso Chinese Input Engine - " +
        row.file + "</title></head>\r\n<body>\r\n";
    std::string tail = "</body>\r\n</html>\r\n";
    std::string body;
    while (head.size() + body.size() + tail.size() + 200 < row.bytes) {
        body += "<p>";
        for (int i = 0; i < 24; i++) {
            body += RandomWord(rng);
            body += (i % 6 == 5) ? RandomHanzi(rng) : " ";
        }
        body += "</p>\r\n";
    }
    std::string last = "<p>";
    while (head.size() + body.size() + last.size() + 6 + tail.size() < row.bytes)
        last += '.';
    return head + body + last + "</p>\r\n" + tail;
}

std::string ConfigTemplate(Rng &rng, size_t bytes, bool chinese) {
    static const char *const kUiTexts[][2] = {
        {"Open", "打开"},           {"Save", "保存"},           {"Close", "关闭"},     {"Font", "字体"},
        {"Options", "选项"},        {"Help", "帮助"},           {"Word Base", "词库"}, {"Pinyin", "拼音"},
        {"Stroke", "笔画"},         {"Input Mode", "输入方式"}, {"Select", "选择"},    {"Page", "页"},
        {"Keyboard Map", "键盘图"}, {"Find", "查找"},           {"Settings", "设置"},  {"Editor", "编辑器"},
        {"Window", "窗口"},         {"Tutor", "教程"},          {"Phrase", "词组"},    {"Display", "显示"}};
    const int kTexts = sizeof kUiTexts / sizeof kUiTexts[0];
    auto value = [&](int a, int b, int c) {
        return chinese ? ConvertFromUtf8(std::string(kUiTexts[a][1]) + kUiTexts[b][1] + kUiTexts[c][1], "GBK")
                       : std::string(kUiTexts[a][0]) + " " + kUiTexts[b][0] + " " + kUiTexts[c][0];
    };
    const std::string tail = "\r\n[Config]\r\nUseBmpFont=0\r\n\r\n";
    std::string text = "[UI_STR]\r\n";
    if (chinese) {
        // Two numbered help texts longer than one 255-byte read of the configuration update.
        std::string help = GbkText(rng, 2000, 20);
        for (char &c : help)
            if (c == '\r' || c == '\n')
                c = ' ';
        auto helpLine = [&](const char *key, size_t length) {
            std::string line = key + help.substr(0, length - std::string(key).size());
            if (static_cast<unsigned char>(line.back()) >= 0x80) {  // do not cut a character in two
                size_t i = 0;
                while (i < line.size())
                    i += static_cast<unsigned char>(line[i]) >= 0x80 ? 2 : 1;
                if (i > line.size())
                    line.back() = '.';
            }
            return line + "\r\n";
        };
        text += helpLine("HelpText1=", 1005) + helpLine("HelpText2=", 412);
    }
    for (int n = 1; text.size() + tail.size() + 80 < bytes; n++) {
        int a = rng.Below(kTexts), b = rng.Below(kTexts), c = rng.Below(kTexts);
        text += std::string(kUiTexts[a][0]) + " " + kUiTexts[b][0] + " " + kUiTexts[c][0] + " " +
                std::to_string(n) + "=" + value(a, b, c) + "\r\n";
    }
    std::string last = "Ready=";
    size_t room = bytes - text.size() - tail.size() - 2;
    while (last.size() < room)
        last += chinese && room - last.size() >= 2 ? ConvertFromUtf8("好", "GBK") : std::string(".");
    return text + last + "\r\n" + tail;
}

std::string Utf8Dictionary(Rng &rng, size_t bytes) {
    std::string text = "\xEF\xBB\xBF# Tesso word list: traditional, simplified, pinyin, meaning\r\n";
    while (text.size() < bytes) {
        std::string word = RandomHanzi(rng) + RandomHanzi(rng);
        std::string utf8 = ConvertToUtf8(word, "GBK");
        text += utf8 + " " + utf8 + " [" + RandomWord(rng) + "1 " + RandomWord(rng) + "4] /" +
                RandomWord(rng) + " " + RandomWord(rng) + "/\r\n";
    }
    text.resize(bytes - 2);
    while ((static_cast<unsigned char>(text.back()) & 0xC0) == 0x80 ||
           static_cast<unsigned char>(text.back()) >= 0xC0)
        text.back() = ' ';  // never end inside a UTF-8 sequence
    return text + "\r\n";
}

std::string Executable(Rng &rng, size_t bytes) {
    std::string exe = "MZ";
    exe.resize(0x3C, 0);
    exe += Le(0x80, 4);
    exe += std::string("\x0E\x1F\xBA\x0E\x00\xB4\x09\xCD\x21\xB8\x01\x4C\xCD\x21", 14);
    exe += "This program cannot be run in DOS mode.\r\r\n$";
    exe.resize(0x80, 0);
    exe += ProductData(rng, bytes - exe.size());
    return exe;
}

std::string StandIn(const Row &row, const Inputs &in) {
    Rng rng{static_cast<uint64_t>(row.id) * 7919};
    const std::string &kind = row.kind;
    int w = 0, h = 0, bits = 0;
    if (std::sscanf(kind.c_str(), "bmp:%d:%d:%d", &w, &h, &bits) == 3)
        return Bmp(w, h, bits, row.bytes);
    if (std::sscanf(kind.c_str(), "png:%d:%d", &w, &h) == 2)
        return Png(rng, w, h, row.bytes);
    if (kind == "glyphfont") {
        std::vector<unsigned char> font = BuildGlyphFont(in.unifontPath);
        return std::string(font.begin(), font.end());
    }
    if (kind == "licence_cn")
        return ReadLicence(in, "licence_cn.txt", "GBK");
    if (kind == "licence_en")
        return ReadLicence(in, "licence_en.txt", "ASCII");
    if (kind == "ini_cn" || kind == "ini_en")
        return ConfigTemplate(rng, row.bytes, kind == "ini_cn");
    if (kind == "html")
        return Html(rng, row);
    if (kind == "gbk")
        return GbkText(rng, row.bytes, 15);
    if (kind == "ascii")
        return GbkText(rng, row.bytes, 100);
    if (kind == "ascii_gbk")
        return GbkText(rng, row.bytes, 90);
    if (kind == "utf8bom")
        return Utf8Dictionary(rng, row.bytes);
    if (kind == "exe" || kind == "dll")
        return Executable(rng, row.bytes);
    if (kind == "chm")
        return "ITSF" + ProductData(rng, row.bytes - 4);
    if (kind == "wordindex") {
        // The product's own index starts with a byte of 0x80 or above; installing over it asks
        // whether to keep the old word base.
        std::string data = ProductData(rng, row.bytes);
        data[0] = static_cast<char>(0x80 | data[0]);
        return data;
    }
    if (kind == "data")
        return ProductData(rng, row.bytes);
    throw std::runtime_error("unknown payload kind " + kind);
}

// Zopfli's zlib streams: about 6 % smaller than zlib's level 9, and they inflate about a fifth
// faster (fewer, longer matches), for some seconds of build time. Five iterations give nearly all
// of the gain of fifteen at less than two thirds of the time.
std::string Pack(const std::string &bytes) {
    ZopfliOptions options;
    ZopfliInitOptions(&options);
    options.numiterations = 5;
    unsigned char *packed = nullptr;
    size_t size = 0;
    ZopfliCompress(&options, ZOPFLI_FORMAT_ZLIB, reinterpret_cast<const unsigned char *>(bytes.data()),
                   bytes.size(), &packed, &size);
    if (!packed)
        throw std::runtime_error("compression failed");
    std::string stream(reinterpret_cast<const char *>(packed), size);
    std::free(packed);
    return stream;
}

// Every payload packed, on as many threads as there are cores; the results do not depend on them.
std::vector<std::string> PackAll(const std::vector<std::string> &payloads) {
    std::vector<std::string> packed(payloads.size());
    std::atomic<size_t> next(0);
    auto work = [&] {
        for (size_t i; (i = next++) < payloads.size();)
            packed[i] = Pack(payloads[i]);
    };
    std::vector<std::thread> workers;
    for (unsigned k = 1; k < std::max(1u, std::thread::hardware_concurrency()); k++)
        workers.emplace_back(work);
    work();
    for (std::thread &worker : workers)
        worker.join();
    return packed;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 6) {
        std::cerr << "usage: make_payloads <payloads.tsv> <text folder> <unifont.hex> <override folder> <out "
                     "folder>\n";
        return 2;
    }
    try {
        Inputs in{argv[2], argv[3], argv[4]};
        std::string out = argv[5];
        std::string rc =
            "// Generated by make_payloads: every packed payload stream, one after another, as one\n"
            "// \"TEXT\" resource in the order of payload_checks.inc.\n"
            "IDR_PAYLOAD_STREAMS TEXT \"" +
            out + "/payloads.pack\"\n";
        std::string pack;
        std::string checks =
            "// Generated by make_payloads: id, packed bytes and CRC-32 of every packed stream.\n";
        // The names and kinds as one text, each row giving where its own begin: a pointer per row
        // would cost the 32-bit exe a relocation each.
        std::string rowsText, names;
        std::map<std::string, size_t> placed;
        auto textAt = [&names, &placed](const std::string &text) {
            if (text.find_first_of("\"\\") != std::string::npos)
                throw std::runtime_error("a quote or backslash in " + text);
            auto found = placed.emplace(text, names.size());
            if (found.second)
                names += text + '\0';
            return std::to_string(found.first->second);
        };
        std::string ids =
            "// Generated from resources/payloads.tsv: the id of every installed payload, by name.\n";
        std::vector<std::string> idNames;
        std::vector<Row> rows = ReadCatalogue(argv[1]);
        std::vector<std::string> payloads;
        for (const Row &row : rows) {
            std::string bytes, realPath = in.overrideFolder + "/" + row.file;
            bool real = row.file != "-" && ReadWholeFile(realPath, bytes);
            if (!real)
                bytes = StandIn(row, in);
            if (!real && row.bytes && bytes.size() != row.bytes)
                throw std::runtime_error("stand-in for " + std::to_string(row.id) + " has the wrong size");
            if (real && bytes.size() != row.bytes)
                throw std::runtime_error(realPath + " has " + std::to_string(bytes.size()) + " bytes, but " +
                                         argv[1] + " lists " + std::to_string(row.bytes) +
                                         " for it: correct the size in the list");
            if (real)
                std::cerr << "make_payloads: " << row.id << " taken from " << row.file << "\n";
            payloads.push_back(std::move(bytes));
        }
        std::vector<std::string> streams = PackAll(payloads);
        size_t inflated = 0, stored = 0;
        for (size_t i = 0; i < rows.size(); i++) {
            const Row &row = rows[i];
            const std::string &packed = streams[i];
            WriteWholeFile(out + "/" + std::to_string(row.id) + ".z", packed);
            pack += packed;
            uLong crc =
                crc32(0, reinterpret_cast<const Bytef *>(packed.data()), static_cast<uInt>(packed.size()));
            checks += "{" + std::to_string(row.id) + ", " + std::to_string(packed.size()) + "ul, " +
                      std::to_string(crc) + "ul},\n";
            if (row.file != "-") {
                std::string fileAt = textAt(row.file), kindAt = textAt(row.kind);
                rowsText += "{" + std::to_string(row.id) + ", " + std::to_string(row.readOnly) + ", " +
                            std::to_string(row.hidden) + ", " + fileAt + ", " + kindAt + ", " +
                            std::to_string(row.bytes) + "ul},\n";
                std::string idName = IdName(row.file);
                if (std::find(idNames.begin(), idNames.end(), idName) != idNames.end())
                    throw std::runtime_error("two installed names make the id name " + idName);
                idNames.push_back(idName);
                ids += idName + " = " + std::to_string(row.id) + ",\n";
                inflated += payloads[i].size();
                stored += packed.size();
            }
        }
        WriteWholeFile(out + "/payloads.pack", pack);
        WriteWholeFile(out + "/payloads.rc", rc);
        WriteWholeFile(out + "/payload_checks.inc", checks);
        if (names.size() > 65535)
            throw std::runtime_error("the installed names take more than 64 KB");
        std::string table =
            "// Generated from resources/payloads.tsv: the installed names and kinds, then id, read-only,\n"
            "// hidden, where the file's name and its kind begin in that text, bytes.\n"
            "const char PayloadCatalogueText[] =\n";
        for (size_t at = 0; at < names.size(); at = names.find('\0', at) + 1)
            table += "    \"" + names.substr(at, names.find('\0', at) - at) + "\\0\"\n";
        table += "    ;\nconst PayloadEntry PayloadCatalogue[] = {\n" + rowsText + "};\n";
        WriteWholeFile(out + "/payload_catalogue_table.inc", table);
        WriteWholeFile(out + "/payload_ids.inc", ids);
        std::cerr << "make_payloads: installed payloads " << inflated << " bytes, stored " << stored
                  << " bytes\n";
    } catch (const std::exception &error) {
        std::cerr << "make_payloads: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
