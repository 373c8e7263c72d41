#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <vector>

#include "geometry.h"

namespace corvane {

/// A straight segment of the power line, from `a` to `b`.
struct LineSegment {
    PlanePoint a;
    PlanePoint b;
};

/// The segments onto which a point's perpendicular foot falls, as the automatic line
/// selection ranks them: the smallest `PerpendicularFoot` distance wins and, among equal
/// distances, the segment that comes first. Indices are positions in the segment span.
struct NearestSegments {
    int best = -1;  // -1 when the foot falls within no segment
    double bestDistance = 0.0;
    /// True when another segment's foot lies within `closeTo` metres of the best
    /// distance (equal distances included), so that the choice is a near tie.
    bool closeRunnerUp = false;
};

/// The answer by testing every segment: the reference that SegmentGrid must match.
NearestSegments nearestSegmentsByScan(std::span<const LineSegment> segments, PlanePoint p,
                                      double closeTo);

/// A uniform grid over the segments that answers the same question as
/// nearestSegmentsByScan without testing every segment: it visits the cells around the
/// point ring by ring and stops once no segment outside the rings can reach the best
/// distance found, so it returns the same segment and the same distance, ties included.
/// Every candidate goes through PerpendicularFoot itself; the grid only decides which
/// segments need not be asked. A point with no segment near it falls back to a scan.
/// One grid serves one query at a time (it keeps per-query marks).
class SegmentGrid {
public:
    explicit SegmentGrid(std::span<const LineSegment> segments);

    /// As nearestSegmentsByScan. With `maxDistance`, a best segment farther away than
    /// that is not searched for and not returned (best = -1).
    NearestSegments nearest(PlanePoint p, double closeTo,
                            std::optional<double> maxDistance = std::nullopt);

private:
    struct Candidate {
        int index = -1;
        double distance = 0.0;
    };
    struct Ranking {
        Candidate best;
        Candidate second;
        void offer(int index, double distance);
    };

    static double tolerance(double distance, double length);
    void consider(int index, PlanePoint p, Ranking& ranking);
    bool mayMatter(int index, PlanePoint p, double reach) const;
    int columnOf(double x) const;
    int rowOf(double y) const;
    void addCells(int index, std::vector<uint32_t>* fill);

    std::vector<LineSegment> m_segments;
    std::vector<double> m_lengths;
    std::vector<int> m_gridded;       // segments kept in cells
    std::vector<int> m_alwaysTested;  // too short for the slab test; asked for every point
    double m_originX = 0.0;
    double m_originY = 0.0;
    double m_cell = 1.0;
    int m_columns = 0;
    int m_rows = 0;
    double m_longest = 0.0;
    double m_shortest = std::numeric_limits<double>::infinity();
    std::vector<uint32_t> m_cellStart;  // CSR over cells: m_cellStart[c]..m_cellStart[c+1]
    std::vector<int> m_cellSegments;
    std::vector<uint32_t> m_mark;
    uint32_t m_query = 0;
};

}  // namespace corvane
