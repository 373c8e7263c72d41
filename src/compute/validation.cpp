#include "validation.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <iterator>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "autoselection.h"
#include "cellnumber.h"
#include "columns.h"
#include "hardpoints.h"
#include "parallelparts.h"
#include "pointtable.h"
#include "vocabularies.h"

namespace corvane {
namespace {

using Severity = CheckEntry::Severity;

std::string quoted(std::string_view text) {
    return "“" + std::string(text) + "”";
}

std::string rowLabel(const PointTable& table, int row) {
    return "第 " + std::to_string(row + 1) + " 行" + quoted(table.text(row, ColName));
}

std::string header(int column) {
    return quoted(kColumns[column].header);
}

bool isAscii(std::string_view text) {
    unsigned char bits = 0;
    for (char c : text)
        bits |= static_cast<unsigned char>(c);
    return bits < 0x80;
}

bool contains(std::span<const std::string_view> list, std::string_view text) {
    return std::find(list.begin(), list.end(), text) != list.end();
}

using Cells = std::array<std::string_view, kColumnCount>;

// What one range of rows contributed; the ranges are checked at once and their parts
// joined in row order.
struct RowsFound {
    std::vector<CheckEntry> entries;       // of the per-row rules, in row order
    std::vector<CheckEntry> stakeEntries;  // J stakes outside the line point list
    // The last segment end looked up in each column: rows along a line name the same
    // stakes, so most lookups are answered here.
    std::array<std::string_view, 2> lastEnd;
    std::array<int, 2> lastEndRow = {-2, -2};
    // The same for the code page test of each column: its texts that are not ASCII are
    // mostly a few words of a vocabulary.
    std::array<std::string_view, kColumnCount> lastText;
    std::array<size_t, kColumnCount> lastUnencodable;
    std::array<bool, kColumnCount> tested = {};
};

void add(std::vector<CheckEntry>& out, Severity severity, std::string code, int row, int column,
         std::string message, std::string fix) {
    out.push_back({severity, std::move(code), row, column, std::move(message), std::move(fix)});
}

class Checker {
public:
    Checker(const PointTable& table, const CheckOptions& options)
        : m_table(table), m_options(options) {}

    std::vector<CheckEntry> run() {
        m_emptyNameRow = m_table.FindPointRow("");
        const std::vector<std::string>& line = m_table.linePoints();
        m_inLine = std::unordered_set<std::string_view>(line.begin(), line.end());

        const size_t rows = static_cast<size_t>(m_table.rowCount());
        std::vector<RowsFound> parts(partsFor(rows));
        runInParts(rows, parts.size(), [&](size_t part, size_t begin, size_t end) {
            for (size_t r = begin; r < end; ++r)
                checkRow(static_cast<int>(r), parts[part]);
        });

        std::vector<CheckEntry> entries;
        for (RowsFound& part : parts)
            std::move(part.entries.begin(), part.entries.end(), std::back_inserter(entries));
        checkDuplicates(entries);
        for (RowsFound& part : parts)
            std::move(part.stakeEntries.begin(), part.stakeEntries.end(),
                      std::back_inserter(entries));
        checkMileages(entries);
        return entries;
    }

private:
    // Every rule of one row, its cells read once.
    void checkRow(int r, RowsFound& found) const {
        const Cells cells = m_table.rowAt(r).cells();
        std::vector<CheckEntry>& out = found.entries;
        checkSegment(r, cells, found);
        checkNumbers(r, cells, out);
        checkVocabularies(r, cells, out);
        checkPartners(r, cells, out);
        checkEncoding(r, cells, found);
        if (cells[ColPointType] == kJStake && !m_inLine.count(cells[ColName])) {
            add(found.stakeEntries, Severity::Warning, "jstake-not-in-line", r, ColName,
                rowLabel(m_table, r) + "是 J桩，但不在电力线点列表中，不会写出转角。",
                m_inLine.empty() ? "先做“电力线点选择”。"
                                 : "在“电力线点选择”中把它加入电力线，或改为其他点类型。");
        }
    }

