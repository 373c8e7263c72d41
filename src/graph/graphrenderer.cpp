#include "graphrenderer.h"

#include <QFontMetricsF>
#include <QLineF>
#include <QPainter>
#include <QPen>
#include <QRegion>

#include <algorithm>
#include <cmath>
#include <limits>

#include "cellnumber.h"
#include "columns.h"
#include "graphstyle.h"
#include "plangeometry.h"
#include "pointtable.h"

namespace corvane {
namespace {

using namespace graphstyle;

// A label box is the marker box widened by this much to each side: 105 pixels in all.
constexpr int kLabelHalf = 52;
constexpr int kLabelWidth = 105;
constexpr int kSmallLift = 15;  // d of an ordinary row's label
constexpr int kLargeLift = 20;  // d of a selected row's label
constexpr size_t kTextCacheLimit = 20000;

// What can still show inside the canvas: a label reaches 52 pixels to each side and
// up to d + 2 plus a line above its point, a marker 2 pixels around it.
constexpr int kCullSide = kLabelHalf + 3;
constexpr int kCullTop = 3;
constexpr int kCullBottom = kLargeLift + 5;

// The 5-pixel circle: outline bits, and the inside.
constexpr uint8_t kRing[5] = {0b01110, 0b10001, 0b10001, 0b10001, 0b01110};
constexpr uint8_t kInside[5] = {0b00000, 0b01110, 0b01110, 0b01110, 0b00000};

// The pixels of the mark ring, as offsets from its centre.
struct RingPixel {
    int dx;
    int dy;
};
const std::vector<RingPixel>& ringPixels() {
    static const std::vector<RingPixel> pixels = [] {
        std::vector<RingPixel> out;
        const int reach = static_cast<int>(std::ceil(kMarkOuterRadius));
        for (int dy = -reach; dy <= reach; ++dy)
            for (int dx = -reach; dx <= reach; ++dx) {
                const double r = std::hypot(dx, dy);
                if (r >= kMarkInnerRadius && r < kMarkOuterRadius)
                    out.push_back({dx, dy});
            }
        return out;
    }();
    return pixels;
}

// Calls `draw` with the pixel of each marked row whose ring reaches the canvas, once a
// pixel: marks far more than pixels (every point of a large survey left unplaced) fall
// on few of them. `centres` notes the pixels drawn.
template <class Draw>
void forEachMark(const GraphViewport& viewport, const PlanGeometry& geometry,
                 std::span<const int> marked, LabelSpace& centres, Draw draw) {
    const PixelMapper map = viewport.mapper();
    const auto points = geometry.points();
    const int reach = static_cast<int>(std::ceil(kMarkOuterRadius));
    const int width = viewport.canvasWidth();
    const int height = viewport.canvasHeight();
    centres.reset(width + 2 * reach, height + 2 * reach);
    for (int row : marked) {
        if (row < 0 || static_cast<size_t>(row) >= points.size())
            continue;
        const PixelPoint p = map(points[row]);
        if (p.x < -reach || p.y < -reach || p.x >= width + reach || p.y >= height + reach)
            continue;
        if (!centres.isFree(p.x + reach, p.y + reach))
            continue;
        centres.occupy({p.x + reach, p.y + reach, p.x + reach + 1, p.y + reach + 1});
        draw(p);
    }
}

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Cuts the line a-b to `r` (Liang-Barsky); false when nothing of it is left.
bool clipLine(QPointF& a, QPointF& b, const QRectF& r) {
    double t0 = 0.0;
    double t1 = 1.0;
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x() - r.left(), r.right() - a.x(), a.y() - r.top(), r.bottom() - a.y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    const QPointF start = a;
    a = QPointF(start.x() + t0 * dx, start.y() + t0 * dy);
    b = QPointF(start.x() + t1 * dx, start.y() + t1 * dy);
    return true;
}

}  // namespace

void RowSelection::assign(int rowCount, const std::vector<int>& rows) {
    m_flags.assign(static_cast<size_t>(std::max(rowCount, 0)), 0);
    for (int r : rows)
        if (r >= 0 && r < rowCount)
            m_flags[r] = 1;
}

void RowSelection::selectRange(int first, int last) {
    first = std::max(first, 0);
    last = std::min(last, static_cast<int>(m_flags.size()) - 1);
    if (first <= last)
        std::fill(m_flags.begin() + first, m_flags.begin() + last + 1, 1);
}

GraphRenderer::GraphRenderer() = default;
GraphRenderer::~GraphRenderer() = default;

void GraphRenderer::setFonts(int dpiY) {
    if (dpiY == m_dpiY)
        return;
    m_dpiY = dpiY;
    m_smallFont = smallFont(dpiY);
    m_largeFont = largeFont(dpiY);
    m_smallHeight = static_cast<int>(std::ceil(QFontMetricsF(m_smallFont).height()));
    m_largeHeight = static_cast<int>(std::ceil(QFontMetricsF(m_largeFont).height()));
    m_smallTexts.clear();
    m_largeTexts.clear();
}

const QStaticText& GraphRenderer::labelText(std::string_view name, bool selected) {
    TextCache& cache = selected ? m_largeTexts : m_smallTexts;
    auto it = cache.find(name);
    if (it != cache.end())
        return it->second;
    if (cache.size() >= kTextCacheLimit)
        cache.clear();
    QStaticText text(toQString(name));
    text.setTextFormat(Qt::PlainText);
    text.prepare(QTransform(), selected ? m_largeFont : m_smallFont);
    return cache.emplace(std::string(name), std::move(text)).first->second;
}

// ---------------------------------------------------------------------------
// Pixels

void GraphRenderer::fill(int x0, int y0, int x1, int y1, QRgb colour) {
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, m_width);
    y1 = std::min(y1, m_height);
    for (int y = y0; y < y1; ++y) {
        auto* line = reinterpret_cast<QRgb*>(m_bits + y * m_stride);
        std::fill(line + x0, line + std::max(x0, x1), colour);
    }
}

