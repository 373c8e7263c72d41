#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "columns.h"
#include "pointtable.h"
#include "row.h"
#include "vocabularies.h"

namespace corvane::testing {

/// The cells a computation reads, written compactly; the rest stay empty.
struct Point {
    std::string_view name;
    std::string_view x;
    std::string_view y;
    std::string_view start = {};
    std::string_view end = {};
    std::string_view distance = {};
    std::string_view type = kOrdinaryPoint;
    std::string_view offset = {};
};

inline Row rowOf(const Point& p) {
    std::vector<std::string_view> cells(kColumnCount);
    cells[ColName] = p.name;
    cells[ColNorth] = p.x;
    cells[ColEast] = p.y;
    cells[ColSegmentStart] = p.start;
    cells[ColSegmentEnd] = p.end;
    cells[ColDistance] = p.distance;
    cells[ColOffset] = p.offset;
    cells[ColPointType] = p.type;
    return Row(cells);
}

/// Replaces the table's rows and forgets the history, as after an import.
inline void load(PointTable& table, const std::vector<Point>& points) {
    std::vector<Row> rows;
    for (const Point& p : points)
        rows.push_back(rowOf(p));
    table.replaceAll(std::move(rows), {});
    table.clearHistory();
}

/// Everything an undo must bring back: every row of the full table with its check
/// mark, and the line point list.
inline std::string fullState(const PointTable& table) {
    std::string s;
    for (int r = 0; r < table.fullRowCount(); ++r) {
        for (int c = 0; c < kColumnCount; ++c) {
            s.append(table.fullText(r, c));
            s += '|';
        }
        s += '\n';
    }
    int shown = table.rowCount();
    for (int r = 0; r < shown; ++r)
        s += table.isChecked(r) ? '+' : '-';
    s += '\n';
    for (const std::string& name : table.linePoints())
        s += name + ";";
    return s;
}

inline std::string cell(const PointTable& table, std::string_view name, int column) {
    return std::string(table.text(table.FindPointRow(name), column));
}

}  // namespace corvane::testing
