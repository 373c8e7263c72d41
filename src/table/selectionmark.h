#pragma once

#include <QModelIndex>
#include <QPersistentModelIndex>
#include <QPoint>

class QAbstractItemView;

namespace corvane {

/// The row the user marked in an item view: the row of the last click, the row the
/// keys moved to, or one a command marked; -1 when there is none. Qt makes a row
/// current by itself when a view gets the focus other than by a click; that row is
/// not marked. The mark stays with its row when rows above it come or go, is gone
/// with its row, and with every reset of the model (an import, a new filter).
class SelectionMark {
public:
    int row() const { return m_index.isValid() ? m_index.row() : -1; }
    void set(const QModelIndex& index);
    void clear() { m_index = QPersistentModelIndex(); }

    /// After the view handled a press at `pos` (viewport coordinates): the row pressed
    /// is marked once the view made it current.
    void mousePressed(const QAbstractItemView& view, const QPoint& pos);
    /// After the view handled a key: a move of the current cell marks its row.
    void keyPressed(const QAbstractItemView& view, const QModelIndex& currentBefore);

private:
    QPersistentModelIndex m_index;
};

}  // namespace corvane
