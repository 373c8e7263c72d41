#pragma once

#include <optional>
#include <string_view>

#include "nonfinite.h"

namespace corvane {

class PointTable;

/// Brings the rest of the table in line after cell (row, column) was given a new text
/// by hand; `previousText` is what the cell held before. A new name keeps the first
/// name in column 16; a new segment start or end is carried to the checked rows of the
/// same segment; a typed distance or offset moves the point to where they put it.
/// Joins the caller's command when one is open, else forms one step of its own.
/// A typed distance or offset that puts the point at coordinates that are not finite
/// numbers moves nothing and returns the coordinate's cell.
std::optional<NonFiniteCell> commitCellChange(PointTable& table, int row, int column,
                                              std::string_view previousText);

/// Stores `text` in the cell and, when that changed it, commits the change: one step.
/// Returns whether the cell changed; a text whose commit fails is not kept.
bool editCell(PointTable& table, int row, int column, std::string_view text);

}  // namespace corvane
