#pragma once

#include <cmath>
#include <span>
#include <vector>

namespace corvane {

/// A pixel of the drawing area: origin at its top-left corner, x right, y down.
struct PixelPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

/// Pixels from left/top (inclusive) to right/bottom (exclusive), as the window system
/// gives rectangles. Not normalised: a rectangle whose right lies left of its left
/// contains nothing.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool contains(PixelPoint p) const {
        return left <= p.x && p.x < right && top <= p.y && p.y < bottom;
    }
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

/// A position in the plane in metres: north X (column 1) and east Y (column 2).
struct WorldPoint {
    double north = 0.0;
    double east = 0.0;
};

/// A part of the plane: east from minY to maxY, north from minX to maxX.
struct WorldWindow {
    double minY = 0.0;
    double maxY = 0.0;
    double minX = 0.0;
    double maxX = 0.0;

    double width() const { return maxY - minY; }
    double height() const { return maxX - minX; }
};

/// A pixel coordinate truncated towards zero, held within +-1e9 so that far-away
/// points stay representable.
inline int truncatePixel(double v) {
    constexpr double kLimit = 1e9;
    if (!(v > -kLimit))  // also NaN
        return static_cast<int>(-kLimit);
    return static_cast<int>(v < kLimit ? v : kLimit);
}

/// World to pixel with the scale worked out once, for loops over many points.
struct PixelMapper {
    double k = 1.0;
    double minY = 0.0;
    double minX = 0.0;
    int left = 0;
    int bottom = 0;

    /// The pixel position before truncation.
    double x(double east) const { return (east - minY) / k + left; }
    double y(double north) const { return bottom - (north - minX) / k; }
    PixelPoint operator()(const WorldPoint& p) const {
        return {truncatePixel(x(p.east)), truncatePixel(y(p.north))};
    }
};

/// The maths of the plan view: which part of the plane the drawing shows and how a
/// world position maps to a pixel and back, north up and east right at k metres per
/// pixel on both axes. Fit, zoom and pan change the window; pick and box find points.
///
/// The mapping keeps the drawing's historic quirks on purpose: k is taken from the
/// east range alone and the top of the window (maxX) never enters the mapping.
class GraphViewport {
public:
    /// Pixels kept free around the drawing rectangle on every side.
    static constexpr int kMargin = 15;
    /// A double-click picks points strictly closer than this many pixels.
    static constexpr int kPickRadius = 10;
    /// Zooming stops at these scales, long before the arithmetic degrades.
    static constexpr double kMinMetresPerPixel = 1e-4;
    static constexpr double kMaxMetresPerPixel = 1e6;

    /// Sets the canvas size; the drawing rectangle is the canvas shrunk by the margin.
    /// The world window stays, so the scale follows the width.
    void setCanvasSize(int width, int height);
    int canvasWidth() const { return m_canvasWidth; }
    int canvasHeight() const { return m_canvasHeight; }
    const PixelRect& drawRect() const { return m_rcDraw; }

    /// False until the first paint or a fit gave the window its place.
    bool hasWindow() const { return m_hasWindow; }
    /// The window of the first paint: one metre per pixel with the origin in the middle.
    void initialiseWindow();
    const WorldWindow& window() const { return m_window; }
    void setWindow(const WorldWindow& window);

    /// k: metres per pixel on both axes. A window or a drawing rectangle without width
    /// counts as one metre per pixel instead of dividing by zero.
    double metresPerPixel() const {
        const int w = m_rcDraw.width();
        const double k = m_window.width() / (w > 0 ? w : 1);
        return k > 0.0 && std::isfinite(k) ? k : 1.0;
    }

    /// The pixel of a world position, each coordinate truncated towards zero.
    PixelPoint WorldToPixel(double north, double east) const { return mapper()({north, east}); }
    PixelPoint WorldToPixel(const WorldPoint& p) const { return WorldToPixel(p.north, p.east); }
    PixelMapper mapper() const {
        return {metresPerPixel(), m_window.minY, m_window.minX, m_rcDraw.left, m_rcDraw.bottom};
    }
    /// The world position shown at a (possibly fractional) pixel position.
    WorldPoint PixelToWorld(double x, double y) const;

    /// Shows all of `bounds` (the points' extent) with the larger spread filling the
    /// drawing rectangle and the other centred. Points without spread in either
    /// direction are centred at one metre per pixel.
    void fit(const WorldWindow& bounds);
    /// One wheel step: the window shrinks to 75 % or grows to 150 % about its centre.
    void zoomIn();
    void zoomOut();
    /// The drawing follows a mouse move of (dx, dy) pixels.
    void pan(int dx, int dy);
    /// When `p` lies outside the drawing rectangle (less `margin` pixels on each side),
    /// pans at the same scale to put it in the middle. False when it was in view.
    bool bringIntoView(const WorldPoint& p, int margin);

    /// The first of `points` (from the top of the table) whose pixel lies strictly
    /// less than kPickRadius pixels from `click`, or -1.
    int pick(std::span<const WorldPoint> points, PixelPoint click) const;
    /// The indices, ascending, of `points` whose pixels lie in `box`.
    std::vector<int> pointsInBox(std::span<const WorldPoint> points, const PixelRect& box) const;

private:
    int m_canvasWidth = 0;
    int m_canvasHeight = 0;
    PixelRect m_rcDraw;
    WorldWindow m_window;
    bool m_hasWindow = false;
};

}  // namespace corvane
