#include "celleditordelegate.h"

#include <QKeyEvent>
#include <QStyle>

#include "listcellcombo.h"
#include "listcelledit.h"
#include "listctrlex.h"

namespace corvane {

CellEditorDelegate::CellEditorDelegate(CListCtrlEx* list)
    : QStyledItemDelegate(list), m_list(list) {}

QWidget* CellEditorDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                          const QModelIndex& index) const {
    const int row = index.row();
    const int column = index.column();
    const tagSUBITEMINFO* info = m_list->subItemInfo(column);
    if (!info || info->nEditKind == CListCtrlEx::kNotEditable || m_list->columnWidth(column) < 5)
        return nullptr;
    // The owner may switch the column's choices for this row before they are read.
    m_list->notifyCellEditing(row, column);
    const QString text = index.data(Qt::EditRole).toString();
    QWidget* editor = nullptr;
    if (info->nEditKind == CListCtrlEx::kTextEdit) {
        auto* edit = new CListCellEdit(row, column, text, parent);
        connect(edit, &CListCellEdit::refused, m_list, &CListCtrlEx::refuseCellText);
        editor = edit;
    } else {
        auto* combo = new CListCellCombo(row, column, text, parent);
        if (info->pChoices)
            combo->addItems(*info->pChoices);
        combo->setCurrentIndex(info->pChoices ? findInitialChoice(*info->pChoices, text) : -1);
        auto* self = const_cast<CellEditorDelegate*>(this);
        connect(combo, &CListCellCombo::closedUp, self, [self, combo] { self->finish(combo); });
        editor = combo;
    }
    m_list->editorOpened(editor);
    return editor;
}

void CellEditorDelegate::setEditorData(QWidget*, const QModelIndex&) const {
    // The editors take their text when they are made; a repaint of the row while the
    // edit is open must not overwrite what the user typed.
}

void CellEditorDelegate::setModelData(QWidget* editor, QAbstractItemModel*,
                                      const QModelIndex& index) const {
    if (auto* edit = qobject_cast<CListCellEdit*>(editor)) {
        if (!edit->m_bEscape)
            m_list->endCellEdit(index.row(), index.column(), edit->text(), edit->m_strInitText);
    } else if (auto* combo = qobject_cast<CListCellCombo*>(editor)) {
        // Closed without a choice: keep the cell's text rather than emptying it.
        if (combo->currentIndex() >= 0)
            m_list->endCellEdit(index.row(), index.column(), combo->currentText(),
                                combo->m_strInitText);
    }
}

void CellEditorDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                              const QModelIndex&) const {
    const QRect cell = option.rect;
    const int right = std::min(cell.left() + cell.width() + 1, m_list->viewport()->width());
    if (qobject_cast<CListCellCombo*>(editor)) {
        editor->setGeometry(
            QRect(QPoint(cell.left() + 2, cell.top() - 2), QPoint(right - 1, cell.bottom())));
        return;
    }
    editor->setGeometry(
        QRect(QPoint(cell.left() + 4, cell.top()), QPoint(right - 1, cell.bottom())));
}

void CellEditorDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    QStyleOptionViewItem cell(option);
    initStyleOption(&cell, index);
    m_painter.paint(painter, cell, option.widget ? option.widget : m_list);
}

void CellEditorDelegate::finish(QWidget* editor) {
    if (editor != m_list->openEditor())
        return;
    emit commitData(editor);
    emit closeEditor(editor, NoHint);
}

bool CellEditorDelegate::eventFilter(QObject* object, QEvent* event) {
    auto* editor = qobject_cast<QWidget*>(object);
    if (editor && event->type() == QEvent::ShortcutOverride) {
        // The keys an editor uses reach it before the window's shortcuts: the text edit
        // gets every Ctrl key, Enter, Delete and Escape; the drop-down Enter and Escape.
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool textEdit = qobject_cast<CListCellEdit*>(editor) != nullptr;
        const bool ownKey = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
                            key->key() == Qt::Key_Escape ||
                            (textEdit && (key->key() == Qt::Key_Delete ||
                                          key->modifiers().testFlag(Qt::ControlModifier)));
        if (ownKey) {
            event->accept();
            return true;
        }
    }
    if (editor && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        switch (key) {
            case Qt::Key_Escape:
                if (auto* edit = qobject_cast<CListCellEdit*>(editor)) {
                    edit->m_bEscape = true;
                    emit closeEditor(editor, RevertModelCache);
                    return true;
                }
                finish(editor);  // a drop-down cannot be cancelled: it keeps what it shows
                return true;
            case Qt::Key_Enter:
            case Qt::Key_Return:
            case Qt::Key_Tab:
            case Qt::Key_Backtab:
                finish(editor);
                return true;
            default:
                break;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

}  // namespace corvane
