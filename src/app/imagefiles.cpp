#include "imagefiles.h"

#include <QFileInfo>

#include "drawingexport.h"
#include "filedialogs.h"
#include "messagebox.h"

namespace corvane {

QString askImageFile(QWidget* parent, const QString& title) {
    // Only the types this build writes are offered.
    const QStringList suffixes = drawingFileSuffixes();
    QStringList filters;
    for (const QString& suffix : suffixes)
        filters << (suffix == QLatin1String("svg") ? QStringLiteral("SVG 矢量图(*.svg)")
                                                   : QStringLiteral("PNG 图片(*.png)"));
    const std::optional<FileChoice> choice =
        askFile(parent, QFileDialog::AcceptSave, title, filters, 1);
    if (!choice)
        return QString();
    QString path = choice->path;
    // The drawings are written by the extension; without one the type chosen decides.
    if (!suffixes.contains(QFileInfo(path).suffix(), Qt::CaseInsensitive))
        path += QLatin1Char('.') + suffixes.value(choice->filter - 1, suffixes.first());
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
