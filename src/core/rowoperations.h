#pragma once

namespace corvane {

class PointTable;

/// The four ways of moving the marked row.
enum class RowMove { Up, Down, First, Last };

// The row commands of the list menu. Each is one undoable step of the table's
// history; rows are indices of the rows shown and `mark` is the marked row or -1.

/// Inserts an empty, checked row below `mark` (at the end when there is no mark) and
/// returns its index.
int insertRowAfter(PointTable& table, int mark);

/// Deletes every checked row; returns how many went.
int deleteCheckedRows(PointTable& table);

/// The row the marked row trades its texts with, or -1 when the move does nothing
/// (no mark, already at that end, a table of one row).
int moveTarget(RowMove move, int mark, int rowCount);

/// Exchanges the texts of the marked row and its partner; check marks stay where
/// they are. Returns the partner, which becomes the marked row, or -1.
int moveRow(PointTable& table, RowMove move, int mark);

/// Gives every checked row the segment (columns 4 and 5) of the marked row. Without a
/// mark nothing changes: there is no segment to give. Returns the rows changed.
int copyLineToChecked(PointTable& table, int mark);

}  // namespace corvane
