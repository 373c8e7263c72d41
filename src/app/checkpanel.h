#pragma once

#include <QWidget>

#include <vector>

#include "validation.h"

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace corvane {

class PointTable;
struct AutoSelectionResult;

/// "数据检查": every problem of the table in one list, errors first in their rows,
/// each with how to fix it; a double-click selects the row. It also runs the automatic
/// line selection with an optional maximum distance and lists the points it could not
/// place (beyond the ends, outside a turn, too far) and the near ties.
class CheckPanel : public QWidget {
    Q_OBJECT

public:
    explicit CheckPanel(PointTable& table, QWidget* parent = nullptr);

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
    void show(std::vector<CheckEntry> entries);
    void onItemActivated(QTreeWidgetItem* item);

    PointTable& m_table;
    std::vector<CheckEntry> m_entries;
    QTreeWidget* m_list = nullptr;
    QLabel* m_summary = nullptr;
    QCheckBox* m_limit = nullptr;
    QDoubleSpinBox* m_maxDistance = nullptr;
};

}  // namespace corvane
