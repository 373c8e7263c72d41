#include "profileview.h"

#include <QImage>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>

#include "columns.h"
#include "drawingexport.h"
#include "pointtable.h"
#include "profilerenderer.h"

namespace corvane {

ProfileView::ProfileView(PointTable& table, QWidget* parent) : QWidget(parent), m_table(table) {
    m_table.addListener(this);
    setMinimumSize(200, 120);
    setMouseTracking(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

ProfileView::~ProfileView() {
    m_table.removeListener(this);
}

void ProfileView::setSelectionModel(QItemSelectionModel* selection) {
    if (m_selection)
        disconnect(m_selection, nullptr, this, nullptr);
    m_selection = selection;
    if (m_selection) {
        connect(m_selection, &QItemSelectionModel::selectionChanged, this, [this] { update(); });
        connect(m_selection, &QItemSelectionModel::currentRowChanged, this,
                [this](const QModelIndex& current) {
                    if (current.isValid())
                        showRow(current.row());
                });
    }
    update();
}

void ProfileView::showRow(int row) {
    if (!isVisible() || !m_fitted || row < 0)
        return;
    data();
    if (row >= static_cast<int>(m_data.pointOfRow.size()) || m_data.pointOfRow[row] < 0)
        return;  // no distance: not in the section
    const double at = m_data.points[static_cast<size_t>(m_data.pointOfRow[row])].distance;
    const double left = m_viewport.leftDistance();
    const double right = m_viewport.rightDistance();
    if (at >= left && at <= right)
        return;
    // Pans along the line at the same zoom, the point in the middle.
    m_viewport.pan(((left + right) / 2.0 - at) / m_viewport.metresPerPixel(), 0.0);
    update();
}

void ProfileView::cellsChanged(int firstRow, int lastRow, int firstColumn, int lastColumn) {
    if (!m_dataValid)
        return;  // rebuilt at the next paint anyway
    // Columns read by the build.
    for (int column :
         {ColHeight, ColDistance, ColPointType, ColCrossing, ColMeasuredHeight, ColWidth}) {
        if (firstColumn <= column && column <= lastColumn) {
            dataChanged();
            return;
        }
    }
    if (firstColumn <= ColName && ColName <= lastColumn)
        namesChanged(firstRow, lastRow);
}

void ProfileView::namesChanged(int first, int last) {
    first = std::max(first, 0);
    last = std::min(last, static_cast<int>(m_data.pointOfRow.size()) - 1);
    bool repaint = false;
    for (int r = first; r <= last; ++r) {
        const int i = m_data.pointOfRow[r];
        if (i < 0)
            continue;
        // Stakes are labelled with their names; other names show only on the
        // selection's mark. Both are read from the table when painted.
        const ProfilePoint::Kind kind = m_data.points[i].kind;
        repaint = repaint || kind == ProfilePoint::Kind::JStake ||
                  kind == ProfilePoint::Kind::ZStake ||
                  (m_selection && m_selection->rowIntersectsSelection(r));
    }
    if (repaint)
        update();
}

// A row or a few put in or taken out (an insert, a deletion, their undo) are followed
// into the section's data; reading the whole table again costs far more.
void ProfileView::rowsAboutToBeInserted(int first, int last) {
    m_inserting = {first, last};
}

void ProfileView::rowsInserted() {
    const auto [first, last] = std::exchange(m_inserting, {-1, -1});
    if (!m_dataValid)
        return;
    if (first < 0 || first != last) {
        dataChanged();  // the table announces single rows; anything else is read again
        return;
    }
    insertProfileRow(m_data, m_table, first);
    update();
}

void ProfileView::rowsAboutToBeRemoved(int first, int last) {
    m_removing = {first, last};
}

void ProfileView::rowsRemoved() {
    const auto [first, last] = std::exchange(m_removing, {-1, -1});
    if (!m_dataValid)
        return;
    if (first < 0) {
        dataChanged();
        return;
    }
    removeProfileRows(m_data, m_table, first, last);
    update();
}

void ProfileView::dataChanged() {
    m_dataValid = false;
    update();
}

void ProfileView::resetDone() {
    // Another table (an import) or another filter is shown whole; the same points in a
    // new order (a sort, rows deleted or brought back together) keep the view.
    if (m_table.importNumber() != m_fittedImport || m_table.displayMode() != m_fittedMode)
        m_fitted = false;
    m_fittedImport = m_table.importNumber();
    m_fittedMode = m_table.displayMode();
    dataChanged();
}

const ProfileData& ProfileView::data() {
    if (!m_dataValid) {
        m_data = buildProfile(m_table);
        m_dataValid = true;
    }
    return m_data;
}

std::vector<int> ProfileView::selectedRows() const {
    std::vector<int> rows;
    if (!m_selection)
        return rows;
    for (const QItemSelectionRange& range : m_selection->selection())
        for (int r = range.top(); r <= range.bottom(); ++r)
            rows.push_back(r);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void ProfileView::fitAll() {
    const ProfileData& d = data();
    m_viewport.setSize(width(), height());
    if (d.empty())
        m_viewport.fit(0.0, 0.0, 0.0, 0.0);
    else
        m_viewport.fit(d.minDistance, d.maxDistance, d.minElevation, d.maxElevation);
    m_fitted = true;
    m_fittedEmpty = d.empty();
    emit exaggerationChanged(m_viewport.exaggeration());
    update();
}

void ProfileView::setExaggeration(double exaggeration) {
    m_viewport.setExaggeration(exaggeration);
    emit exaggerationChanged(m_viewport.exaggeration());
    update();
}

int ProfileView::rowAt(QPointF pos) {
    const ProfileData& d = data();
    int best = -1;
    double bestDistance = 10.0 * 10.0;
    for (const ProfilePoint& p : d.points) {
        ProfileViewport::Point px = m_viewport.toPixel(p.distance, p.elevation);
        double dx = px.x - pos.x();
        double dy = px.y - pos.y();
        double dd = dx * dx + dy * dy;
        if (dd < bestDistance || (dd == bestDistance && best >= 0 && p.row < best)) {
            bestDistance = dd;
            best = p.row;
        }
    }
    return best;
}

void ProfileView::render(QPainter& painter, QSize size) {
    m_viewport.setSize(size.width(), size.height());
    // Refit when points appear in a section that had none (the first calculation).
    if (!m_fitted || (m_fittedEmpty && !data().empty()))
        fitAll();
    const ProfileData& shown = data();
    ProfileRenderer(shown, m_viewport).paint(painter, size, m_table, selectedRows());
}

void ProfileView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    render(painter, size());
}

void ProfileView::resizeEvent(QResizeEvent*) {
    m_viewport.setSize(width(), height());
    if (!m_fitted)
        fitAll();
}

void ProfileView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_dragging = true;
        m_lastMouse = event->position();
        m_pressPos = event->position();
        setCursor(Qt::ClosedHandCursor);
    }
}

void ProfileView::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging)
        return;
    QPointF delta = event->position() - m_lastMouse;
    m_lastMouse = event->position();
    m_viewport.pan(delta.x(), delta.y());
    update();
}

void ProfileView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_dragging)
        return;
    m_dragging = false;
    unsetCursor();
    // A click without a drag picks the nearest row.
    if ((event->position() - m_pressPos).manhattanLength() < 3) {
        int row = rowAt(event->position());
        if (row >= 0)
            emit rowPicked(row);
    }
}

void ProfileView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton)
        fitAll();
}

void ProfileView::wheelEvent(QWheelEvent* event) {
    m_viewport.zoom(event->angleDelta().y() > 0 ? 0.75 : 1.5);
    update();
}

bool ProfileView::exportTo(const QString& path, QString* error) {
    const QSize size = width() > 1 && height() > 1 ? this->size() : QSize(1200, 500);
    DrawingOutput output;
    output.title = QStringLiteral("纵断面");
    output.paintVector = [&](QPainter& painter) { render(painter, size); };
    output.renderImage = [&] {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&image);
        render(painter, size);
        painter.end();
        return image;
    };
    return exportDrawing(path, size, output, error);
}

}  // namespace corvane
