#include "imagefiles.h"

#include <QFileDialog>
#include <QFileInfo>

namespace corvane {

QString askImageFile(QWidget* parent, const QString& title) {
    const QString png = QStringLiteral("PNG 图片(*.png)");
    const QString svg = QStringLiteral("SVG 矢量图(*.svg)");
    QString chosen = png;
    QString path = QFileDialog::getSaveFileName(parent, title, QString(),
                                                png + QStringLiteral(";;") + svg, &chosen);
    if (path.isEmpty())
        return path;
    const QString suffix = QFileInfo(path).suffix();
    // The drawings are written by the extension; without one the type chosen decides.
    if (suffix.compare(QStringLiteral("png"), Qt::CaseInsensitive) != 0 &&
        suffix.compare(QStringLiteral("svg"), Qt::CaseInsensitive) != 0)
        path += chosen == svg ? QStringLiteral(".svg") : QStringLiteral(".png");
    return path;
}

}  // namespace corvane
