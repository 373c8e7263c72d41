#include "listctrlex.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QScrollBar>

#include <optional>

#include "celleditordelegate.h"
#include "cellpainter.h"
#include "pointtable.h"
#include "pointtablemodel.h"

namespace corvane {

CListCtrlEx::CListCtrlEx(QWidget* parent) : QTableView(parent) {
    setItemDelegate(new CellEditorDelegate(this));
    setSelectionBehavior(SelectRows);
    setSelectionMode(ExtendedSelection);
    // A double click, or F2 on the current cell for work from the keyboard.
    setEditTriggers(DoubleClicked | EditKeyPressed);
    setWordWrap(false);
    setShowGrid(false);  // a report list: rows without ruled cells
    setTabKeyNavigation(false);
    // A uniform row height keeps a million rows cheap: no per-row sizes are stored.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(20);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this,
            &CListCtrlEx::takeFocusBeforeScrolling);
    connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this,
            &CListCtrlEx::takeFocusBeforeScrolling);
}

CListCtrlEx::~CListCtrlEx() = default;

void CListCtrlEx::setColumnEditor(int column, int nEditKind, const QStringList* pChoices) {
    if (column < 0)
        return;
    if (static_cast<size_t>(column) >= m_aSubItemInfo.size())
        m_aSubItemInfo.resize(column + 1);
    m_aSubItemInfo[column] = tagSUBITEMINFO{nEditKind, pChoices};
}

const tagSUBITEMINFO* CListCtrlEx::subItemInfo(int column) const {
    if (column < 0 || static_cast<size_t>(column) >= m_aSubItemInfo.size())
        return nullptr;
    return &m_aSubItemInfo[column];
}

tagSUBITEMINFO* CListCtrlEx::subItemInfo(int column) {
    return const_cast<tagSUBITEMINFO*>(std::as_const(*this).subItemInfo(column));
}

int CListCtrlEx::CellFromPoint(const QPoint& point, int* column) const {
    const QModelIndex index = indexAt(point);
    if (column)
        *column = index.isValid() ? index.column() : 0;
    return index.isValid() ? index.row() : -1;
}

bool CListCtrlEx::BeginCellEdit(int row, int column) {
    if (!model())
        return false;
    const QModelIndex index = model()->index(row, column);
    if (!index.isValid())
        return false;
    scrollTo(index);
    return edit(index, AllEditTriggers, nullptr);
}

void CListCtrlEx::OnEndLabelEdit(int row, int column, const QString& text) {
    const QModelIndex index = model() ? model()->index(row, column) : QModelIndex();
    if (!index.isValid())
        return;
    m_strPrevText = index.data(Qt::EditRole).toString();
    model()->setData(index, text, Qt::EditRole);
}

void CListCtrlEx::setModel(QAbstractItemModel* model) {
    m_mark.clear();
    QTableView::setModel(model);
}

void CListCtrlEx::setSelectionMark(int row) {
    m_mark.set(model() ? model()->index(row, 0) : QModelIndex());
}

void CListCtrlEx::selectRow(int row, bool atTop) {
    if (!model() || row < 0 || row >= model()->rowCount())
        return;
    const QModelIndex index = model()->index(row, 0);
    m_mark.set(index);
    selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index, atTop ? PositionAtTop : EnsureVisible);
}

void CListCtrlEx::notifyCellEditing(int row, int column) {
    emit cellEditing(row, column);
}

void CListCtrlEx::editorOpened(QWidget* editor) {
    m_pOpenEditor = editor;
}

void CListCtrlEx::endCellEdit(int row, int column, const QString& text, const QString& initText) {
    if (!isAcceptableCellText(text)) {
        refuseCellText();
        return;
    }
    // Storing the text and what the owner changes because of it are one step.
    std::optional<PointTable::Command> command;
    if (auto* points = qobject_cast<PointTableModel*>(model()))
        command.emplace(points->table(), "编辑单元格");
    OnEndLabelEdit(row, column, text);
    if (text != initText)
        emit cellChanged(row, column);
}

void CListCtrlEx::commitOpenEdit() {
    if (QWidget* editor = m_pOpenEditor) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void CListCtrlEx::refuseCellText() {
    emit statusMessage(refusedCellTextMessage());
}

void CListCtrlEx::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    if (editor == m_pOpenEditor)
        m_pOpenEditor = nullptr;
    QTableView::closeEditor(editor, hint);
}

void CListCtrlEx::takeFocusBeforeScrolling() {
    // An open editor ends (and stores its text) before the rows move under it.
    if (m_pOpenEditor && !hasFocus())
        setFocus(Qt::OtherFocusReason);
}

QRect CListCtrlEx::checkBoxRect(int row) const {
    const QModelIndex index = model() ? model()->index(row, 0) : QModelIndex();
    if (!index.isValid() || !(model()->flags(index) & Qt::ItemIsUserCheckable))
        return {};
    return CellPainter::checkBoxRect(visualRect(index), this);
}

bool CListCtrlEx::onCheckBox(const QPoint& point, int* row) const {
    const QModelIndex index = indexAt(point);
    if (!index.isValid() || index.column() != 0 || !checkBoxRect(index.row()).contains(point))
        return false;
    *row = index.row();
    return true;
}

void CListCtrlEx::mousePressEvent(QMouseEvent* event) {
    int row = -1;
    if (event->button() == Qt::LeftButton && onCheckBox(event->position().toPoint(), &row)) {
        // A click on a check box leaves the selection alone, so that the owner can
        // check every selected row at once.
        if (!hasFocus())
            setFocus(Qt::MouseFocusReason);
        m_bSwallowRelease = true;
        if (isSignalConnected(QMetaMethod::fromSignal(&CListCtrlEx::checkBoxClicked))) {
            emit checkBoxClicked(row);
        } else {
            const QModelIndex index = model()->index(row, 0);
            const bool checked =
                index.data(Qt::CheckStateRole).value<Qt::CheckState>() == Qt::Checked;
            model()->setData(index, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
        }
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
    m_mark.mousePressed(*this, event->position().toPoint());
}

void CListCtrlEx::keyPressEvent(QKeyEvent* event) {
    const QModelIndex before = currentIndex();
    QTableView::keyPressEvent(event);
    m_mark.keyPressed(*this, before);
}

void CListCtrlEx::mouseReleaseEvent(QMouseEvent* event) {
    if (m_bSwallowRelease) {
        m_bSwallowRelease = false;
        event->accept();
        return;
    }
    QTableView::mouseReleaseEvent(event);
}

void CListCtrlEx::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::RightButton) {
        int column = 0;
        emit rightDoubleClicked(CellFromPoint(pos, &column));
        event->accept();
        return;
    }
    int row = -1;
    if (event->button() == Qt::LeftButton && onCheckBox(pos, &row)) {
        // The second click of a quick double click on a check box is a click too.
        mousePressEvent(event);
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
}

void CListCtrlEx::contextMenuEvent(QContextMenuEvent* event) {
    emit contextMenuWanted(event->globalPos(), event->reason() == QContextMenuEvent::Mouse);
    event->accept();
}

}  // namespace corvane
