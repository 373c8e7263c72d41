#include "datacalculation.h"

#include <cmath>
#include <string>
#include <string_view>

#include "cellnumber.h"
#include "columns.h"
#include "geometry.h"
#include "pointtable.h"
#include "vocabularies.h"

namespace corvane {
namespace {

constexpr double kFullTurn = 6.283185307179586;

PlanePoint pointOf(const PointTable& table, int row) {
    return {readNumber(table.text(row, ColNorth)), readNumber(table.text(row, ColEast))};
}

// atan2 of the north difference over the east difference, taken into [0, 2π).
double direction(PlanePoint from, PlanePoint to) {
    double angle = std::atan2(to.x - from.x, to.y - from.y);
    if (angle < 0)
        angle += kFullTurn;
    return angle;
}

/// The segment of the row last computed; neighbouring rows mostly share it, and the
/// command changes neither names nor coordinates, so its ends stay valid. The start's
/// distance changes only when the run writes the start row itself.
struct ResolvedSegment {
    std::string start;
    std::string end;
    int startRow = -1;
    int endRow = -1;
    PlanePoint a;
    PlanePoint b;
    double segmentDirection = 0.0;
    double startDistance = 0.0;
    bool valid = false;

    bool matches(std::string_view s, std::string_view e) const {
        return valid && s == start && e == end;
    }
};

}  // namespace

void calculateData(PointTable& table) {
    if (table.rowCount() == 0)
        return;
    PointTable::Command command(table, "电力数据计算");
    ResolvedSegment segment;
    std::string distanceText;
    std::string offsetText;
    for (int i = 0; i < table.rowCount(); ++i) {
        if (table.text(i, ColPointType) == kJStake)
            continue;
        const std::string_view startName = table.text(i, ColSegmentStart);
        const std::string_view endName = table.text(i, ColSegmentEnd);
        if (!segment.matches(startName, endName)) {
            segment.start.assign(startName);
            segment.end.assign(endName);
            segment.startRow = table.FindPointRow(startName);
            segment.endRow = table.FindPointRow(endName);
            if (segment.startRow >= 0 && segment.endRow >= 0) {
                segment.a = pointOf(table, segment.startRow);
                segment.b = pointOf(table, segment.endRow);
                segment.segmentDirection = direction(segment.a, segment.b);
                segment.startDistance = readNumber(table.text(segment.startRow, ColDistance));
            }
            segment.valid = true;
        }
        auto unresolved = [&] {
            const CellText cells[] = {{ColDistance, kUnresolved}, {ColOffset, kUnresolved}};
            table.setTexts(i, cells);
            if (i == segment.startRow)
                segment.startDistance = 0.0;
        };
        if (segment.startRow < 0 || segment.endRow < 0) {
            unresolved();
            continue;
        }
        const PlanePoint p = pointOf(table, i);
        const double startDistance = segment.startDistance;
        const FootOfPerpendicular foot = PerpendicularFoot(segment.a, segment.b, p);
        // A foot before the start point lies back along the line, not ahead of it.
        const bool beforeStart = !foot.inside && foot.v > foot.u;
        const double distance = beforeStart ? startDistance - foot.u : foot.u + startDistance;
        const double side = std::sin(direction(segment.a, p) - segment.segmentDirection);
        const double offset = side < 0 ? foot.d : -foot.d;
        if (!std::isfinite(distance) || !std::isfinite(offset)) {
            unresolved();
            continue;
        }
        distanceText.clear();
        appendFixed(distanceText, distance, 3);
        offsetText.clear();
        appendFixed(offsetText, offset, 3);
        const CellText cells[] = {{ColDistance, distanceText}, {ColOffset, offsetText}};
        table.setTexts(i, cells);
        // A row that starts its own segment: later rows read what was just written.
        if (i == segment.startRow)
            segment.startDistance = readNumber(distanceText);
    }
}

}  // namespace corvane
