#include "cursorposition.h"

#include <cmath>
#include <optional>

#include "crs.h"
#include "crschooser.h"

namespace corvane {

struct CursorPositionText::Parts {
    std::optional<CrsTransform> toWgs84;
};

CursorPositionText::CursorPositionText() : m_parts(std::make_unique<Parts>()) {}
CursorPositionText::~CursorPositionText() = default;

void CursorPositionText::setCoordinateSystem(const QString& text) {
    m_parts->toWgs84.reset();
    if (text.trimmed().isEmpty())
        return;
    Result<Crs> crs = Crs::fromUserText(text.toStdString());
    if (!crs)
        return;
    Result<CrsTransform> transform = CrsTransform::create(crs.value(), Crs::wgs84());
    if (transform)
        m_parts->toWgs84.emplace(std::move(transform.value()));
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
