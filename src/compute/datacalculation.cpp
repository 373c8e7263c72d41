#include "datacalculation.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "cellnumber.h"
#include "columns.h"
#include "geometry.h"
#include "parallelparts.h"
#include "pointtable.h"
#include "rowpoint.h"
#include "vocabularies.h"

namespace corvane {
namespace {

constexpr double kFullTurn = 6.283185307179586;

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

// Computes the cumulative distance and offset of rows for PointTable::fillRows, keeping
// the segment of the row before.
class RowCalculator {
public:
    explicit RowCalculator(const PointTable& table) : m_table(table) {}

    void operator()(int row, std::vector<CellText>& out) {
        const std::array<std::string_view, kColumnCount> cells =
            m_table.rowAt(row).cells(ColPointType);
        if (cells[ColPointType] == kJStake)
            return;
        ResolvedSegment& segment = m_segment;
        if (!segment.matches(cells[ColSegmentStart], cells[ColSegmentEnd])) {
            segment.start.assign(cells[ColSegmentStart]);
            segment.end.assign(cells[ColSegmentEnd]);
            segment.startRow = m_table.FindPointRow(segment.start);
            segment.endRow = m_table.FindPointRow(segment.end);
            if (segment.startRow >= 0 && segment.endRow >= 0) {
                segment.a = pointOf(m_table, segment.startRow);
                segment.b = pointOf(m_table, segment.endRow);
                segment.segmentDirection = direction(segment.a, segment.b);
                segment.startDistance = readNumber(m_table.text(segment.startRow, ColDistance));
            }
            segment.valid = true;
        }
        auto unresolved = [&] {
            out.push_back({ColDistance, kUnresolved});
            out.push_back({ColOffset, kUnresolved});
            if (row == segment.startRow)
                segment.startDistance = 0.0;
        };
        if (segment.startRow < 0 || segment.endRow < 0) {
            unresolved();
            return;
        }
        const PlanePoint p{readNumber(cells[ColNorth]), readNumber(cells[ColEast])};
        const double startDistance = segment.startDistance;
        const FootOfPerpendicular foot = PerpendicularFoot(segment.a, segment.b, p);
        // A foot before the start point lies back along the line, not ahead of it.
        const bool beforeStart = !foot.inside && foot.v > foot.u;
        const double distance = beforeStart ? startDistance - foot.u : foot.u + startDistance;
        const double side = std::sin(direction(segment.a, p) - segment.segmentDirection);
        const double offset = side < 0 ? foot.d : -foot.d;
        if (!std::isfinite(distance))
            throw NonFiniteResult({row, ColDistance});
        if (!std::isfinite(offset))
            throw NonFiniteResult({row, ColOffset});
        m_distance.clear();
        appendFixed(m_distance, distance, 3);
        m_offset.clear();
        appendFixed(m_offset, offset, 3);
        out.push_back({ColDistance, m_distance});
        out.push_back({ColOffset, m_offset});
        // A row that starts its own segment: later rows read what was just written.
        if (row == segment.startRow)
            segment.startDistance = readNumber(m_distance);
    }

private:
    const PointTable& m_table;
    ResolvedSegment m_segment;
    std::string m_distance;
    std::string m_offset;
};

// True when a row the calculation writes starts a segment of a row it computes: the rows
// must then be taken top down, as later ones read the distance written into it. Only
// reads, so a large table is looked through on every core.
bool writesAStartRow(const PointTable& table) {
    const size_t rows = static_cast<size_t>(table.rowCount());
    const size_t parts = partsFor(rows);
    std::vector<char> found(parts, 0);
    runInParts(rows, parts, [&](size_t part, size_t begin, size_t end) {
        std::string_view lastStart;
        bool haveLast = false;
        for (size_t i = begin; i < end; ++i) {
            const std::array<std::string_view, kColumnCount> cells =
                table.rowAt(static_cast<int>(i)).cells(ColPointType);
            if (cells[ColPointType] == kJStake)
                continue;
            if (haveLast && cells[ColSegmentStart] == lastStart)
                continue;
            lastStart = cells[ColSegmentStart];
            haveLast = true;
            const int start = table.FindPointRow(lastStart);
            if (start >= 0 && table.text(start, ColPointType) != kJStake) {
                found[part] = 1;
                return;
            }
        }
    });
    return std::find(found.begin(), found.end(), 1) != found.end();
}

}  // namespace

std::optional<NonFiniteCell> calculateData(PointTable& table) {
    if (table.rowCount() == 0)
        return std::nullopt;
    PointTable::Command command(table, "电力数据计算");
    const FillOrder order = writesAStartRow(table) ? FillOrder::TopDown : FillOrder::Parallel;
    return table.fillRows([&table]() -> RowFiller { return RowCalculator(table); }, order);
}

}  // namespace corvane
