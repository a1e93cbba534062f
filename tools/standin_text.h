// Deterministic text and byte generators shared by the payload stand-in builders.
#pragma once

#include <cstdint>
#include <string>

struct Rng {
    uint64_t state;
    uint64_t Next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    unsigned Below(unsigned n) { return static_cast<unsigned>(Next() % n); }
};

// Converts UTF-8 source text to the given code page ("GBK", "BIG5"); throws when a character has no
// mapping, so a typo in a built-in text fails the build instead of shipping a broken payload.
std::string ConvertFromUtf8(const std::string &utf8, const char *codePage);
std::string ConvertToUtf8(const std::string &text, const char *codePage);

// One GB2312 hanzi (two GBK bytes) of the first level, chosen at random.
std::string RandomHanzi(Rng &rng);

// An English-looking word from a fixed vocabulary.
const char *RandomWord(Rng &rng);

// Product data that compresses about as the product's own binary files do.
std::string ProductData(Rng &rng, size_t bytes);

// GBK text with CR LF line ends, exactly `bytes` long.
std::string GbkText(Rng &rng, size_t bytes, int asciiShare);
