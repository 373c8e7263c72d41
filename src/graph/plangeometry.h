#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "graphviewport.h"
#include "spatialgrid.h"

namespace corvane {

class PointTable;

/// A power line segment as drawn: the rows its start and end names refer to.
struct PlanSegment {
    int start = -1;
    int end = -1;
    friend bool operator==(const PlanSegment&, const PlanSegment&) = default;
};

/// What the drawing needs from the rows shown, kept from one paint to the next: the
/// world position of every row, the distinct segments (columns 4 and 5) resolved to
/// rows through the name index, the extent, and a grid that finds the points of a
/// small area. Table changes are noted as they come and worked in by sync(), once,
/// however many changes there were since the last paint.
class PlanGeometry {
public:
    explicit PlanGeometry(const PointTable& table);

    void noteCellsChanged(int firstRow, int lastRow, int firstColumn, int lastColumn);
    /// Rows were inserted, removed or reordered, or the table was rebuilt.
    void noteRowsChanged();
    /// Rows [first, last] were taken out of the table, or put in, after a sync: the
    /// geometry follows them without reading the other rows again.
    void noteRowsRemoved(int first, int last);
    void noteRowsInserted(int first, int last);
    /// Called while rows [first, last] are still in the table, before noteRowsRemoved:
    /// a single row that shares its segment with a neighbour leaves the segment list as
    /// it is, and the list need not be collected from every row again.
    void noteRowsAboutToBeRemoved(int first, int last);
    void sync();

    /// Grows whenever a position, a name or a row changes: what was drawn from an equal
    /// revision (of this geometry) still holds.
    uint64_t revision() const { return m_revision; }
    /// Row i's position; coordinates that are not numbers read as 0.
    std::span<const WorldPoint> points() const { return m_points; }
    /// Whether row i has a name to show, and its length in bytes (up to 255).
    bool named(int row) const { return m_nameLength[row] != 0; }
    int nameLength(int row) const { return m_nameLength[row]; }
    /// Whether row i is a J or Z stake, whose name goes before ordinary points' names.
    bool stake(int row) const { return m_stake[row] != 0; }
    /// Each distinct pair of start and end names once, in the order of its first row;
    /// only the pairs whose names both name a row (a name refers to its first row).
    const std::vector<PlanSegment>& segments() const { return m_segments; }
    /// The extent of all rows, or nothing for an empty table.
    std::optional<WorldWindow> bounds() const;

    /// The rows whose positions lie in `area`, ascending, found through the grid.
    /// False (and `rows` untouched) when the area holds so large a share of the
    /// points that looking at every row is quicker.
    bool rowsInside(const WorldWindow& area, std::vector<int>& rows) const;

private:
    void readRows(int first, int last);
    void measureBounds();
    void collectSegmentKeys();
    bool sharesSegmentWithNeighbour(int row) const;
    void resolveSegments();

    const PointTable& m_table;
    uint64_t m_revision = 0;
    std::vector<WorldPoint> m_points;
    std::vector<uint8_t> m_nameLength;
    std::vector<uint8_t> m_stake;
    std::vector<std::pair<std::string, std::string>> m_keys;
    std::vector<PlanSegment> m_segments;
    std::optional<WorldWindow> m_bounds;
    mutable SpatialGrid m_grid;
    mutable bool m_gridValid = false;
    bool m_boundsDirty = false;
    bool m_keysKept = false;  // the rows being removed leave the segment list unchanged

    bool m_rowsDirty = true;
    bool m_keysDirty = true;
    bool m_namesDirty = true;
    int m_rowsFrom = 0;  // rows [from, to] need their name and position read again
    int m_rowsTo = -1;
    bool m_positionsChanged = false;
};

}  // namespace corvane