    void checkSegment(int r, const Cells& cells, RowsFound& found) const {
        std::vector<CheckEntry>& out = found.entries;
        std::string_view start = cells[ColSegmentStart];
        std::string_view end = cells[ColSegmentEnd];
        if (start.empty() && end.empty() && m_emptyNameRow < 0) {
            add(out, Severity::Error, "no-segment", r, ColSegmentStart,
                rowLabel(m_table, r) +
                    "没有所属的电力线（电力线起点和终点都为空），导出道亨格式时会中止。",
                "先做“电力线点选择”，再用“自动选择电力线”，或手工填写电力线起点和终点。");
            return;
        }
        for (int column : {ColSegmentStart, ColSegmentEnd}) {
            std::string_view name = cells[column];
            const size_t k = column == ColSegmentStart ? 0 : 1;
            if (found.lastEndRow[k] == -2 || found.lastEnd[k] != name) {
                found.lastEnd[k] = name;
                found.lastEndRow[k] = m_table.FindPointRow(name);
            }
            if (found.lastEndRow[k] >= 0)
                continue;
            add(out, Severity::Error, "unresolved-segment", r, column,
                rowLabel(m_table, r) + "的" + header(column) + quoted(name) +
                    "不是表中任何点的点名，导出道亨格式时会中止。",
                "改成已有的点名，或重新做“自动选择电力线”。");
        }
    }

    void checkNumbers(int r, const Cells& cells, std::vector<CheckEntry>& out) const {
        static constexpr int kCoordinates[] = {ColNorth, ColEast, ColHeight};
        static constexpr int kOthers[] = {ColDistance, ColOffset, ColMeasuredHeight,
                                          ColAngle,    ColLength, ColWidth};
        for (int column : kCoordinates) {
            std::string_view text = cells[column];
            if (startsWithNumber(text))
                continue;
            add(out, Severity::Warning, "not-a-number", r, column,
                rowLabel(m_table, r) + "的" + header(column) +
                    (text.empty() ? std::string("为空") : quoted(text) + "不是数字") +
                    "，计算时按 0 处理。",
                "填写正确的数值。");
        }
        for (int column : kOthers) {
            std::string_view text = cells[column];
            if (text.empty() || startsWithNumber(text))
                continue;
            if (text == kUnresolved && (column == ColDistance || column == ColOffset))
                continue;  // reported with the segment that does not resolve
            add(out, Severity::Warning, "not-a-number", r, column,
                rowLabel(m_table, r) + "的" + header(column) + quoted(text) +
                    "不是数字，计算和导出时按 0 处理。",
                "填写正确的数值。");
        }
    }

    void checkVocabularies(int r, const Cells& cells, std::vector<CheckEntry>& out) const {
        std::string_view type = cells[ColPointType];
        if (!contains(pointTypes(), type)) {
            add(out, Severity::Error, "unknown-point-type", r, ColPointType,
                rowLabel(m_table, r) + "的点类型" + quoted(type) +
                    "不在点类型列表中，导出道亨格式时这一行会被略去。",
                "从下拉列表中选择点类型。");
        }
        std::string_view crossing = cells[ColCrossing];
        bool lineClass = type == kOnePointCrossedObject;
        auto list = lineClass ? lineClasses() : crossingObjects();
        if (!crossing.empty() && !contains(list, crossing)) {
            add(out, Severity::Warning, "unknown-crossing", r, ColCrossing,
                rowLabel(m_table, r) + "的跨越物" + quoted(crossing) + "不在" +
                    (lineClass ? "线路等级" : "跨越物") + "列表中，按代码 " +
                    std::to_string(crossingCode(crossing)) + " 导出。",
                "从下拉列表中选择。");
        }
        std::string_view pole = cells[ColPoleType];
        if (!pole.empty() && !contains(poleTypes(), pole)) {
            add(out, Severity::Warning, "unknown-pole-type", r, ColPoleType,
                rowLabel(m_table, r) + "的杆型" + quoted(pole) + "不在杆型列表中，按代码 " +
                    std::to_string(poleTypeCode(pole)) + " 导出。",
                "从下拉列表中选择杆型。");
        }
    }

    // Two- and three-point objects take the rows above them as partners, found by name.
    void checkPartners(int r, const Cells& cells, std::vector<CheckEntry>& out) const {
        std::string_view type = cells[ColPointType];
        int partners = type == kTwoPointObject ? 1 : type == kThreePointHouse ? 2 : 0;
        if (partners == 0)
            return;
        bool skipped =
            m_table.text(r + 1, ColPointType) == type && crossingCode(cells[ColCrossing]) == 0;
        if (skipped)
            return;
        for (int k = 1; k <= partners; ++k) {
            int p = r - k;
            if (p < 0) {
                add(out, Severity::Error, "missing-partner", r, ColPointType,
                    rowLabel(m_table, r) + "是" + quoted(type) + "，但上面没有第 " +
                        std::to_string(k) + " 个配套的点，轮廓会按坐标 (0, 0) 画出。",
                    "把同一地物的各点按顺序排在一起。");
                continue;
            }
            std::string_view partnerName = m_table.text(p, ColName);
            int found = m_table.FindPointRow(partnerName);
            if (found != p) {
                add(out, Severity::Error, "shadowed-partner", r, ColPointType,
                    rowLabel(m_table, r) + "的配套点" + quoted(partnerName) + "按点名找到的是第 " +
                        std::to_string(found + 1) + " 行，不是它上面的第 " + std::to_string(p + 1) +
                        " 行，轮廓会用错坐标。",
                    "给配套点起一个唯一的点名。");
            } else if (m_table.text(p, ColPointType) != type) {
                add(out, Severity::Warning, "partner-type", r, ColPointType,
                    rowLabel(m_table, r) + "的配套点（第 " + std::to_string(p + 1) +
                        " 行）的点类型是" + quoted(m_table.text(p, ColPointType)) + "，不是" +
                        quoted(type) + "。",
                    "检查这一地物的各点是否排在一起、类型是否一致。");
            }
        }
    }