// A one-pixel frame along the inside of [x0, x1) x [y0, y1).
void GraphRenderer::frame(int x0, int y0, int x1, int y1, QRgb colour) {
    if (x0 >= x1 || y0 >= y1)
        return;
    fill(x0, y0, x1, y0 + 1, colour);
    fill(x0, y1 - 1, x1, y1, colour);
    fill(x0, y0, x0 + 1, y1, colour);
    fill(x1 - 1, y0, x1, y1, colour);
}

void GraphRenderer::marker(int x, int y, bool selected) {
    const QRgb outline = selected ? kRed : kBlue;
    const QRgb inside = selected ? kRed : kWhite;
    const bool whole = x >= 2 && y >= 2 && x + 2 < m_width && y + 2 < m_height;
    for (int dy = 0; dy < 5; ++dy) {
        const int py = y - 2 + dy;
        if (!whole && (py < 0 || py >= m_height))
            continue;
        auto* line = reinterpret_cast<QRgb*>(m_bits + py * m_stride);
        for (int dx = 0; dx < 5; ++dx) {
            const int px = x - 2 + dx;
            if (!whole && (px < 0 || px >= m_width))
                continue;
            const int bit = 4 - dx;
            if ((kRing[dy] >> bit) & 1)
                line[px] = outline;
            else if ((kInside[dy] >> bit) & 1)
                line[px] = inside;
        }
    }
}

void GraphRenderer::markRings(const GraphViewport& viewport, const PlanGeometry& geometry,
                              std::span<const int> marked) {
    const std::vector<RingPixel>& ring = ringPixels();
    forEachMark(viewport, geometry, marked, m_ringCentres, [&](PixelPoint p) {
        for (const RingPixel& r : ring) {
            const int x = p.x + r.dx;
            const int y = p.y + r.dy;
            if (x >= 0 && y >= 0 && x < m_width && y < m_height && m_space.isFree(x, y))
                reinterpret_cast<QRgb*>(m_bits + y * m_stride)[x] = kMarkRing;
        }
    });
}

// ---------------------------------------------------------------------------
// Points and labels

