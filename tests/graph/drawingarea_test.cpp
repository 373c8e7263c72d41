#include "drawingarea.h"
#include "drawingexport.h"

#include <QDir>
#include <QFile>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "graphstyle.h"
#include "pointtable.h"
#include "rowbuilder.h"
#include "vocabularies.h"

using namespace corvane;

namespace {

using test::Cells;
using test::rowOf;

// 1000 m east by 100 m north: fitted into a 500 x 250 drawing rectangle at k = 2, the
// pixel of (north, east) is (15 + east / 2, 265 - (north + 200) / 2).
const std::vector<Cells> kSurvey = {
    {.name = "A", .north = 0, .east = 0},       // (15, 165)
    {.name = "B", .north = 100, .east = 1000},  // (515, 115)
    {.name = "C", .north = 50, .east = 500},    // (265, 140)
    {.name = "D", .north = 52, .east = 504},    // (267, 139), next to C
    {.name = "J1", .north = 20, .east = 200, .start = "J1", .end = "J2", .type = kJStake},  // (115,
                                                                                            // 155)
    {.name = "J2", .north = 80, .east = 800, .start = "J2", .end = "J2", .type = kJStake},  // (415,
                                                                                            // 125)
};

std::vector<std::string> names(const PointTable& t) {
    std::vector<std::string> out;
    for (int r = 0; r < t.rowCount(); ++r)
        out.emplace_back(t.text(r, ColName));
    return out;
}

using Names = std::vector<std::string>;

// A change of the table with A and C marked, and the names marked after it.
struct MarkCase {
    const char* what;
    std::function<void(PointTable&)> change;
    Names marked;
};

const std::vector<MarkCase>& markCases() {
    static const std::vector<MarkCase> cases = {
        {"a row inserted above", [](PointTable& t) { t.insertRow(1); }, {"A", "C"}},
        {"a row above removed", [](PointTable& t) { t.removeRows({1}); }, {"A", "C"}},
        {"the marked row removed", [](PointTable& t) { t.removeRows({2}); }, {"A"}},
        {"moved up a row", [](PointTable& t) { t.swapRowTexts(2, 1); }, {"A", "C"}},
        {"moved to the top", [](PointTable& t) { t.swapRowTexts(2, 0); }, {"C", "A"}},
        {"renamed", [](PointTable& t) { t.setText(2, ColName, "C2"); }, {"A", "C2"}},
        {"given a segment",
         [](PointTable& t) {
             PointTable::Command command(t, "edit");
             t.setText(2, ColSegmentStart, "J1");
             t.setText(2, ColSegmentEnd, "J2");
         },
         {"A"}},
        {"given half a segment",
         [](PointTable& t) { t.setText(2, ColSegmentStart, "J1"); },
         {"A", "C"}},
        {"moved in the plane", [](PointTable& t) { t.setText(2, ColEast, "700"); }, {"A", "C"}},
        {"checked", [](PointTable& t) { t.setChecked(2, true); }, {"A", "C"}},
        {"several rows removed at once",
         [](PointTable& t) {
             t.removeRows({1, 3});
         },
         {"A", "C"}},
        {"removed and brought back",
         [](PointTable& t) {
             t.removeRows({2});
             t.undo();
         },
         {"A", "C"}},
        {"sorted",
         [](PointTable& t) {
             const int order[] = {2, 0, 1, 3, 4, 5};
             t.reorderRows(order);
         },
         {"C", "A"}},
        {"another display mode", [](PointTable& t) { t.setDisplayMode(DisplayMode::JStakes); }, {}},
        {"hidden and shown again",
         [](PointTable& t) {
             t.setDisplayMode(DisplayMode::JStakes);
             t.setDisplayMode(DisplayMode::AllPoints);
         },
         {"A", "C"}},
        {"a new table",
         [](PointTable& t) { t.replaceAll({rowOf({.name = "A", .north = 0, .east = 0})}, {}); },
         {}},
    };
    return cases;
}

}  // namespace

