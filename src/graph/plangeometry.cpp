#include "plangeometry.h"

#include <algorithm>
#include <functional>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "cellnumber.h"
#include "columns.h"
#include "largebuffer.h"
#include "parallelparts.h"
#include "pointtable.h"
#include "vocabularies.h"

namespace corvane {
namespace {

using KeyView = std::pair<std::string_view, std::string_view>;

struct KeyHash {
    size_t operator()(const KeyView& k) const {
        const size_t a = std::hash<std::string_view>{}(k.first);
        const size_t b = std::hash<std::string_view>{}(k.second);
        return a ^ (b + 0x9e3779b97f4a7c15ULL + (a << 6) + (a >> 2));
    }
};

bool covers(int first, int last, int column) {
    return first <= column && column <= last;
}

}  // namespace

PlanGeometry::PlanGeometry(const PointTable& table) : m_table(table) {}

void PlanGeometry::noteCellsChanged(int firstRow, int lastRow, int firstColumn, int lastColumn) {
    if (covers(firstColumn, lastColumn, ColName) || covers(firstColumn, lastColumn, ColNorth) ||
        covers(firstColumn, lastColumn, ColEast) || covers(firstColumn, lastColumn, ColPointType)) {
        if (m_rowsFrom > m_rowsTo) {
            m_rowsFrom = firstRow;
            m_rowsTo = lastRow;
        } else {
            m_rowsFrom = std::min(m_rowsFrom, firstRow);
            m_rowsTo = std::max(m_rowsTo, lastRow);
        }
        m_positionsChanged = m_positionsChanged || covers(firstColumn, lastColumn, ColNorth) ||
                             covers(firstColumn, lastColumn, ColEast);
    }
    if (covers(firstColumn, lastColumn, ColSegmentStart) ||
        covers(firstColumn, lastColumn, ColSegmentEnd))
        m_keysDirty = true;
    if (covers(firstColumn, lastColumn, ColName))
        m_namesDirty = true;
}

void PlanGeometry::noteRowsChanged() {
    m_rowsDirty = true;
}

bool PlanGeometry::sharesSegmentWithNeighbour(int row) const {
    const auto keyOf = [&](int r) {
        return KeyView{m_table.text(r, ColSegmentStart), m_table.text(r, ColSegmentEnd)};
    };
    const KeyView key = keyOf(row);
    return (row > 0 && keyOf(row - 1) == key) ||
           (row + 1 < m_table.rowCount() && keyOf(row + 1) == key);
}

void PlanGeometry::noteRowsAboutToBeRemoved(int first, int last) {
    // Beside a row of its own segment the row is neither that segment's only row nor
    // alone in deciding where the segment first appears, so the list stays as it is.
    m_keysKept = first == last && first >= 0 && first < m_table.rowCount() && !m_keysDirty &&
                 sharesSegmentWithNeighbour(first);
}

void PlanGeometry::noteRowsRemoved(int first, int last) {
    const int count = last - first + 1;
    const bool followed = !m_rowsDirty && m_rowsFrom > m_rowsTo && first >= 0 && count > 0 &&
                          static_cast<int>(m_points.size()) == m_table.rowCount() + count;
    if (!followed) {
        m_keysKept = false;
        noteRowsChanged();
        return;
    }
    const auto erase = [&](auto& v) { v.erase(v.begin() + first, v.begin() + last + 1); };
    ++m_revision;
    erase(m_points);
    erase(m_nameLength);
    erase(m_stake);
    if (m_gridValid)
        m_grid.removeRange(static_cast<uint32_t>(first), static_cast<uint32_t>(last));
    m_boundsDirty = true;
    // The rows moved: the segments' ends are looked up again either way.
    if (std::exchange(m_keysKept, false))
        m_namesDirty = true;
    else
        m_keysDirty = true;
}

void PlanGeometry::noteRowsInserted(int first, int last) {
    const int count = last - first + 1;
    const bool followed = !m_rowsDirty && m_rowsFrom > m_rowsTo && first >= 0 && count > 0 &&
                          static_cast<int>(m_points.size()) + count == m_table.rowCount() &&
                          first <= static_cast<int>(m_points.size());
    if (!followed) {
        noteRowsChanged();
        return;
    }
    const auto at = [&](auto& v) { return v.begin() + first; };
    m_points.insert(at(m_points), static_cast<size_t>(count), WorldPoint{});
    m_nameLength.insert(at(m_nameLength), static_cast<size_t>(count), 0);
    m_stake.insert(at(m_stake), static_cast<size_t>(count), 0);
    readRows(first, last);
    if (m_gridValid)
        m_grid.insertRange(static_cast<uint32_t>(first),
                           std::span<const WorldPoint>(m_points).subspan(
                               static_cast<size_t>(first), static_cast<size_t>(count)));
    m_boundsDirty = true;
    if (count == 1 && !m_keysDirty && sharesSegmentWithNeighbour(first))
        m_namesDirty = true;
    else
        m_keysDirty = true;
}

void PlanGeometry::measureBounds() {
    m_bounds.reset();
    if (m_points.empty())
        return;
    WorldWindow b{m_points[0].east, m_points[0].east, m_points[0].north, m_points[0].north};
    for (const WorldPoint& p : m_points) {
        b.minY = std::min(b.minY, p.east);
        b.maxY = std::max(b.maxY, p.east);
        b.minX = std::min(b.minX, p.north);
        b.maxX = std::max(b.maxX, p.north);
    }
    m_bounds = b;
}

void PlanGeometry::sync() {
    const int n = m_table.rowCount();
    bool moved = false;
    if (m_rowsDirty || static_cast<int>(m_points.size()) != n) {
        ++m_revision;  // even for no rows at all
        assignLarge(m_points, static_cast<size_t>(n), WorldPoint{});
        m_nameLength.assign(static_cast<size_t>(n), 0);
        m_stake.assign(static_cast<size_t>(n), 0);
        readRows(0, n - 1);
        m_rowsDirty = false;
        m_keysDirty = true;
        moved = true;
    } else if (m_rowsFrom <= m_rowsTo) {
        readRows(std::max(m_rowsFrom, 0), std::min(m_rowsTo, n - 1));
        moved = m_positionsChanged;
    }
    m_positionsChanged = false;
    m_rowsFrom = 0;
    m_rowsTo = -1;

    if (moved) {
        m_gridValid = false;
        m_grid.clear();
        m_boundsDirty = true;
    }
    if (m_boundsDirty) {
        measureBounds();
        m_boundsDirty = false;
    }
    if (m_keysDirty) {
        collectSegmentKeys();
        m_keysDirty = false;
        m_namesDirty = true;
    }
    if (m_namesDirty) {
        resolveSegments();
        m_namesDirty = false;
    }
}

void PlanGeometry::readRows(int first, int last) {
    if (last < first)
        return;
    ++m_revision;
    // Each row writes only its own entries, so a whole table is read on every core.
    const size_t count = static_cast<size_t>(last - first + 1);
    runInParts(count, partsFor(count), [&](size_t, size_t begin, size_t end) {
        for (size_t k = begin; k < end; ++k) {
            const int r = first + static_cast<int>(k);
            const auto cells = m_table.rowAt(r).cells(ColPointType);
            m_points[r] = {readNumber(cells[ColNorth]), readNumber(cells[ColEast])};
            m_nameLength[r] = static_cast<uint8_t>(std::min<size_t>(cells[ColName].size(), 255));
            const std::string_view type = cells[ColPointType];
            m_stake[r] = type == kJStake || type == kZStake;
        }
    });
}

void PlanGeometry::collectSegmentKeys() {
    m_keys.clear();
    std::unordered_set<KeyView, KeyHash> seen;
    KeyView previous;
    bool hasPrevious = false;
    const int n = m_table.rowCount();
    for (int r = 0; r < n; ++r) {
        const auto cells = m_table.rowAt(r).cells(ColSegmentEnd);
        const KeyView key{cells[ColSegmentStart], cells[ColSegmentEnd]};
        // Neighbouring rows mostly share their segment; skip the hashing for them.
        if (hasPrevious && key == previous)
            continue;
        previous = key;
        hasPrevious = true;
        if (seen.insert(key).second)
            m_keys.emplace_back(std::string(key.first), std::string(key.second));
    }
}

void PlanGeometry::resolveSegments() {
    m_segments.clear();
    for (const auto& [start, end] : m_keys) {
        const int s = m_table.FindPointRow(start);
        const int e = m_table.FindPointRow(end);
        if (s >= 0 && e >= 0 && s != e)
            m_segments.push_back({s, e});
    }
}

std::optional<WorldWindow> PlanGeometry::bounds() const {
    return m_bounds;
}

bool PlanGeometry::rowsInside(const WorldWindow& area, std::vector<int>& rows) const {
    if (!m_bounds)
        return true;
    const WorldWindow& b = *m_bounds;
    if (area.minY <= b.minY && area.maxY >= b.maxY && area.minX <= b.minX && area.maxX >= b.maxX)
        return false;
    if (!m_gridValid) {
        m_grid.build(m_points);
        m_gridValid = true;
    }
    const size_t from = rows.size();
    if (!m_grid.candidates(area, m_points.size() / 3, rows))
        return false;
    auto inside = [&](int i) {
        const WorldPoint& p = m_points[i];
        return area.minY <= p.east && p.east <= area.maxY && area.minX <= p.north &&
               p.north <= area.maxX;
    };
    auto end = std::remove_if(rows.begin() + static_cast<ptrdiff_t>(from), rows.end(),
                              [&](int i) { return !inside(i); });
    rows.erase(end, rows.end());
    std::sort(rows.begin() + static_cast<ptrdiff_t>(from), rows.end());
    return true;
}

}  // namespace corvane
