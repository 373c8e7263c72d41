#pragma once

namespace corvane {

/// A point of the survey plane in metres: x the north coordinate (column 1), y the east
/// coordinate (column 2).
struct PlanePoint {
    double x = 0.0;
    double y = 0.0;
};

/// Where the perpendicular from a point meets the straight line through a segment.
struct FootOfPerpendicular {
    double d = 0.0;       // distance of the point from the line, never negative
    double u = 0.0;       // distance from the start A to the foot along the line, never negative
    double v = 0.0;       // distance from the end B to the foot along the line, never negative
    bool inside = false;  // the foot lies within the segment from A to B
};

/// The foot of the perpendicular from `p` onto the line through `a` and `b`, from the
/// three mutual distances by Heron's formula. `inside` holds when u + v differs from the
/// segment's length by less than 1e-8. Rounding can push the Heron product or the
/// radicands under u and v slightly below zero for a point on the line or at a right
/// angle over an end; they count as zero, so such a point has d = 0 or u = 0 rather than
/// no number. A segment whose ends coincide has no line: d is the distance to `a`,
/// u = 0, v the distance to `b`, and the foot is never inside. For finite input every
/// result is a number; d, u and v are all infinite (and the foot not inside) when the
/// coordinates are so large that the distances or Heron's product overflow.
FootOfPerpendicular PerpendicularFoot(PlanePoint a, PlanePoint b, PlanePoint p);

}  // namespace corvane
