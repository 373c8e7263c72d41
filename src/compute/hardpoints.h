#pragma once

#include <string>
#include <vector>

namespace corvane {

class PointTable;

/// A point the automatic line selection could not give a segment, and why.
struct HardPoint {
    enum class Where {
        BeforeStart,  // its foot falls before the first J stake of the line
        AfterEnd,     // its foot falls beyond the last J stake
        OutsideTurn,  // in the wedge outside a turn, where neither leg's foot is inside
        TooFar,       // its foot falls on a leg next to the nearest stake, but far off
        NoLine,       // the table has fewer than two J stakes to make a line of
    };
    int row = -1;  // row shown
    Where where = Where::NoLine;
    std::string nearestStake;  // name of the nearest J stake of the line
    double distance = 0.0;     // plan distance to it, metres
};

/// Classifies the given rows (those left without a segment) against the line: the
/// nearest J stake of the line and on which side of the line they lie. The line is the
/// line point list; when that names fewer than two stakes of the table (a file opened as
/// it is), the chain the J-stake rows' segments make, or else the J stakes in table order.
std::vector<HardPoint> classifyHardPoints(const PointTable& table, const std::vector<int>& rows);

/// Chinese text for a HardPoint::Where.
std::string describe(HardPoint::Where where);

}  // namespace corvane
