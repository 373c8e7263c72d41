#include "drawingarea.h"

#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <utility>

#include "columns.h"
#include "drawingexport.h"
#include "pointtable.h"

namespace corvane {
namespace {

PixelPoint pixelOf(const QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    return {p.x(), p.y()};
}

bool touches(int first, int last, int column) {
    return first <= column && column <= last;
}

}  // namespace

DrawingArea::DrawingArea(PointTable& table, QWidget* parent)
    : QWidget(parent), m_table(table), m_geometry(table) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
    m_table.addListener(this);
}

DrawingArea::~DrawingArea() {
    m_table.removeListener(this);
}

void DrawingArea::setSelectionModel(QItemSelectionModel* selection) {
    disconnect(m_selectionConnection);
    m_selection = selection;
    if (selection)
        m_selectionConnection =
            connect(selection, &QItemSelectionModel::selectionChanged, this, [this] {
                m_selectionDirty = true;
                update();
            });
    m_selectionDirty = true;
    update();
}

void DrawingArea::invalidateDrawing() {
    update();
}

void DrawingArea::fitAll() {
    m_fitPending = true;
    // The fit needs the drawing rectangle; until the area is shown it waits for the paint.
    if (isVisible())
        applyFit();
    update();
}

void DrawingArea::showRow(int row) {
    if (!isVisible() || row < 0)
        return;
    prepare();
    if (row >= static_cast<int>(m_geometry.points().size()))
        return;
    // Far enough from the edge that the point's name shows too.
    constexpr int kMargin = 20;
    if (m_viewport.bringIntoView(m_geometry.points()[row], kMargin))
        update();
}

void DrawingArea::applyFit() {
    m_fitPending = false;
    m_geometry.sync();
    const std::optional<WorldWindow> bounds = m_geometry.bounds();
    if (!bounds)
        return;
    m_viewport.setCanvasSize(width(), height());
    m_viewport.fit(*bounds);
}

// ---------------------------------------------------------------------------
// Table and selection

void DrawingArea::cellsChanged(int firstRow, int lastRow, int firstColumn, int lastColumn) {
    m_geometry.noteCellsChanged(firstRow, lastRow, firstColumn, lastColumn);
    if (touches(firstColumn, lastColumn, ColName) || touches(firstColumn, lastColumn, ColNorth) ||
        touches(firstColumn, lastColumn, ColEast) ||
        touches(firstColumn, lastColumn, ColSegmentStart) ||
        touches(firstColumn, lastColumn, ColSegmentEnd)) {
        update();
        if (!m_markedRows.empty())
            followMarks(firstRow, lastRow);
    }
}

void DrawingArea::followMarks(int firstRow, int lastRow) {
    const auto placed = [&](int row) {
        return row >= firstRow && row <= lastRow && !m_table.text(row, ColSegmentStart).empty() &&
               !m_table.text(row, ColSegmentEnd).empty();
    };
    std::erase_if(m_markedKeys, [&](RowKey key) { return placed(m_table.rowOf(key)); });
    placeMarks();  // rows that traded places (a move) take their marks along
}

void DrawingArea::placeMarks() {
    m_markedRows.clear();
    for (RowKey key : m_markedKeys)
        if (const int row = m_table.rowOf(key); row >= 0)
            m_markedRows.push_back(row);
    std::sort(m_markedRows.begin(), m_markedRows.end());
}

void DrawingArea::setMarkedRows(std::vector<int> rows) {
    const int count = m_table.rowCount();
    std::erase_if(rows, [count](int r) { return r < 0 || r >= count; });
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    m_markedKeys.clear();
    m_markedKeys.reserve(rows.size());
    for (int r : rows)
        m_markedKeys.push_back(m_table.keyOf(r));
    m_markedRows = std::move(rows);
    update();
}

void DrawingArea::clearMarkedRows() {
    setMarkedRows({});
}

// A row or a few put in or taken out (an insert, a deletion, their undo) are followed
// into the geometry; reading a million rows again would cost far more. The geometry is
// brought up to date first, while the table still matches it.
void DrawingArea::rowsAboutToBeInserted(int first, int last) {
    m_geometry.sync();
    m_inserting = {first, last};
}

