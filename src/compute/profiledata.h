#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace corvane {

class PointTable;

/// What the longitudinal section shows of one row.
struct ProfilePoint {
    enum class Kind : uint8_t {
        Ground,       // an ordinary point on the ground line
        JStake,       // a turning point: a labelled vertical line
        ZStake,       // a stake on a straight stretch
        CrossedLine,  // a crossed line measured at one point: drawn at its height
        House,        // a house: a block of its height
        Object,       // another measured object on the ground (road, ditch, pond)
    };
    Kind kind = Kind::Ground;
    int row = -1;            // row shown
    double distance = 0.0;   // cumulative distance, column 7
    double elevation = 0.0;  // column 3
    // Measured height above the ground (column 11) and extent along the line of houses
    // (column 15): a float is ample for them, and a million points are 32 bytes each.
    float height = 0.0f;
    float width = 0.0f;
};

/// The section of the rows shown that have a numeric cumulative distance, in
/// ascending distance (rows of equal distance in table order).
struct ProfileData {
    std::vector<ProfilePoint> points;
    // For the drawing's walks over a million points: the indices of the J stakes and
    // of the other marks (Z stakes, crossed lines, houses, objects).
    std::vector<int> stakes;
    /// Beside `stakes`: how sharply the line turns at each, 0 to π radians, π at the
    /// line's two ends.
    std::vector<double> turns;
    std::vector<int> marks;
    std::vector<ProfilePoint::Kind> markKinds;  // beside `marks`
    std::vector<double> markTops;               // beside `marks`: elevation + height
    /// The lowest and highest elevation of each block of kBlock consecutive points, so
    /// that a drawing which puts a whole block into one pixel column takes it at once.
    static constexpr size_t kBlock = 64;
    std::vector<std::pair<double, double>> blockRanges;
    /// By row of the table: its index in `points`, or -1.
    std::vector<int> pointOfRow;
    double minDistance = 0.0, maxDistance = 0.0;
    double minElevation = 0.0, maxElevation = 0.0;  // tops of objects included
    bool empty() const { return points.empty(); }
};

ProfileData buildProfile(const PointTable& table);

/// What the section writes beside point `p`: the row's name, or the crossed object's
/// text for crossed lines and objects. Read from the table when drawn, so that a
/// million points carry no copies of their names.
std::string_view profileLabel(const PointTable& table, const ProfilePoint& p);

/// Keeps `data` equal to buildProfile(table) after rows [first, last] were taken out of
/// the table, without reading the rows that stayed.
void removeProfileRows(ProfileData& data, const PointTable& table, int first, int last);
/// The same after row `row` was put into the table.
void insertProfileRow(ProfileData& data, const PointTable& table, int row);

/// Round tick positions ("nice numbers": 1, 2 or 5 times a power of ten) covering
/// [low, high] with about `count` intervals.
std::vector<double> niceTicks(double low, double high, int count);

}  // namespace corvane
