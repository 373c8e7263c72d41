#include "analysisdocks.h"

#include <QCheckBox>
#include <QDockWidget>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QItemSelectionModel>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <algorithm>

#include "checkpanel.h"
#include "commandids.h"
#include "corvaneview.h"
#include "drawingarea.h"
#include "graphstyle.h"
#include "listctrlex.h"
#include "mainframe.h"
#include "planpoints.h"
#include "pointtable.h"
#include "settings.h"
#include "testsupport.h"
#include "vocabularies.h"

namespace corvane {
namespace {

using Point = PlanPoint;

// J1 -> J2 runs east, J2 -> J3 turns north. "before" lies before the start, "wedge"
// outside the turn, "far" 40 m off the first leg, "inside" 10 m off it.
const std::vector<Point> kSurvey = {
    {"J1", 0, 0, kJStake, "J1", "J2"},
    {"J2", 0, 100, kJStake, "J2", "J3"},
    {"J3", 100, 100, kJStake, "J2", "J3"},
    {"inside", 10, 50},
    {"before", -5, -20},
    {"wedge", -10, 110},
    {"far", 40, 20},
};

using Names = QStringList;

}  // namespace

/// The docks beside the main view working with it: the data check and the marks of
/// the points the line selection cannot place, and the exports of the drawings.
class AnalysisDocksTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<CorvaneSettings> m_settings;
    std::unique_ptr<CMainFrame> m_frame;

    PointTable& table() { return m_frame->table(); }
    DrawingArea* drawing() { return m_frame->view()->drawingArea(); }
    CheckPanel* panel() { return m_frame->findChild<CheckPanel*>(); }

    void loadSurvey() {
        std::vector<Row> rows;
        for (const Point& p : kSurvey)
            rows.push_back(planRow(p));
        table().replaceAll(std::move(rows), {});
        table().setLinePoints({"J1", "J2", "J3"});
        m_frame->view()->OnFitAll();
    }

    void showCheckDock() {
        auto* dock = m_frame->findChild<QDockWidget*>(QStringLiteral("CheckDock"));
        QVERIFY(dock);
        dock->show();
        dock->raise();
        QVERIFY(QTest::qWaitForWindowExposed(panel()));
    }

    QPushButton* button(const QString& text) {
        for (QPushButton* b : panel()->findChildren<QPushButton*>())
            if (b->text() == text)
                return b;
        return nullptr;
    }

    QAction* viewMenuAction(const QString& text) {
        for (QAction* menu : m_frame->menuBar()->actions())
            if (menu->text() == QStringLiteral("视图(&V)"))
                for (QAction* a : menu->menu()->actions())
                    if (a->text() == text)
                        return a;
        return nullptr;
    }

