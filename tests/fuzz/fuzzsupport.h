#pragma once

// What the fuzz targets share: the check that stops a run, and the round trip of a
// written point file with the one exception the format allows.

#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "codepage.h"
#include "cp936.h"
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

using test::readsAsUtf8;

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
