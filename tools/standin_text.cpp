#include "standin_text.h"

#include <iconv.h>

#include <stdexcept>
#include <vector>

static std::string Convert(const std::string &text, const char *to, const char *from) {
    iconv_t converter = iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error(std::string("no converter from ") + from + " to " + to);
    std::vector<char> out(text.size() * 4 + 16);
    char *in = const_cast<char *>(text.data());
    size_t inLeft = text.size();
    char *outPtr = out.data();
    size_t outLeft = out.size();
    size_t result = iconv(converter, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(converter);
    if (result == static_cast<size_t>(-1))
        throw std::runtime_error("text cannot be converted to " + std::string(to) + ": " +
                                 text.substr(0, 40));
    return std::string(out.data(), outPtr);
}

std::string ConvertFromUtf8(const std::string &utf8, const char *codePage) {
    return Convert(utf8, codePage, "UTF-8");
}

std::string ConvertToUtf8(const std::string &text, const char *codePage) {
    return Convert(text, "UTF-8", codePage);
}

std::string RandomHanzi(Rng &rng) {
    // GB2312 level one: leads 0xB0-0xD7; 0xD7FA-0xD7FE are unassigned.
    unsigned lead = 0xB0 + rng.Below(0xD8 - 0xB0);
    unsigned trail = 0xA1 + rng.Below(lead == 0xD7 ? 0xFA - 0xA1 : 0xFF - 0xA1);
    return std::string{static_cast<char>(lead), static_cast<char>(trail)};
}

static const char *const kWords[] = {
    "input",  "engine", "word",    "base",   "pinyin", "stroke", "editor", "font", "display", "key",
    "map",    "help",   "guide",   "option", "user",   "phrase", "table",  "code", "select",  "page",
    "window", "line",   "text",    "file",   "open",   "save",   "close",  "tone", "symbol",  "dictionary",
    "search", "list",   "setting", "layout", "sample", "result", "learn",  "type", "speed",   "tutor"};

const char *RandomWord(Rng &rng) { return kWords[rng.Below(sizeof kWords / sizeof kWords[0])]; }

std::string ProductData(Rng &rng, size_t bytes) {
    // Records of a counter and a body; about half the bodies repeat a recent one. Deflate keeps
    // about 45% of such data, which is how the product's own index and table files behave.
    const int kBody = 12;
    std::string data;
    data.reserve(bytes + 16);
    uint32_t counter = rng.Below(1000);
    while (data.size() < bytes) {
        counter += 1 + rng.Below(3);
        for (int i = 0; i < 4; i++)
            data.push_back(static_cast<char>(counter >> (8 * i)));
        size_t records = data.size() / (4 + kBody);
        if (records > 8 && rng.Below(100) < 55) {
            size_t from = data.size() - 4 - (4 + kBody) * (1 + rng.Below(8));
            for (int i = 0; i < kBody; i++)
                data.push_back(data[from + i]);
        } else {
            for (int i = 0; i < kBody; i++)
                data.push_back(static_cast<char>(i < 2 ? rng.Next() : rng.Below(16)));
        }
    }
    data.resize(bytes);
    return data;
}

std::string GbkText(Rng &rng, size_t bytes, int asciiShare) {
    std::string text;
    size_t lineStart = 0;
    while (text.size() < bytes) {
        if (text.size() - lineStart > 48 + rng.Below(20)) {
            text += "\r\n";
            lineStart = text.size();
        } else if (static_cast<int>(rng.Below(100)) < asciiShare) {
            text += RandomWord(rng);
            text += ' ';
        } else {
            text += RandomHanzi(rng);
        }
    }
    text.resize(bytes);
    // Never end on half a character or half a line end.
    if (bytes >= 2) {
        text[bytes - 2] = '\r';
        text[bytes - 1] = '\n';
        size_t i = 0;
        while (i < bytes - 2)
            i += (static_cast<unsigned char>(text[i]) >= 0x80) ? 2 : 1;
        if (i > bytes - 2)
            text[bytes - 3] = ' ';
    }
    return text;
}
