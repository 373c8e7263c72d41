#include "datacalculation.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "angles.h"
#include "cellnumber.h"
#include "columns.h"
#include "geometry.h"
#include "parallelparts.h"
#include "pointtable.h"
#include "rowpoint.h"
#include "vocabularies.h"

namespace corvane {
namespace {

double direction(PlanePoint from, PlanePoint to) {
    return DirectionFromEast(from.x, from.y, to.x, to.y);
}

/// A segment's ends as the calculation needs them: their rows, points and direction,
/// and the start's distance before the run.
struct SegmentEnds {
    int startRow = -1;
    int endRow = -1;
    PlanePoint a;
    PlanePoint b;
    double segmentDirection = 0.0;
    double startDistance = 0.0;
};

/// Every distinct segment of the rows the run computes, looked up before any row is
/// written: the rows shared out over the cores then read nothing but the segments and
/// their own row, never an end row another part may be rewriting (whose storage moves
/// when it grows), nor the name index, which reads the names of such rows.
class SegmentTable {
public:
    explicit SegmentTable(const PointTable& table);

    /// True when a row the run writes starts a segment: the rows must then be taken top
    /// down, as later ones read the distance written into it.
    bool writesAStartRow() const { return m_writesAStartRow; }
    /// The segment of a row the run computes; `key` is room for the lookup.
    const SegmentEnds& find(std::string_view start, std::string_view end, std::string& key) const {
        return m_segments.find(keyOf(start, end, key))->second;
    }

private:
    static const std::string& keyOf(std::string_view start, std::string_view end,
                                    std::string& key) {
        key.assign(start);
        key += '\0';  // no cell holds NUL
        key.append(end);
        return key;
    }

    std::unordered_map<std::string, SegmentEnds> m_segments;
    bool m_writesAStartRow = false;
};

SegmentTable::SegmentTable(const PointTable& table) {
    // The distinct segments of each part, on every core (nothing is written yet); rows
    // next to each other mostly share theirs.
    using Names = std::pair<std::string_view, std::string_view>;
    const size_t rows = static_cast<size_t>(table.rowCount());
    const size_t parts = partsFor(rows);
    std::vector<std::vector<Names>> found(parts);
    runInParts(rows, parts, [&](size_t part, size_t begin, size_t end) {
        std::vector<Names>& names = found[part];
        for (size_t i = begin; i < end; ++i) {
            const std::array<std::string_view, kColumnCount> cells =
                table.rowAt(static_cast<int>(i)).cells(ColPointType);
            if (cells[ColPointType] == kJStake)
                continue;
            const Names segment{cells[ColSegmentStart], cells[ColSegmentEnd]};
            if (names.empty() || names.back() != segment)
                names.push_back(segment);
        }
    });
    std::string key;
    for (const std::vector<Names>& names : found) {
        for (const auto& [start, end] : names) {
            auto [at, added] = m_segments.try_emplace(keyOf(start, end, key));
            if (!added)
                continue;
            SegmentEnds& segment = at->second;
            segment.startRow = table.FindPointRow(start);
            segment.endRow = table.FindPointRow(end);
            if (segment.startRow >= 0 && table.text(segment.startRow, ColPointType) != kJStake)
                m_writesAStartRow = true;
            if (segment.startRow < 0 || segment.endRow < 0)
                continue;
            segment.a = pointOf(table, segment.startRow);
            segment.b = pointOf(table, segment.endRow);
            segment.segmentDirection = direction(segment.a, segment.b);
            segment.startDistance = readNumber(table.text(segment.startRow, ColDistance));
        }
    }
}

/// The segment of the row last computed; neighbouring rows mostly share it. The start's
/// distance changes only when the run writes the start row itself, which it does only
/// top down.
struct ResolvedSegment : SegmentEnds {
    std::string start;
    std::string end;
    bool valid = false;

    bool matches(std::string_view s, std::string_view e) const {
        return valid && s == start && e == end;
    }
};

// Computes the cumulative distance and offset of rows for PointTable::fillRows, keeping
// the segment of the row before.
class RowCalculator {
public:
    /// `topDown`: rows are computed in table order on one thread, and a start's distance
    /// is read when its segment comes up, as rows above may have written it.
    RowCalculator(const PointTable& table, const SegmentTable& segments, bool topDown)
        : m_table(table), m_segments(segments), m_topDown(topDown) {}

    void operator()(int row, std::vector<CellText>& out) {
        const std::array<std::string_view, kColumnCount> cells =
            m_table.rowAt(row).cells(ColPointType);
        if (cells[ColPointType] == kJStake)
            return;
        ResolvedSegment& segment = m_segment;
        if (!segment.matches(cells[ColSegmentStart], cells[ColSegmentEnd])) {
            segment.start.assign(cells[ColSegmentStart]);
            segment.end.assign(cells[ColSegmentEnd]);
            static_cast<SegmentEnds&>(segment) = m_segments.find(segment.start, segment.end, m_key);
            if (m_topDown && segment.startRow >= 0 && segment.endRow >= 0)
                segment.startDistance = readNumber(m_table.text(segment.startRow, ColDistance));
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
    const SegmentTable& m_segments;
    const bool m_topDown;
    ResolvedSegment m_segment;
    std::string m_key;
    std::string m_distance;
    std::string m_offset;
};

}  // namespace

std::optional<NonFiniteCell> calculateData(PointTable& table) {
    if (table.rowCount() == 0)
        return std::nullopt;
    PointTable::Command command(table, "电力数据计算");
    const SegmentTable segments(table);
    const bool topDown = segments.writesAStartRow();
    return table.fillRows([&]() -> RowFiller { return RowCalculator(table, segments, topDown); },
                          topDown ? FillOrder::TopDown : FillOrder::Parallel);
}

}  // namespace corvane
