#include "analysisdocks.h"

#include <QCheckBox>
#include <QDockWidget>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QWheelEvent>

#include <algorithm>
#include <functional>
#include <map>
#include <string>

#include "checkpanel.h"
#include "commandids.h"
#include "corvaneview.h"
#include "drawingarea.h"
#include "drawingexport.h"
#include "graphstyle.h"
#include "listctrlex.h"
#include "mainframe.h"
#include "mainwindow.h"
#include "pointtable.h"
#include "profilepanel.h"
#include "profileview.h"
#include "qtsupport.h"
#include "rowbuilder.h"
#include "settings.h"
#include "vocabularies.h"

namespace corvane {
namespace {

using test::Cells;
using test::rowOf;

// J1 -> J2 runs east, J2 -> J3 turns north. "before" lies before the start, "wedge"
// outside the turn, "far" 40 m off the first leg, "inside" 10 m off it.
const std::vector<Cells> kSurvey = {
    {.name = "J1", .north = 0, .east = 0, .start = "J1", .end = "J2", .type = kJStake},
    {.name = "J2", .north = 0, .east = 100, .start = "J2", .end = "J3", .type = kJStake},
    {.name = "J3", .north = 100, .east = 100, .start = "J2", .end = "J3", .type = kJStake},
    {.name = "inside", .north = 10, .east = 50},
    {.name = "before", .north = -5, .east = -20},
    {.name = "wedge", .north = -10, .east = 110},
    {.name = "far", .north = 40, .east = 20},
};

using Names = QStringList;

// A change of the table after a check, made as the user makes it.
struct EntryCase {
    const char* what;
    std::function<void(PointTable&, CCorvaneView&)> change;
};

const std::vector<EntryCase>& entryCases() {
    static const std::vector<EntryCase> cases = {
        {"filtered and shown again",
         [](PointTable&, CCorvaneView& view) {
             view.OnShowJStakes();
             view.OnShowAllPoints();
         }},
        {"sorted",
         [](PointTable& table, CCorvaneView& view) {
             table.setText(6, ColDistance, "-5");  // far first
             view.OnSortByDistance();
         }},
        {"a row inserted above", [](PointTable& table, CCorvaneView&) { table.insertRow(0); }},
        {"a row deleted above", [](PointTable& table, CCorvaneView&) { table.removeRows({0}); }},
        {"rows deleted above and below",
         [](PointTable& table, CCorvaneView&) {
             table.removeRows({1, 2, 5});
         }},
        {"moved up", [](PointTable& table, CCorvaneView&) { table.swapRowTexts(6, 5); }},
        {"deleted and brought back",
         [](PointTable& table, CCorvaneView&) {
             table.removeRows({6});
             table.undo();
         }},
        {"another file opened and undone",
         [](PointTable& table, CCorvaneView&) {
             table.replaceAll({rowOf({.name = "X", .north = 0, .east = 0})}, {});
             table.undo();
         }},
    };
    return cases;
}

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
        for (const Cells& p : kSurvey)
            rows.push_back(rowOf(p));
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

