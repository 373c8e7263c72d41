#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace corvane {

/// Asks where to write a picture of a drawing, offering PNG and SVG. A name without
/// either extension gets the one of the type chosen. Empty when cancelled.
QString askImageFile(QWidget* parent, const QString& title);

/// Writes a drawing as a picture: to `path`, or where askImageFile says when `path` is
/// empty, through `write` (which returns false and a message on failure). A failure is
/// shown in a message box. Returns the path written, or an empty one.
QString exportPicture(QWidget* parent, const QString& title, QString path,
                      const std::function<bool(const QString& path, QString* error)>& write);

}  // namespace corvane
