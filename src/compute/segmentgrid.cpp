#include "segmentgrid.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace corvane {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Segments shorter than this have a foot too ill-conditioned for the slab test, and
// coordinates beyond kHuge would lose the grid's precision; both are simply asked.
constexpr double kShort = 1e-2;
constexpr double kHuge = 1e12;

double lengthOf(const LineSegment& s) {
    const double dx = s.b.x - s.a.x;
    const double dy = s.b.y - s.a.y;
    return std::sqrt(dx * dx + dy * dy);
}

bool isHuge(PlanePoint p) {
    return !(std::fabs(p.x) <= kHuge && std::fabs(p.y) <= kHuge);
}

}  // namespace

void SegmentGrid::Ranking::offer(int index, double distance) {
    if (index == best.index || index == second.index)
        return;
    auto before = [](double d, int i, const Candidate& c) {
        return d < c.distance || (d == c.distance && i < c.index);
    };
    if (best.index < 0 || before(distance, index, best)) {
        second = best;
        best = {index, distance};
    } else if (second.index < 0 || before(distance, index, second)) {
        second = {index, distance};
    }
}

NearestSegments nearestSegmentsByScan(std::span<const LineSegment> segments, PlanePoint p,
                                      double closeTo) {
    // The selection's own rule: the first inside segment is best, a later one replaces
    // it only when strictly nearer; the runner-up is ranked the same way.
    NearestSegments out;
    int second = -1;
    double secondDistance = 0.0;
    for (size_t k = 0; k < segments.size(); ++k) {
        const FootOfPerpendicular foot = PerpendicularFoot(segments[k].a, segments[k].b, p);
        if (!foot.inside)
            continue;
        const int index = static_cast<int>(k);
        if (out.best < 0 || foot.d < out.bestDistance) {
            second = out.best;
            secondDistance = out.bestDistance;
            out.best = index;
            out.bestDistance = foot.d;
        } else if (second < 0 || foot.d < secondDistance) {
            second = index;
            secondDistance = foot.d;
        }
    }
    out.closeRunnerUp = second >= 0 && secondDistance - out.bestDistance <= closeTo;
    return out;
}

SegmentGrid::SegmentGrid(std::span<const LineSegment> segments)
    : m_segments(segments.begin(), segments.end()) {
    const int n = static_cast<int>(m_segments.size());
    m_lengths.resize(n);
    m_mark.assign(n, 0);
    double minX = kInfinity, minY = kInfinity, maxX = -kInfinity, maxY = -kInfinity;
    for (int k = 0; k < n; ++k) {
        const LineSegment& s = m_segments[k];
        const double length = lengthOf(s);
        m_lengths[k] = length;
        if (!(length > 0.0))
            continue;  // ends that coincide never have the foot inside
        if (length < kShort || isHuge(s.a) || isHuge(s.b)) {
            m_alwaysTested.push_back(k);
            continue;
        }
        m_gridded.push_back(k);
        m_longest = std::max(m_longest, length);
        m_shortest = std::min(m_shortest, length);
        minX = std::min({minX, s.a.x, s.b.x});
        maxX = std::max({maxX, s.a.x, s.b.x});
        minY = std::min({minY, s.a.y, s.b.y});
        maxY = std::max({maxY, s.a.y, s.b.y});
    }
    if (m_gridded.empty())
        return;

    // About four cells per segment over the bounding box, never thinner than a line of
    // cells would need.
    const double width = maxX - minX;
    const double height = maxY - minY;
    const double target = std::max(16.0, 4.0 * static_cast<double>(m_gridded.size()));
    m_cell =
        std::max({std::sqrt(width * height / target), std::max(width, height) / target, kShort});
    m_originX = minX;
    m_originY = minY;
    m_columns = static_cast<int>(width / m_cell) + 1;
    m_rows = static_cast<int>(height / m_cell) + 1;

    const size_t cells = static_cast<size_t>(m_columns) * static_cast<size_t>(m_rows);
    m_cellStart.assign(cells + 1, 0);
    m_cellSegments.clear();
    // Count, then fill: a compact list of segments per cell.
    for (int k : m_gridded)
        addCells(k, nullptr);
    uint32_t total = 0;
    for (size_t c = 0; c <= cells; ++c) {
        const uint32_t count = m_cellStart[c];
        m_cellStart[c] = total;
        total += count;
    }
    m_cellSegments.resize(total);
    std::vector<uint32_t> fill(m_cellStart.begin(), m_cellStart.end() - 1);
    for (int k : m_gridded)
        addCells(k, &fill);
}

