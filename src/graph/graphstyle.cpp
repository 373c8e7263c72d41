#include "graphstyle.h"

#include <QString>

#include <algorithm>

namespace corvane::graphstyle {
namespace {

QFont arial(int tenthsOfPoint, int dpiY) {
    // Registered once, before the first label font is made.
    static const bool substituted = [] {
        QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
        return true;
    }();
    (void)substituted;
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(std::max(1, (dpiY * tenthsOfPoint + 360) / 720));
    return font;
}

}  // namespace

QFont smallFont(int dpiY) {
    return arial(88, dpiY);
}

QFont largeFont(int dpiY) {
    return arial(128, dpiY);
}

}  // namespace corvane::graphstyle
