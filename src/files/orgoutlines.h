#pragma once

#include <string_view>

#include "orgrecords.h"

namespace corvane {

class PointTable;

/// What the ".org" writer reads from one row, numbers read leniently. O is minus
/// column 8 (positive left of the segment), A the azimuth of the row's segment.
struct OrgRowValues {
    int row = 0;
    std::string_view name;
    std::string_view type;
    double azimuth = 0.0;   // A
    double offset = 0.0;    // O
    double distance = 0.0;  // D
    double elevation = 0.0;
    int code = 0;  // crossing code of column 10
    double measuredHeight = 0.0;
    double angle = 0.0;  // direction of the crossed object, radians
    int pole = 0;
    double length = 0.0;  // column 14 read as an integer
    double width = 0.0;
};

/// Plan coordinates of a row (north, east). Rows are found by name, and a name that
/// matches no row (row -1) stands at (0, 0).
struct OrgPlanPoint {
    double north = 0.0;
    double east = 0.0;
};
OrgPlanPoint orgPlanPoint(const PointTable& table, int row);

/// What writeOutline did with a row.
struct OutlineOutcome {
    /// False for a row of a two- or three-point group that describes no object itself.
    bool written = false;
    /// The column a number of the outline that is not finite comes from (nothing was
    /// appended then), else -1.
    int nonFiniteColumn = -1;
};

/// Appends the outline of a road, river, pond or house measured by one, two or three
/// points (a band, a pond or a house, chosen by the crossing code) and advances the
/// counter. Rows of a two- or three-point group take the rows above them as partners.
OutlineOutcome writeOutline(const PointTable& table, const OrgRowValues& values, OrgNumber& counter,
                            OrgRecords& records);

}  // namespace corvane
