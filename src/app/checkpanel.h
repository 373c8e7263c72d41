#pragma once

#include <QWidget>

#include <functional>
#include <vector>

#include "pointtable.h"
#include "tablelistener.h"
#include "validation.h"

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace corvane {

struct AutoSelectionResult;

/// "数据检查": every problem of the table in one list, errors first in their rows,
/// each with how to fix it; a double-click selects the row. It also runs the automatic
/// line selection with an optional maximum distance and lists the points it could not
/// place (beyond the ends, outside a turn, too far) and the near ties.
/// Each entry holds on to its point, not to a row number: filters, sorts, moves,
/// insertions, deletions and undo leave it pointing at the point it was made for, and
/// its row column shows where that point is now. The table must outlive the panel.
class CheckPanel : public QWidget, private TableListener {
    Q_OBJECT

public:
    explicit CheckPanel(PointTable& table, QWidget* parent = nullptr);
    ~CheckPanel() override;

    /// Checks the table afresh and lists what was found.
    void refresh();
    const std::vector<CheckEntry>& entries() const { return m_entries; }
    int errorCount() const;

    /// Runs the automatic line selection (one undoable step) with the maximum distance
    /// set in the panel, then checks the table and adds what the selection left.
    void autoSelectAndCheck();

signals:
    /// A double-click on an entry that names a row.
    void rowActivated(int row);
    /// Rows the automatic selection could not place, for the drawing to mark.
    void unassignedRowsChanged(const std::vector<int>& rows);
    void statusMessage(const QString& text);

private:
    /// The check of the table on a worker thread, with `more` adding to its entries there.
    std::vector<CheckEntry> checkAside(
        const std::function<void(std::vector<CheckEntry>&)>& more = {});
    void show(std::vector<CheckEntry> entries);
    void onItemActivated(QTreeWidgetItem* item);
    /// The row column of every entry after rows came, went or moved.
    void renumber();
    /// After a change of the table: the rows again, and a word that the list is older
    /// than the table (its messages name the rows as they were).
    void tableChanged();
    void rowsInserted() override { tableChanged(); }
    void rowsRemoved() override { tableChanged(); }
    void resetDone() override { tableChanged(); }
    void cellsChanged(int, int, int, int) override { tableChanged(); }

    PointTable& m_table;
    std::vector<CheckEntry> m_entries;
    std::vector<RowKey> m_points;  // the point of each entry, parallel to m_entries
    QTreeWidget* m_list = nullptr;
    QLabel* m_summary = nullptr;
    bool m_checked = false;  // the list shows a check's result
    bool m_stale = false;    // and the table has changed since
    QCheckBox* m_limit = nullptr;
    QDoubleSpinBox* m_maxDistance = nullptr;
};

}  // namespace corvane
