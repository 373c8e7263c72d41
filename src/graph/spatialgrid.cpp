#include "spatialgrid.h"

#include <algorithm>
#include <cmath>

namespace corvane {
namespace {

constexpr size_t kMaxCells = size_t{1} << 20;
constexpr int kMaxSide = 8192;

// The values at the 1st and 99th percentile of a sample of at most 65,536 values.
std::pair<double, double> centralRange(std::vector<double>& sample) {
    const size_t lo = sample.size() / 100;
    const size_t hi = sample.size() - 1 - lo;
    std::nth_element(sample.begin(), sample.begin() + lo, sample.end());
    const double low = sample[lo];
    std::nth_element(sample.begin(), sample.begin() + hi, sample.end());
    return {low, sample[hi]};
}

}  // namespace

void SpatialGrid::clear() {
    m_cols = m_rows = 0;
    m_cellStart.clear();
    m_indices.clear();
}

int SpatialGrid::columnOf(double east) const {
    const double c = std::floor((east - m_minEast) / m_cellSize);
    return !(c >= 0) ? 0 : (c >= m_cols ? m_cols - 1 : static_cast<int>(c));
}

int SpatialGrid::rowOf(double north) const {
    const double r = std::floor((north - m_minNorth) / m_cellSize);
    return !(r >= 0) ? 0 : (r >= m_rows ? m_rows - 1 : static_cast<int>(r));
}

void SpatialGrid::build(std::span<const WorldPoint> points) {
    clear();
    if (points.empty())
        return;
    const size_t step = std::max<size_t>(1, points.size() / 65536);
    std::vector<double> east;
    std::vector<double> north;
    for (size_t i = 0; i < points.size(); i += step) {
        east.push_back(points[i].east);
        north.push_back(points[i].north);
    }
    auto [e0, e1] = centralRange(east);
    auto [n0, n1] = centralRange(north);
    const double spanE = e1 - e0;
    const double spanN = n1 - n0;

    // About two points a cell where the points cover the area evenly; a line of
    // points along a diagonal uses fewer cells, each holding more.
    const size_t target = std::clamp<size_t>(points.size() / 2, 1, kMaxCells);
    double size = 1.0;
    if (spanE > 0 && spanN > 0)
        size = std::sqrt(spanE * spanN / static_cast<double>(target));
    else if (std::max(spanE, spanN) > 0)
        size = std::max(spanE, spanN) / static_cast<double>(target);
    size = std::max(size, std::max(spanE, spanN) / kMaxSide);
    if (!(size > 0) || !std::isfinite(size))
        size = 1.0;
    m_cellSize = size;
    m_minEast = e0;
    m_minNorth = n0;
    m_cols = std::clamp(static_cast<int>(spanE / size) + 1, 1, kMaxSide);
    m_rows = std::clamp(static_cast<int>(spanN / size) + 1, 1, kMaxSide);

    const size_t cells = static_cast<size_t>(m_cols) * m_rows;
    std::vector<uint32_t> cellOf(points.size());
    m_cellStart.assign(cells + 1, 0);
    for (size_t i = 0; i < points.size(); ++i) {
        const uint32_t c = static_cast<uint32_t>(rowOf(points[i].north)) * m_cols +
                           static_cast<uint32_t>(columnOf(points[i].east));
        cellOf[i] = c;
        ++m_cellStart[c + 1];
    }
    for (size_t c = 0; c < cells; ++c)
        m_cellStart[c + 1] += m_cellStart[c];
    std::vector<uint32_t> fill(m_cellStart.begin(), m_cellStart.end() - 1);
    m_indices.resize(points.size());
    for (size_t i = 0; i < points.size(); ++i)
        m_indices[fill[cellOf[i]]++] = static_cast<uint32_t>(i);
}

void SpatialGrid::removeRange(uint32_t first, uint32_t last) {
    if (empty() || last < first)
        return;
    const uint32_t count = last - first + 1;
    const size_t cells = m_cellStart.size() - 1;
    uint32_t write = 0;
    uint32_t read = 0;
    for (size_t c = 0; c < cells; ++c) {
        const uint32_t end = m_cellStart[c + 1];
        m_cellStart[c] = write;
        for (; read < end; ++read) {
            const uint32_t i = m_indices[read];
            if (i >= first && i <= last)
                continue;
            m_indices[write++] = i > last ? i - count : i;
        }
    }
    m_cellStart[cells] = write;
    m_indices.resize(write);
}

void SpatialGrid::insertRange(uint32_t first, std::span<const WorldPoint> added) {
    if (empty() || added.empty())
        return;
    const auto count = static_cast<uint32_t>(added.size());
    for (uint32_t& i : m_indices)
        if (i >= first)
            i += count;
    for (uint32_t j = 0; j < count; ++j) {
        const uint32_t c = static_cast<uint32_t>(rowOf(added[j].north)) * m_cols +
                           static_cast<uint32_t>(columnOf(added[j].east));
        const auto begin = m_indices.begin() + m_cellStart[c];
        const auto end = m_indices.begin() + m_cellStart[c + 1];
        m_indices.insert(std::lower_bound(begin, end, first + j), first + j);
        for (size_t k = c + 1; k < m_cellStart.size(); ++k)
            ++m_cellStart[k];
    }
}

bool SpatialGrid::candidates(const WorldWindow& area, size_t limit, std::vector<int>& out) const {
    if (empty() || !(area.minY <= area.maxY) || !(area.minX <= area.maxX))
        return true;
    const int c0 = columnOf(area.minY);
    const int c1 = columnOf(area.maxY);
    const int r0 = rowOf(area.minX);
    const int r1 = rowOf(area.maxX);
    size_t count = 0;
    for (int r = r0; r <= r1; ++r) {
        const size_t base = static_cast<size_t>(r) * m_cols;
        count += m_cellStart[base + c1 + 1] - m_cellStart[base + c0];
    }
    if (count > limit)
        return false;
    for (int r = r0; r <= r1; ++r) {
        const size_t base = static_cast<size_t>(r) * m_cols;
        for (uint32_t k = m_cellStart[base + c0]; k < m_cellStart[base + c1 + 1]; ++k)
            out.push_back(static_cast<int>(m_indices[k]));
    }
    return true;
}

}  // namespace corvane
