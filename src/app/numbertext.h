#pragma once

#include <QString>

#include <optional>

namespace corvane {

/// A number as a field shows it: up to 15 significant digits, shortest form, "."
/// whatever the locale (2 for 2.0, 2.5 for 2.5).
QString formatFieldNumber(double value);

/// The number a field's text begins with (after white space; "2.5 m" reads 2.5), or
/// nothing when the text does not begin with a number.
std::optional<double> parseFieldNumber(const QString& text);

}  // namespace corvane
