#include "drawingexport.h"

#include <QFileInfo>
#include <QPainter>
#include <QSaveFile>
#include <QSize>
#if CORVANE_SVG
#include <QSvgGenerator>
#endif

namespace corvane {
namespace {

bool writeSvg(QIODevice& file, const QSize& size, const DrawingOutput& output) {
#if CORVANE_SVG
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    if (output.dpi > 0)
        svg.setResolution(output.dpi);
    svg.setTitle(output.title);
    QPainter painter;
    if (!painter.begin(&svg))
        return false;
    output.paintVector(painter);
    return painter.end();
#else
    Q_UNUSED(file);
    Q_UNUSED(size);
    Q_UNUSED(output);
    return false;
#endif
}

}  // namespace

QStringList drawingFileSuffixes() {
    QStringList suffixes{QStringLiteral("png")};
    if (CORVANE_SVG)
        suffixes << QStringLiteral("svg");
    return suffixes;
}

bool exportDrawing(const QString& path, const QSize& size, const DrawingOutput& output,
                   QString* error) {
    const bool svgFile = CORVANE_SVG && QFileInfo(path).suffix().compare(QStringLiteral("svg"),
                                                                         Qt::CaseInsensitive) == 0;
    // QSaveFile writes a temporary file and renames it only when everything went.
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok && svgFile) {
        ok = writeSvg(file, size, output);
    } else if (ok) {
        ok = output.renderImage().save(&file, "PNG");
    }
    ok = ok && file.commit();
    if (!ok) {
        file.cancelWriting();
        if (error)
            *error = QStringLiteral("无法写入文件“%1”：%2").arg(path, file.errorString());
    }
    return ok;
}

}  // namespace corvane
