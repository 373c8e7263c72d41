#include "imagefiles.h"

#include <QFileDialog>
#include <QFileInfo>

#include "messagebox.h"

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

QString exportPicture(QWidget* parent, const QString& title, QString path,
                      const std::function<bool(const QString& path, QString* error)>& write) {
    if (path.isEmpty())
        path = askImageFile(parent, title);
    if (path.isEmpty())
        return path;
    QString error;
    if (!write(path, &error)) {
        showError(parent, error);
        return QString();
    }
    return path;
}

}  // namespace corvane