int GraphRenderer::collectVisible(const GraphViewport& viewport, const PlanGeometry& geometry,
                                  int width, int height) {
    // A repaint of the same points in the same window (a selection, a ring, an expose)
    // maps nothing again.
    const PixelMapper mapper = viewport.mapper();
    const VisibleKey key{&geometry,   geometry.revision(), mapper.k, mapper.minY, mapper.minX,
                         mapper.left, mapper.bottom,       width,    height};
    if (m_visibleKey && *m_visibleKey == key)
        return m_visibleInside;
    m_visibleInside = mapVisible(viewport, geometry, width, height);
    m_visibleKey = key;
    return m_visibleInside;
}

int GraphRenderer::mapVisible(const GraphViewport& viewport, const PlanGeometry& geometry,
                              int width, int height) {
    m_visible.clear();
    m_candidates.clear();
    // Points beyond what 16 bits hold are left out; no canvas comes near that.
    constexpr int kFarthest = std::numeric_limits<int16_t>::max();
    const PixelRect cull{-kCullSide, -kCullTop, std::min(width + kCullSide, kFarthest),
                         std::min(height + kCullBottom, kFarthest)};
    const PixelMapper map = viewport.mapper();
    const auto points = geometry.points();
    int inside = 0;
    auto consider = [&](int row) {
        const PixelPoint p = map(points[row]);
        if (!cull.contains(p))
            return;
        m_visible.push_back({row, static_cast<int16_t>(p.x), static_cast<int16_t>(p.y)});
        if (p.x >= 0 && p.x < width && p.y >= 0 && p.y < height)
            ++inside;
    };
    // The world area of the cull rectangle, a pixel larger for the truncation.
    const WorldPoint topLeft = viewport.PixelToWorld(cull.left - 1, cull.top - 1);
    const WorldPoint bottomRight = viewport.PixelToWorld(cull.right + 1, cull.bottom + 1);
    const WorldWindow area{topLeft.east, bottomRight.east, bottomRight.north, topLeft.north};
    if (geometry.rowsInside(area, m_candidates)) {
        for (int row : m_candidates)
            consider(row);
    } else {
        // In blocks, so that the divisions of the mapping run side by side.
        constexpr int kBlock = 256;
        int xs[kBlock];
        int ys[kBlock];
        m_visible.reserve(points.size());
        const int n = static_cast<int>(points.size());
        for (int first = 0; first < n; first += kBlock) {
            const int count = std::min(kBlock, n - first);
            for (int i = 0; i < count; ++i) {
                // truncatePixel without its branches: positions are never NaN.
                const WorldPoint& p = points[first + i];
                xs[i] = static_cast<int>(std::clamp(map.x(p.east), -1e9, 1e9));
                ys[i] = static_cast<int>(std::clamp(map.y(p.north), -1e9, 1e9));
            }
            for (int i = 0; i < count; ++i) {
                if (!cull.contains({xs[i], ys[i]}))
                    continue;
                m_visible.push_back(
                    {first + i, static_cast<int16_t>(xs[i]), static_cast<int16_t>(ys[i])});
                if (xs[i] >= 0 && xs[i] < width && ys[i] >= 0 && ys[i] < height)
                    ++inside;
            }
        }
    }
    return inside;
}

GraphRenderer::Label GraphRenderer::layoutLabel(const Visible& v, std::string_view name,
                                                bool selected) {
    const int top = v.y - 2 - (selected ? kLargeLift : kSmallLift);
    if (name.empty())
        return Label{v.row, v.x, top, v.x, 0, selected, false};
    const QStaticText& text = labelText(name, selected);
    const int textWidth = static_cast<int>(std::ceil(text.size().width()));
    // Centred in the 105-pixel label box as the system has always drawn it, and cut
    // at the box's sides.
    const int textLeft = v.x - kLabelHalf + (kLabelWidth - textWidth) / 2;
    if (textWidth > kLabelWidth)
        return Label{v.row, textLeft, top, v.x - kLabelHalf, kLabelWidth, selected, true};
    return Label{v.row, textLeft, top, textLeft, textWidth, selected, false};
}

