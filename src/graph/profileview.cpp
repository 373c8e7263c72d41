#include "profileview.h"

#include <QImage>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

#include "cellnumber.h"
#include "columns.h"
#include "drawingexport.h"
#include "pointtable.h"

namespace corvane {
namespace {

QString number(double value, int decimals) {
    return QString::fromStdString(formatFixed(value, decimals));
}

int decimalsFor(const std::vector<double>& ticks) {
    if (ticks.size() < 2)
        return 0;
    double step = ticks[1] - ticks[0];
    return step >= 1.0 ? 0 : std::min(3, static_cast<int>(std::ceil(-std::log10(step))));
}

const QColor kGround(110, 80, 40);
const QColor kJStake(0, 110, 0);
const QColor kZStake(0, 90, 200);
const QColor kCrossing(200, 100, 0);
const QColor kHouse(120, 120, 120);
const QColor kSelected(220, 0, 0);

}  // namespace

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
    if (row >= static_cast<int>(m_pointOfRow.size()) || m_pointOfRow[row] < 0)
        return;  // no distance: not in the section
    const double at = m_data.points[static_cast<size_t>(m_pointOfRow[row])].distance;
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
    last = std::min(last, static_cast<int>(m_pointOfRow.size()) - 1);
    bool repaint = false;
    for (int r = first; r <= last; ++r) {
        const int i = m_pointOfRow[r];
        if (i < 0)
            continue;
        const ProfilePoint::Kind kind = m_data.points[i].kind;
        if (kind != ProfilePoint::Kind::CrossedLine && kind != ProfilePoint::Kind::Object) {
            dataChanged();  // the name is the point's label
            return;
        }
        // Other names show only on the selection's mark, read when it is painted.
        repaint = repaint || (m_selection && m_selection->rowIntersectsSelection(r));
    }
    if (repaint)
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
        m_pointOfRow.assign(static_cast<size_t>(m_table.rowCount()), -1);
        for (size_t i = 0; i < m_data.points.size(); ++i)
            m_pointOfRow[static_cast<size_t>(m_data.points[i].row)] = static_cast<int>(i);
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
    const ProfileData& d = data();
    const ProfileViewport& v = m_viewport;
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    const QRectF plot(ProfileViewport::kLeftMargin, ProfileViewport::kTopMargin, v.plotWidth(),
                      v.plotHeight());