/// The drawing area driven by synthetic mouse events placed in world coordinates.
class DrawingAreaTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void fitsTheWorkedExample();
    void fitWaitsForTheFirstLayout();
    void dragPans();
    void panOutsideTheAreaWaitsForTheMouseToComeBack();
    void wheelZoomsAboutTheCentre();
    void rightDoubleClickFits();
    void doubleClickPicksTheUpperRow();
    void ctrlDoubleClickDeletesThePointUndoably();
    void ctrlDragDeletesThePointsInTheBox_data();
    void ctrlDragDeletesThePointsInTheBox();
    void deletionUnderAFilterStaysDeleted();
    void cursorsShowTheMode();
    void selectedRowsAreRedAndRepaintOnSelection();
    void boxIsDrawnWhileDragging();
    void crowdedLabelsAreReported();
    void markedRowsAreRinged();
    void marksFollowTheirPoints_data();
    void marksFollowTheirPoints();
    void exportsPngAndSvg();
    void aFailedExportLeavesNothing();

private:
    QPoint pixel(double north, double east) const {
        const PixelPoint p = m_area->viewport().WorldToPixel(north, east);
        return {p.x, p.y};
    }
    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        Qt::MouseButtons held = button;
        if (type == QEvent::MouseButtonRelease)
            held = Qt::NoButton;
        if (type == QEvent::MouseMove) {
            held = button;
            button = Qt::NoButton;
        }
        QMouseEvent event(type, QPointF(at), m_area->mapToGlobal(QPointF(at)), button, held,
                          modifiers);
        QCoreApplication::sendEvent(m_area, &event);
    }
    void drag(QPoint from, QPoint to, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, modifiers);
        mouse(QEvent::MouseMove, to, Qt::LeftButton, modifiers);
        mouse(QEvent::MouseButtonRelease, to, Qt::LeftButton, modifiers);
    }
    // Press, release, double-click, release: what the window system sends.
    void doubleClick(QPoint at, Qt::MouseButton button,
                     Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        mouse(QEvent::MouseButtonPress, at, button, modifiers);
        mouse(QEvent::MouseButtonRelease, at, button, modifiers);
        mouse(QEvent::MouseButtonDblClick, at, button, modifiers);
        mouse(QEvent::MouseButtonRelease, at, button, modifiers);
    }
    void wheel(int delta, QPoint angle = {}) {
        if (angle.isNull())
            angle = QPoint(0, delta);
        QWheelEvent event(QPointF(100, 100), m_area->mapToGlobal(QPointF(100, 100)), QPoint(),
                          angle, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(m_area, &event);
    }
    QImage shot() { return m_area->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    // Whether the mark ring shows around the point of (north, east) in `image`.
    bool ringed(const QImage& image, double north, double east) const {
        const QPoint p = pixel(north, east);
        for (QPoint at : {p + QPoint(7, 0), p + QPoint(-7, 0), p + QPoint(0, 7)})
            if (image.pixel(at) != graphstyle::kMarkRing)
                return false;
        return true;
    }
    Names markedNames() const {
        Names out;
        for (int r : m_area->markedRows())
            out.emplace_back(m_table->text(r, ColName));
        return out;
    }

    PointTable* m_table = nullptr;
    DrawingArea* m_area = nullptr;
};

void DrawingAreaTest::init() {
    m_table = new PointTable;
    std::vector<Row> rows;
    for (const Cells& p : kSurvey)
        rows.push_back(rowOf(p));
    m_table->replaceAll(std::move(rows), {});
    m_table->clearHistory();
    m_area = new DrawingArea(*m_table);
    m_area->resize(530, 280);
    m_area->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_area));
    m_area->fitAll();
}

void DrawingAreaTest::cleanup() {
    delete m_area;
    delete m_table;
}

void DrawingAreaTest::fitsTheWorkedExample() {
    const WorldWindow& w = m_area->viewport().window();
    QCOMPARE(m_area->viewport().metresPerPixel(), 2.0);
    QCOMPARE(w.minY, 0.0);
    QCOMPARE(w.maxY, 1000.0);
    QCOMPARE(w.minX, -200.0);
    QCOMPARE(w.maxX, 300.0);
    QCOMPARE(pixel(50, 500), QPoint(265, 140));
}

