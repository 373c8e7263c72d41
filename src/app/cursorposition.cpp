#include "cursorposition.h"

#include <cmath>
#include <optional>

#include "crschooser.h"
#include "geolayer.h"
#include "geolayerloader.h"

namespace corvane {

struct CursorPositionText::Parts {
    std::unique_ptr<PointTransform> toWgs84;
};

CursorPositionText::CursorPositionText() : m_parts(std::make_unique<Parts>()) {}
CursorPositionText::~CursorPositionText() = default;

void CursorPositionText::setCoordinateSystem(const QString& text) {
    m_parts->toWgs84.reset();
    if (text.trimmed().isEmpty())
        return;
    const GeoLayer* geo = geoLayer();
    if (geo == nullptr)
        return;
    Result<Crs> crs = geo->crsFromUserText(text.toStdString());
    if (!crs)
        return;
    Result<std::unique_ptr<PointTransform>> transform = geo->toWgs84(crs.value());
    if (transform)
        m_parts->toWgs84 = std::move(transform.value());
}

QString CursorPositionText::textFor(double north, double east) const {
    if (!std::isfinite(north) || !std::isfinite(east))
        return {};
    QString text = QStringLiteral("X=%1  Y=%2").arg(north, 0, 'f', 3).arg(east, 0, 'f', 3);
    double lat = north;
    double lon = east;
    if (m_parts->toWgs84 && m_parts->toWgs84->apply(lat, lon))
        text += QStringLiteral("  ") + degreesMinutesSeconds(lat, true) + QLatin1Char(' ') +
                degreesMinutesSeconds(lon, false);
    return text;
}

}  // namespace corvane
