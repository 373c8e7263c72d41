#pragma once

#include <QFont>
#include <QImage>
#include <QStaticText>

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "graphviewport.h"
#include "labelspace.h"

class QPainter;

namespace corvane {

class PlanGeometry;
class PointTable;

/// The rows selected in the table, as the drawing asks about them.
class RowSelection {
public:
    /// `rows` may be unsorted and hold duplicates or rows outside [0, rowCount).
    void assign(int rowCount, const std::vector<int>& rows);
    /// Adds rows first to last, as far as they exist.
    void selectRange(int first, int last);
    bool contains(int row) const {
        return row >= 0 && static_cast<size_t>(row) < m_flags.size() && m_flags[row];
    }

private:
    std::vector<uint8_t> m_flags;
};

/// What one frame showed.
struct DrawingStats {
    int visiblePoints = 0;  // points inside the canvas
    int hiddenLabels = 0;   // visible points drawn without their name
};

/// Paints the plan into an off-screen canvas: the white canvas and its frame, every
/// row as a small circle with its name above it (selected rows red and larger), the
/// scale bar, the segments in green over the points, a red ring around each marked
/// row on top of everything, and the box of a Ctrl drag.
///
/// Work that a frame would repeat is kept between frames: prepared label texts, and
/// scratch buffers. Points outside the canvas are culled, through the geometry's grid
/// when few of them are shown. When every name fits without overlapping another, all
/// are drawn; when not, every point is still drawn but names go only where they
/// overlap no other name, selected rows first, and the frame says how many are hidden.
class GraphRenderer {
public:
    GraphRenderer();
    ~GraphRenderer();

    /// Draws the frame into `canvas`, which takes the viewport's canvas size and
    /// keeps its dots per inch (the label fonts follow them). `marked` rows (any order,
    /// rows that do not exist ignored) get a ring whatever the zoom and the crowding.
    DrawingStats render(QImage& canvas, const GraphViewport& viewport, const PlanGeometry& geometry,
                        const PointTable& table, const RowSelection& selection,
                        const std::optional<PixelRect>& selectionBox = std::nullopt,
                        std::span<const int> marked = {});
    /// The same drawing as shapes and text through `painter` (an SVG file), for a
    /// device of `dpiY` dots per inch: markers, names, scale, segments and rings.
    DrawingStats paint(QPainter& painter, const GraphViewport& viewport,
                       const PlanGeometry& geometry, const PointTable& table,
                       const RowSelection& selection, std::span<const int> marked, int dpiY);

private:
    // A million of these at a fitted view: pixel positions of a canvas fit in 16 bits.
    struct Visible {
        int row;
        int16_t x;
        int16_t y;
    };
    struct Label {
        int row;
        int textLeft;  // where the text starts; left of boxLeft when it is cut
        int top;
        int boxLeft;  // the part of the label that shows
        int boxWidth;
        bool selected;
        bool clipped;
    };
    struct NameHash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    using TextCache = std::unordered_map<std::string, QStaticText, NameHash, std::equal_to<>>;

    void setFonts(int dpiY);
    const QStaticText& labelText(std::string_view name, bool selected);
    /// Fills m_visible with the points near enough the canvas to draw; returns how many
    /// lie on it. Kept while the geometry and the mapping stay the same.
    int collectVisible(const GraphViewport& viewport, const PlanGeometry& geometry, int width,
                       int height);
    int mapVisible(const GraphViewport& viewport, const PlanGeometry& geometry, int width,
                   int height);
    Label layoutLabel(const Visible& v, std::string_view name, bool selected);
    void drawLabel(QPainter& painter, const Label& label, std::string_view name);
    /// Finds the markers to draw and the names that fit; returns how many names of
    /// points in the canvas do not.
    int placeLabels(const PlanGeometry& geometry, const PointTable& table,
                    const RowSelection& selection, int width, int height);

    int m_dpiY = 0;
    QFont m_smallFont;
    QFont m_largeFont;
    int m_smallHeight = 0;
    int m_largeHeight = 0;
    TextCache m_smallTexts;
    TextCache m_largeTexts;
    int m_fontState = -1;  // which font and colour the painter holds: 0 small, 1 large

    uchar* m_bits = nullptr;
    qsizetype m_stride = 0;
    int m_width = 0;
    int m_height = 0;

    std::vector<int> m_candidates;
    std::vector<Visible> m_visible;
    struct VisibleKey {
        const PlanGeometry* geometry;
        uint64_t revision;
        double k, minY, minX;
        int left, bottom, width, height;
        friend bool operator==(const VisibleKey&, const VisibleKey&) = default;
    };
    std::optional<VisibleKey> m_visibleKey;  // what m_visible was mapped from
    int m_visibleInside = 0;
    std::vector<uint64_t> m_markerTaken;    // pixels whose marker is decided
    std::vector<uint64_t> m_nameTaken;      // pixels whose top name is found
    std::vector<uint64_t> m_selectedTaken;  // the same for selected rows
    std::vector<uint64_t> m_otherTaken;     // and for names of neither kind
    std::vector<int> m_otherCandidates;     // indices into m_visible
    std::vector<int> m_survivors;           // indices into m_visible
    std::vector<int> m_nameCandidates;      // indices into m_visible
    std::vector<int> m_selectedCandidates;  // the same for selected rows
    std::vector<Label> m_labels;
    LabelSpace m_space;
    LabelSpace m_ringCentres;  // the centres of the rings drawn, the canvas and its margin

    // Pixel writes straight into the canvas, clipped to it.
    void fill(int x0, int y0, int x1, int y1, QRgb colour);
    void frame(int x0, int y0, int x1, int y1, QRgb colour);
    void marker(int x, int y, bool selected);
    void drawScaleText(QPainter& painter, const GraphViewport& viewport);
    void drawSegments(QPainter& painter, const GraphViewport& viewport,
                      const PlanGeometry& geometry);
    void markRings(const GraphViewport& viewport, const PlanGeometry& geometry,
                   std::span<const int> marked);
};

}  // namespace corvane
