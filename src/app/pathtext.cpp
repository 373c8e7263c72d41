#include "pathtext.h"

#include <QDir>
#include <QFile>

namespace corvane {

std::string localPath(const QString& path) {
#ifdef Q_OS_WIN
    return path.toStdString();
#else
    return QFile::encodeName(path).toStdString();
#endif
}

QString shownPath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

}  // namespace corvane
