#pragma once

#include <algorithm>
#include <vector>

#include "tablelistener.h"

namespace corvane {

/// Stands in for the listeners of a table whose notifications are held: keeps the
/// listeners aside and notes what they will have to hear.
class HeldNotifications : public TableListener {
public:
    explicit HeldNotifications(std::vector<TableListener*> listeners)
        : m_listeners(std::move(listeners)) {}

    std::vector<TableListener*>& listeners() { return m_listeners; }

    /// Tells `listeners` (the ones held, back in their place) what happened meanwhile.
    void release(const std::vector<TableListener*>& listeners) const {
        if (m_reset) {
            for (TableListener* l : listeners)
                l->aboutToReset();
            for (TableListener* l : listeners)
                l->resetDone();
        } else {
            if (m_cells.any)
                for (TableListener* l : listeners)
                    l->cellsChanged(m_cells.r0, m_cells.r1, m_cells.c0, m_cells.c1);
            if (m_checks.any)
                for (TableListener* l : listeners)
                    l->checksChanged(m_checks.r0, m_checks.r1);
        }
        if (m_state)
            for (TableListener* l : listeners)
                l->stateChanged();
    }

    // Row indices stay meaningful only while no row comes, goes or moves.
    void cellsChanged(int firstRow, int lastRow, int firstColumn, int lastColumn) override {
        m_cells.add(firstRow, lastRow, firstColumn, lastColumn);
    }
    void checksChanged(int firstRow, int lastRow) override {
        m_checks.add(firstRow, lastRow, 0, 0);
    }
    void rowsAboutToBeInserted(int, int) override { m_reset = true; }
    void rowsAboutToBeRemoved(int, int) override { m_reset = true; }
    void aboutToReset() override { m_reset = true; }
    void stateChanged() override { m_state = true; }

private:
    struct Rectangle {
        bool any = false;
        int r0 = 0, r1 = 0, c0 = 0, c1 = 0;
        void add(int firstRow, int lastRow, int firstColumn, int lastColumn) {
            if (!any) {
                *this = {true, firstRow, lastRow, firstColumn, lastColumn};
                return;
            }
            r0 = std::min(r0, firstRow);
            r1 = std::max(r1, lastRow);
            c0 = std::min(c0, firstColumn);
            c1 = std::max(c1, lastColumn);
        }
    };

    std::vector<TableListener*> m_listeners;
    Rectangle m_cells;
    Rectangle m_checks;
    bool m_reset = false;
    bool m_state = false;
};

}  // namespace corvane
