#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "graphviewport.h"

namespace corvane {

/// A uniform grid over the points' positions, so that a zoomed-in view finds the few
/// points it shows without looking at every row. The grid spans the central 98 % of
/// the points in each direction; stray points (a row left at 0, 0) fall into the
/// border cells and cost no precision for the rest.
class SpatialGrid {
public:
    void build(std::span<const WorldPoint> points);
    void clear();
    /// Follows the points [first, last] taken out: their indices leave the grid and the
    /// later ones move down, without building it again.
    void removeRange(uint32_t first, uint32_t last);
    /// Follows `added` put in at index `first`: the later indices move up and the new
    /// points join their cells.
    void insertRange(uint32_t first, std::span<const WorldPoint> added);
    bool empty() const { return m_cols == 0; }

    /// Appends the indices of the points that may lie in `area` (every point that does,
    /// and some near it), cell by cell. Returns false without appending when more than
    /// `limit` candidates would come back.
    bool candidates(const WorldWindow& area, size_t limit, std::vector<int>& out) const;

private:
    int columnOf(double east) const;
    int rowOf(double north) const;

    double m_minEast = 0.0;
    double m_minNorth = 0.0;
    double m_cellSize = 1.0;
    int m_cols = 0;
    int m_rows = 0;
    std::vector<uint32_t> m_cellStart;  // m_cols * m_rows + 1 offsets into m_indices
    std::vector<uint32_t> m_indices;    // point indices, ascending within each cell
};

}  // namespace corvane
