#pragma once

#include <string>
#include <string_view>

#include "columns.h"
#include "pointtable.h"

namespace corvane::test {

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

/// The text of a column in the row of the named point.
inline std::string cell(const PointTable& table, std::string_view name, int column) {
    return std::string(table.text(table.FindPointRow(name), column));
}

}  // namespace corvane::test
