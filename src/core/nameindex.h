#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "row.h"

namespace corvane {

using RowId = uint32_t;
inline constexpr uint32_t kNoRow = UINT32_MAX;

/// Point name -> rows of that name, kept in table order, so the first row of a name
/// is found in O(1) on average. Open addressing over one slot per distinct name;
/// rows of the same name are chained through `m_next` in ascending position.
class NameIndex {
public:
    NameIndex(const std::vector<Row>& rows, const std::vector<uint32_t>& positions)
        : m_rows(rows), m_positions(positions) {}

    /// Indexes the rows of `order` (ids in table order) afresh.
    void rebuild(const std::vector<RowId>& order);
    /// Adds a row that already has its name and its position.
    void add(RowId id);
    /// Removes a row while it still has the name it was indexed under.
    void remove(RowId id);

    /// The top row of `name`, or kNoRow.
    RowId first(std::string_view name) const;
    /// The next row of the same name below `id`, or kNoRow.
    RowId next(RowId id) const { return id < m_next.size() ? m_next[id] : kNoRow; }
    /// The rows of every name that more than one row has, each in table order; found
    /// from the chains alone, without looking a name up.
    std::vector<std::vector<RowId>> repeated() const;

    size_t memoryBytes() const;

private:
    struct Slot {
        uint32_t head = kNoRow;
        uint32_t hash = 0;
    };

    std::string_view nameOf(RowId id) const { return m_rows[id].cell(0); }
    static uint32_t hashOf(std::string_view name);
    size_t probe(std::string_view name, uint32_t hash) const;
    void grow();
    void eraseSlot(size_t slot);

    const std::vector<Row>& m_rows;
    const std::vector<uint32_t>& m_positions;
    std::vector<Slot> m_slots;
    size_t m_used = 0;
    std::vector<RowId> m_next;
};

}  // namespace corvane