void DrawingArea::rowsInserted() {
    const auto [first, last] = std::exchange(m_inserting, {-1, -1});
    if (first < 0)
        m_geometry.noteRowsChanged();
    else
        m_geometry.noteRowsInserted(first, last);
    afterRowsMoved();
}

void DrawingArea::rowsAboutToBeRemoved(int first, int last) {
    m_geometry.sync();
    m_geometry.noteRowsAboutToBeRemoved(first, last);
    m_removing = {first, last};
}

void DrawingArea::rowsRemoved() {
    const auto [first, last] = std::exchange(m_removing, {-1, -1});
    if (first < 0)
        m_geometry.noteRowsChanged();
    else
        m_geometry.noteRowsRemoved(first, last);
    afterRowsMoved();
}
void DrawingArea::resetDone() {
    rowsChanged();
}

void DrawingArea::rowsChanged() {
    m_geometry.noteRowsChanged();
    afterRowsMoved();
}

void DrawingArea::afterRowsMoved() {
    // The marks stay with their points wherever they went; a point deleted or hidden
    // loses its ring until undo or the filter brings it back.
    if (!m_markedKeys.empty())
        placeMarks();
    m_selectionDirty = true;
    update();
}

void DrawingArea::syncSelection() {
    if (!m_selectionDirty)
        return;
    m_selectionDirty = false;
    m_selectedRows.assign(m_table.rowCount(), {});
    if (!m_selection)
        return;
    for (const QItemSelectionRange& range : m_selection->selection())
        if (!range.parent().isValid())
            m_selectedRows.selectRange(range.top(), range.bottom());
}

// ---------------------------------------------------------------------------
// Painting

void DrawingArea::prepare() {
    m_viewport.setCanvasSize(width(), height());
    if (!m_viewport.hasWindow())
        m_viewport.initialiseWindow();
    m_geometry.sync();
    if (m_fitPending)
        applyFit();
}

void DrawingArea::prepareData() {
    m_geometry.sync();
}

void DrawingArea::resizeEvent(QResizeEvent* event) {
    // The window stays; the scale follows the width.
    m_viewport.setCanvasSize(width(), height());
    QWidget::resizeEvent(event);
}

void DrawingArea::paintEvent(QPaintEvent*) {
    prepare();
    syncSelection();
    const int dotsPerMetre = static_cast<int>(std::lround(logicalDpiY() / 0.0254));
    if (m_canvas.dotsPerMeterY() != dotsPerMetre) {
        m_canvas.setDotsPerMeterX(static_cast<int>(std::lround(logicalDpiX() / 0.0254)));
        m_canvas.setDotsPerMeterY(dotsPerMetre);
    }
    std::optional<PixelRect> box;
    if (m_nMouseMode == Boxing)
        box = m_rcDrag;
    const DrawingStats stats = m_renderer.render(m_canvas, m_viewport, m_geometry, m_table,
                                                 m_selectedRows, box, m_markedRows);
    QPainter painter(this);
    painter.drawImage(0, 0, m_canvas);
    reportHiddenLabels(stats.hiddenLabels);
}

void DrawingArea::reportHiddenLabels(int hidden) {
    if (hidden == m_hiddenLabels)
        return;
    m_hiddenLabels = hidden;
    const QString text =
        hidden > 0 ? QStringLiteral("有 %1 个点名因重叠未显示").arg(hidden) : QString();
    // Not from inside the paint: a receiver may well repaint something.
    QMetaObject::invokeMethod(
        this, [this, text] { emit hiddenLabelsChanged(text); }, Qt::QueuedConnection);
}

// ---------------------------------------------------------------------------
// Export