void GraphRenderer::drawLabel(QPainter& painter, const Label& label, std::string_view name) {
    if (name.empty())
        return;
    const int state = label.selected ? 1 : 0;
    if (state != m_fontState) {
        painter.setFont(label.selected ? m_largeFont : m_smallFont);
        painter.setPen(QColor(label.selected ? kRed : kBlue));
        m_fontState = state;
    }
    const QStaticText& text = labelText(name, label.selected);
    if (!label.clipped) {
        painter.drawStaticText(label.textLeft, label.top, text);
        return;
    }
    const int lineHeight = label.selected ? m_largeHeight : m_smallHeight;
    painter.save();
    painter.setClipRect(QRect(label.boxLeft, label.top, label.boxWidth, lineHeight));
    painter.drawStaticText(label.textLeft, label.top, text);
    painter.restore();
}

int GraphRenderer::placeLabels(const PlanGeometry& geometry, const PointTable& table,
                               const RowSelection& selection, int width, int height) {
    // One bit a pixel of the cull rectangle, small enough to stay in the cache.
    const int cw = width + 2 * kCullSide;
    const int ch = height + kCullTop + kCullBottom;
    const size_t words = (static_cast<size_t>(cw) * ch + 63) / 64;
    m_markerTaken.assign(words, 0);
    m_nameTaken.assign(words, 0);
    auto take = [&](std::vector<uint64_t>& bits, const Visible& v) {
        const size_t bit = static_cast<size_t>(v.y + kCullTop) * cw + (v.x + kCullSide);
        const uint64_t mask = uint64_t{1} << (bit % 64);
        uint64_t& word = bits[bit / 64];
        const bool first = !(word & mask);
        word |= mask;
        return first;
    };
    auto inside = [&](const Visible& v) {
        return v.x >= 0 && v.x < width && v.y >= 0 && v.y < height;
    };

    // A later marker on the same pixel covers an earlier one entirely, so only the last
    // point of each pixel needs one; found from the bottom of the table up.
    m_survivors.clear();
    for (int i = static_cast<int>(m_visible.size()) - 1; i >= 0; --i)
        if (take(m_markerTaken, m_visible[i]))
            m_survivors.push_back(i);
    std::reverse(m_survivors.begin(), m_survivors.end());

    // Of the names on one pixel only one can fit: a selected row's first (drawn larger),
    // then a J or Z stake's, which a surveyor finds the line by, then the top row's.
    // One pass: the other names keep the first of each pixel aside, and give way
    // afterwards to a stake's on the same pixel.
    m_nameCandidates.clear();
    m_otherCandidates.clear();
    m_selectedCandidates.clear();
    m_selectedTaken.assign(words, 0);
    m_otherTaken.assign(words, 0);
    int named = 0;
    for (int i = 0; i < static_cast<int>(m_visible.size()); ++i) {
        const Visible& v = m_visible[i];
        if (!inside(v) || !geometry.named(v.row))
            continue;
        ++named;
        if (selection.contains(v.row)) {
            if (take(m_selectedTaken, v))
                m_selectedCandidates.push_back(i);
        } else if (geometry.stake(v.row)) {
            if (take(m_nameTaken, v))
                m_nameCandidates.push_back(i);
        } else if (take(m_otherTaken, v)) {
            m_otherCandidates.push_back(i);
        }
    }
    for (int i : m_otherCandidates)
        if (take(m_nameTaken, m_visible[i]))
            m_nameCandidates.push_back(i);

    // Names where they overlap no other: selected rows first, then from the top.
    m_space.reset(width, height);
    m_labels.clear();
    auto place = [&](const Visible& v, bool selected) {
        const int lineHeight = selected ? m_largeHeight : m_smallHeight;
        const int top = v.y - 2 - (selected ? kLargeLift : kSmallLift);
        // Every label covers the middle of its box, any name of two or more characters
        // at least the five pixels around its point's column: try that before measuring.
        const int reach = geometry.nameLength(v.row) > 1 ? 2 : 0;
        if (!m_space.isFree({v.x - reach, top, v.x + reach + 1, top + lineHeight}))
            return;
        const Label label = layoutLabel(v, table.text(v.row, ColName), selected);
        // A pixel on either side keeps neighbouring names apart.
        const PixelRect box{label.boxLeft - 1, top, label.boxLeft + label.boxWidth + 1,
                            top + lineHeight};
        if (!m_space.isFree(box))
            return;
        m_space.occupy(box);
        m_labels.push_back(label);
    };
    for (int i : m_selectedCandidates)
        place(m_visible[i], true);
    for (int i : m_nameCandidates)
        place(m_visible[i], false);
    return named - static_cast<int>(m_labels.size());
}