void DrawingAreaTest::fitWaitsForTheFirstLayout() {
    DrawingArea hidden(*m_table);
    hidden.fitAll();  // as an import does before the window is shown
    hidden.resize(530, 280);
    hidden.grab();  // the first paint
    QCOMPARE(hidden.viewport().metresPerPixel(), 2.0);
    QCOMPARE(hidden.viewport().window().minX, -200.0);

    PointTable empty;
    DrawingArea blank(empty);
    blank.resize(530, 280);
    blank.fitAll();  // nothing to fit: the first paint's window, one metre per pixel
    blank.grab();
    QCOMPARE(blank.viewport().window().minY, -250.0);
    QCOMPARE(blank.viewport().window().maxX, 125.0);
}

void DrawingAreaTest::dragPans() {
    // (100,100) -> (130,80) at k = 2: 60 m west and 40 m south.
    drag({100, 100}, {130, 80});
    const WorldWindow& w = m_area->viewport().window();
    QCOMPARE(w.minY, -60.0);
    QCOMPARE(w.maxY, 940.0);
    QCOMPARE(w.minX, -240.0);
    QCOMPARE(w.maxX, 260.0);
    // Dragging a point carries it along: C now lies under the release.
    const QPoint c = pixel(50, 500);
    drag(c, c + QPoint(-47, 33));
    QCOMPARE(pixel(50, 500), c + QPoint(-47, 33));
    QCOMPARE(m_table->rowCount(), 6);
}

void DrawingAreaTest::panOutsideTheAreaWaitsForTheMouseToComeBack() {
    mouse(QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton);
    mouse(QEvent::MouseMove, {120, 100}, Qt::LeftButton);
    QCOMPARE(m_area->viewport().window().minY, -40.0);
    mouse(QEvent::MouseMove, {700, 100}, Qt::LeftButton);  // beyond the right edge
    mouse(QEvent::MouseMove, {-5, 100}, Qt::LeftButton);
    QCOMPARE(m_area->viewport().window().minY, -40.0);
    mouse(QEvent::MouseMove, {150, 100}, Qt::LeftButton);  // back: 30 px from (120, 100)
    QCOMPARE(m_area->viewport().window().minY, -100.0);
    mouse(QEvent::MouseButtonRelease, {150, 100}, Qt::LeftButton);
    mouse(QEvent::MouseMove, {200, 100}, Qt::LeftButton);  // no mode: nothing moves
    QCOMPARE(m_area->viewport().window().minY, -100.0);
}

void DrawingAreaTest::wheelZoomsAboutTheCentre() {
    wheel(120);
    WorldWindow w = m_area->viewport().window();
    QCOMPARE(w.minY, 125.0);
    QCOMPARE(w.maxY, 875.0);
    QCOMPARE(w.minX, -137.5);
    QCOMPARE(w.maxX, 237.5);
    wheel(-15);  // one step whatever the distance
    w = m_area->viewport().window();
    QCOMPARE(w.width(), 1125.0);
    QCOMPARE((w.minY + w.maxY) / 2, 500.0);
    wheel(0, QPoint(120, 0));  // sideways: not a wheel turn
    QCOMPARE(m_area->viewport().window().width(), 1125.0);
}

void DrawingAreaTest::rightDoubleClickFits() {
    drag({100, 100}, {160, 90});
    wheel(120);
    doubleClick({10, 10}, Qt::RightButton);
    QCOMPARE(m_area->viewport().window().minY, 0.0);
    QCOMPARE(m_area->viewport().window().maxX, 300.0);
    QCOMPARE(m_table->rowCount(), 6);
}

void DrawingAreaTest::doubleClickPicksTheUpperRow() {
    QSignalSpy picked(m_area, &DrawingArea::rowPicked);
    doubleClick(pixel(51, 502), Qt::LeftButton);  // between C and D
    QCOMPARE(picked.count(), 1);
    QCOMPARE(picked.takeFirst().at(0).toInt(), 2);
    doubleClick(pixel(52, 504) + QPoint(9, 0), Qt::LeftButton);  // 11 px from C, 9 from D
    QCOMPARE(picked.takeFirst().at(0).toInt(), 3);
    doubleClick(pixel(20, 200) + QPoint(6, 8), Qt::LeftButton);  // 10 px from J1: a miss
    QCOMPARE(picked.count(), 0);
    QCOMPARE(m_table->rowCount(), 6);
}