    Names selectedNames() {
        QModelIndexList rows = m_frame->view()->list()->selectionModel()->selectedRows();
        std::sort(rows.begin(), rows.end());
        Names out;
        for (const QModelIndex& index : rows) {
            const std::string_view name = table().text(index.row(), ColName);
            out.append(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
        }
        return out;
    }

    // The check's first entry about the point of `name`, after a plain check.
    QTreeWidgetItem* checkEntryOf(const char* name) {
        QTest::mouseClick(button(QStringLiteral("检查(&K)")), Qt::LeftButton);
        const int row = table().FindPointRow(name);
        auto* list = panel()->findChild<QTreeWidget*>();
        const auto& entries = panel()->entries();
        for (size_t i = 0; i < entries.size(); ++i)
            if (entries[i].row == row)
                return list->topLevelItem(static_cast<int>(i));
        return nullptr;
    }

    // A double-click on the entry, as the window system sends it.
    void activate(QTreeWidgetItem* item) {
        auto* list = panel()->findChild<QTreeWidget*>();
        list->scrollToItem(item);
        const QPoint at = list->visualItemRect(item).center();
        // The first click of a double-click arrives as a press of its own.
        QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
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
        QVERIFY(test::showMainWindow(m_frame, *m_settings, {1200, 900}));
        loadSurvey();
        showCheckDock();
    }

    void cleanup() {
        table().markSaved();
        m_frame.reset();
        m_settings.reset();
    }

    void theBarsMenuListsTheDocks() {
        QMenu* bars = nullptr;
        for (QAction* top : m_frame->menuBar()->actions())
            if (top->menu() && top->text() == QStringLiteral("视图(&V)"))
                for (QAction* item : top->menu()->actions())
                    if (item->menu() && item->text() == QStringLiteral("工具栏和停靠窗口(&T)"))
                        bars = item->menu();
        QVERIFY(bars);
        QStringList texts;
        for (QAction* a : bars->actions())
            texts.append(a->text());
        QCOMPARE(texts, (QStringList{QStringLiteral("标准"), QStringLiteral("纵断面(&P)"),
                                     QStringLiteral("数据检查(&K)")}));
        auto* dock = m_frame->findChild<QDockWidget*>(QStringLiteral("ProfileDock"));
        QAction* showProfile = bars->actions().at(1);
        QVERIFY(showProfile->isChecked());
        showProfile->trigger();
        QVERIFY(dock->isHidden());
        dock->show();
        QVERIFY(showProfile->isChecked());
    }

    void theDockLayoutIsRestoredOnTheNextStart() {
        auto* profile = m_frame->findChild<QDockWidget*>(QStringLiteral("ProfileDock"));
        auto* check = m_frame->findChild<QDockWidget*>(QStringLiteral("CheckDock"));
        // Not the first start's layout: the check on the right, the section hidden.
        m_frame->addDockWidget(Qt::RightDockWidgetArea, check);
        profile->hide();
        QTest::qWait(20);
        table().markSaved();
        QVERIFY(m_frame->close());
        const QByteArray saved = m_settings->windowState();
        m_frame.reset();

        QVERIFY(test::showMainWindow(m_frame, *m_settings));
        profile = m_frame->findChild<QDockWidget*>(QStringLiteral("ProfileDock"));
        check = m_frame->findChild<QDockWidget*>(QStringLiteral("CheckDock"));
        QVERIFY(profile->isHidden());
        QVERIFY(check->isVisible());
        QCOMPARE(m_frame->dockWidgetArea(check), Qt::RightDockWidgetArea);
        // Sizes included: the state read back is the state written.
        QCOMPARE(m_frame->saveState(), saved);
    }

    void aRestoredWindowKeepsItsStatusBarOnScreen() {
        const QRect screen = m_frame->screen()->availableGeometry();
        m_frame->setGeometry(screen.x() + 40, screen.y() + 60, screen.width() + 300,
                             screen.height() + 400);
        table().markSaved();
        QVERIFY(m_frame->close());
        m_frame.reset();

        QVERIFY(test::showMainWindow(m_frame, *m_settings));
        QVERIFY2(screen.contains(m_frame->frameGeometry()),
                 qPrintable(QStringLiteral("%1,%2 %3x%4")
                                .arg(m_frame->frameGeometry().x())
                                .arg(m_frame->frameGeometry().y())
                                .arg(m_frame->frameGeometry().width())
                                .arg(m_frame->frameGeometry().height())));
        const QRect bar(m_frame->statusBar()->mapToGlobal(QPoint(0, 0)),
                        m_frame->statusBar()->size());
        QVERIFY(screen.contains(bar));
    }

    void aPickedRowIsBroughtIntoThePlan() {
        DrawingArea* plan = drawing();
        // Zoomed in on the middle of the line: J3 is off the drawing.
        const QPointF middle(plan->width() / 2.0, plan->height() / 2.0);
        for (int i = 0; i < 10; ++i) {
            QWheelEvent wheel(middle, plan->mapToGlobal(middle), QPoint(), QPoint(0, 120),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(plan, &wheel);
        }
        const double k = plan->viewport().metresPerPixel();
        const PixelRect area = plan->viewport().drawRect();
        QVERIFY(!area.contains(plan->viewport().WorldToPixel(100, 100)));
        m_frame->view()->OnRowPicked(2);  // J3, as a check entry or the section picks it
        QVERIFY(area.contains(plan->viewport().WorldToPixel(100, 100)));
        QCOMPARE(plan->viewport().metresPerPixel(), k);
        const WorldWindow shown = plan->viewport().window();
        m_frame->view()->OnRowPicked(2);  // in view now: the plan stays
        QCOMPARE(plan->viewport().window().minY, shown.minY);
        QCOMPARE(plan->viewport().window().minX, shown.minX);
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

        activate(item);
        QItemSelectionModel* selection = m_frame->view()->list()->selectionModel();
        QVERIFY(selection->isRowSelected(4));
        QCOMPARE(selection->selectedRows().size(), 1);
        QVERIFY(drawing()->markedRows().empty());  // a plain check marks nothing

        // The messages name rows as they were: after a change the summary says so,
        // until the next check.
        auto* summary = panel()->findChild<QLabel*>(QStringLiteral("CheckSummary"));
        const QString stale = QStringLiteral("表已改动");
        QVERIFY(!summary->text().contains(stale));
        table().setText(0, ColRemark, "x");
        table().setText(1, ColRemark, "y");
        QVERIFY(summary->text().endsWith(QStringLiteral("（表已改动，请重新检查）")));
        QCOMPARE(summary->text().count(stale), 1);
        QTest::mouseClick(check, Qt::LeftButton);
        QVERIFY(!summary->text().contains(stale));
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

        // A plain check leaves the rings of the points that are still unplaced, and so
        // does undoing the selection: they are unplaced all the same.
        QTest::mouseClick(button(QStringLiteral("检查(&K)")), Qt::LeftButton);
        QCOMPARE(markedNames(), marked);
        table().undo();
        QCOMPARE(markedNames(), marked);
        QTest::mouseClick(button(QStringLiteral("检查(&K)")), Qt::LeftButton);
        QCOMPARE(markedNames(), marked);
        QVERIFY(ringedInThePlan(-5, -20));
    }

    // Only the line point selection writes the line point list: a file opened as it
    // is has none, and its J stakes carry the line in their segments.
    void aFileOpenedAsItIsHasItsHardPointsPlaced() {
        table().setLinePoints({});
        QTest::mouseClick(button(QStringLiteral("自动选择电力线并检查")), Qt::LeftButton);
        QStringList hardPoints;
        for (const CheckEntry& e : panel()->entries())
            if (e.code == "unassigned-point")
                hardPoints.append(QString::fromStdString(e.message));
        QCOMPARE(hardPoints.size(), 2);
        QVERIFY2(hardPoints[0].contains(QStringLiteral("“before”在线路起点之前")) &&
                     hardPoints[0].contains(QStringLiteral("最近的 J桩是“J1”")),
                 qPrintable(hardPoints[0]));
        QVERIFY2(hardPoints[1].contains(QStringLiteral("“wedge”在转角外侧")) &&
                     hardPoints[1].contains(QStringLiteral("最近的 J桩是“J2”")),
                 qPrintable(hardPoints[1]));
    }

    // A change of the table after the check, with the rows of "far" (row 7) before and
    // after it.
    void checkEntriesPointAtTheirPoints_data() {
        QTest::addColumn<int>("index");
        for (int i = 0; i < static_cast<int>(entryCases().size()); ++i)
            QTest::newRow(entryCases()[i].what) << i;
    }
    void checkEntriesPointAtTheirPoints() {
        QFETCH(int, index);
        QTreeWidgetItem* item = checkEntryOf("far");
        QVERIFY(item);
        QCOMPARE(item->text(1), QStringLiteral("7"));
        entryCases()[static_cast<size_t>(index)].change(table(), *m_frame->view());
        const int row = table().FindPointRow("far");
        QCOMPARE(item->text(1), QString::number(row + 1));  // where the point is now
        activate(item);
        QCOMPARE(selectedNames(), Names{QStringLiteral("far")});
    }

    void anEntryWhosePointIsGoneOrHiddenSaysSo() {
        QTreeWidgetItem* item = checkEntryOf("far");
        QVERIFY(item);
        table().removeRows({6});
        QCOMPARE(item->text(1), QStringLiteral("已删除"));
        activate(item);
        QVERIFY(selectedNames().isEmpty());
        QVERIFY2(m_frame->statusBar()->currentMessage().contains(QStringLiteral("已不在表中")),
                 qPrintable(m_frame->statusBar()->currentMessage()));

        table().undo();
        m_frame->commandAction(ID_VIEW_SHOW_J_STAKES)->trigger();
        QCOMPARE(item->text(1), QStringLiteral("未显示"));
        activate(item);
        QVERIFY(selectedNames().isEmpty());
        QVERIFY2(m_frame->statusBar()->currentMessage().contains(QStringLiteral("未显示")),
                 qPrintable(m_frame->statusBar()->currentMessage()));
    }

    void aPickedRowIsBroughtIntoTheSection() {
        for (int r = 0; r < table().rowCount(); ++r) {
            table().setText(r, ColDistance, std::to_string(r * 40));
            table().setText(r, ColHeight, "10");
        }
        auto* profileDock = m_frame->findChild<QDockWidget*>(QStringLiteral("ProfileDock"));
        profileDock->raise();
        ProfileView* profile = m_frame->findChild<ProfilePanel*>()->view();
        QVERIFY(QTest::qWaitForWindowExposed(profile));
        profile->grab();  // fitted at its first paint
        // Zoomed in at the start of the line: row 5, 200 m along, is off to the right.
        const QPointF at(profile->viewport().toPixel(0, 10).x + 5, profile->height() / 2.0);
        for (int i = 0; i < 8; ++i) {
            QWheelEvent in(at, profile->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                           Qt::NoModifier, Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(profile, &in);
        }
        const double k = profile->viewport().metresPerPixel();
        QVERIFY(profile->viewport().rightDistance() < 200);
        m_frame->view()->OnRowPicked(5);
        QVERIFY(profile->viewport().leftDistance() <= 200);
        QVERIFY(profile->viewport().rightDistance() >= 200);
        QCOMPARE(profile->viewport().metresPerPixel(), k);
        const double left = profile->viewport().leftDistance();
        m_frame->view()->OnRowPicked(5);  // in view now: the section stays
        QCOMPARE(profile->viewport().leftDistance(), left);
    }

    // Sorting puts the rows in a new order; the points keep their selection and their
    // rings in the table, the plan and the section, and the section keeps its view.
    void sortingKeepsTheSelectionRingsAndTheSection() {
        // Cumulative distances that reverse part of the order, and elevations.
        const std::map<std::string, const char*> distances = {
            {"J1", "0"},       {"J2", "100"},    {"J3", "200"}, {"inside", "150"},
            {"before", "-20"}, {"wedge", "110"}, {"far", "20"}};
        for (int r = 0; r < table().rowCount(); ++r) {
            table().setText(r, ColDistance, distances.at(std::string(table().text(r, ColName))));
            table().setText(r, ColHeight, "10");
        }
        m_frame->commandAction(ID_LIST_AUTO_SELECT_LINE)->trigger();
        const Names rings{QStringLiteral("before"), QStringLiteral("wedge")};
        QCOMPARE(markedNames(), rings);

        CListCtrlEx* list = m_frame->view()->list();
        list->selectRow(3);  // inside, marked
        list->selectionModel()->select(list->model()->index(5, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QCOMPARE(selectedNames(), (Names{QStringLiteral("inside"), QStringLiteral("wedge")}));

        auto* profileDock = m_frame->findChild<QDockWidget*>(QStringLiteral("ProfileDock"));
        profileDock->raise();
        ProfileView* profile = m_frame->findChild<ProfilePanel*>()->view();
        QVERIFY(QTest::qWaitForWindowExposed(profile));
        profile->grab();  // fitted at its first paint
        QWheelEvent out(QPointF(50, 50), profile->mapToGlobal(QPointF(50, 50)), QPoint(),
                        QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(profile, &out);  // the user's own view, not a fit
        profile->grab();
        const ProfileViewport before = profile->viewport();

        m_frame->commandAction(ID_VIEW_SORT_BY_DISTANCE)->trigger();
        QVERIFY(table().text(0, ColName) == "before");  // sorted
        QCOMPARE(table().FindPointRow("wedge"), 4);     // was 5
        QCOMPARE(table().FindPointRow("inside"), 5);    // was 3
        QCOMPARE(selectedNames(), (Names{QStringLiteral("wedge"), QStringLiteral("inside")}));
        QVERIFY(table().text(list->selectionMark(), ColName) == "inside");
        QVERIFY(table().text(list->currentIndex().row(), ColName) == "inside");
        QCOMPARE(markedNames(), rings);

        // The plan draws the selected points red and rings the unplaced ones.
        const QImage plan = drawing()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        for (auto [north, east] : {std::pair{10.0, 50.0}, std::pair{-10.0, 110.0}}) {
            const PixelPoint p = drawing()->viewport().WorldToPixel(north, east);
            QCOMPARE(plan.pixel(p.x, p.y), graphstyle::kRed);
        }
        QVERIFY(ringedInThePlan(-5, -20));
        QVERIFY(ringedInThePlan(-10, 110));

        // The section keeps its view and draws the same points as selected.
        const QImage section = profile->grab().toImage();
        const ProfileViewport& after = profile->viewport();
        QCOMPARE(after.leftDistance(), before.leftDistance());
        QCOMPARE(after.rightDistance(), before.rightDistance());
        QCOMPARE(after.bottomElevation(), before.bottomElevation());
        QCOMPARE(after.topElevation(), before.topElevation());
        for (double distance : {150.0, 110.0}) {
            const ProfileViewport::Point p = after.toPixel(distance, 10.0);
            const QColor at = section.pixelColor(int(p.x), int(p.y));
            QVERIFY2(at.red() > 180 && at.green() < 80, qPrintable(at.name()));
        }
        const ProfileViewport::Point far = after.toPixel(20.0, 10.0);
        QVERIFY(section.pixelColor(int(far.x), int(far.y)).red() < 180);  // not selected

        // Undoing the sort and doing it again moves the rows back and forth; the
        // selection, the current row and the mark go with their points.
        for (QAction* step :
             {m_frame->commandAction(ID_EDIT_UNDO), m_frame->commandAction(ID_EDIT_REDO)}) {
            step->trigger();
            QCOMPARE(selectedNames(),
                     step == m_frame->commandAction(ID_EDIT_UNDO)
                         ? (Names{QStringLiteral("inside"), QStringLiteral("wedge")})
                         : (Names{QStringLiteral("wedge"), QStringLiteral("inside")}));
            QVERIFY(table().text(list->selectionMark(), ColName) == "inside");
            QVERIFY(table().text(list->currentIndex().row(), ColName) == "inside");
        }
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
        if (drawingFileSuffixes().contains(QStringLiteral("svg")))
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
            // Only the types this build writes are offered.
            QCOMPARE(files->nameFilters().contains(QStringLiteral("SVG 矢量图(*.svg)")),
                     drawingFileSuffixes().contains(QStringLiteral("svg")));
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
