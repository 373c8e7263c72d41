#include "appicons.h"

namespace corvane {

QIcon appIcon(const QString& name) {
#if CORVANE_SVG_ICONS
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(name));
#else
    QIcon icon;
    for (int size : {16, 32, 64})
        icon.addFile(QStringLiteral(":/icons/%1-%2.png").arg(name).arg(size), QSize(size, size));
    return icon;
#endif
}

}  // namespace corvane
