#include "projection.h"

#include <cmath>
#include <string>
#include <vector>

#include "angles.h"
#include "cellnumber.h"
#include "columns.h"
#include "pointtable.h"

namespace corvane {

ProjectionResult projectPoints(PointTable& table, double limit) {
    PointTable::Command command(table, "测点投影到电力线");
    ProjectionResult result;
    std::string northText;
    std::string eastText;
    // Top down: a segment end moved above is read where it now stands.
    auto fill = [&](int i, std::vector<CellText>& cells) {
        const double offset = readNumber(table.text(i, ColOffset));
        if (!(std::fabs(offset) < limit))
            return;
        const double x = readNumber(table.text(i, ColNorth));
        const double y = readNumber(table.text(i, ColEast));
        const int s = table.FindPointRow(table.text(i, ColSegmentStart));
        const int e = table.FindPointRow(table.text(i, ColSegmentEnd));
        if (s < 0 || e < 0)
            return;
        const double xa = readNumber(table.text(s, ColNorth));
        const double ya = readNumber(table.text(s, ColEast));
        const double xb = readNumber(table.text(e, ColNorth));
        const double yb = readNumber(table.text(e, ColEast));
        const double angle = DirectionFromEast(xa, ya, xb, yb);
        // The left-hand normal: a positive offset lies to the right, so the point moves
        // by its offset towards the line.
        const double normal = angle + kHalfPi;
        const double east = y + offset * std::cos(normal);
        const double north = x + offset * std::sin(normal);
        if (!std::isfinite(north))
            throw NonFiniteResult({i, ColNorth});
        if (!std::isfinite(east))
            throw NonFiniteResult({i, ColEast});
        eastText.clear();
        appendFixed(eastText, east, 4);
        northText.clear();
        appendFixed(northText, north, 4);
        cells.assign({{ColNorth, northText}, {ColEast, eastText}});
        ++result.moved;
    };
    result.nonFinite = table.fillRows([&]() -> RowFiller { return fill; }, FillOrder::TopDown);
    if (result.nonFinite)
        result.moved = 0;
    return result;
}

}  // namespace corvane