    void checkEncoding(int r, const Cells& cells, RowsFound& found) const {
        if (!m_options.firstUnencodable)
            return;
        for (int c = 0; c < kColumnCount; ++c) {
            std::string_view text = cells[c];
            if (isAscii(text))
                continue;
            if (!found.tested[c] || found.lastText[c] != text) {
                found.tested[c] = true;
                found.lastText[c] = text;
                found.lastUnencodable[c] = m_options.firstUnencodable(text);
            }
            size_t bad = found.lastUnencodable[c];
            if (bad == std::string_view::npos)
                continue;
            size_t end = bad + 1;
            while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
                ++end;
            add(found.entries, Severity::Error, "unencodable", r, c,
                rowLabel(m_table, r) + "的" + header(c) + "中的字符" +
                    quoted(text.substr(bad, end - bad)) +
                    "无法用 GBK（代码页 936）保存，导出会失败。",
                "换成 GBK 能表示的字符。");
        }
    }

    void checkDuplicates(std::vector<CheckEntry>& out) const {
        std::vector<std::vector<int>> repeated = m_table.rowsOfRepeatedNames();
        std::erase_if(repeated, [&](const std::vector<int>& rows) {
            return m_table.text(rows[0], ColName).empty();
        });
        if (repeated.empty())
            return;
        // Only the references to the repeated names are counted.
        std::unordered_map<std::string_view, int> references;
        for (const std::vector<int>& rows : repeated)
            references.emplace(m_table.text(rows[0], ColName), 0);
        auto count = [&](std::string_view name) {
            auto it = references.find(name);
            if (it != references.end())
                ++it->second;
        };
        for (int r = 0; r < m_table.rowCount(); ++r) {
            const Cells cells = m_table.rowAt(r).cells(ColSegmentEnd);
            count(cells[ColSegmentStart]);
            count(cells[ColSegmentEnd]);
        }
        for (const std::string& name : m_table.linePoints())
            count(name);
        for (const std::vector<int>& rows : repeated) {
            const int first = rows[0];
            const std::string_view name = m_table.text(first, ColName);
            std::string list;
            for (size_t i = 0; i < rows.size() && i < 10; ++i)
                list += (i ? "、" : "") + std::to_string(rows[i] + 1);
            if (rows.size() > 10)
                list += " 等";
            const int uses = references.at(name);
            std::string shadow =
                uses > 0 ? "有 " + std::to_string(uses) +
                               " 处引用这个点名（电力线起点、终点或电力线点），都指向第 " +
                               std::to_string(first + 1) + " 行，其余同名行被遮住。"
                         : "按点名查找时总是找到第 " + std::to_string(first + 1) + " 行。";
            add(out, Severity::Warning, "duplicate-name", rows[1], ColName,
                "点名" + quoted(name) + "出现 " + std::to_string(rows.size()) + " 次（第 " + list +
                    " 行）；" + shadow,
                "给重复的点改名，使每个点名唯一。");
        }
    }

    void checkMileages(std::vector<CheckEntry>& out) const {
        const std::vector<std::string>& line = m_table.linePoints();
        double previous = 0.0;
        bool havePrevious = false;
        for (size_t k = 0; k < line.size(); ++k) {
            int row = m_table.FindPointRow(line[k]);
            if (row < 0) {
                add(out, Severity::Error, "line-point-missing", -1, -1,
                    "电力线点" + quoted(line[k]) + "（第 " + std::to_string(k + 1) +
                        " 个）在表中找不到，相邻 J桩的转角会按坐标 (0, 0) 计算。",
                    "重新做“电力线点选择”。");
                continue;
            }
            double mileage = readNumber(m_table.text(row, ColDistance));
            if (havePrevious && mileage < previous) {
                add(out, Severity::Warning, "mileage-decreases", row, ColDistance,
                    rowLabel(m_table, row) + "的累距 " + formatFixed(mileage, 3) +
                        " 小于前一个电力线点的 " + formatFixed(previous, 3) + "，里程沿线路倒退。",
                    "检查电力线点的顺序和起始里程，重新做“电力线点选择”。");
            }
            previous = mileage;
            havePrevious = true;
        }
    }

