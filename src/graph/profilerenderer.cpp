#include "profilerenderer.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <climits>
#include <cmath>

#include "cellnumber.h"
#include "columns.h"
#include "pointtable.h"

namespace corvane {
namespace {

const QColor kGrid(225, 225, 225);
const QColor kGround(110, 80, 40);
const QColor kJStake(0, 110, 0);
const QColor kZStake(0, 90, 200);
const QColor kCrossing(200, 100, 0);
const QColor kHouse(120, 120, 120);
const QColor kHouseFill(200, 200, 200, 160);
const QColor kSelected(220, 0, 0);

QString number(double value, int decimals) {
    return QString::fromStdString(formatFixed(value, decimals));
}

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

int decimalsFor(const std::vector<double>& ticks) {
    if (ticks.size() < 2)
        return 0;
    double step = ticks[1] - ticks[0];
    return step >= 1.0 ? 0 : std::min(3, static_cast<int>(std::ceil(-std::log10(step))));
}

QFont axisFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(8.0);
    return font;
}

QFont labelFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(8.8);
    return font;
}

QPointF toQPoint(ProfileViewport::Point p) {
    return QPointF(p.x, p.y);
}

// The ground points that fall in one pixel column, drawn as one vertical stroke from
// where the line enters the column to its lowest and highest point and back to where
// it leaves, so a long line costs a few strokes per column.
struct ColumnStroke {
    int column = INT_MIN;
    double low = 0.0;
    double high = 0.0;
    double last = 0.0;

    void addTo(QPainterPath& path, bool& started) const {
        if (column == INT_MIN)
            return;
        if (!started) {
            path.moveTo(column, last);
            started = true;
        }
        path.lineTo(column, low);
        path.lineTo(column, high);
        path.lineTo(column, last);
    }
};

}  // namespace

ProfileRenderer::ProfileRenderer(const ProfileData& data, const ProfileViewport& viewport)
    : m_data(data),
      m_viewport(viewport),
      m_plot(ProfileViewport::kLeftMargin, ProfileViewport::kTopMargin, viewport.plotWidth(),
             viewport.plotHeight()) {}

void ProfileRenderer::paint(QPainter& painter, QSize size, const PointTable& table,
                            std::span<const int> selectedRows) const {
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    const ProfileViewport& v = m_viewport;
    const auto distanceTicks = niceTicks(v.leftDistance(), v.rightDistance(), 8);
    const auto elevationTicks = niceTicks(v.bottomElevation(), v.topElevation(), 5);
    drawGridAndFrame(painter, distanceTicks, elevationTicks);
    drawDistanceAxis(painter, distanceTicks);
    drawElevationAxis(painter, elevationTicks);
    drawAxisCaption(painter);

    painter.save();
    painter.setClipRect(m_plot.adjusted(-1, -1, 1, 1));
    painter.setRenderHint(QPainter::Antialiasing, true);
    drawGround(painter);
    drawPoints(painter);
    drawSelection(painter, table, selectedRows);
    painter.restore();
    if (m_data.empty())
        drawNoPointsMessage(painter);
}

// Light lines at the round ticks, then the plot's frame over them.
void ProfileRenderer::drawGridAndFrame(QPainter& painter, const std::vector<double>& distanceTicks,
                                       const std::vector<double>& elevationTicks) const {
    painter.setPen(QPen(kGrid, 1));
    for (double t : distanceTicks) {
        const double x = m_viewport.toPixel(t, 0).x;
        painter.drawLine(QPointF(x, m_plot.top()), QPointF(x, m_plot.bottom()));
    }
    for (double t : elevationTicks) {
        const double y = m_viewport.toPixel(0, t).y;
        painter.drawLine(QPointF(m_plot.left(), y), QPointF(m_plot.right(), y));
    }
    painter.setPen(Qt::black);
    painter.drawRect(m_plot);
}

// Cumulative distances under the plot.
void ProfileRenderer::drawDistanceAxis(QPainter& painter, const std::vector<double>& ticks) const {
    painter.setFont(axisFont());
    painter.setPen(Qt::black);
    const int decimals = decimalsFor(ticks);
    for (double t : ticks) {
        const double x = m_viewport.toPixel(t, 0).x;
        painter.drawLine(QPointF(x, m_plot.bottom()), QPointF(x, m_plot.bottom() + 4));
        painter.drawText(QRectF(x - 40, m_plot.bottom() + 5, 80, 14), Qt::AlignCenter,
                         number(t, decimals));
    }
}

