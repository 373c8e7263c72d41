#include "imagefiles.h"

#include <QFileInfo>

#include "filedialogs.h"
#include "messagebox.h"

namespace corvane {

QString askImageFile(QWidget* parent, const QString& title) {
    const QString png = QStringLiteral("PNG 图片(*.png)");
    const QString svg = QStringLiteral("SVG 矢量图(*.svg)");
    const std::optional<FileChoice> choice =
        askFile(parent, QFileDialog::AcceptSave, title, {png, svg}, 1);
    if (!choice)
        return QString();
    QString path = choice->path;
    const QString suffix = QFileInfo(path).suffix();
    // The drawings are written by the extension; without one the type chosen decides.
    if (suffix.compare(QStringLiteral("png"), Qt::CaseInsensitive) != 0 &&
        suffix.compare(QStringLiteral("svg"), Qt::CaseInsensitive) != 0)
        path += choice->filter == 2 ? QStringLiteral(".svg") : QStringLiteral(".png");
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
