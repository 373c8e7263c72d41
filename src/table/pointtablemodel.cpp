#include "pointtablemodel.h"

#include "columns.h"
#include "pointtable.h"

namespace corvane {
namespace {

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

PointTableModel::PointTableModel(PointTable& table, QObject* parent)
    : QAbstractTableModel(parent), m_table(table) {
    m_table.addListener(this);
}

PointTableModel::~PointTableModel() {
    m_table.removeListener(this);
}

int PointTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_table.rowCount();
}

int PointTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant PointTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return toQString(m_table.text(index.row(), index.column()));
        case Qt::CheckStateRole:
            if (index.column() == 0)
                return m_table.isChecked(index.row()) ? Qt::Checked : Qt::Unchecked;
            return {};
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(Qt::AlignCenter);
        default:
            return {};
    }
}

QVariant PointTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && section >= 0 && section < kColumnCount) {
        if (role == Qt::DisplayRole)
            return toQString(kColumns[section].header);
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Qt::AlignCenter);
    }
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return section + 1;
    return {};
}

Qt::ItemFlags PointTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
    if (index.column() == 0)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

bool PointTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid())
        return false;
    if (role == Qt::CheckStateRole && index.column() == 0) {
        m_table.setChecked(index.row(), value.value<Qt::CheckState>() == Qt::Checked);
        return true;
    }
    if (role == Qt::EditRole) {
        m_table.setText(index.row(), index.column(), value.toString().toStdString());
        return true;
    }
    return false;
}

void PointTableModel::cellsChanged(int firstRow, int lastRow, int firstColumn, int lastColumn) {
    emit dataChanged(index(firstRow, firstColumn), index(lastRow, lastColumn));
}

void PointTableModel::checksChanged(int firstRow, int lastRow) {
    emit dataChanged(index(firstRow, 0), index(lastRow, 0), {Qt::CheckStateRole});
}

void PointTableModel::rowsAboutToBeInserted(int first, int last) {
    beginInsertRows(QModelIndex(), first, last);
}

void PointTableModel::rowsInserted() {
    endInsertRows();
}

void PointTableModel::rowsAboutToBeRemoved(int first, int last) {
    beginRemoveRows(QModelIndex(), first, last);
}

void PointTableModel::rowsRemoved() {
    endRemoveRows();
}

void PointTableModel::aboutToReset() {
    beginResetModel();
}

void PointTableModel::resetDone() {
    endResetModel();
}

void PointTableModel::stateChanged() {
    emit tableStateChanged();
}

}  // namespace corvane