    // Axes with round ticks.
    QFont small(QStringLiteral("Arial"));
    small.setPointSizeF(8.0);
    painter.setFont(small);
    painter.setPen(QPen(QColor(225, 225, 225), 1));
    const auto xTicks = niceTicks(v.leftDistance(), v.rightDistance(), 8);
    const auto yTicks = niceTicks(v.bottomElevation(), v.topElevation(), 5);
    for (double t : xTicks) {
        double x = v.toPixel(t, 0).x;
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    }
    for (double t : yTicks) {
        double y = v.toPixel(0, t).y;
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    }
    painter.setPen(Qt::black);
    painter.drawRect(plot);
    const int xd = decimalsFor(xTicks);
    for (double t : xTicks) {
        double x = v.toPixel(t, 0).x;
        painter.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + 4));
        painter.drawText(QRectF(x - 40, plot.bottom() + 5, 80, 14), Qt::AlignCenter, number(t, xd));
    }
    const int yd = decimalsFor(yTicks);
    for (double t : yTicks) {
        double y = v.toPixel(0, t).y;
        painter.drawLine(QPointF(plot.left() - 4, y), QPointF(plot.left(), y));
        painter.drawText(QRectF(0, y - 7, plot.left() - 6, 14), Qt::AlignRight | Qt::AlignVCenter,
                         number(t, yd));
    }
    painter.drawText(
        QRectF(plot.left(), plot.bottom() + 20, plot.width(), 16), Qt::AlignCenter,
        QStringLiteral("累距[m]    高程H[m]（竖向放大 %1 倍）").arg(number(v.exaggeration(), 1)));

    painter.save();
    painter.setClipRect(plot.adjusted(-1, -1, 1, 1));
    painter.setRenderHint(QPainter::Antialiasing, true);

    // The ground line, reduced to one vertical stroke per pixel column on long lines.
    QPainterPath ground;
    bool started = false;
    int column = INT_MIN;
    double lo = 0, hi = 0, last = 0;
    auto flush = [&] {
        if (column == INT_MIN)
            return;
        if (!started) {
            ground.moveTo(column, last);
            started = true;
        }
        ground.lineTo(column, lo);
        ground.lineTo(column, hi);
        ground.lineTo(column, last);
    };
    for (const ProfilePoint& p : d.points) {
        if (p.distance < v.leftDistance() - v.metresPerPixel() * 50 ||
            p.distance > v.rightDistance() + v.metresPerPixel() * 50)
            continue;
        ProfileViewport::Point px = v.toPixel(p.distance, p.elevation);
        int c = static_cast<int>(std::floor(px.x));
        if (c != column) {
            flush();
            column = c;
            lo = hi = px.y;
        }
        lo = std::min(lo, px.y);
        hi = std::max(hi, px.y);
        last = px.y;
    }
    flush();
    painter.setPen(QPen(kGround, 1.5));
    painter.drawPath(ground);

    // Objects, stakes and labels only where the points are far enough apart to read.
    // Names and object labels only while they have room: about one per 12 pixels.
    auto visibleBegin =
        std::lower_bound(d.points.begin(), d.points.end(), v.leftDistance(),
                         [](const ProfilePoint& p, double x) { return p.distance < x; });
    auto visibleEnd =
        std::upper_bound(d.points.begin(), d.points.end(), v.rightDistance(),
                         [](double x, const ProfilePoint& p) { return x < p.distance; });
    const bool detailed = (visibleEnd - visibleBegin) * 12 < v.plotWidth();
    QFont label(QStringLiteral("Arial"));
    label.setPointSizeF(8.8);
    painter.setFont(label);
    for (const ProfilePoint& p : d.points) {
        if (p.distance < v.leftDistance() - 20 * v.metresPerPixel() ||
            p.distance > v.rightDistance() + 20 * v.metresPerPixel())
            continue;
        ProfileViewport::Point base = v.toPixel(p.distance, p.elevation);
        switch (p.kind) {
            case ProfilePoint::Kind::JStake: {
                painter.setPen(QPen(kJStake, 1, Qt::DashLine));
                painter.drawLine(QPointF(base.x, plot.top()), QPointF(base.x, plot.bottom()));
                painter.setPen(kJStake);
                painter.drawText(QPointF(base.x + 3, plot.top() + 12),
                                 QString::fromStdString(p.label));
                painter.drawText(QPointF(base.x + 3, plot.top() + 24), number(p.distance, 3));
                break;
            }
            case ProfilePoint::Kind::ZStake: {
                painter.setPen(kZStake);
                painter.setBrush(kZStake);
                QPolygonF tri;
                tri << QPointF(base.x, base.y - 9) << QPointF(base.x - 4, base.y - 2)
                    << QPointF(base.x + 4, base.y - 2);
                painter.drawPolygon(tri);
                painter.setBrush(Qt::NoBrush);
                if (detailed)
                    painter.drawText(QPointF(base.x + 5, base.y - 10),
                                     QString::fromStdString(p.label));
                break;
            }
            case ProfilePoint::Kind::CrossedLine: {
                ProfileViewport::Point top = v.toPixel(p.distance, p.elevation + p.height);
                painter.setPen(QPen(kCrossing, 1.5));
                painter.drawLine(QPointF(base.x, base.y), QPointF(top.x, top.y));
                painter.drawEllipse(QPointF(top.x, top.y), 3, 3);
                if (detailed)
                    painter.drawText(QPointF(top.x + 5, top.y - 3),
                                     QString::fromStdString(p.label));
                break;
            }
            case ProfilePoint::Kind::House: {
                double half = std::max(p.width, 4.0) / 2.0;
                ProfileViewport::Point a = v.toPixel(p.distance - half, p.elevation);
                ProfileViewport::Point b = v.toPixel(p.distance + half, p.elevation + p.height);
                painter.setPen(kHouse);
                painter.setBrush(QColor(200, 200, 200, 160));
                painter.drawRect(QRectF(QPointF(a.x, b.y), QPointF(b.x, a.y)).normalized());
                painter.setBrush(Qt::NoBrush);
                break;
            }
            case ProfilePoint::Kind::Object:
                painter.setPen(kCrossing);
                painter.drawLine(QPointF(base.x - 3, base.y + 3), QPointF(base.x + 3, base.y - 3));
                painter.drawLine(QPointF(base.x - 3, base.y - 3), QPointF(base.x + 3, base.y + 3));
                break;
            case ProfilePoint::Kind::Ground:
                break;
        }
    }

    // The rows selected in the table.
    std::vector<int> selected = selectedRows();
    if (!selected.empty()) {
        painter.setPen(QPen(kSelected, 2));
        painter.setBrush(kSelected);
        for (const ProfilePoint& p : d.points) {
            if (!std::binary_search(selected.begin(), selected.end(), p.row))
                continue;
            ProfileViewport::Point px = v.toPixel(p.distance, p.elevation);
            painter.drawEllipse(QPointF(px.x, px.y), 4, 4);
            painter.drawText(
                QPointF(px.x + 6, px.y - 6),
                QString::fromUtf8(m_table.text(p.row, 0).data(),
                                  static_cast<qsizetype>(m_table.text(p.row, 0).size())));
        }
        painter.setBrush(Qt::NoBrush);
    }
    painter.restore();
    if (d.empty()) {
        painter.setPen(Qt::darkGray);
        painter.drawText(
            plot, Qt::AlignCenter,
            QStringLiteral("没有可画的点：先做“电力数据计算”，累距为数字的点才画在断面上。"));
    }
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