void DrawingAreaTest::ctrlDoubleClickDeletesThePointUndoably() {
    QSignalSpy picked(m_area, &DrawingArea::rowPicked);
    doubleClick(pixel(51, 502), Qt::LeftButton, Qt::ControlModifier);
    QCOMPARE(names(*m_table), (Names{"A", "B", "D", "J1", "J2"}));
    QCOMPARE(picked.count(), 0);
    QVERIFY(m_table->canUndo());
    m_table->undo();
    QCOMPARE(names(*m_table), (Names{"A", "B", "C", "D", "J1", "J2"}));
    QVERIFY(!m_table->canUndo());  // the click before the double-click deleted nothing

    doubleClick({300, 30}, Qt::LeftButton, Qt::ControlModifier);  // no point there
    QCOMPARE(m_table->rowCount(), 6);
}

void DrawingAreaTest::ctrlDragDeletesThePointsInTheBox_data() {
    QTest::addColumn<QPointF>("fromWorld");  // (north, east)
    QTest::addColumn<QPointF>("toWorld");
    QTest::addColumn<bool>("ctrlAtRelease");
    QTest::addColumn<Names>("left");

    QTest::newRow("around C and D")
        << QPointF(60, 480) << QPointF(40, 520) << true << Names{"A", "B", "J1", "J2"};
    QTest::newRow("across the middle")
        << QPointF(100, 100) << QPointF(0, 900) << true << Names{"A", "B"};
    QTest::newRow("dragged up and left")
        << QPointF(40, 520) << QPointF(60, 480) << true << Names{"A", "B", "C", "D", "J1", "J2"};
    QTest::newRow("dragged up only")
        << QPointF(40, 480) << QPointF(60, 520) << true << Names{"A", "B", "C", "D", "J1", "J2"};
    QTest::newRow("Ctrl let go before the release")
        << QPointF(60, 480) << QPointF(40, 520) << false << Names{"A", "B", "C", "D", "J1", "J2"};
    QTest::newRow("not moved") << QPointF(50, 500) << QPointF(50, 500) << true
                               << Names{"A", "B", "C", "D", "J1", "J2"};
}

void DrawingAreaTest::ctrlDragDeletesThePointsInTheBox() {
    QFETCH(QPointF, fromWorld);
    QFETCH(QPointF, toWorld);
    QFETCH(bool, ctrlAtRelease);
    QFETCH(Names, left);
    const QPoint from = pixel(fromWorld.x(), fromWorld.y());
    const QPoint to = pixel(toWorld.x(), toWorld.y());
    mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::ControlModifier);
    if (to != from)
        mouse(QEvent::MouseMove, to, Qt::LeftButton, Qt::ControlModifier);
    mouse(QEvent::MouseButtonRelease, to, Qt::LeftButton,
          ctrlAtRelease ? Qt::ControlModifier : Qt::NoModifier);
    QCOMPARE(names(*m_table), left);
    QCOMPARE(m_area->viewport().window().minY, 0.0);  // a box never pans
    if (m_table->canUndo()) {
        m_table->undo();  // one step brings every deleted point back
        QCOMPARE(m_table->rowCount(), 6);
        QVERIFY(!m_table->canUndo());
    }
}

void DrawingAreaTest::deletionUnderAFilterStaysDeleted() {
    m_table->setDisplayMode(DisplayMode::JStakes);
    m_area->fitAll();
    QCOMPARE(m_table->rowCount(), 2);
    doubleClick(pixel(20, 200), Qt::LeftButton, Qt::ControlModifier);
    QCOMPARE(names(*m_table), (Names{"J2"}));
    m_table->setDisplayMode(DisplayMode::AllPoints);
    QCOMPARE(names(*m_table), (Names{"A", "B", "C", "D", "J2"}));
    m_table->undo();
    QCOMPARE(names(*m_table), (Names{"A", "B", "C", "D", "J1", "J2"}));
}

void DrawingAreaTest::cursorsShowTheMode() {
    QCOMPARE(m_area->cursor().shape(), Qt::ArrowCursor);
    mouse(QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton);
    QCOMPARE(m_area->cursor().shape(), Qt::ClosedHandCursor);
    mouse(QEvent::MouseButtonRelease, {100, 100}, Qt::LeftButton);
    QCOMPARE(m_area->cursor().shape(), Qt::ArrowCursor);
    mouse(QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton, Qt::ControlModifier);
    QCOMPARE(m_area->cursor().shape(), Qt::CrossCursor);
    mouse(QEvent::MouseButtonRelease, {100, 100}, Qt::LeftButton);
    QCOMPARE(m_area->cursor().shape(), Qt::ArrowCursor);
}

