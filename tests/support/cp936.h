#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

#include "codepage.h"

namespace corvane::test {

/// The UTF-8 text in code page 936. A character without a code is a mistake in the
/// test, so it throws and the test fails.
inline std::string gbk(std::string_view utf8) {
    std::string out;
    if (cp936::encode(utf8, out) != std::string_view::npos)
        throw std::invalid_argument("no code page 936 code in: " + std::string(utf8));
    return out;
}

/// Code page 936 bytes as UTF-8.
inline std::string utf8(std::string_view gbkBytes) {
    std::string out;
    size_t invalid = 0;
    cp936::decode(gbkBytes, out, invalid);
    return out;
}

/// The UTF-8 text (BMP and beyond) as UTF-16 with a byte order mark.
inline std::string utf16(std::string_view utf8, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    auto put = [&](char16_t u) {
        const char hi = static_cast<char>(u >> 8);
        const char lo = static_cast<char>(u & 0xFF);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    };
    size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t cp = nextUtf8(utf8, pos);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            put(static_cast<char16_t>(0xD800 + (cp >> 10)));
            put(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            put(static_cast<char16_t>(cp));
        }
    }
    return out;
}

/// The one way written code page 936 can read otherwise: its bytes are also valid UTF-8
/// with a character of three or four bytes, or they begin with the bytes of a UTF-8 byte
/// order mark. Found here without the detection's own scan, so tests can hold it to it.
inline bool readsAsUtf8(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF"))
        return true;
    bool longCharacter = false;
    size_t pos = 0;
    while (pos < bytes.size()) {
        const size_t start = pos;
        const char32_t cp = nextUtf8(bytes, pos);
        if (cp == 0xFFFD && pos == start + 1)
            return false;
        longCharacter = longCharacter || cp >= 0x800;
    }
    return longCharacter;
}

}  // namespace corvane::test