bool DrawingArea::exportTo(const QString& path, QString* error) {
    prepare();
    syncSelection();
    GraphViewport viewport = m_viewport;
    if (width() <= 1 || height() <= 1) {
        // Never laid out: a drawing of a usual size showing every point.
        viewport.setCanvasSize(1200, 800);
        if (const std::optional<WorldWindow> bounds = m_geometry.bounds())
            viewport.fit(*bounds);
    }
    const QSize size(viewport.canvasWidth(), viewport.canvasHeight());
    const int dpiY = logicalDpiY();
    DrawingOutput output;
    output.title = QStringLiteral("平面图");
    output.dpi = dpiY;
    output.paintVector = [&](QPainter& painter) {
        m_renderer.paint(painter, viewport, m_geometry, m_table, m_selectedRows, m_markedRows,
                         dpiY);
    };
    output.renderImage = [&] {
        QImage image(size, QImage::Format_RGB32);
        image.setDotsPerMeterX(static_cast<int>(std::lround(logicalDpiX() / 0.0254)));
        image.setDotsPerMeterY(static_cast<int>(std::lround(dpiY / 0.0254)));
        m_renderer.render(image, viewport, m_geometry, m_table, m_selectedRows, std::nullopt,
                          m_markedRows);
        return image;
    };
    return exportDrawing(path, size, output, error);
}

// ---------------------------------------------------------------------------
// Mouse

void DrawingArea::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    if (m_nMouseMode != Idle)
        return;
    const PixelPoint p = pixelOf(event);
    // The box starts empty: until the mouse moves it spans nothing.
    m_rcDrag = {p.x, p.y, p.x, p.y};
    m_nMouseMode = (event->modifiers() & Qt::ControlModifier) ? Boxing : Panning;
    setCursor(m_nMouseMode == Panning ? Qt::ClosedHandCursor : Qt::CrossCursor);
}

void DrawingArea::mouseMoveEvent(QMouseEvent* event) {
    if (m_nMouseMode == Idle)
        return;
    const PixelPoint p = pixelOf(event);
    // Outside the area nothing moves; coming back applies the whole way from the
    // last position inside.
    if (!rect().contains(p.x, p.y))
        return;
    if (m_nMouseMode == Panning) {
        const int dx = p.x - m_rcDrag.left;
        const int dy = p.y - m_rcDrag.top;
        m_rcDrag.left = p.x;
        m_rcDrag.top = p.y;
        m_viewport.pan(dx, dy);
    } else {
        m_rcDrag.right = p.x;
        m_rcDrag.bottom = p.y;
    }
    update();
}

void DrawingArea::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    if (m_nMouseMode == Boxing && (event->modifiers() & Qt::ControlModifier)) {
        prepare();
        // Not normalised: a box drawn leftwards or upwards contains nothing.
        deleteRows(m_viewport.pointsInBox(m_geometry.points(), m_rcDrag), "框选删除点");
    }
    if (m_nMouseMode != Idle) {
        m_nMouseMode = Idle;
        unsetCursor();
        update();
    }
}

void DrawingArea::mouseDoubleClickEvent(QMouseEvent* event) {
    const PixelPoint p = pixelOf(event);
    const bool inside = rect().contains(p.x, p.y);
    if (event->button() == Qt::RightButton) {
        if (inside)
            fitAll();
        return;
    }
    if (event->button() != Qt::LeftButton || m_nMouseMode != Idle || !inside)
        return;
    prepare();
    const int row = m_viewport.pick(m_geometry.points(), p);
    if (row < 0)
        return;
    if (event->modifiers() & Qt::ControlModifier)
        deleteRows({row}, "删除点");
    else
        emit rowPicked(row);
    update();
}

void DrawingArea::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    // Horizontal scrolling and the empty events that end a touchpad gesture carry no
    // vertical distance; they are no wheel turn.
    if (delta == 0) {
        event->ignore();
        return;
    }
    prepare();
    if (delta > 0)
        m_viewport.zoomIn();
    else
        m_viewport.zoomOut();
    event->accept();
    update();
}

void DrawingArea::deleteRows(std::vector<int> rows, const char* label) {
    if (rows.empty())
        return;
    PointTable::Command command(m_table, label);
    m_table.removeRows(std::move(rows));
}

}  // namespace corvane
