// Holding the table's notifications while a large edit runs elsewhere, and the size of
// the steps undo and redo would take.

#include <variant>

#include "heldnotifications.h"
#include "pointtable.h"
#include "tablehistory.h"

namespace corvane {
namespace {

size_t extentOf(const TableCommandRecord& record) {
    size_t total = 0;
    for (const TableOp& op : record.ops) {
        std::visit(
            [&](const auto& o) {
                using T = std::decay_t<decltype(o)>;
                if constexpr (std::is_same_v<T, CellChanges> || std::is_same_v<T, CheckChanges>)
                    total += o.ids.size();
                else if constexpr (std::is_same_v<T, RowPresence>)
                    total += o.places.size();
                else if constexpr (std::is_same_v<T, RowSwap>)
                    total += 2;
                else if constexpr (std::is_same_v<T, RowOrder>)
                    total += o.order.size();
                else if constexpr (std::is_same_v<T, LinePointChange>)
                    total += o.names.size();
                else if constexpr (std::is_same_v<T, WholeTable>)
                    total += o.order.size();
            },
            op);
    }
    return total;
}

}  // namespace

void PointTable::holdNotifications() {
    if (m_held)
        return;
    m_held = std::make_unique<HeldNotifications>(std::move(m_listeners));
    m_listeners = {m_held.get()};
}

void PointTable::releaseNotifications() {
    if (!m_held)
        return;
    const std::unique_ptr<HeldNotifications> held = std::move(m_held);
    m_listeners = std::move(held->listeners());
    held->release(m_listeners);
}

size_t PointTable::undoExtent() const {
    return canUndo() ? extentOf(*m_history[m_historyPos - 1]) : 0;
}

size_t PointTable::redoExtent() const {
    return canRedo() ? extentOf(*m_history[m_historyPos]) : 0;
}

}  // namespace corvane