void DrawingAreaTest::selectedRowsAreRedAndRepaintOnSelection() {
    QStandardItemModel model(m_table->rowCount(), 1);
    QItemSelectionModel selection(&model);
    m_area->setSelectionModel(&selection);
    const QPoint a = pixel(0, 0);
    const QPoint b = pixel(100, 1000);
    QImage image = shot();
    QCOMPARE(image.pixel(a), graphstyle::kWhite);  // inside of an ordinary point
    QCOMPARE(image.pixel(a + QPoint(-2, 0)), graphstyle::kBlue);

    selection.select(model.index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    image = shot();
    QCOMPARE(image.pixel(a), graphstyle::kRed);
    QCOMPARE(image.pixel(a + QPoint(-2, 0)), graphstyle::kRed);
    QCOMPARE(image.pixel(b), graphstyle::kWhite);

    // Red names: some red text above the selected point, none above the other.
    auto redAbove = [&](QPoint p) {
        int red = 0;
        for (int y = p.y() - 22; y < p.y() - 4; ++y)
            for (int x = p.x() - 20; x < p.x() + 20; ++x)
                if (image.valid(x, y) && qRed(image.pixel(x, y)) > 200 &&
                    qGreen(image.pixel(x, y)) < 100)
                    ++red;
        return red;
    };
    QVERIFY(redAbove(a) > 10);
    QCOMPARE(redAbove(b), 0);

    selection.clearSelection();
    QCOMPARE(shot().pixel(a), graphstyle::kWhite);
}

void DrawingAreaTest::boxIsDrawnWhileDragging() {
    mouse(QEvent::MouseButtonPress, {300, 60}, Qt::LeftButton, Qt::ControlModifier);
    mouse(QEvent::MouseMove, {200, 120}, Qt::LeftButton, Qt::ControlModifier);
    QImage image = shot();
    for (QPoint p : {QPoint(200, 60), QPoint(299, 60), QPoint(200, 119), QPoint(299, 119),
                     QPoint(250, 60), QPoint(200, 90)})
        QCOMPARE(image.pixel(p), graphstyle::kBlue);
    QCOMPARE(image.pixel(250, 90), graphstyle::kWhite);
    mouse(QEvent::MouseButtonRelease, {200, 120}, Qt::LeftButton, Qt::ControlModifier);
    QCOMPARE(m_table->rowCount(), 6);  // drawn leftwards: nothing deleted
    QCOMPARE(shot().pixel(250, 60), graphstyle::kWhite);
}

void DrawingAreaTest::crowdedLabelsAreReported() {
    // C and D lie two pixels apart: D's name does not fit beside C's.
    QSignalSpy messages(m_area, &DrawingArea::hiddenLabelsChanged);
    m_area->grab();
    QTRY_COMPARE(messages.count(), 1);
    QCOMPARE(messages.takeFirst().at(0).toString(), QStringLiteral("有 1 个点名因重叠未显示"));
    m_table->removeRows({3});
    m_area->grab();
    QTRY_COMPARE(messages.count(), 1);
    QVERIFY(messages.takeFirst().at(0).toString().isEmpty());  // every name fits now

    std::vector<Row> rows;
    for (int i = 0; i < 3000; ++i)
        rows.push_back(rowOf({.name = "P",
                              .north = static_cast<double>(i % 50),
                              .east = static_cast<double>(i / 50)}));
    m_table->appendRows(std::move(rows));
    m_area->grab();
    QTRY_COMPARE(messages.count(), 1);
    const QString text = messages.takeFirst().at(0).toString();
    QVERIFY2(text.startsWith(QStringLiteral("有 ")) &&
                 text.endsWith(QStringLiteral(" 个点名因重叠未显示")),
             qPrintable(text));
    QVERIFY(text.section(QLatin1Char(' '), 1, 1).toInt() > 2900);

    m_table->undo();
    m_area->grab();
    QTRY_COMPARE(messages.count(), 1);
    QVERIFY(messages.takeFirst().at(0).toString().isEmpty());
}

void DrawingAreaTest::markedRowsAreRinged() {
    m_area->setMarkedRows({4, 1, 4, 17, -2});
    QCOMPARE(m_area->markedRows(), (std::vector<int>{1, 4}));
    QImage image = shot();
    QVERIFY(ringed(image, 100, 1000));  // B
    QVERIFY(ringed(image, 20, 200));    // J1
    QVERIFY(!ringed(image, 80, 800));   // J2
    QCOMPARE(image.pixel(pixel(80, 800) + QPoint(7, 0)), graphstyle::kWhite);

    // Zoomed far out the rings keep their size.
    for (int i = 0; i < 6; ++i)
        wheel(-120);
    image = shot();
    QCOMPARE(image.pixel(pixel(20, 200) + QPoint(7, 0)), graphstyle::kMarkRing);

    m_area->clearMarkedRows();
    QVERIFY(m_area->markedRows().empty());
    QVERIFY(!ringed(shot(), 20, 200));
}

void DrawingAreaTest::marksFollowTheirPoints_data() {
    QTest::addColumn<int>("index");
    for (int i = 0; i < static_cast<int>(markCases().size()); ++i)
        QTest::newRow(markCases()[i].what) << i;
}

void DrawingAreaTest::marksFollowTheirPoints() {
    QFETCH(int, index);
    const MarkCase& c = markCases()[index];
    m_area->setMarkedRows({0, 2});  // A and C
    c.change(*m_table);
    QCOMPARE(markedNames(), c.marked);
    // The rings are drawn where the marked points are now.
    const QImage image = shot();
    for (int r : m_area->markedRows()) {
        const double north = std::atof(std::string(m_table->text(r, ColNorth)).c_str());
        const double east = std::atof(std::string(m_table->text(r, ColEast)).c_str());
        QVERIFY(ringed(image, north, east));
    }
}

void DrawingAreaTest::exportsPngAndSvg() {
    m_area->setMarkedRows({4});
    QTemporaryDir dir;
    QString error;
    const QString png = dir.filePath(QStringLiteral("plan.png"));
    QVERIFY2(m_area->exportTo(png, &error), qPrintable(error));
    const QImage image(png);
    QCOMPARE(image.size(), m_area->size());
    // What the screen shows, the rings included.
    const QImage screen = shot();
    QCOMPARE(image.convertToFormat(QImage::Format_RGB32).pixel(pixel(20, 200) + QPoint(7, 0)),
             graphstyle::kMarkRing);
    QCOMPARE(image.convertToFormat(QImage::Format_RGB32).pixel(pixel(50, 500)),
             screen.pixel(pixel(50, 500)));

    const QString svg = dir.filePath(QStringLiteral("plan.SVG"));
    QVERIFY2(m_area->exportTo(svg, &error), qPrintable(error));
    QFile file(svg);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    if (drawingFileSuffixes().contains(QStringLiteral("svg"))) {
        QVERIFY(text.contains("<svg"));
        QVERIFY(text.contains(">J1<"));  // names as text, not as a picture
        QVERIFY(!text.contains("<image"));
    } else {
        // A build without SVG writes the picture whatever the name says.
        QVERIFY(text.startsWith("\x89PNG"));
    }

    // An area that was never laid out still writes a whole drawing.
    DrawingArea hidden(*m_table);
    QVERIFY(hidden.exportTo(dir.filePath(QStringLiteral("hidden.png")), &error));
    const QImage whole(dir.filePath(QStringLiteral("hidden.png")));
    QVERIFY(whole.width() > 100 && whole.height() > 100);
}

void DrawingAreaTest::aFailedExportLeavesNothing() {
    QTemporaryDir dir;
    for (const char* name : {"missing/plan.png", "missing/plan.svg"}) {
        QString error;
        QVERIFY(!m_area->exportTo(dir.filePath(QString::fromUtf8(name)), &error));
        QVERIFY2(error.contains(QStringLiteral("无法写入文件")), qPrintable(error));
    }
    QVERIFY(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

QTEST_MAIN(DrawingAreaTest)
#include "drawingarea_test.moc"
