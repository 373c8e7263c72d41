#pragma once

#include <QRectF>
#include <QSize>

#include <span>
#include <utility>
#include <vector>

#include "profiledata.h"
#include "profileviewport.h"

class QFont;
class QPainter;
class QPainterPath;

namespace corvane {

class PointTable;

/// Paints one frame of the longitudinal section as the viewport maps it: the plot's
/// grid, frame and axes, the ground line, the stakes, crossed lines, houses and
/// objects, and the rows selected in the table with their names on top. Holds the
/// frame's inputs only while it paints; the view keeps the zoom, pan and selection.
class ProfileRenderer {
public:
    ProfileRenderer(const ProfileData& data, const ProfileViewport& viewport);

    /// Paints onto a device of `size`. `selectedRows` is sorted; their names come from
    /// `table`.
    void paint(QPainter& painter, QSize size, const PointTable& table,
               std::span<const int> selectedRows) const;

private:
    void drawGridAndFrame(QPainter& painter, const std::vector<double>& distanceTicks,
                          const std::vector<double>& elevationTicks) const;
    void drawDistanceAxis(QPainter& painter, const std::vector<double>& ticks) const;
    void drawElevationAxis(QPainter& painter, const std::vector<double>& ticks) const;
    void drawAxisCaption(QPainter& painter) const;

    QPainterPath groundPath() const;
    void drawGround(QPainter& painter) const;

    std::pair<size_t, size_t> visibleRange(double pixels) const;
    static std::span<const int> within(const std::vector<int>& subset, size_t first, size_t last);
    void drawPoints(QPainter& painter) const;
    void drawPoint(QPainter& painter, const ProfilePoint& p, bool labelled) const;
    bool labelsHaveRoom() const;
    void drawJStakes(QPainter& painter, std::span<const int> selectedRows) const;
    void drawZStake(QPainter& painter, const ProfilePoint& p, bool labelled) const;
    void drawCrossedLine(QPainter& painter, const ProfilePoint& p, bool labelled) const;
    void drawHouse(QPainter& painter, const ProfilePoint& p) const;
    void drawObject(QPainter& painter, const ProfilePoint& p) const;

    void drawSelection(QPainter& painter, const PointTable& table,
                       std::span<const int> selectedRows) const;
    void drawNoPointsMessage(QPainter& painter) const;

    const ProfileData& m_data;
    const ProfileViewport& m_viewport;
    QRectF m_plot;
    mutable const PointTable* m_table = nullptr;  // while it paints: the labels' texts
};

}  // namespace corvane