// Elevations left of the plot, right-aligned against it.
void ProfileRenderer::drawElevationAxis(QPainter& painter, const std::vector<double>& ticks) const {
    painter.setFont(axisFont());
    painter.setPen(Qt::black);
    const int decimals = decimalsFor(ticks);
    for (double t : ticks) {
        const double y = m_viewport.toPixel(0, t).y;
        painter.drawLine(QPointF(m_plot.left() - 4, y), QPointF(m_plot.left(), y));
        painter.drawText(QRectF(0, y - 7, m_plot.left() - 6, 14), Qt::AlignRight | Qt::AlignVCenter,
                         number(t, decimals));
    }
}

void ProfileRenderer::drawAxisCaption(QPainter& painter) const {
    painter.setFont(axisFont());
    painter.setPen(Qt::black);
    painter.drawText(QRectF(m_plot.left(), m_plot.bottom() + 20, m_plot.width(), 16),
                     Qt::AlignCenter,
                     QStringLiteral("累距[m]    高程H[m]（竖向放大 %1 倍）")
                         .arg(number(m_viewport.exaggeration(), 1)));
}

// The ground line through every point near the view, one stroke per pixel column.
QPainterPath ProfileRenderer::groundPath() const {
    QPainterPath path;
    bool started = false;
    ColumnStroke stroke;
    for (const ProfilePoint& p : m_data.points) {
        if (!nearView(p, 50))
            continue;
        const ProfileViewport::Point px = m_viewport.toPixel(p.distance, p.elevation);
        const int column = static_cast<int>(std::floor(px.x));
        if (column != stroke.column) {
            stroke.addTo(path, started);
            stroke = {column, px.y, px.y, px.y};
        }
        stroke.low = std::min(stroke.low, px.y);
        stroke.high = std::max(stroke.high, px.y);
        stroke.last = px.y;
    }
    stroke.addTo(path, started);
    return path;
}

void ProfileRenderer::drawGround(QPainter& painter) const {
    painter.setPen(QPen(kGround, 1.5));
    painter.drawPath(groundPath());
}

// Stakes, crossed lines, houses and objects near the view; Z stake and crossed line
// labels only while they have room.
void ProfileRenderer::drawPoints(QPainter& painter) const {
    const bool labelled = labelsHaveRoom();
    painter.setFont(labelFont());
    for (const ProfilePoint& p : m_data.points) {
        if (!nearView(p, 20))
            continue;
        switch (p.kind) {
            case ProfilePoint::Kind::JStake:
                drawJStake(painter, p);
                break;
            case ProfilePoint::Kind::ZStake:
                drawZStake(painter, p, labelled);
                break;
            case ProfilePoint::Kind::CrossedLine:
                drawCrossedLine(painter, p, labelled);
                break;
            case ProfilePoint::Kind::House:
                drawHouse(painter, p);
                break;
            case ProfilePoint::Kind::Object:
                drawObject(painter, p);
                break;
            case ProfilePoint::Kind::Ground:
                break;
        }
    }
}

// About one label per 12 pixels of the plot's width can be read.
bool ProfileRenderer::labelsHaveRoom() const {
    const auto& points = m_data.points;
    const auto begin =
        std::lower_bound(points.begin(), points.end(), m_viewport.leftDistance(),
                         [](const ProfilePoint& p, double x) { return p.distance < x; });
    const auto end =
        std::upper_bound(points.begin(), points.end(), m_viewport.rightDistance(),
                         [](double x, const ProfilePoint& p) { return x < p.distance; });
    return (end - begin) * 12 < m_viewport.plotWidth();
}

// Whether the point lies within `pixels` of the visible distances.
bool ProfileRenderer::nearView(const ProfilePoint& p, double pixels) const {
    const double reach = m_viewport.metresPerPixel() * pixels;
    return p.distance >= m_viewport.leftDistance() - reach &&
           p.distance <= m_viewport.rightDistance() + reach;
}

