#pragma once

#include <optional>
#include <vector>

namespace corvane {

class PointTable;

/// Limits of the automatic line selection beyond its usual rule.
struct AutoSelectionOptions {
    /// When set, a point farther than this from its nearest segment stays unassigned.
    std::optional<double> maxDistance;
};

/// What the automatic line selection did, in rows shown.
struct AutoSelectionResult {
    int assigned = 0;
    /// Rows that had no segment and got none: the foot falls within no segment (or the
    /// nearest is beyond the maximum distance).
    std::vector<int> unassignedRows;
    /// Assigned rows whose two nearest segments lie within 0.01 m of each other, so that
    /// the choice rests on a near tie.
    std::vector<int> ambiguousRows;
};

/// The distance within which two segments make a choice ambiguous.
inline constexpr double kAmbiguousWithin = 0.01;

/// "自动选择电力线": gives every row shown whose columns 4 and 5 are both empty the
/// segment nearest to it among those onto which its perpendicular foot falls (smallest
/// PerpendicularFoot distance; the segment named first in the table wins a tie), and
/// writes the segment's start and end names into columns 4 and 5. The segments are the
/// distinct "start~end" pairs of the rows shown that have both columns filled, in the
/// order they first occur; each end is the first row of its name, and a segment with an
/// end that names no row is passed over. One undoable step.
AutoSelectionResult autoSelectLines(PointTable& table, const AutoSelectionOptions& options = {});

}  // namespace corvane
