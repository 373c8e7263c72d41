#pragma once

#include <string>
#include <string_view>

namespace corvane {

class PointTable;

/// Appends row `row` as one line of tab-separated cells ending in "\n", the form
/// spreadsheets paste.
void appendRowAsTabText(const PointTable& table, int row, std::string& out);

/// What a paste did.
struct PasteOutcome {
    enum class Status { Pasted, Empty, Refused };
    Status status = Status::Empty;
    int rows = 0;            // rows written
    int clippedRows = 0;     // lines of the block below the last row of the table
    int clippedColumns = 0;  // cells of the block right of the last column
};

/// Writes a tab-separated block (lines ended by "\n" or "\r\n") into the cells from
/// (row, column) on, as one step. A block holding a "," or a lone carriage return
/// writes nothing and is refused; what lies beyond the table's last row or column is
/// left out and counted.
PasteOutcome pasteTabText(PointTable& table, int row, int column, std::string_view text);

}  // namespace corvane
