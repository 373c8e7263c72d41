#include <QApplication>

#include "mainframe.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quennell"));
    QApplication::setApplicationName(QStringLiteral("Corvane"));
    corvane::CMainFrame frame;
    frame.showMaximized();
    const QStringList args = QApplication::arguments();
    if (args.size() > 1)
        frame.importFile(args.at(1));
    return QApplication::exec();
}
