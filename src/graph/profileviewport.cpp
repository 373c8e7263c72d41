#include "profileviewport.h"

#include <algorithm>
#include <cmath>

namespace corvane {

void ProfileViewport::setSize(int width, int height) {
    m_width = std::max(width, 1);
    m_height = std::max(height, 1);
}

int ProfileViewport::plotWidth() const {
    return std::max(m_width - kLeftMargin - kRightMargin, 1);
}

int ProfileViewport::plotHeight() const {
    return std::max(m_height - kTopMargin - kBottomMargin, 1);
}

int ProfileViewport::dataHeight() const {
    const int plot = plotHeight();
    // A very low plot keeps at least half of itself for the data.
    return std::max(plot - kLabelBand, std::max(plot / 2, 1));
}

void ProfileViewport::fit(double minDistance, double maxDistance, double minElevation,
                          double maxElevation) {
    const double xRange = maxDistance - minDistance;
    const double yRange = maxElevation - minElevation;
    m_kx = xRange > 0.0 ? xRange / plotWidth() : 1.0;
    if (!m_exaggerationChosen) {
        m_exaggeration =
            yRange > 0.0 ? std::clamp(m_kx * dataHeight() / yRange, 1.0, 1000.0) : 10.0;
    }
    m_x0 = xRange > 0.0 ? minDistance : minDistance - plotWidth() * m_kx / 2.0;
    const double ky = verticalMetresPerPixel();
    m_y0 = (minElevation + maxElevation) / 2.0 - dataHeight() * ky / 2.0;
}

void ProfileViewport::setExaggeration(double exaggeration) {
    if (!std::isfinite(exaggeration))
        return;
    const double centre = m_y0 + plotHeight() * verticalMetresPerPixel() / 2.0;
    m_exaggeration = std::clamp(exaggeration, 1.0, 1000.0);
    m_exaggerationChosen = true;
    m_y0 = centre - plotHeight() * verticalMetresPerPixel() / 2.0;
}

ProfileViewport::Point ProfileViewport::toPixel(double distance, double elevation) const {
    return {kLeftMargin + (distance - m_x0) / m_kx,
            kTopMargin + plotHeight() - (elevation - m_y0) / verticalMetresPerPixel()};
}

ProfileViewport::Point ProfileViewport::toWorld(double x, double y) const {
    return {m_x0 + (x - kLeftMargin) * m_kx,
            m_y0 + (kTopMargin + plotHeight() - y) * verticalMetresPerPixel()};
}

void ProfileViewport::pan(double dx, double dy) {
    m_x0 -= dx * m_kx;
    m_y0 += dy * verticalMetresPerPixel();
}

void ProfileViewport::zoom(double factor) {
    if (!(factor > 0.0) || !std::isfinite(factor))
        return;
    const double cx = m_x0 + plotWidth() * m_kx / 2.0;
    const double cy = m_y0 + plotHeight() * verticalMetresPerPixel() / 2.0;
    m_kx *= factor;
    m_x0 = cx - plotWidth() * m_kx / 2.0;
    m_y0 = cy - plotHeight() * verticalMetresPerPixel() / 2.0;
}

}  // namespace corvane
