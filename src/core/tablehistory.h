#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "nameindex.h"
#include "pointtable.h"
#include "row.h"

namespace corvane {

// The undo records. Each one holds only what its edit changed and toggles between
// the two states: applying it swaps what it holds with what the table holds.

/// Cell texts, in the order they were set.
struct CellChanges {
    std::vector<RowId> ids;
    std::vector<uint8_t> columns;
    std::string texts;
    std::vector<uint64_t> ends;

    void add(RowId id, int column, std::string_view text) {
        ids.push_back(id);
        columns.push_back(static_cast<uint8_t>(column));
        texts.append(text);
        ends.push_back(texts.size());
    }
    std::string_view textAt(size_t i) const {
        uint64_t begin = i == 0 ? 0 : ends[i - 1];
        return std::string_view(texts).substr(begin, ends[i] - begin);
    }
};

struct CheckChanges {
    std::vector<RowId> ids;
    std::vector<uint8_t> values;
};

/// Rows that enter or leave the table; while out, their contents live here.
struct RowPresence {
    bool present = false;
    std::vector<std::pair<uint32_t, RowId>> places;  // ascending places in the full table
    std::vector<Row> rows;                           // parallel to places while out
    std::vector<uint8_t> checks;
    std::vector<uint8_t> shown;
};

struct RowSwap {
    RowId a = kNoRow;
    RowId b = kNoRow;
};

struct RowOrder {
    std::vector<RowId> order;
};

struct LinePointChange {
    std::vector<std::string> names;
};

struct WholeTable {
    std::vector<Row> rows;
    std::vector<uint8_t> checked;
    std::vector<uint8_t> shown;
    std::vector<RowId> order;
    std::vector<std::string> linePoints;
    TextLines otherLines;
    std::string source;
    uint64_t generation = 0;
    DisplayMode mode = DisplayMode::AllPoints;
};

using TableOp = std::variant<CellChanges, CheckChanges, RowPresence, RowSwap, RowOrder,
                             LinePointChange, WholeTable>;

struct TableCommandRecord {
    std::string label;
    std::vector<TableOp> ops;
    bool touchesData = false;

    size_t bytes() const;
};

}  // namespace corvane
