#include "selectionmark.h"

#include <QAbstractItemView>

namespace corvane {

void SelectionMark::set(const QModelIndex& index) {
    m_index = index.isValid() ? index.siblingAtColumn(0) : QModelIndex();
}

void SelectionMark::mousePressed(const QAbstractItemView& view, const QPoint& pos) {
    const QModelIndex pressed = view.indexAt(pos);
    if (pressed.isValid() && view.currentIndex().row() == pressed.row())
        set(pressed);
}

void SelectionMark::keyPressed(const QAbstractItemView& view, const QModelIndex& currentBefore) {
    const QModelIndex current = view.currentIndex();
    if (current.isValid() && current != currentBefore)
        set(current);
}

}  // namespace corvane
