#include "profilerenderer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>

#include "cellnumber.h"
#include "columns.h"
#include "pointtable.h"
#include "stakelabels.h"

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
// The marks are about 8 pixels wide: one of a kind per 3 pixels hides nothing.
constexpr double kMarkStrip = 3.0;

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
    m_table = &table;
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
    drawJStakes(painter, selectedRows);
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
    const auto [first, last] = visibleRange(50);
    // The mapping is affine: its coefficients once, not a call per point.
    const ProfileViewport::Point origin = m_viewport.toPixel(0.0, 0.0);
    const ProfileViewport::Point unit = m_viewport.toPixel(1.0, 1.0);
    const double ax = unit.x - origin.x, ay = unit.y - origin.y;
    const ProfilePoint* points = m_data.points.data();
    constexpr size_t kBlock = ProfileData::kBlock;
    const auto columnOf = [&](size_t i) {
        return static_cast<int>(std::floor(origin.x + ax * points[i].distance));
    };
    for (size_t i = first; i < last; ++i) {
        // A whole block inside the current column adds its range at once.
        if (i % kBlock == 0 && i + kBlock <= last && columnOf(i) == stroke.column &&
            columnOf(i + kBlock - 1) == stroke.column) {
            const auto [low, high] = m_data.blockRanges[i / kBlock];
            // The elevation axis points down the screen (ay < 0).
            stroke.low = std::min(stroke.low, origin.y + ay * high);
            stroke.high = std::max(stroke.high, origin.y + ay * low);
            stroke.last = origin.y + ay * points[i + kBlock - 1].elevation;
            i += kBlock - 1;
            continue;
        }
        const double x = origin.x + ax * points[i].distance;
        const double y = origin.y + ay * points[i].elevation;
        const int column = static_cast<int>(std::floor(x));
        if (column != stroke.column) {
            stroke.addTo(path, started);
            stroke = {column, y, y, y};
        }
        stroke.low = std::min(stroke.low, y);
        stroke.high = std::max(stroke.high, y);
        stroke.last = y;
    }
    stroke.addTo(path, started);
    return path;
}

void ProfileRenderer::drawGround(QPainter& painter) const {
    const auto [first, last] = visibleRange(50);
    painter.save();
    if (last - first > static_cast<size_t>(m_viewport.plotWidth())) {
        // Denser than pixels the line is a column of vertical strokes: smoothing adds
        // nothing to them and costs the rasteriser dearly on tall ones.
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QPen(kGround, 1));
    } else {
        painter.setPen(QPen(kGround, 1.5));
    }
    painter.drawPath(groundPath());
    painter.restore();
}

// The points within `pixels` of the visible distances: a range of the sorted points.
std::pair<size_t, size_t> ProfileRenderer::visibleRange(double pixels) const {
    const auto& points = m_data.points;
    const double reach = m_viewport.metresPerPixel() * pixels;
    const auto begin =
        std::lower_bound(points.begin(), points.end(), m_viewport.leftDistance() - reach,
                         [](const ProfilePoint& p, double x) { return p.distance < x; });
    const auto end =
        std::upper_bound(begin, points.end(), m_viewport.rightDistance() + reach,
                         [](double x, const ProfilePoint& p) { return x < p.distance; });
    return {static_cast<size_t>(begin - points.begin()), static_cast<size_t>(end - points.begin())};
}

// The indices among `subset` (ascending point indices) of the points in [first, last).
std::span<const int> ProfileRenderer::within(const std::vector<int>& subset, size_t first,
                                             size_t last) {
    const auto begin = std::lower_bound(subset.begin(), subset.end(), static_cast<int>(first));
    const auto end = std::lower_bound(begin, subset.end(), static_cast<int>(last));
    return {subset.data() + (begin - subset.begin()), static_cast<size_t>(end - begin)};
}

// Z stakes, crossed lines, houses and objects near the view; Z stake and crossed line
// labels only while they have room. Where marks are denser than they are wide, each
// strip of kMarkStrip pixel columns gets one mark of each kind: the tallest crossed
// line or house, so that the clearance the section shows stays true, and the first of
// the others.
void ProfileRenderer::drawPoints(QPainter& painter) const {
    const bool labelled = labelsHaveRoom();
    painter.setFont(labelFont());
    constexpr size_t kKinds = 6;
    std::array<int, kKinds> pending;  // index into the marks, or -1
    pending.fill(-1);
    std::array<int, kKinds> pendingColumn{};
    const auto flush = [&](size_t kind) {
        if (pending[kind] >= 0)
            drawPoint(painter, m_data.points[static_cast<size_t>(m_data.marks[pending[kind]])],
                      labelled);
        pending[kind] = -1;
    };
    const ProfileViewport::Point origin = m_viewport.toPixel(0.0, 0.0);
    const double ax = m_viewport.toPixel(1.0, 0.0).x - origin.x;
    const auto [first, last] = visibleRange(20);
    const std::span<const int> inView = within(m_data.marks, first, last);
    const auto offset = static_cast<int>(inView.data() - m_data.marks.data());
    for (int m = offset; m < offset + static_cast<int>(inView.size()); ++m) {
        const ProfilePoint::Kind k = m_data.markKinds[static_cast<size_t>(m)];
        const auto kind = static_cast<size_t>(k);
        const double distance = m_data.points[static_cast<size_t>(m_data.marks[m])].distance;
        const int column = static_cast<int>(std::floor((origin.x + ax * distance) / kMarkStrip));
        if (pending[kind] >= 0 && pendingColumn[kind] == column) {
            const bool tall =
                k == ProfilePoint::Kind::CrossedLine || k == ProfilePoint::Kind::House;
            if (tall && m_data.markTops[static_cast<size_t>(m)] >
                            m_data.markTops[static_cast<size_t>(pending[kind])])
                pending[kind] = m;
            continue;
        }
        flush(kind);
        pending[kind] = m;
        pendingColumn[kind] = column;
    }
    for (size_t kind = 0; kind < kKinds; ++kind)
        flush(kind);
}

