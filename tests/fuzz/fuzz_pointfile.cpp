// Feeds arbitrary bytes to the point file import (both layouts), the field splitting
// and the code page 936 conversions, and checks what must hold for any input: no
// crash, a written .ept file reads back as the same table, and the two directions of
// the code page agree.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "codepage.h"
#include "pointfilereader.h"
#include "pointfilewriter.h"
#include "pointtable.h"
#include "splitfields.h"

namespace corvane {
namespace {

void require(bool condition) {
    if (!condition)
        std::abort();
}

bool isAsciiSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

void checkSplitting(std::string_view text) {
    std::vector<std::string_view> fields;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(start, end - start);
        const int count = SplitFields(line, ',', fields);
        require(count == static_cast<int>(fields.size()));
        if (!line.empty()) {
            // Trimming never removes a comma, so a line has a field more than commas.
            size_t commas = 0;
            for (char c : line)
                commas += c == ',';
            require(fields.size() == commas + 1);
        }
        for (std::string_view f : fields) {
            require(f.data() >= line.data() && f.data() + f.size() <= line.data() + line.size());
            require(f.empty() || (!isAsciiSpace(f.front()) && !isAsciiSpace(f.back())));
            require(f.find(',') == std::string_view::npos);
        }
        start = end + 1;
    }
}

void checkCodePage(std::string_view bytes) {
    std::string text;
    size_t invalid = 0;
    cp936::decode(bytes, text, invalid);
    require(isValidUtf8(text));
    require(cp936::isValid(bytes) == (invalid == 0));
    std::string back;
    const size_t failed = cp936::encode(text, back);
    // Every valid code decodes to a character that encodes to the same bytes; only
    // the replacement characters of invalid bytes have no code.
    if (invalid == 0)
        require(failed == std::string_view::npos && back == bytes);
    else
        require(failed != std::string_view::npos);

    std::string sanitized;
    size_t replaced = 0;
    sanitizeUtf8(bytes, sanitized, replaced);
    require(isValidUtf8(sanitized));
    require((replaced == 0) == isValidUtf8(bytes));
    if (replaced == 0)
        require(sanitized == bytes);
}

// Bytes that the detection takes for UTF-8 although they are code page 936, found by a
// scan of its own: a UTF-8 byte order mark at the start, or valid UTF-8 with a
// character of U+0800 or above.
bool readsAsUtf8(std::string_view bytes) {
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

std::vector<std::string> rowTexts(const PointTable& table) {
    std::vector<std::string> rows;
    for (int r = 0; r < table.rowCount(); ++r)
        rows.push_back(table.rowAt(r).joined('\0'));
    return rows;
}

void checkImport(std::string_view bytes, PointFileFormat format) {
    Result<ImportedPoints> imported = parsePointFile(bytes, format);
    if (!imported)
        return;
    PointTable table;
    table.replaceAll(std::move(imported->rows), std::move(imported->otherLines));
    (void)buildCsvTable(table);
    Result<std::string> ept = buildEptFile(table);
    if (!ept || ept->empty())
        return;  // replacement characters cannot be written; an empty file is refused
    // The written file gives the same table, with one exception the format allows no way
    // around: code page 936 bytes that are also valid UTF-8 holding a character of three
    // or more bytes (or that begin with the bytes of a UTF-8 byte order mark) read as
    // UTF-8. Everything else must read back as code page 936.
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

}  // namespace
}  // namespace corvane

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    corvane::checkSplitting(bytes);
    corvane::checkCodePage(bytes);
    corvane::checkImport(bytes, corvane::PointFileFormat::Ept);
    corvane::checkImport(bytes, corvane::PointFileFormat::RawCsv);
    return 0;
}
