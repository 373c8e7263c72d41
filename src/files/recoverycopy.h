#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pointtable.h"
#include "result.h"
#include "textlines.h"

namespace corvane {

/// Everything the editor needs to put a table back as it was after a crash: every row
/// in full-table order with its check mark, the other lines, the line point list, the
/// display mode and the file the table came from. Taken on the user interface thread
/// (see takeRecoveryState) and written on another.
struct RecoveryState {
    /// One entry a row, in full-table order: the row's cells joined by NUL (no cell
    /// holds one), so a row is copied in one piece.
    TextLines rows;
    /// Full-table places of the checked rows, ascending.
    std::vector<uint32_t> checkedRows;
    TextLines otherLines;
    std::vector<std::string> linePoints;
    DisplayMode mode = DisplayMode::AllPoints;
    std::string source;
    /// When the state was taken: milliseconds since 1970-01-01 UTC.
    int64_t takenAtMs = 0;

    bool operator==(const RecoveryState&) const = default;
};

/// What the question before a restore names, read from the start of a copy.
struct RecoveryInfo {
    int64_t takenAtMs = 0;
    std::string source;
    uint64_t rowCount = 0;
};

/// The version of the copy's layout this program writes; a copy of a later version is
/// refused rather than misread.
inline constexpr uint32_t kRecoveryVersion = 1;

/// Copies the table's state; its cost is a copy of each row's text.
RecoveryState takeRecoveryState(const PointTable& table, int64_t takenAtMs);

/// The same in steps, for a caller that must not stop for the whole copy: everything
/// but the rows, then copyRecoveryRows until it returns true. The table must not
/// change between the steps.
RecoveryState beginRecoveryState(const PointTable& table, int64_t takenAtMs);
/// Copies up to `count` more rows into `state`; true once every row is there.
bool copyRecoveryRows(const PointTable& table, RecoveryState& state, size_t count);

/// Writes the state to `path` atomically (the old copy stays whole until the new one is).
Status writeRecoveryFile(const std::string& path, const RecoveryState& state);

/// Reads the head of a copy and checks that the file is as long as it says: what a
/// question can name without reading a large file whole.
Result<RecoveryInfo> readRecoveryInfo(const std::string& path);

/// Reads a whole copy; a copy that is cut short, damaged or of a later version is an
/// error that says so.
Result<RecoveryState> readRecoveryFile(const std::string& path);

/// Puts the state into the table as one new table: rows, check marks, other lines, line
/// point list, display mode and source; the undo history emptied and the table marked
/// as modified (nothing of it has been exported).
void restoreRecoveryState(PointTable& table, RecoveryState state);

}  // namespace corvane
