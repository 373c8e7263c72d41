#include "pointfilereader.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <optional>

#include "filesystem.h"
#include "parallelparts.h"
#include "rowarena.h"
#include "splitfields.h"
#include "vocabularies.h"

namespace corvane {
namespace {

bool endsWithNoCase(std::string_view text, std::string_view suffix) {
    if (text.size() < suffix.size())
        return false;
    text = text.substr(text.size() - suffix.size());
    for (size_t i = 0; i < suffix.size(); ++i) {
        char a = text[i];
        if (a >= 'A' && a <= 'Z')
            a = static_cast<char>(a - 'A' + 'a');
        if (a != suffix[i])
            return false;
    }
    return true;
}

// The other lines are kept without their line end, so a carriage return before the
// line feed goes too.
std::string_view withoutLineEnd(std::string_view line) {
    while (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

// Spare bytes a row gets at import: what the computations add to a raw row (segment
// names, cumulative distance, offset) then fits without moving the row. A row that
// holds them already gets none: a recalculation mostly writes numbers of the same
// length, and the room would cost every row of a large survey its bytes; a row that
// does grow moves to a block of its own.
constexpr size_t kRowRoom = 32;
constexpr size_t kComputedRowRoom = 0;
// Bytes of the shortest usual point line: a name and three numbers of a few digits.
constexpr size_t kShortestPointLine = 32;

// The cells of a raw survey line of `count` fields: name, north, east and height from
// the line.
std::array<std::string_view, kColumnCount> rawSurveyCells(
    const std::vector<std::string_view>& fields, int count) {
    return rawPointCells(fields[0], fields[2], fields[3],
                         count > 4 ? fields[4] : std::string_view(), kOrdinaryPoint);
}

// Reads whole lines of a point file in the given encoding.
Result<ImportedPoints> parseLines(std::string_view bytes, TextEncoding encoding,
                                  PointFileFormat format) {
    ImportedPoints imported;
    imported.encoding = encoding;
    // Room for the rows of the shortest lines that make a point: growing the list of a
    // million rows step by step would move them all twice. Room never filled is never
    // touched, so it costs no memory.
    imported.rows.reserve(bytes.size() / kShortestPointLine + 1);
    RowArena arena(kRowRoom);
    std::vector<std::string_view> fields;
    fields.reserve(32);
    auto readLine = [&](std::string_view line) {
        const int count = SplitFields(line, ',', fields);
        if (format == PointFileFormat::Ept) {
            if (count > 10) {
                const bool computed = !fields[ColSegmentStart].empty() &&
                                      !fields[ColDistance].empty() && !fields[ColOffset].empty();
                imported.rows.push_back(arena.make(fields, computed ? kComputedRowRoom : kRowRoom));
            } else
                imported.otherLines.push_back(withoutLineEnd(line));
        } else if (count <= 3) {
            ++imported.skippedLines;
        } else {
            imported.rows.push_back(arena.make(rawSurveyCells(fields, count)));
        }
    };
    Status status = decodeLines(bytes, imported.encoding, imported.invalidSequences, readLine);
    if (!status)
        return status.error();
    return imported;
}

// Where a large file is cut to be read on several cores: right after a line feed near
// each share's end, so every part holds whole lines (a line feed always ends one, and
// carriage returns that end lines do so between line feeds). Cutting after a line feed is safe
// in every byte encoding read in parts: no multi-byte character of code page 936 or
// UTF-8 holds the byte 0x0A. Returns one part when no such cuts exist.
std::vector<std::string_view> cutIntoParts(std::string_view text, int parts) {
    std::vector<std::string_view> pieces;
    size_t from = 0;
    for (int k = 1; k < parts; ++k) {
        const size_t target = text.size() / static_cast<size_t>(parts) * static_cast<size_t>(k);
        if (target < from)
            continue;
        const size_t feed = text.find('\n', target);
        if (feed == std::string_view::npos || feed + 1 >= text.size())
            break;
        pieces.push_back(text.substr(from, feed + 1 - from));
        from = feed + 1;
    }
    pieces.push_back(text.substr(from));
    return pieces;
}

// True when reading `part` on its own cuts it into the lines it has within the whole
// file: it holds a line feed, so it is cut by the rule the whole file is cut by (or it
// has no carriage return that a file without line feeds would be cut at), and it does
// not start with what looks like a byte order mark.
bool readsAlike(std::string_view part) {
    if (withoutByteOrderMark(part, TextEncoding::Utf8Bom).size() != part.size())
        return false;
    return part.find('\n') != std::string_view::npos || part.find('\r') == std::string_view::npos;
}

}  // namespace

std::array<std::string_view, kColumnCount> rawPointCells(std::string_view name,
                                                         std::string_view north,
                                                         std::string_view east,
                                                         std::string_view height,
                                                         std::string_view pointType) {
    std::array<std::string_view, kColumnCount> cells;
    cells[ColName] = name;
    cells[ColNorth] = north;
    cells[ColEast] = east;
    cells[ColHeight] = height;
    cells[ColRemark] = kRawRemark;
    cells[ColDistance] = kRawZero;
    cells[ColOffset] = kRawZero;
    cells[ColPointType] = pointType;
    cells[ColCrossing] = kRawCrossing;
    cells[ColMeasuredHeight] = kRawMeasure;
    cells[ColAngle] = kRawMeasure;
    cells[ColPoleType] = kRawPoleType;
    cells[ColLength] = kRawMeasure;
    cells[ColWidth] = kRawMeasure;
    return cells;
}

PointFileFormat formatForPath(std::string_view path) {
    return endsWithNoCase(path, ".csv") ? PointFileFormat::RawCsv : PointFileFormat::Ept;
}

Result<ImportedPoints> parsePointFile(std::string_view bytes, PointFileFormat format, int parts) {
    const TextEncoding encoding = detectEncoding(bytes);
    // Importing nothing would only empty the table; an empty file is most likely a
    // mistake (a failed copy, the wrong file), so it is refused.
    if (withoutByteOrderMark(bytes, encoding).empty())
        return Error::data("文件是空的，没有可导入的内容。");
    if (parts <= 0) {
        // Decoding and building rows is most of an import: a large file is read on
        // every core there is, up to four.
        constexpr size_t kLargeFile = size_t{16} << 20;
        parts = static_cast<int>(partsFor(bytes.size(), kLargeFile));
    }
    const bool byteEncoding =
        encoding != TextEncoding::Utf16LE && encoding != TextEncoding::Utf16BE;
    std::vector<std::string_view> pieces{bytes};
    if (byteEncoding && parts > 1)
        pieces = cutIntoParts(bytes, parts);
    if (!std::all_of(pieces.begin() + 1, pieces.end(), readsAlike))
        pieces.assign(1, bytes);
    if (pieces.size() == 1)
        return parseLines(bytes, encoding, format);

    std::vector<std::optional<Result<ImportedPoints>>> results(pieces.size());
    runInParts(pieces.size(), pieces.size(), [&](size_t k, size_t, size_t) {
        results[k].emplace(parseLines(pieces[k], encoding, format));
    });
    for (const auto& result : results)
        if (!result->ok())  // read once more whole, so the message counts from the start
            return parseLines(bytes, encoding, format);

    ImportedPoints imported = std::move(results[0]->value());
    size_t rows = imported.rows.size();
    for (size_t k = 1; k < results.size(); ++k)
        rows += results[k]->value().rows.size();
    imported.rows.reserve(rows);
    for (size_t k = 1; k < results.size(); ++k) {
        ImportedPoints& part = results[k]->value();
        std::move(part.rows.begin(), part.rows.end(), std::back_inserter(imported.rows));
        // A file of short lines may hold little else: the part's lines are let go as
        // they move.
        imported.otherLines.append(std::move(part.otherLines));
        imported.invalidSequences += part.invalidSequences;
        imported.skippedLines += part.skippedLines;
    }
    return imported;
}

Result<ImportedPoints> readPointFile(const std::string& path, PointFileFormat format) {
    Result<std::string> bytes = readWholeFile(path);
    if (!bytes)
        return bytes.error();
    Result<ImportedPoints> imported = parsePointFile(bytes.value(), format);
    if (!imported) {
        Error e = imported.error();
        e.message = "文件“" + path + "”：" + e.message;
        return e;
    }
    return imported;
}

std::string importSummary(const ImportedPoints& imported) {
    std::string text = "读入 " + std::to_string(imported.rows.size()) + " 个点";
    if (!imported.otherLines.empty())
        text += "，" + std::to_string(imported.otherLines.size()) + " 行其他内容";
    if (imported.skippedLines > 0)
        text += "，跳过 " + std::to_string(imported.skippedLines) + " 行（字段不足）";
    // Code page 936 is what point files are in; only another encoding is worth a word.
    if (imported.encoding != TextEncoding::Cp936) {
        text += "，编码 ";
        text += encodingName(imported.encoding);
    }
    if (imported.invalidSequences > 0)
        text += "；有 " + std::to_string(imported.invalidSequences) +
                " 处无效字节已替换为“\xEF\xBF\xBD”";
    text += "。";
    return text;
}

}  // namespace corvane
