#pragma once

#include <QStyledItemDelegate>

#include "cellpainter.h"

namespace corvane {

class CListCtrlEx;

/// Opens the editor a column asks for (a text edit or a drop-down list) over a cell of
/// a CListCtrlEx and hands the finished text back to it. Enter and every focus loss
/// store the text, Escape cancels a text edit, and closing the drop-down ends its edit.
class CellEditorDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit CellEditorDelegate(CListCtrlEx* list);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    void finish(QWidget* editor);

    CListCtrlEx* m_list;
    mutable CellPainter m_painter;
};

}  // namespace corvane
