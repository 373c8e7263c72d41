#include <algorithm>
#include <variant>
#include <vector>

#include "pointtable.h"
#include "tablehistory.h"

namespace corvane {
namespace {

// Rows by id, each counted once however many steps touched it.
class ChangedRows {
public:
    void add(RowId id) {
        if (id == kNoRow)
            return;
        if (id >= m_seen.size())
            m_seen.resize(static_cast<size_t>(id) + 1, 0);
        if (!m_seen[id]) {
            m_seen[id] = 1;
            ++m_count;
        }
    }
    int count() const { return m_count; }

private:
    std::vector<uint8_t> m_seen;
    int m_count = 0;
};

}  // namespace

int PointTable::changedPointCount() const {
    if (!isModified())
        return 0;
    if (m_savedPos < 0)
        return fullRowCount();
    const size_t lo = std::min<size_t>(m_savedPos, m_historyPos);
    const size_t hi = std::max<size_t>(m_savedPos, m_historyPos);
    // A replaced table shares no points with the one before it; ids of the two
    // tables mean different rows, so the steps are not looked into then.
    size_t wholeTables = 0;
    for (size_t i = lo; i < hi; ++i)
        for (const TableOp& op : m_history[i]->ops)
            if (const auto* whole = std::get_if<WholeTable>(&op))
                wholeTables = std::max({wholeTables, whole->order.size(), m_order.size()});
    if (wholeTables > 0)
        return static_cast<int>(wholeTables);

    ChangedRows changed;
    for (size_t i = lo; i < hi; ++i) {
        for (const TableOp& op : m_history[i]->ops) {
            if (const auto* cells = std::get_if<CellChanges>(&op)) {
                for (RowId id : cells->ids)
                    changed.add(id);
            } else if (const auto* presence = std::get_if<RowPresence>(&op)) {
                for (const auto& place : presence->places)
                    changed.add(place.second);
            } else if (const auto* swap = std::get_if<RowSwap>(&op)) {
                changed.add(swap->a);
                changed.add(swap->b);
            } else if (const auto* order = std::get_if<RowOrder>(&op)) {
                // The record holds the order on its other side; the places that differ
                // from today's order are the moved points (all of them when rows came
                // or went since).
                const bool comparable = order->order.size() == m_order.size();
                for (size_t p = 0; p < order->order.size(); ++p)
                    if (!comparable || order->order[p] != m_order[p])
                        changed.add(order->order[p]);
            }
        }
    }
    return changed.count();
}

}  // namespace corvane
