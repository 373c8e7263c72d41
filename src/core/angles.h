#pragma once

namespace corvane {

/// The constants the angle operations and their callers work with, written out so
/// that every caller takes the same doubles.
inline constexpr double kPi = 3.141592653589793;
inline constexpr double kTwoPi = 6.283185307179586;
inline constexpr double kHalfPi = 1.5707963267948966;
inline constexpr double kThreeHalfPi = 4.71238898038469;

/// Direction from point 1 to point 2 in [0, 2π): atan2(y2 − y1, x2 − x1), plus 2π
/// when negative. With x the north and y the east coordinate it is the azimuth,
/// 0 towards north, growing clockwise.
double Azimuth(double x1, double y1, double x2, double y2);

/// Direction from point 1 to point 2 measured from east, counter-clockwise, in
/// [0, 2π): atan2(north2 − north1, east2 − east1), plus 2π when negative. The
/// calculation, the projection and the cell commit all take a segment's direction so.
double DirectionFromEast(double north1, double east1, double north2, double east2);

/// An angle in radians packed as degrees, minutes and seconds into one number,
/// d + m·0.01 + s·0.0001. Degrees and minutes are truncated from the binary value,
/// so an angle just short of a whole minute keeps 59.99… seconds.
double PackDms(double x);

/// The direction of an undirected line folded into [−π/2, π/2]. The three cases are
/// exclusive, so π/2 itself becomes −π/2.
double FoldHalfTurn(double x);

}  // namespace corvane
