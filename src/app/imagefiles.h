#pragma once

#include <QString>

class QWidget;

namespace corvane {

/// Asks where to write a picture of a drawing, offering PNG and SVG. A name without
/// either extension gets the one of the type chosen. Empty when cancelled.
QString askImageFile(QWidget* parent, const QString& title);

}  // namespace corvane