    const PointTable& m_table;
    const CheckOptions& m_options;
    int m_emptyNameRow = -1;
    std::unordered_set<std::string_view> m_inLine;
};

void appendJsonString(std::string& out, std::string_view text) {
    out += '"';
    for (char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char buffer[8];
                    std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned char>(c));
                    out += buffer;
                } else {
                    out += c;
                }
        }
    }
    out += '"';
}

// Rows in order, table-wide entries (row -1) last; entries of one row keep their order.
void sortByRow(std::vector<CheckEntry>& entries) {
    std::stable_sort(entries.begin(), entries.end(), [](const CheckEntry& a, const CheckEntry& b) {
        return static_cast<unsigned>(a.row) < static_cast<unsigned>(b.row);
    });
}

}  // namespace

std::vector<CheckEntry> checkTable(const PointTable& table, const CheckOptions& options) {
    std::vector<CheckEntry> entries = Checker(table, options).run();
    sortByRow(entries);
    return entries;
}

void addSelectionEntries(const PointTable& table, const AutoSelectionResult& selection,
                         std::vector<CheckEntry>& entries) {
    // A point the selection could not place is reported once, with the reason.
    std::vector<bool> unassigned(static_cast<size_t>(table.rowCount()), false);
    for (int row : selection.unassignedRows)
        unassigned[static_cast<size_t>(row)] = true;
    std::erase_if(entries, [&](const CheckEntry& e) {
        return e.code == "no-segment" && e.row >= 0 && unassigned[static_cast<size_t>(e.row)];
    });
    for (const HardPoint& h : classifyHardPoints(table, selection.unassignedRows)) {
        std::string where = "第 " + std::to_string(h.row + 1) + " 行“" +
                            std::string(table.text(h.row, ColName)) + "”";
        std::string near = h.nearestStake.empty()
                               ? std::string()
                               : "，最近的 J桩是“" + h.nearestStake + "”，相距 " +
                                     formatFixed(h.distance, 3) + " m";
        entries.push_back({CheckEntry::Severity::Error, "unassigned-point", h.row, ColSegmentStart,
                           where + describe(h.where) + "，自动选择电力线没有给它分配线段" + near +
                               "；导出道亨格式时会中止。",
                           "确认这个点是否属于本线路；需要时手工填写电力线起点和终点。"});
    }
    for (int row : selection.ambiguousRows) {
        entries.push_back({CheckEntry::Severity::Warning, "ambiguous-segment", row, ColSegmentStart,
                           "第 " + std::to_string(row + 1) + " 行“" +
                               std::string(table.text(row, ColName)) +
                               "”到两条线段的距离相差不到 0.01 m，分配的线段“" +
                               std::string(table.text(row, ColSegmentStart)) + "～" +
                               std::string(table.text(row, ColSegmentEnd)) + "”可能不是想要的。",
                           "检查这个点的电力线起点和终点。"});
    }
    sortByRow(entries);
}

int countSeverity(const std::vector<CheckEntry>& entries, CheckEntry::Severity severity) {
    return static_cast<int>(std::count_if(entries.begin(), entries.end(), [&](const CheckEntry& e) {
        return e.severity == severity;
    }));
}

std::string checkEntriesToJson(const std::vector<CheckEntry>& entries) {
    std::string out =
        "{\n  \"errors\": " + std::to_string(countSeverity(entries, Severity::Error)) +
        ",\n  \"warnings\": " + std::to_string(countSeverity(entries, Severity::Warning)) +
        ",\n  \"entries\": [";
    for (size_t i = 0; i < entries.size(); ++i) {
        const CheckEntry& e = entries[i];
        out += i ? ",\n    {" : "\n    {";
        out += "\"severity\": ";
        out += e.severity == Severity::Error ? "\"error\"" : "\"warning\"";
        out += ", \"code\": ";
        appendJsonString(out, e.code);
        out += ", \"row\": " + std::to_string(e.row >= 0 ? e.row + 1 : 0);
        out += ", \"column\": " + std::to_string(e.column);
        out += ", \"message\": ";
        appendJsonString(out, e.message);
        out += ", \"fix\": ";
        appendJsonString(out, e.fix);
        out += "}";
    }
    out += entries.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return out;
}

}  // namespace corvane