void ProfileRenderer::drawPoint(QPainter& painter, const ProfilePoint& p, bool labelled) const {
    switch (p.kind) {
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
        case ProfilePoint::Kind::JStake:
            break;
    }
}

// About one label per 12 pixels of the plot's width can be read.
bool ProfileRenderer::labelsHaveRoom() const {
    const auto [first, last] = visibleRange(0);
    return static_cast<double>(last - first) * 12 < m_viewport.plotWidth();
}

// The J stakes as dashed lines across the plot, each with its name and distance in the
// label band at the top. What the width cannot hold is thinned: names go first to the
// selected stakes, then to the sharper turns (the line's ends count as the sharpest),
// each placed right of its line, or left where the plot ends, and never over another;
// a line is drawn when labelled or when no other line lies within 3 pixels.
void ProfileRenderer::drawJStakes(QPainter& painter, std::span<const int> selectedRows) const {
    const auto& points = m_data.points;
    const auto [first, last] = visibleRange(0);
    const std::span<const int> inView = within(m_data.stakes, first, last);
    if (inView.empty())
        return;
    // Sort keys once: selected first, then the sharper turn.
    struct Candidate {
        bool selected;
        double turn;
        size_t point;
    };
    std::vector<Candidate> stakes;
    stakes.reserve(inView.size());
    const auto firstStake = static_cast<size_t>(inView.data() - m_data.stakes.data());
    for (size_t k = 0; k < inView.size(); ++k) {
        const auto i = static_cast<size_t>(inView[k]);
        stakes.push_back(
            {std::binary_search(selectedRows.begin(), selectedRows.end(), points[i].row),
             m_data.turns[firstStake + k], i});
    }
    std::stable_sort(stakes.begin(), stakes.end(), [](const Candidate& a, const Candidate& b) {
        return a.selected != b.selected ? a.selected : a.turn > b.turn;
    });

    const QFont font = labelFont();
    const QFontMetricsF metrics(font, painter.device());
    StakeLabelPlacer placer(static_cast<int>(m_plot.left()), static_cast<int>(m_plot.right()),
                            static_cast<int>(metrics.horizontalAdvance(QStringLiteral("0.000"))));
    struct Label {
        double x;
        QString name, distance;
    };
    std::vector<Label> labels;
    std::vector<double> lines;
    for (const Candidate& candidate : stakes) {
        const ProfilePoint& p = points[candidate.point];
        const double px = m_viewport.toPixel(p.distance, p.elevation).x;
        QString name, distance;
        const StakeLabelPlacer::Placement placed =
            placer.offer(static_cast<int>(std::floor(px)), [&] {
                name = toQString(profileLabel(*m_table, p));
                distance = number(p.distance, 3);
                return static_cast<int>(std::ceil(std::max(metrics.horizontalAdvance(name),
                                                           metrics.horizontalAdvance(distance)))) +
                       4;
            });
        if (placed.labelLeft)
            labels.push_back(
                {static_cast<double>(*placed.labelLeft), std::move(name), std::move(distance)});
        if (placed.line)
            lines.push_back(px);
    }
    // Vertical one-pixel lines need no smoothing, and dashes are much cheaper without.
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(kJStake, 0, Qt::DashLine));
    for (double x : lines) {
        const int column = static_cast<int>(std::lround(x));
        painter.drawLine(column, static_cast<int>(m_plot.top()), column,
                         static_cast<int>(m_plot.bottom()));
    }
    painter.restore();
    painter.setFont(font);
    painter.setPen(kJStake);
    for (const Label& label : labels) {
        painter.drawText(QPointF(label.x, m_plot.top() + 12), label.name);
        painter.drawText(QPointF(label.x, m_plot.top() + 24), label.distance);
    }
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
        painter.drawText(QPointF(base.x + 5, base.y - 10), toQString(profileLabel(*m_table, p)));
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
        painter.drawText(top + QPointF(5, -3), toQString(profileLabel(*m_table, p)));
}

// A block of the house's height and width (at least 4 m), centred on the point.
void ProfileRenderer::drawHouse(QPainter& painter, const ProfilePoint& p) const {
    const double half = std::max(static_cast<double>(p.width), 4.0) / 2.0;
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
    const auto mark = [&](const ProfilePoint& p) {
        const QPointF at = toQPoint(m_viewport.toPixel(p.distance, p.elevation));
        painter.drawEllipse(at, 4, 4);
        painter.drawText(at + QPointF(6, -6), toQString(table.text(p.row, ColName)));
    };
    // Each selected row's point through the rows' index: a few selected rows cost no
    // walk over all points.
    const std::vector<int>& pointOfRow = m_data.pointOfRow;
    const auto [first, last] = visibleRange(20);
    for (int row : selectedRows) {
        if (row < 0 || static_cast<size_t>(row) >= pointOfRow.size() ||
            pointOfRow[static_cast<size_t>(row)] < 0)
            continue;
        const auto i = static_cast<size_t>(pointOfRow[static_cast<size_t>(row)]);
        if (i >= first && i < last)
            mark(m_data.points[i]);
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
