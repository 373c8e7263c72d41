#include <QItemSelectionModel>
#include <QPainter>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

#include "drawingexport.h"
#include "pointtable.h"
#include "profileview.h"
#include "profileviewport.h"
#include "rowbuilder.h"
#include "vocabularies.h"

using namespace corvane;

namespace {

using test::rowOf;

// Two stakes 100 m apart with a point between them and one without a distance.
std::vector<Row> stakesAndPoints() {
    std::vector<Row> rows;
    rows.push_back(rowOf({.name = "J1", .height = "10", .distance = "0.000", .type = kJStake}));
    rows.push_back(rowOf({.name = "P1", .height = "12", .distance = "50.000"}));
    rows.push_back(rowOf({.name = "P2", .height = "12", .distance = "-.-"}));
    rows.push_back(rowOf({.name = "J2", .height = "11", .distance = "100.000", .type = kJStake}));
    return rows;
}

// Counts the paint events a widget gets.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

}  // namespace

class ProfileViewTest : public QObject {
    Q_OBJECT

private slots:
    void fitMapsTheRangeOntoThePlot_data() {
        QTest::addColumn<double>("minD");
        QTest::addColumn<double>("maxD");
        QTest::addColumn<double>("minH");
        QTest::addColumn<double>("maxH");
        QTest::newRow("line") << 100.0 << 1100.0 << 50.0 << 70.0;
        QTest::newRow("flat") << 0.0 << 500.0 << 20.0 << 20.0;
        QTest::newRow("one point") << 42.0 << 42.0 << 10.0 << 10.0;
    }
    void fitMapsTheRangeOntoThePlot() {
        QFETCH(double, minD);
        QFETCH(double, maxD);
        QFETCH(double, minH);
        QFETCH(double, maxH);
        ProfileViewport v;
        v.setSize(1080, 456);  // a plot of 1000 x 400
        v.fit(minD, maxD, minH, maxH);
        QVERIFY(std::isfinite(v.metresPerPixel()) && v.metresPerPixel() > 0);
        auto left = v.toPixel(minD, minH);
        auto right = v.toPixel(maxD, maxH);
        if (maxD > minD) {
            QCOMPARE(left.x, double(ProfileViewport::kLeftMargin));
            QCOMPARE(right.x, double(ProfileViewport::kLeftMargin + 1000));
        } else {
            QCOMPARE(left.x, double(ProfileViewport::kLeftMargin + 500));
            QCOMPARE(v.metresPerPixel(), 1.0);
        }
        // The elevations are centred and inside the plot.
        QVERIFY(left.y <= ProfileViewport::kTopMargin + 400 + 1e-9);
        QVERIFY(right.y >= ProfileViewport::kTopMargin - 1e-9);
        auto back = v.toWorld(left.x, left.y);
        QVERIFY(std::abs(back.x - minD) < 1e-9 && std::abs(back.y - minH) < 1e-9);
    }

    void panZoomAndExaggeration() {
        ProfileViewport v;
        v.setSize(1080, 456);
        v.fit(0, 1000, 0, 37);  // 1 m per pixel; 370 pixels under the label band: 10
        QCOMPARE(v.metresPerPixel(), 1.0);
        QCOMPARE(v.exaggeration(), 10.0);
        v.pan(100, -20);  // content follows the mouse: right and up
        QCOMPARE(v.leftDistance(), -100.0);
        QCOMPARE(v.bottomElevation(), -2.0);
        const double centreX = (v.leftDistance() + v.rightDistance()) / 2;
        v.zoom(0.75);
        v.zoom(1.5);
        QCOMPARE(v.metresPerPixel(), 1.125);
        QVERIFY(std::abs((v.leftDistance() + v.rightDistance()) / 2 - centreX) < 1e-9);
        const double centreY = (v.bottomElevation() + v.topElevation()) / 2;
        v.setExaggeration(5000);
        QCOMPARE(v.exaggeration(), 1000.0);
        QVERIFY(std::abs((v.bottomElevation() + v.topElevation()) / 2 - centreY) < 1e-9);
        v.fit(0, 100, 0, 1);  // a chosen exaggeration survives a fit
        QCOMPARE(v.exaggeration(), 1000.0);
    }

    void clickPicksTheNearestRowAndSelectionIsDrawn() {
        PointTable table;
        std::vector<Row> rows = stakesAndPoints();
        table.replaceAll(std::move(rows), {});
        ProfileView view(table);
        view.resize(600, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.fitAll();

        QSignalSpy picked(&view, &ProfileView::rowPicked);
        auto p = view.viewport().toPixel(50.0, 12.0);
        QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(int(p.x) + 2, int(p.y) + 1));
        QCOMPARE(picked.count(), 1);
        QCOMPARE(picked.at(0).at(0).toInt(), 1);
        QCOMPARE(view.rowAt(QPointF(p.x + 50, p.y + 50)), -1);

        // The selected row is drawn red.
        QStandardItemModel model(4, 1);
        QItemSelectionModel selection(&model);
        view.setSelectionModel(&selection);
        selection.select(model.index(1, 0), QItemSelectionModel::Select);
        QImage image(600, 300, QImage::Format_ARGB32);
        QPainter painter(&image);
        view.render(painter, image.size());
        painter.end();
        QColor at = image.pixelColor(int(p.x), int(p.y));
        QVERIFY2(at.red() > 180 && at.green() < 80, qPrintable(at.name()));

        // Table edits reach the section.
        table.setText(2, ColDistance, "75");
        QCOMPARE(view.rowAt(
                     QPointF(view.viewport().toPixel(75, 12).x, view.viewport().toPixel(75, 12).y)),
                 2);
    }