int SegmentGrid::columnOf(double x) const {
    const double c = std::floor((x - m_originX) / m_cell);
    return static_cast<int>(std::clamp(c, 0.0, static_cast<double>(m_columns - 1)));
}

int SegmentGrid::rowOf(double y) const {
    const double r = std::floor((y - m_originY) / m_cell);
    return static_cast<int>(std::clamp(r, 0.0, static_cast<double>(m_rows - 1)));
}

// Registers segment k in every cell it passes through, column strip by column strip:
// counts them without `fill`, writes them at the cells' fill positions with it.
void SegmentGrid::addCells(int k, std::vector<uint32_t>* fill) {
    const LineSegment& s = m_segments[k];
    const double slack = 1e-6 * m_cell;  // rounding of the strip ends must not lose a cell
    auto add = [&](int column, double y0, double y1) {
        const int r0 = rowOf(std::min(y0, y1) - slack);
        const int r1 = rowOf(std::max(y0, y1) + slack);
        for (int r = r0; r <= r1; ++r) {
            const size_t cell = static_cast<size_t>(r) * m_columns + column;
            if (fill)
                m_cellSegments[(*fill)[cell]++] = k;
            else
                ++m_cellStart[cell];
        }
    };
    const double x0 = std::min(s.a.x, s.b.x);
    const double x1 = std::max(s.a.x, s.b.x);
    const int c0 = columnOf(x0 - slack);
    const int c1 = columnOf(x1 + slack);
    if (c0 == c1 || s.a.x == s.b.x) {
        for (int c = c0; c <= c1; ++c)
            add(c, s.a.y, s.b.y);
        return;
    }
    const double slope = (s.b.y - s.a.y) / (s.b.x - s.a.x);
    for (int c = c0; c <= c1; ++c) {
        const double left = std::max(x0, m_originX + c * m_cell - slack);
        const double right = std::min(x1, m_originX + (c + 1) * m_cell + slack);
        add(c, s.a.y + (left - s.a.x) * slope, s.a.y + (right - s.a.x) * slope);
    }
}

// How far Heron's distance, and the foot it calls inside, may stray from the exact
// geometry for a point `distance` from a segment of `length`: measured at well below a
// tenth of this over segments of 1 cm to 100 km and points up to 1e7 m away.
double SegmentGrid::tolerance(double distance, double length) {
    return 1e-3 + 1e-6 * (length + distance) +
           1e-14 * distance * distance * distance / (length * length);
}

// A quick test in plain vector arithmetic that lets through every segment whose foot
// PerpendicularFoot could call inside and whose distance could be within `reach`.
bool SegmentGrid::mayMatter(int k, PlanePoint p, double reach) const {
    const LineSegment& s = m_segments[k];
    const double dx = s.b.x - s.a.x;
    const double dy = s.b.y - s.a.y;
    const double length = m_lengths[k];
    const double distance = std::fabs((p.x - s.a.x) * dy - (p.y - s.a.y) * dx) / length;
    if (distance > reach + tolerance(reach, length))
        return false;
    const double along = (p.x - s.a.x) * dx + (p.y - s.a.y) * dy;  // times the length
    const double slack = tolerance(distance, length) * length;
    return along >= -slack && along <= length * length + slack;
}

void SegmentGrid::consider(int k, PlanePoint p, Ranking& ranking) {
    const FootOfPerpendicular foot = PerpendicularFoot(m_segments[k].a, m_segments[k].b, p);
    if (foot.inside)
        ranking.offer(k, foot.d);
}

