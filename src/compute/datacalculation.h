#pragma once

#include <optional>

#include "nonfinite.h"

namespace corvane {

class PointTable;

/// "电力数据计算": for every row shown that is not a J stake, the cumulative distance
/// (column 7) and the offset (column 8) against the segment its columns 4 and 5 name,
/// each end being the first row of its name (PointTable::FindPointRow).
///
/// Column 7 is the start point's column 7 plus the distance along the segment's line to
/// the perpendicular foot, minus it when the foot lies before the start point. Column 8
/// is the distance from the line, positive right of the direction start to end. Both
/// "%.3f". A segment that does not resolve gives "-.-" in both. Rows are done from the
/// top down, so a start point that is an ordinary row above has its column 7 of this
/// run. One undoable step; an empty table is left alone.
///
/// A result that is not a finite number (coordinates or mileages so large that the
/// arithmetic overflows) changes nothing and leaves no undo step; the cell of the
/// topmost such result is returned.
[[nodiscard]] std::optional<NonFiniteCell> calculateData(PointTable& table);

}  // namespace corvane