    // Only changes that reach the section repaint it; check marks and the columns it
    // does not read leave it alone.
    void repaintsOnlyForWhatItDraws() {
        PointTable table;
        std::vector<Row> rows = stakesAndPoints();
        rows.push_back(rowOf({.name = "R1",
                              .height = "11",
                              .distance = "70.000",
                              .type = kOnePointObject}));  // labelled by column 10
        table.replaceAll(std::move(rows), {});
        QStandardItemModel model(5, 1);
        QItemSelectionModel selection(&model);
        ProfileView view(table);
        view.setSelectionModel(&selection);
        view.resize(600, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.fitAll();
        PaintCounter paints(&view);

        struct Case {
            const char* what;
            std::function<void()> change;
            bool repaint;
        };
        const Case cases[] = {
            {"a check mark", [&] { table.setChecked(1, true); }, false},
            {"all check marks",
             [&] {
                 PointTable::Command command(table, "check");
                 for (int r = 0; r < table.rowCount(); ++r)
                     table.setChecked(r, true);
             },
             false},
            {"a remark", [&] { table.setText(1, ColRemark, "x"); }, false},
            {"coordinates", [&] { table.setText(1, ColNorth, "5"); }, false},
            {"the name of a row not drawn", [&] { table.setText(2, ColName, "P2b"); }, false},
            {"the name of an object", [&] { table.setText(4, ColName, "R1b"); }, false},
            {"the name of a selected object",
             [&] {
                 selection.select(model.index(4, 0), QItemSelectionModel::Select);
                 QCoreApplication::processEvents();
                 paints.count = 0;
                 table.setText(4, ColName, "R1c");
             },
             true},
            {"the name of a ground point, written nowhere",
             [&] { table.setText(1, ColName, "P1b"); }, false},
            {"a stake's name", [&] { table.setText(3, ColName, "J2b"); }, true},
            {"an elevation", [&] { table.setText(1, ColHeight, "13"); }, true},
            {"a cumulative distance", [&] { table.setText(2, ColDistance, "75"); }, true},
            {"a point type", [&] { table.setText(1, ColPointType, kZStake); }, true},
            {"a row inserted", [&] { table.insertRow(0); }, true},
            {"a row removed", [&] { table.removeRows({0}); }, true},
            {"the display mode", [&] { table.setDisplayMode(DisplayMode::JStakes); }, true},
        };
        for (const Case& c : cases) {
            QCoreApplication::processEvents();
            paints.count = 0;
            c.change();
            QCoreApplication::processEvents();
            QVERIFY2((paints.count > 0) == c.repaint, c.what);
        }
    }

    // What the section shows follows the edits it repaints for.
    void editsReachTheSection() {
        PointTable table;
        table.replaceAll(
            {rowOf({.name = "J1", .height = "10", .distance = "0", .type = kJStake}),
             rowOf({.name = "P1", .height = "12", .distance = "50"}),
             rowOf({.name = "J2", .height = "11", .distance = "100", .type = kJStake})},
            {});
        ProfileView view(table);
        view.resize(600, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.fitAll();
        auto rowAtWorld = [&](double distance, double elevation) {
            const auto p = view.viewport().toPixel(distance, elevation);
            return view.rowAt(QPointF(p.x, p.y));
        };
        QCOMPARE(rowAtWorld(50, 12), 1);
        table.setChecked(1, true);
        QCOMPARE(rowAtWorld(50, 12), 1);
        table.setText(1, ColDistance, "60");
        QCOMPARE(rowAtWorld(50, 12), -1);
        QCOMPARE(rowAtWorld(60, 12), 1);
        table.setText(1, ColHeight, "10.5");
        QCOMPARE(rowAtWorld(60, 10.5), 1);
        table.removeRows({0});
        QCOMPARE(rowAtWorld(60, 10.5), 0);
    }

    void exportsPngAndSvg() {
        PointTable table;
        table.replaceAll({rowOf({.name = "J1", .height = "1", .distance = "0", .type = kJStake}),
                          rowOf({.name = "J2", .height = "2", .distance = "10", .type = kJStake})},
                         {});
        ProfileView view(table);
        view.resize(400, 200);
        QTemporaryDir dir;
        QString error;
        QVERIFY(view.exportTo(dir.filePath(QStringLiteral("p.png")), &error));
        QImage png(dir.filePath(QStringLiteral("p.png")));
        QCOMPARE(png.size(), QSize(400, 200));
        QVERIFY(view.exportTo(dir.filePath(QStringLiteral("p.svg")), &error));
        QFile svg(dir.filePath(QStringLiteral("p.svg")));
        QVERIFY(svg.open(QIODevice::ReadOnly));
        // A build without SVG writes the picture whatever the name says.
        QVERIFY(svg.readAll().startsWith(
            drawingFileSuffixes().contains(QStringLiteral("svg")) ? "<?xml" : "\x89PNG"));
        QVERIFY(!view.exportTo(dir.filePath(QStringLiteral("missing/p.png")), &error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_MAIN(ProfileViewTest)
#include "profileview_test.moc"
