#pragma once

#include <QImage>
#include <QString>
#include <QStringList>
#include <functional>

class QPainter;
class QSize;

namespace corvane {

/// How a drawing is put into a file: painted as vector shapes, or rendered as a picture.
struct DrawingOutput {
    QString title;                               // the SVG's title
    int dpi = 0;                                 // the SVG's resolution; 0 leaves Qt's
    std::function<void(QPainter&)> paintVector;  // paints onto the SVG
    std::function<QImage()> renderImage;         // the PNG's picture
};

/// The file types this build writes, by suffix: "png", and "svg" where Qt has its Svg
/// module (the Windows build does not).
QStringList drawingFileSuffixes();

/// Writes a drawing of `size` pixels to `path`: SVG when the name ends in ".svg" and
/// the build writes SVG, PNG otherwise. The file is written whole or not at all (an old one stays
/// as it was); on failure `error`, when given, receives a message for the user.
bool exportDrawing(const QString& path, const QSize& size, const DrawingOutput& output,
                   QString* error);

}  // namespace corvane