NearestSegments SegmentGrid::nearest(PlanePoint p, double closeTo,
                                     std::optional<double> maxDistance) {
    if (++m_query == 0) {
        std::fill(m_mark.begin(), m_mark.end(), 0);
        m_query = 1;
    }
    Ranking ranking;
    for (int k : m_alwaysTested)
        consider(k, p, ranking);

    // How far a segment may lie and still matter: the best distance plus the margin for
    // a close runner-up, capped by the caller's limit.
    auto reach = [&] {
        double limit = kInfinity;
        if (ranking.best.index >= 0)
            limit = ranking.best.distance + closeTo;
        if (maxDistance)
            limit = std::min(limit, *maxDistance + closeTo);
        return limit;
    };
    // Beyond this no segment outside the rings searched can come within reach.
    auto margin = [&](double limit) {
        return limit + std::max(tolerance(limit, m_longest), tolerance(limit, m_shortest));
    };

    if (!m_gridded.empty() && isHuge(p)) {
        for (int k : m_gridded)
            consider(k, p, ranking);
    } else if (!m_gridded.empty()) {
        const int cx = columnOf(p.x);
        const int cy = rowOf(p.y);
        const size_t giveUp = 2 * m_gridded.size() + 64;
        size_t visited = 0;
        auto visit = [&](int column, int row) {
            ++visited;
            const size_t cell = static_cast<size_t>(row) * m_columns + column;
            for (uint32_t i = m_cellStart[cell]; i < m_cellStart[cell + 1]; ++i) {
                const int k = m_cellSegments[i];
                if (m_mark[k] == m_query)
                    continue;
                m_mark[k] = m_query;
                if (mayMatter(k, p, reach()))
                    consider(k, p, ranking);
            }
        };
        for (int r = 0;; ++r) {
            if (r == 0) {
                visit(cx, cy);
            } else {
                const int left = std::max(0, cx - r), right = std::min(m_columns - 1, cx + r);
                const int bottom = std::max(0, cy - r), top = std::min(m_rows - 1, cy + r);
                if (cy - r >= 0)
                    for (int c = left; c <= right; ++c)
                        visit(c, cy - r);
                if (cy + r < m_rows)
                    for (int c = left; c <= right; ++c)
                        visit(c, cy + r);
                if (cx - r >= 0)
                    for (int row = std::max(bottom, cy - r + 1); row <= std::min(top, cy + r - 1);
                         ++row)
                        visit(cx - r, row);
                if (cx + r < m_columns)
                    for (int row = std::max(bottom, cy - r + 1); row <= std::min(top, cy + r - 1);
                         ++row)
                        visit(cx + r, row);
            }
            // Every cell outside the square of rings 0..r lies at least `outside` away.
            double outside = kInfinity;
            if (cx - r > 0)
                outside = std::min(outside, p.x - (m_originX + (cx - r) * m_cell));
            if (cx + r < m_columns - 1)
                outside = std::min(outside, m_originX + (cx + r + 1) * m_cell - p.x);
            if (cy - r > 0)
                outside = std::min(outside, p.y - (m_originY + (cy - r) * m_cell));
            if (cy + r < m_rows - 1)
                outside = std::min(outside, m_originY + (cy + r + 1) * m_cell - p.y);
            if (outside == kInfinity)
                break;
            if (outside > margin(reach()))
                break;
            if (visited + 8 * static_cast<size_t>(r + 1) > giveUp) {
                // Nothing near: the rings would soon cost more than asking every segment.
                for (int k : m_gridded) {
                    if (m_mark[k] != m_query && mayMatter(k, p, reach()))
                        consider(k, p, ranking);
                }
                break;
            }
        }
    }

    NearestSegments out;
    if (ranking.best.index < 0 || (maxDistance && ranking.best.distance > *maxDistance))
        return out;
    out.best = ranking.best.index;
    out.bestDistance = ranking.best.distance;
    out.closeRunnerUp =
        ranking.second.index >= 0 && ranking.second.distance - ranking.best.distance <= closeTo;
    return out;
}

}  // namespace corvane
