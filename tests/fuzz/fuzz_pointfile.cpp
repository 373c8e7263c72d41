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
#include "fuzzsupport.h"
#include "pointfilereader.h"
#include "pointfilewriter.h"
#include "pointtable.h"
#include "splitfields.h"

namespace corvane {
namespace {

using fuzz::isAsciiSpace;
using fuzz::require;

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

void checkImport(std::string_view bytes, PointFileFormat format) {
    Result<ImportedPoints> imported = parsePointFile(bytes, format);
    if (!imported)
        return;
    PointTable table;
    table.replaceAll(std::move(imported->rows), std::move(imported->otherLines));
    (void)buildCsvTable(table);
    fuzz::checkEptRoundTrip(table);
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
