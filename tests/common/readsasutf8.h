#pragma once

#include <cstddef>
#include <string_view>

#include "codepage.h"

namespace corvane::test {

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