    Names markedNames() {
        Names out;
        for (int r : drawing()->markedRows()) {
            const std::string_view name = table().text(r, ColName);
            out.append(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
        }
        return out;
    }

    // Whether the plan shows the mark ring around the point of (north, east).
    bool ringedInThePlan(double north, double east) {
        const QImage image = drawing()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const PixelPoint p = drawing()->viewport().WorldToPixel(north, east);
        return image.pixel(p.x + 7, p.y) == graphstyle::kMarkRing &&
               image.pixel(p.x - 7, p.y) == graphstyle::kMarkRing;
    }

    int entriesOf(const char* code) {
        const auto& entries = panel()->entries();
        return static_cast<int>(std::count_if(entries.begin(), entries.end(),
                                              [&](const CheckEntry& e) { return e.code == code; }));
    }

private slots:
    void init() {
        QFile::remove(m_dir.filePath(QStringLiteral("settings.ini")));
        m_settings =
            std::make_unique<CorvaneSettings>(m_dir.filePath(QStringLiteral("settings.ini")));
        m_frame = std::make_unique<CMainFrame>(*m_settings);
        m_frame->resize(1200, 900);
        m_frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_frame.get()));
        loadSurvey();
        showCheckDock();
    }

    void cleanup() {
        table().markSaved();
        m_frame.reset();
        m_settings.reset();
    }

    void theCheckListsTheProblemsAndPicksTheirRows() {
        QPushButton* check = button(QStringLiteral("检查(&K)"));
        QVERIFY(check);
        QTest::mouseClick(check, Qt::LeftButton);
        // The four points without a segment are listed, each with its row.
        QCOMPARE(entriesOf("no-segment"), 4);
        auto* list = panel()->findChild<QTreeWidget*>();
        QCOMPARE(list->topLevelItemCount(), static_cast<int>(panel()->entries().size()));
        QTreeWidgetItem* item = nullptr;
        for (int i = 0; i < list->topLevelItemCount() && !item; ++i)
            if (list->topLevelItem(i)->text(1) == QStringLiteral("5"))
                item = list->topLevelItem(i);
        QVERIFY(item);

        list->scrollToItem(item);
        const QPoint at = list->visualItemRect(item).center();
        // The first click of a double-click arrives as a press of its own.
        QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        QItemSelectionModel* selection = m_frame->view()->list()->selectionModel();
        QVERIFY(selection->isRowSelected(4));
        QCOMPARE(selection->selectedRows().size(), 1);
        QVERIFY(drawing()->markedRows().empty());  // a plain check marks nothing
    }

    void theCheckedSelectionMarksItsHardPoints_data() {
        QTest::addColumn<double>("limit");  // 0: none
        QTest::addColumn<Names>("marked");
        QTest::newRow("no limit") << 0.0
                                  << Names{QStringLiteral("before"), QStringLiteral("wedge")};
        QTest::newRow("within 30 m")
            << 30.0
            << Names{QStringLiteral("before"), QStringLiteral("wedge"), QStringLiteral("far")};
    }
    void theCheckedSelectionMarksItsHardPoints() {
        QFETCH(double, limit);
        QFETCH(Names, marked);
        if (limit > 0) {
            panel()->findChild<QCheckBox*>()->setChecked(true);
            panel()->findChild<QDoubleSpinBox*>()->setValue(limit);
        }
        QTest::mouseClick(button(QStringLiteral("自动选择电力线并检查")), Qt::LeftButton);
        QCOMPARE(markedNames(), marked);
        QCOMPARE(entriesOf("unassigned-point"), static_cast<int>(marked.size()));
        const QString status = m_frame->statusBar()->currentMessage();
        QVERIFY2(status.contains(QStringLiteral("%1 个点未能指定").arg(marked.size())) &&
                     status.contains(QStringLiteral("红圈")),
                 qPrintable(status));
        QVERIFY(ringedInThePlan(-5, -20));   // before
        QVERIFY(ringedInThePlan(-10, 110));  // wedge
        QVERIFY(!ringedInThePlan(10, 50));   // inside, now on J1-J2
        QCOMPARE(ringedInThePlan(40, 20), limit > 0);

        // Undoing the selection keeps the marks of the points it could not place; a
        // plain check takes them away with the entries that named them.
        table().undo();
        QCOMPARE(markedNames(), marked);
        QTest::mouseClick(button(QStringLiteral("检查(&K)")), Qt::LeftButton);
        QVERIFY(drawing()->markedRows().empty());
        QVERIFY(!ringedInThePlan(-5, -20));
    }

    void theMenuSelectionMarksItsHardPointsToo() {
        m_frame->commandAction(ID_LIST_AUTO_SELECT_LINE)->trigger();
        QCOMPARE(markedNames(), (Names{QStringLiteral("before"), QStringLiteral("wedge")}));
        QVERIFY(ringedInThePlan(-10, 110));
        const QString status = m_frame->statusBar()->currentMessage();
        QVERIFY2(status.contains(QStringLiteral("2 个点不在任何电力线段的范围内")),
                 qPrintable(status));

        // Once they have a segment the marks go; a selection that places all clears them.
        table().setText(4, ColSegmentStart, "J1");
        table().setText(4, ColSegmentEnd, "J2");
        QCOMPARE(markedNames(), Names{QStringLiteral("wedge")});
        table().setText(5, ColSegmentStart, "J2");
        table().setText(5, ColSegmentEnd, "J3");
        m_frame->commandAction(ID_LIST_AUTO_SELECT_LINE)->trigger();
        QVERIFY(drawing()->markedRows().empty());
    }

    void drawingsAreExportedFromTheViewMenu_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("written");
        QTest::newRow("plan as PNG")
            << QStringLiteral("导出平面图(&E)...") << QStringLiteral("PNG 图片(*.png)")
            << QStringLiteral("drawing.png");
        QTest::newRow("plan as SVG")
            << QStringLiteral("导出平面图(&E)...") << QStringLiteral("SVG 矢量图(*.svg)")
            << QStringLiteral("drawing.svg");
        QTest::newRow("section as PNG")
            << QStringLiteral("导出纵断面(&X)...") << QStringLiteral("PNG 图片(*.png)")
            << QStringLiteral("drawing.png");
    }
    void drawingsAreExportedFromTheViewMenu() {
        QFETCH(QString, command);
        QFETCH(QString, filter);
        QFETCH(QString, written);
        QAction* action = viewMenuAction(command);
        QVERIFY(action);
        QTemporaryDir dir;
        // A name without an extension gets the one of the file type chosen.
        test::DialogCloser<QDialog> closer(true, [&](QDialog& dialog) {
            auto* files = qobject_cast<QFileDialog*>(&dialog);
            QVERIFY(files);
            files->selectNameFilter(filter);
            files->selectFile(dir.filePath(QStringLiteral("drawing")));
        });
        action->trigger();
        QVERIFY(closer.seen());
        QFile file(dir.filePath(written));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(written));
        const QByteArray bytes = file.readAll();
        if (written.endsWith(QStringLiteral(".svg")))
            QVERIFY(bytes.contains("<svg"));
        else
            QVERIFY(!QImage::fromData(bytes, "PNG").isNull());
    }

    void aFailedPlanExportSaysSo() {
        test::MessageBoxAnswerer answerer;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("missing/plan.png"));
        QVERIFY(!m_frame->view()->exportPlan(path));
        QCOMPARE(answerer.seen().size(), size_t(1));
        QCOMPARE(answerer.seen()[0].icon, QMessageBox::Critical);
        QVERIFY2(answerer.seen()[0].text.contains(QStringLiteral("无法写入文件")),
                 qPrintable(answerer.seen()[0].text));
        QVERIFY(!QFile::exists(path));
    }
};

}  // namespace corvane

QTEST_MAIN(corvane::AnalysisDocksTest)
#include "analysisdocks_test.moc"