// A dashed line across the plot, with the name and the distance at its top.
void ProfileRenderer::drawJStake(QPainter& painter, const ProfilePoint& p) const {
    const double x = m_viewport.toPixel(p.distance, p.elevation).x;
    painter.setPen(QPen(kJStake, 1, Qt::DashLine));
    painter.drawLine(QPointF(x, m_plot.top()), QPointF(x, m_plot.bottom()));
    painter.setPen(kJStake);
    painter.drawText(QPointF(x + 3, m_plot.top() + 12), QString::fromStdString(p.label));
    painter.drawText(QPointF(x + 3, m_plot.top() + 24), number(p.distance, 3));
}

// A small filled triangle standing on the point.
void ProfileRenderer::drawZStake(QPainter& painter, const ProfilePoint& p, bool labelled) const {
    const ProfileViewport::Point base = m_viewport.toPixel(p.distance, p.elevation);
    painter.setPen(kZStake);
    painter.setBrush(kZStake);
    QPolygonF triangle;
    triangle << QPointF(base.x, base.y - 9) << QPointF(base.x - 4, base.y - 2)
             << QPointF(base.x + 4, base.y - 2);
    painter.drawPolygon(triangle);
    painter.setBrush(Qt::NoBrush);
    if (labelled)
        painter.drawText(QPointF(base.x + 5, base.y - 10), QString::fromStdString(p.label));
}

// A mast from the ground up to the measured height, ringed at the top.
void ProfileRenderer::drawCrossedLine(QPainter& painter, const ProfilePoint& p,
                                      bool labelled) const {
    const QPointF base = toQPoint(m_viewport.toPixel(p.distance, p.elevation));
    const QPointF top = toQPoint(m_viewport.toPixel(p.distance, p.elevation + p.height));
    painter.setPen(QPen(kCrossing, 1.5));
    painter.drawLine(base, top);
    painter.drawEllipse(top, 3, 3);
    if (labelled)
        painter.drawText(top + QPointF(5, -3), QString::fromStdString(p.label));
}

// A block of the house's height and width (at least 4 m), centred on the point.
void ProfileRenderer::drawHouse(QPainter& painter, const ProfilePoint& p) const {
    const double half = std::max(p.width, 4.0) / 2.0;
    const ProfileViewport::Point a = m_viewport.toPixel(p.distance - half, p.elevation);
    const ProfileViewport::Point b = m_viewport.toPixel(p.distance + half, p.elevation + p.height);
    painter.setPen(kHouse);
    painter.setBrush(kHouseFill);
    painter.drawRect(QRectF(QPointF(a.x, b.y), QPointF(b.x, a.y)).normalized());
    painter.setBrush(Qt::NoBrush);
}

// A small cross on the ground.
void ProfileRenderer::drawObject(QPainter& painter, const ProfilePoint& p) const {
    const ProfileViewport::Point c = m_viewport.toPixel(p.distance, p.elevation);
    painter.setPen(kCrossing);
    painter.drawLine(QPointF(c.x - 3, c.y + 3), QPointF(c.x + 3, c.y - 3));
    painter.drawLine(QPointF(c.x - 3, c.y - 3), QPointF(c.x + 3, c.y + 3));
}

// A red dot on each selected row's point, with the row's name.
void ProfileRenderer::drawSelection(QPainter& painter, const PointTable& table,
                                    std::span<const int> selectedRows) const {
    if (selectedRows.empty())
        return;
    painter.setFont(labelFont());
    painter.setPen(QPen(kSelected, 2));
    painter.setBrush(kSelected);
    for (const ProfilePoint& p : m_data.points) {
        if (!std::binary_search(selectedRows.begin(), selectedRows.end(), p.row))
            continue;
        const QPointF at = toQPoint(m_viewport.toPixel(p.distance, p.elevation));
        painter.drawEllipse(at, 4, 4);
        painter.drawText(at + QPointF(6, -6), toQString(table.text(p.row, ColName)));
    }
    painter.setBrush(Qt::NoBrush);
}

void ProfileRenderer::drawNoPointsMessage(QPainter& painter) const {
    painter.setFont(axisFont());
    painter.setPen(Qt::darkGray);
    painter.drawText(
        m_plot, Qt::AlignCenter,
        QStringLiteral("没有可画的点：先做“电力数据计算”，累距为数字的点才画在断面上。"));
}

}  // namespace corvane