// ---------------------------------------------------------------------------
// What both the canvas and the vector drawing paint through a QPainter

void GraphRenderer::drawScaleText(QPainter& painter, const GraphViewport& viewport) {
    const int height = viewport.canvasHeight();
    const double span = viewport.PixelToWorld(100, 0).east - viewport.PixelToWorld(50, 0).east;
    painter.setFont(m_smallFont);
    painter.setPen(QColor(kScaleText));
    m_fontState = -1;
    const QString scale = QString::fromStdString(formatFixed(span, 1)) + QStringLiteral(" m");
    painter.drawText(QRect(30, height - 50, 50, 20),
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip,
                     scale);
}

void GraphRenderer::drawSegments(QPainter& painter, const GraphViewport& viewport,
                                 const PlanGeometry& geometry) {
    const int width = viewport.canvasWidth();
    const int height = viewport.canvasHeight();
    const PixelMapper map = viewport.mapper();
    const auto points = geometry.points();
    const QRectF bounds(-8.0, -8.0, width + 16.0, height + 16.0);
    std::vector<QLineF> lines;
    lines.reserve(geometry.segments().size());
    for (const PlanSegment& s : geometry.segments()) {
        const WorldPoint& a = points[s.start];
        const WorldPoint& b = points[s.end];
        // Through the same pixels as the markers, centred on them.
        QPointF p(std::trunc(map.x(a.east)) + 0.5, std::trunc(map.y(a.north)) + 0.5);
        QPointF q(std::trunc(map.x(b.east)) + 0.5, std::trunc(map.y(b.north)) + 0.5);
        const bool finite = std::isfinite(p.x()) && std::isfinite(p.y()) && std::isfinite(q.x()) &&
                            std::isfinite(q.y());
        if (finite && clipLine(p, q, bounds))
            lines.emplace_back(p, q);
    }
    painter.setPen(
        QPen(QColor(kGreen), kSegmentWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.drawLines(lines.data(), static_cast<int>(lines.size()));
}

// ---------------------------------------------------------------------------
// The vector drawing

DrawingStats GraphRenderer::paint(QPainter& painter, const GraphViewport& viewport,
                                  const PlanGeometry& geometry, const PointTable& table,
                                  const RowSelection& selection, std::span<const int> marked,
                                  int dpiY) {
    const int width = viewport.canvasWidth();
    const int height = viewport.canvasHeight();
    DrawingStats stats;
    if (width == 0 || height == 0)
        return stats;
    setFonts(dpiY);
    m_fontState = -1;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    // The shapes of the canvas, pixel for pixel: a pixel (x, y) is the unit square
    // from (x, y), so a shape centred on it is centred on (x + 0.5, y + 0.5).
    painter.fillRect(QRect(0, 0, width, height), QColor(kWhite));
    painter.setPen(QPen(QColor(kFrame), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(0.5, 0.5, width - 1.0, height - 1.0));

    stats.visiblePoints = collectVisible(viewport, geometry, width, height);
    stats.hiddenLabels = placeLabels(geometry, table, selection, width, height);
    int markerState = -1;  // the painter's pen and brush: 0 ordinary, 1 selected
    auto marker = [&](const Visible& v) {
        const bool selected = selection.contains(v.row);
        if (markerState != static_cast<int>(selected)) {
            // Each change of pen starts a new group in the file: change only when needed.
            painter.setPen(QPen(QColor(selected ? kRed : kBlue), 1));
            painter.setBrush(QColor(selected ? kRed : kWhite));
            markerState = selected;
            m_fontState = -1;
        }
        painter.drawEllipse(QPointF(v.x + 0.5, v.y + 0.5), 2.0, 2.0);
    };
    if (stats.hiddenLabels == 0) {
        for (const Visible& v : m_visible) {
            marker(v);
            const bool selected = selection.contains(v.row);
            const std::string_view name = table.text(v.row, ColName);
            if (!name.empty())
                markerState = -1;  // the label takes the pen
            drawLabel(painter, layoutLabel(v, name, selected), name);
        }
    } else {
        for (int i : m_survivors)
            marker(m_visible[i]);
        m_fontState = -1;  // the markers took the pen
        for (const Label& label : m_labels)
            drawLabel(painter, label, table.text(label.row, ColName));
    }
    painter.setBrush(Qt::NoBrush);

    painter.fillRect(QRect(30, height - 30, 50, 7), QColor(kRed));
    drawScaleText(painter, viewport);
    drawSegments(painter, viewport, geometry);

    // Marks over the points and segments, so that none hides them, but under the names.
    QRegion outsideNames(0, 0, width, height);
    for (const Label& label : m_labels)
        outsideNames -= QRect(label.boxLeft, label.top, label.boxWidth,
                              label.selected ? m_largeHeight : m_smallHeight);
    painter.setClipRegion(outsideNames);
    painter.setPen(QPen(QColor(kMarkRing), kMarkOuterRadius - kMarkInnerRadius));
    constexpr double kMidRadius = (kMarkInnerRadius + kMarkOuterRadius) / 2;
    forEachMark(viewport, geometry, marked, m_ringCentres, [&](PixelPoint p) {
        painter.drawEllipse(QPointF(p.x + 0.5, p.y + 0.5), kMidRadius, kMidRadius);
    });
    painter.restore();
    return stats;
}

// ---------------------------------------------------------------------------
// The frame

DrawingStats GraphRenderer::render(QImage& canvas, const GraphViewport& viewport,
                                   const PlanGeometry& geometry, const PointTable& table,
                                   const RowSelection& selection,
                                   const std::optional<PixelRect>& selectionBox,
                                   std::span<const int> marked) {
    const int width = viewport.canvasWidth();
    const int height = viewport.canvasHeight();
    if (canvas.width() != width || canvas.height() != height ||
        canvas.format() != QImage::Format_RGB32) {
        QImage fresh(width, height, QImage::Format_RGB32);
        if (!canvas.isNull()) {
            fresh.setDotsPerMeterX(canvas.dotsPerMeterX());
            fresh.setDotsPerMeterY(canvas.dotsPerMeterY());
        }
        canvas = fresh;
    }
    DrawingStats stats;
    if (width == 0 || height == 0)
        return stats;
    setFonts(canvas.logicalDpiY());
    m_bits = canvas.bits();
    m_stride = canvas.bytesPerLine();
    m_width = width;
    m_height = height;

    // White canvas outlined in black, then the grey frame along its edge.
    fill(0, 0, width, height, kWhite);
    frame(0, 0, width, height, kBlack);
    frame(0, 0, width, height, kFrame);
    QPainter painter(&canvas);
    m_fontState = -1;
    stats.visiblePoints = collectVisible(viewport, geometry, width, height);
    stats.hiddenLabels = placeLabels(geometry, table, selection, width, height);
    if (stats.hiddenLabels == 0) {
        // Every name fits: each point and then its name, from the top of the table.
        for (const Visible& v : m_visible) {
            const bool selected = selection.contains(v.row);
            marker(v.x, v.y, selected);
            const std::string_view name = table.text(v.row, ColName);
            drawLabel(painter, layoutLabel(v, name, selected), name);
        }
    } else {
        // Crowded: the points, then the names that fit on top of them.
        for (int i : m_survivors)
            marker(m_visible[i].x, m_visible[i].y, selection.contains(m_visible[i].row));
        for (const Label& label : m_labels)
            drawLabel(painter, label, table.text(label.row, ColName));
    }

    // Scale bar: what 50 pixels span, in a style of its own.
    fill(30, height - 30, 80, height - 23, kRed);
    drawScaleText(painter, viewport);
    drawSegments(painter, viewport, geometry);
    painter.end();

    // Marks over the points and segments, so that none hides them, but under the names.
    markRings(viewport, geometry, marked);

    if (selectionBox) {
        const PixelRect& b = *selectionBox;
        frame(std::min(b.left, b.right), std::min(b.top, b.bottom), std::max(b.left, b.right),
              std::max(b.top, b.bottom), kBlue);
    }
    m_bits = nullptr;
    return stats;
}

}  // namespace corvane
