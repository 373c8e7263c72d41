#include "graphviewport.h"

#include <algorithm>
#include <cstdint>

namespace corvane {

void GraphViewport::setCanvasSize(int width, int height) {
    m_canvasWidth = std::max(0, width);
    m_canvasHeight = std::max(0, height);
    m_rcDraw = {kMargin, kMargin, m_canvasWidth - kMargin, m_canvasHeight - kMargin};
}

void GraphViewport::initialiseWindow() {
    // Integer halves as the first paint has always used them; a drawing rectangle
    // narrower than two pixels still gets a window with width.
    const int halfW = std::max(m_rcDraw.width() / 2, 1);
    const int halfH = std::max(m_rcDraw.height() / 2, 1);
    m_window = {-static_cast<double>(halfW), static_cast<double>(halfW),
                -static_cast<double>(halfH), static_cast<double>(halfH)};
    m_hasWindow = true;
}

void GraphViewport::setWindow(const WorldWindow& window) {
    m_window = window;
    m_hasWindow = true;
}

WorldPoint GraphViewport::PixelToWorld(double x, double y) const {
    const double k = metresPerPixel();
    return {m_window.minX + (m_rcDraw.bottom - y) * k, m_window.minY + (x - m_rcDraw.left) * k};
}

void GraphViewport::fit(const WorldWindow& bounds) {
    const int w = std::max(m_rcDraw.width(), 1);
    const int h = std::max(m_rcDraw.height(), 1);
    double k = std::max(bounds.width() / w, bounds.height() / h);
    if (!(k > 0.0) || !std::isfinite(k))
        k = 1.0;  // one point, or points sharing one position
    k = std::clamp(k, kMinMetresPerPixel, kMaxMetresPerPixel);

    WorldWindow win{bounds.minY, bounds.minY + k * w, bounds.minX, bounds.minX + k * h};
    const double sY = (bounds.minY + bounds.maxY) / 2 - (win.minY + win.maxY) / 2;
    const double sX = (bounds.minX + bounds.maxX) / 2 - (win.minX + win.maxX) / 2;
    win.minY += sY;
    win.maxY += sY;
    win.minX += sX;
    win.maxX += sX;
    setWindow(win);
}

void GraphViewport::zoomIn() {
    if (metresPerPixel() * 0.75 < kMinMetresPerPixel)
        return;
    const double w = m_window.width();
    const double h = m_window.height();
    m_window.minY += 0.125 * w;
    m_window.maxY -= 0.125 * w;
    m_window.minX += 0.125 * h;
    m_window.maxX -= 0.125 * h;
}

void GraphViewport::zoomOut() {
    if (metresPerPixel() * 1.5 > kMaxMetresPerPixel)
        return;
    const double w = m_window.width();
    const double h = m_window.height();
    m_window.minY -= 0.25 * w;
    m_window.maxY += 0.25 * w;
    m_window.minX -= 0.25 * h;
    m_window.maxX += 0.25 * h;
}

void GraphViewport::pan(int dx, int dy) {
    const double k = metresPerPixel();
    m_window.minY -= k * dx;
    m_window.maxY -= k * dx;
    m_window.minX += k * dy;
    m_window.maxX += k * dy;
}

bool GraphViewport::bringIntoView(const WorldPoint& p, int margin) {
    const PixelRect& r = m_rcDraw;
    if (r.width() <= 2 * margin || r.height() <= 2 * margin)
        return false;
    const PixelPoint q = WorldToPixel(p);
    if (q.x >= r.left + margin && q.x < r.right - margin && q.y >= r.top + margin &&
        q.y < r.bottom - margin)
        return false;
    pan((r.left + r.right) / 2 - q.x, (r.top + r.bottom) / 2 - q.y);
    return true;
}

int GraphViewport::pick(std::span<const WorldPoint> points, PixelPoint click) const {
    constexpr int64_t kRadius2 = int64_t{kPickRadius} * kPickRadius;
    for (size_t i = 0; i < points.size(); ++i) {
        const PixelPoint p = WorldToPixel(points[i]);
        const int64_t dx = int64_t{click.x} - p.x;
        const int64_t dy = int64_t{click.y} - p.y;
        // Comparing squares is exact where the root of an integer is compared with 10.
        if (dx * dx + dy * dy < kRadius2)
            return static_cast<int>(i);
    }
    return -1;
}

std::vector<int> GraphViewport::pointsInBox(std::span<const WorldPoint> points,
                                            const PixelRect& box) const {
    std::vector<int> rows;
    if (box.width() <= 0 || box.height() <= 0)
        return rows;
    for (size_t i = 0; i < points.size(); ++i)
        if (box.contains(WorldToPixel(points[i])))
            rows.push_back(static_cast<int>(i));
    return rows;
}

}  // namespace corvane
