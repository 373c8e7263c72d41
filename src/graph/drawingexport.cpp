#include "drawingexport.h"

#include <QFileInfo>
#include <QPainter>
#include <QSaveFile>
#include <QSize>
#include <QSvgGenerator>

namespace corvane {

bool exportDrawing(const QString& path, const QSize& size, const DrawingOutput& output,
                   QString* error) {
    const bool svgFile =
        QFileInfo(path).suffix().compare(QStringLiteral("svg"), Qt::CaseInsensitive) == 0;
    // QSaveFile writes a temporary file and renames it only when everything went.
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok && svgFile) {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        if (output.dpi > 0)
            svg.setResolution(output.dpi);
        svg.setTitle(output.title);
        QPainter painter;
        ok = painter.begin(&svg);
        if (ok) {
            output.paintVector(painter);
            ok = painter.end();
        }
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
