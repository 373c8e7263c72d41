#pragma once

#include <QAbstractTableModel>

#include "tablelistener.h"

namespace corvane {

class PointTable;

/// The Qt face of the point table: a virtual model that reads cells on demand and
/// turns every edit into a call of the table's edit API, so that edits from the view,
/// the commands and undo all arrive here through the table's notifications.
class PointTableModel : public QAbstractTableModel, private TableListener {
    Q_OBJECT

public:
    explicit PointTableModel(PointTable& table, QObject* parent = nullptr);
    ~PointTableModel() override;

    PointTable& table() const { return m_table; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    /// The line point list, the other lines, the display mode or the history changed.
    void tableStateChanged();

private:
    void cellsChanged(int firstRow, int lastRow, int firstColumn, int lastColumn) override;
    void checksChanged(int firstRow, int lastRow) override;
    void rowsAboutToBeInserted(int first, int last) override;
    void rowsInserted() override;
    void rowsAboutToBeRemoved(int first, int last) override;
    void rowsRemoved() override;
    void aboutToReset() override;
    void resetDone() override;
    void stateChanged() override;

    PointTable& m_table;
};

}  // namespace corvane
