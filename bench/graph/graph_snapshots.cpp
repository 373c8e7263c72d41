// Saves pictures of the drawing area over a generated survey, to look at: the fitted
// survey, a zoomed view, a selected row, a box being drawn, the J-stake filter.
//
//   graph-snapshots --points 1000000 --jstakes 2000 -o DIR [--show SECONDS]
//
// With --show the area is also shown on the screen for that long (for a screenshot of
// the real window, e.g. under Xvfb).
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QTimer>

#include <cstdio>
#include <string>

#include "cellnumber.h"
#include "columns.h"
#include "drawingarea.h"
#include "pointtable.h"
#include "pointtablemodel.h"
#include "surveygenerator.h"

using namespace corvane;

namespace {

void save(DrawingArea& area, const QDir& dir, const QString& name) {
    QElapsedTimer timer;
    timer.start();
    const QImage image = area.grab().toImage();
    const qint64 ms = timer.elapsed();
    const QString path = dir.filePath(name);
    image.save(path);
    std::printf("%s (%lld ms)\n", qPrintable(path), static_cast<long long>(ms));
}

void send(DrawingArea& area, QEvent::Type type, QPoint at, Qt::KeyboardModifiers modifiers) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), area.mapToGlobal(QPointF(at)), button, Qt::LeftButton,
                      modifiers);
    QCoreApplication::sendEvent(&area, &event);
}

void wheel(DrawingArea& area, int steps) {
    for (int i = 0; i < steps; ++i) {
        QWheelEvent event(QPointF(10, 10), area.mapToGlobal(QPointF(10, 10)), QPoint(),
                          QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&area, &event);
    }
}

// Pans so that the world point lies in the middle of the area.
void centreOn(DrawingArea& area, const WorldPoint& p) {
    const PixelPoint at = area.viewport().WorldToPixel(p);
    const QPoint middle(area.width() / 2, area.height() / 2);
    send(area, QEvent::MouseButtonPress, QPoint(at.x, at.y), Qt::NoModifier);
    send(area, QEvent::MouseMove, middle, Qt::NoModifier);
    send(area, QEvent::MouseButtonRelease, middle, Qt::NoModifier);
}

WorldPoint positionOf(const PointTable& table, int row) {
    return {readNumber(table.text(row, ColNorth)), readNumber(table.text(row, ColEast))};
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    QCommandLineOption points(QStringLiteral("points"), QStringLiteral("rows"), QStringLiteral("N"),
                              QStringLiteral("1000000"));
    QCommandLineOption stakes(QStringLiteral("jstakes"), QStringLiteral("J stakes"),
                              QStringLiteral("M"), QStringLiteral("2000"));
    QCommandLineOption out(QStringList{QStringLiteral("o"), QStringLiteral("out")},
                           QStringLiteral("folder"), QStringLiteral("DIR"), QStringLiteral("."));
    QCommandLineOption zoom(QStringLiteral("zoom"), QStringLiteral("wheel steps in"),
                            QStringLiteral("STEPS"), QStringLiteral("22"));
    QCommandLineOption show(QStringLiteral("show"), QStringLiteral("show for seconds"),
                            QStringLiteral("SECONDS"), QStringLiteral("0"));
    parser.addOptions({points, stakes, out, zoom, show});
    parser.process(app);

    SurveyShape wanted{.points = parser.value(points).toULongLong(),
                       .jStakes = parser.value(stakes).toULongLong(),
                       .computed = true};
    PointTable table;
    table.replaceAll(generateSurvey(wanted).rows, {});
    PointTableModel model(table);
    QItemSelectionModel selection(&model);
    const QDir dir(parser.value(out));
    dir.mkpath(QStringLiteral("."));

    DrawingArea area(table);
    area.setSelectionModel(&selection);
    QObject::connect(&area, &DrawingArea::hiddenLabelsChanged,
                     [](const QString& text) { std::printf("status: %s\n", qPrintable(text)); });
    area.resize(1600, 700);
    area.fitAll();
    save(area, dir, QStringLiteral("fitted.png"));
    QCoreApplication::processEvents();

    std::string middleName = "J";
    middleName += std::to_string(wanted.jStakes / 2);
    const int middle = table.FindPointRow(middleName);
    // Whole pixels of a coarse scale are many metres: centre again at every step.
    for (int i = parser.value(zoom).toInt(); i > 0; --i) {
        centreOn(area, positionOf(table, middle));
        wheel(area, 1);
    }
    centreOn(area, positionOf(table, middle));
    save(area, dir, QStringLiteral("zoomed.png"));
    QCoreApplication::processEvents();

    selection.select(model.index(middle, 0),
                     QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    save(area, dir, QStringLiteral("selected.png"));

    send(area, QEvent::MouseButtonPress, QPoint(700, 250), Qt::ControlModifier);
    send(area, QEvent::MouseMove, QPoint(900, 420), Qt::ControlModifier);
    save(area, dir, QStringLiteral("box.png"));
    send(area, QEvent::MouseButtonRelease, QPoint(900, 420), Qt::NoModifier);

    table.setDisplayMode(DisplayMode::JStakes);
    area.fitAll();
    save(area, dir, QStringLiteral("jstakes.png"));
    QCoreApplication::processEvents();

    const int seconds = parser.value(show).toInt();
    if (seconds <= 0)
        return 0;
    table.setDisplayMode(DisplayMode::AllPoints);
    area.fitAll();
    area.show();
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    return app.exec();
}
