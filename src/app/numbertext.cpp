#include "numbertext.h"

#include <charconv>
#include <cmath>

#include "cellnumber.h"

namespace corvane {

QString formatFieldNumber(double value) {
    char buffer[64];
    auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    if (ec != std::errc())
        return QString();
    return QString::fromLatin1(buffer, end - buffer);
}

std::optional<double> parseFieldNumber(const QString& text) {
    std::string utf8 = text.toStdString();
    if (!startsWithNumber(utf8))
        return std::nullopt;
    double value = readNumber(utf8);
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

}  // namespace corvane
