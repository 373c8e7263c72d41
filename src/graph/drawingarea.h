#pragma once

#include <QImage>
#include <QMetaObject>
#include <QPointer>
#include <QWidget>

#include <string>
#include <utility>
#include <vector>

#include "graphrenderer.h"
#include "graphviewport.h"
#include "plangeometry.h"
#include "pointtable.h"
#include "tablelistener.h"

class QItemSelectionModel;

namespace corvane {

class PointTable;

/// The plan drawing below the table: every row shown as a point with its name, the
/// power line segments and a scale bar, navigated with the mouse. Drag to pan, wheel
/// to zoom, right double-click to fit; a double-click picks a point's row; with Ctrl
/// held a double-click deletes the point and a drag deletes the points in its box,
/// each as one undoable step. Repaints itself whenever the table or the selection
/// changes. Rows can be marked (the points the automatic line selection could not
/// place); the marks follow their points while rows come and go and are dropped when
/// the table is rebuilt. The table must outlive the area.
class DrawingArea : public QWidget, private TableListener {
    Q_OBJECT

public:
    explicit DrawingArea(PointTable& table, QWidget* parent = nullptr);
    ~DrawingArea() override;

    /// The table's selection: its rows are drawn red.
    void setSelectionModel(QItemSelectionModel* selection);
    /// Shows all points ("全显视图(&A)"); before the first layout it waits for it.
    void fitAll();
    /// Pans the plan, at its scale, to show the point of shown row `row` when it is
    /// outside the drawing.
    void showRow(int row);
    /// Asks for a repaint.
    void invalidateDrawing();
    /// Reads what the drawing needs of the table, as the next paint would. May run on
    /// another thread while nothing else reads or changes the area or the table.
    void prepareData();

    /// The world window and its mapping, as of the latest paint or fit.
    const GraphViewport& viewport() const { return m_viewport; }

    /// Rows drawn with a ring around them, replacing any marked before; rows that do
    /// not exist are left out.
    void setMarkedRows(std::vector<int> rows);
    void clearMarkedRows();
    /// The marked rows, ascending.
    const std::vector<int>& markedRows() const { return m_markedRows; }

    /// Writes the drawing as shown (without a Ctrl drag's box) as PNG, or as SVG when
    /// the name ends in ".svg". Nothing is left behind when it fails; false and a
    /// message in `error` then.
    bool exportTo(const QString& path, QString* error);

signals:
    /// A double-click hit the point of `row`: the view selects the row.
    void rowPicked(int row);
    /// A note for the status bar; an empty text clears it.
    /// How many names are left out for overlap, as the status bar shows it; empty when none.
    void hiddenLabelsChanged(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    enum MouseMode { Idle = 0, Panning = 1, Boxing = 2 };

    void cellsChanged(int firstRow, int lastRow, int firstColumn, int lastColumn) override;
    void rowsAboutToBeInserted(int first, int last) override;
    void rowsInserted() override;
    void rowsAboutToBeRemoved(int first, int last) override;
    void rowsRemoved() override;
    void resetDone() override;

    void rowsChanged();
    void afterRowsMoved();
    /// After rows [firstRow, lastRow] changed: unmarks the points that now have a
    /// segment and follows points that moved.
    void followMarks(int firstRow, int lastRow);
    /// The rows shown of the marked points, after rows came, went or moved.
    void placeMarks();
    void prepare();
    void applyFit();
    void syncSelection();
    void deleteRows(std::vector<int> rows, const char* label);
    void reportHiddenLabels(int hidden);

    PointTable& m_table;
    PlanGeometry m_geometry;
    GraphViewport m_viewport;
    GraphRenderer m_renderer;
    QImage m_canvas;  // the off-screen canvas, copied to the screen in one piece
    QPointer<QItemSelectionModel> m_selection;
    QMetaObject::Connection m_selectionConnection;
    RowSelection m_selectedRows;
    std::vector<RowKey> m_markedKeys;  // the marked points
    std::vector<int> m_markedRows;     // the rows shown of them, ascending
    bool m_selectionDirty = true;
    // Rows announced by the table, followed into the geometry when the change is done.
    std::pair<int, int> m_inserting{-1, -1};
    std::pair<int, int> m_removing{-1, -1};
    bool m_fitPending = false;
    int m_hiddenLabels = 0;

    int m_nMouseMode = Idle;
    /// Left and top: the press point, while panning the last mouse position; right and
    /// bottom: the current point of a box.
    PixelRect m_rcDrag;
};

}  // namespace corvane
