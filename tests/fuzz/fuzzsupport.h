#pragma once

// What the fuzz targets share: the check that stops a run, and the round trip of a
// written point file with the one exception the format allows.

#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "codepage.h"
#include "pointfilereader.h"
#include "pointfilewriter.h"
#include "pointtable.h"
#include "textdecoder.h"

namespace corvane::fuzz {

inline void require(bool condition) {
    if (!condition)
        std::abort();
}

inline bool isAsciiSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

inline std::vector<std::string> rowTexts(const PointTable& table) {
    std::vector<std::string> rows;
    for (int r = 0; r < table.rowCount(); ++r)
        rows.push_back(table.rowAt(r).joined('\0'));
    return rows;
}

// Bytes that the detection takes for UTF-8 although they are code page 936, found by a
// scan of its own: a UTF-8 byte order mark at the start, or valid UTF-8 with a
// character of U+0800 or above.
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

// The written file gives the same table, with one exception the format allows no way
// around: code page 936 bytes that are also valid UTF-8 holding a character of three or
// more bytes (or that begin with the bytes of a UTF-8 byte order mark) read as UTF-8.
// Everything else must read back as code page 936.
inline void checkEptRoundTrip(const PointTable& table) {
    Result<std::string> ept = buildEptFile(table);
    if (!ept || ept->empty())
        return;  // replacement characters cannot be written; an empty file is refused
    if (readsAsUtf8(ept.value())) {
        require(detectEncoding(ept.value()) != TextEncoding::Cp936);
        return;
    }
    require(detectEncoding(ept.value()) == TextEncoding::Cp936);
    Result<ImportedPoints> again = parsePointFile(ept.value(), PointFileFormat::Ept);
    require(again.ok());
    PointTable second;
    second.replaceAll(std::move(again->rows), std::move(again->otherLines));
    require(rowTexts(second) == rowTexts(table));
    require(second.otherLines() == table.otherLines());
    Result<std::string> eptAgain = buildEptFile(second);
    require(eptAgain.ok() && eptAgain.value() == ept.value());
}

}  // namespace corvane::fuzz
