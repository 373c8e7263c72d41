#pragma once

#include <optional>

#include "nonfinite.h"

namespace corvane {

class PointTable;

/// What the projection did.
struct ProjectionResult {
    /// The rows whose coordinates were rewritten.
    int moved = 0;
    /// Set when a new coordinate is not a finite number; the table is then unchanged.
    std::optional<NonFiniteCell> nonFinite;
};

/// "测点投影到电力线": moves every row shown whose offset (column 8) is smaller than
/// `limit` in magnitude (strictly) onto its segment's line, by that offset along the
/// segment's normal, and writes the new coordinates "%.4f" into columns 2 and 1. The
/// offset is the one the last data calculation wrote ("-.-" and empty read 0, so such a
/// row qualifies and is rewritten in place); rows whose segment does not resolve are
/// left alone, and column 8 is not changed. Rows are done from the top down, so a
/// segment end moved earlier in the run counts with its new place. One undoable step;
/// a new coordinate that is not a finite number changes nothing.
[[nodiscard]] ProjectionResult projectPoints(PointTable& table, double limit);

}  // namespace corvane
