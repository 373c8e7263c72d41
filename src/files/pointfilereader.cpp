#include "pointfilereader.h"

#include <array>

#include "filesystem.h"
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

}  // namespace

PointFileFormat formatForPath(std::string_view path) {
    return endsWithNoCase(path, ".csv") ? PointFileFormat::RawCsv : PointFileFormat::Ept;
}

Result<ImportedPoints> parsePointFile(std::string_view bytes, PointFileFormat format) {
    ImportedPoints imported;
    imported.encoding = detectEncoding(bytes);
    // Importing nothing would only empty the table; an empty file is most likely a
    // mistake (a failed copy, the wrong file), so it is refused.
    if (withoutByteOrderMark(bytes, imported.encoding).empty())
        return Error::data("文件是空的，没有可导入的内容。");
    std::vector<std::string_view> fields;
    fields.reserve(32);
    std::array<std::string_view, kColumnCount> cells;
    Status status = decodeLines(
        bytes, imported.encoding, imported.invalidSequences, [&](std::string_view line) {
            const int count = SplitFields(line, ',', fields);
            if (format == PointFileFormat::Ept) {
                if (count > 10)
                    imported.rows.emplace_back(std::span<const std::string_view>(fields));
                else
                    imported.otherLines.emplace_back(withoutLineEnd(line));
                return;
            }
            if (count <= 3) {
                ++imported.skippedLines;
                return;
            }
            cells[ColName] = fields[0];
            cells[ColNorth] = fields[2];
            cells[ColEast] = fields[3];
            cells[ColHeight] = count > 4 ? fields[4] : std::string_view();
            cells[ColSegmentStart] = {};
            cells[ColSegmentEnd] = {};
            cells[ColRemark] = kRawRemark;
            cells[ColDistance] = kRawZero;
            cells[ColOffset] = kRawZero;
            cells[ColPointType] = kOrdinaryPoint;
            cells[ColCrossing] = kRawCrossing;
            cells[ColMeasuredHeight] = kRawMeasure;
            cells[ColAngle] = kRawMeasure;
            cells[ColPoleType] = kRawPoleType;
            cells[ColLength] = kRawMeasure;
            cells[ColWidth] = kRawMeasure;
            cells[ColOldName] = {};
            imported.rows.emplace_back(std::span<const std::string_view>(cells));
        });
    if (!status)
        return status.error();
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
    text += "，编码 ";
    text += encodingName(imported.encoding);
    if (imported.invalidSequences > 0)
        text += "；有 " + std::to_string(imported.invalidSequences) +
                " 处无效字节已替换为“\xEF\xBF\xBD”";
    text += "。";
    return text;
}

}  // namespace corvane
