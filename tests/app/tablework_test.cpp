#include "tablework.h"

#include <QAbstractItemModel>
#include <QDockWidget>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

#include "commandids.h"
#include "corvaneview.h"
#include "drawingarea.h"
#include "listctrlex.h"
#include "mainframe.h"
#include "mainwindow.h"
#include "pointtable.h"
#include "profileview.h"
#include "qtsupport.h"
#include "rowbuilder.h"
#include "settings.h"
#include "vocabularies.h"

namespace corvane {
namespace {

using test::rowOf;

// Four J stakes in a zigzag with their segments, and points around them with none yet
// (as before the automatic selection), heights for the section, in no order of distance.
std::vector<Row> survey() {
    std::vector<Row> rows;
    const double stakes[4][2] = {{0, 0}, {100, 20}, {180, -10}, {260, 30}};
    for (int j = 0; j < 4; ++j) {
        const std::string name = "J" + std::to_string(j + 1);
        const std::string next = "J" + std::to_string(std::min(j + 2, 4));
        rows.push_back(rowOf({.name = name,
                              .north = stakes[j][0],
                              .east = stakes[j][1],
                              .height = 10 + j,
                              .start = name,
                              .end = next,
                              .type = kJStake}));
    }
    for (int i = 0; i < 60; ++i) {
        const double north = std::fmod(i * 37.0, 270.0);
        const double east = std::fmod(i * 13.0, 40.0) - 20;
        rows.push_back(rowOf(
            {.name = "P" + std::to_string(i), .north = north, .east = east, .height = 5 + i % 7}));
    }
    return rows;
}

// Every cell as the table holds it and as the list's model shows it.
QStringList tableAndModel(const PointTable& table, const QAbstractItemModel* model) {
    QStringList out;
    out << QString::number(table.rowCount()) << QString::number(model->rowCount());
    for (int r = 0; r < table.rowCount(); ++r)
        for (int c = 0; c < kColumnCount; ++c) {
            out << QString::fromUtf8(table.text(r, c).data(),
                                     static_cast<qsizetype>(table.text(r, c).size()))
                << model->index(r, c).data().toString();
        }
    return out;
}

}  // namespace

class TableWorkTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<CorvaneSettings> m_settings;
    std::unique_ptr<CMainFrame> m_frame;

    PointTable& table() { return m_frame->table(); }

    void openWindow() {
        m_settings = std::make_unique<CorvaneSettings>(m_dir.filePath(QStringLiteral("s.ini")));
        QVERIFY(test::showMainWindow(m_frame, *m_settings, {1000, 700}));
        auto* dock = m_frame->findChild<QDockWidget*>(QStringLiteral("ProfileDock"));
        QVERIFY(dock);
        dock->show();
        table().replaceAll(survey(), {});
        table().clearHistory();
        QTest::qWait(20);
    }

    // What the user sees after each command: the table through the list, the plan and
    // the section.
    struct Seen {
        QStringList cells;
        QImage plan;
        QImage section;
    };
    Seen seen() {
        QCoreApplication::sendPostedEvents();
        QTest::qWait(5);
        DrawingArea* plan = m_frame->view()->drawingArea();
        auto* section = m_frame->findChild<ProfileView*>();
        return {tableAndModel(table(), m_frame->view()->list()->model()), plan->grab().toImage(),
                section ? section->grab().toImage() : QImage()};
    }

    std::vector<Seen> runCommands() {
        std::vector<Seen> out{seen()};
        test::MessageBoxAnswerer boxes;
        for (int id : {ID_LIST_AUTO_SELECT_LINE, ID_LIST_DATA_CALCULATION, ID_VIEW_SORT_BY_DISTANCE,
                       ID_EDIT_UNDO, ID_EDIT_REDO, ID_EDIT_UNDO, ID_EDIT_UNDO}) {
            m_frame->commandAction(id)->trigger();
            out.push_back(seen());
        }
        return out;
    }

private slots:
    void cleanup() {
        setTableWorkThreshold(50'000);
        if (m_frame)
            table().markSaved();
        m_frame.reset();
        m_settings.reset();
    }

    void commandsOffTheInterfaceThreadLeaveWhatTheyLeaveOnIt() {
        // The same commands on the same survey, run at once and run on a worker with
        // held listeners: the same cells, the same list, the same plan and section.
        openWindow();
        QVERIFY(m_frame->findChild<ProfileView*>()->isVisible());
        const std::vector<Seen> direct = runCommands();
        cleanup();
        openWindow();
        setTableWorkThreshold(0);
        const std::vector<Seen> worked = runCommands();
        QCOMPARE(worked.size(), direct.size());
        for (size_t i = 0; i < direct.size(); ++i) {
            QCOMPARE(worked[i].cells, direct[i].cells);
            QVERIFY2(worked[i].plan == direct[i].plan, qPrintable(QString::number(i)));
            QVERIFY2(worked[i].section == direct[i].section, qPrintable(QString::number(i)));
        }
        // The commands did change what is seen: the points were assigned, measured and
        // put in order of distance, which the section draws.
        QVERIFY(direct[1].cells != direct[0].cells);
        QVERIFY(direct[2].section != direct[0].section);
        QVERIFY(direct[3].cells != direct[2].cells);
        QCOMPARE(direct[7].cells, direct[1].cells);
    }

    void whileTheEditRunsTheViewsShowTheirLastPicture() {
        openWindow();
        setTableWorkThreshold(0);
        CListCtrlEx* list = m_frame->view()->list();
        DrawingArea* plan = m_frame->view()->drawingArea();
        const QImage listBefore = list->viewport()->grab().toImage();
        const QImage planBefore = plan->grab().toImage();
        // The edit removes every other row, then waits until the interface thread has
        // looked at the window: were that thread blocked, it would give up after 5 s.
        std::atomic<bool> looked = false;
        QThread* interfaceThread = QThread::currentThread();
        QThread* editThread = nullptr;
        int modelRowsMeanwhile = -1;
        bool listHeld = false;
        bool planHeld = false;
        QTimer look;
        connect(&look, &QTimer::timeout, this, [&] {
            if (table().rowCount() != 32 || looked)
                return;
            modelRowsMeanwhile = list->verticalHeader()->count();
            list->viewport()->repaint();
            listHeld = list->viewport()->grab().toImage() == listBefore;
            planHeld = plan->grab().toImage() == planBefore;
            looked = true;
        });
        look.start(1);
        runTableEdit(m_frame.get(), table(), QStringLiteral("删除"), 1, [&] {
            editThread = QThread::currentThread();
            std::vector<int> odd;
            for (int r = 1; r < table().rowCount(); r += 2)
                odd.push_back(r);
            PointTable::Command command(table(), "删除");
            table().removeRows(odd);
            const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            while (!looked && std::chrono::steady_clock::now() < end)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        });
        QVERIFY(looked);
        QVERIFY(editThread != interfaceThread);
        QCOMPARE(modelRowsMeanwhile, 64);  // the list has heard nothing yet
        QVERIFY(listHeld);
        QVERIFY(planHeld);
        // Released: the list, the plan and the undo command follow the table.
        QCOMPARE(list->verticalHeader()->count(), 32);
        QVERIFY(list->viewport()->grab().toImage() != listBefore);
        QVERIFY(plan->grab().toImage() != planBefore);
        QVERIFY(m_frame->commandAction(ID_EDIT_UNDO)->isEnabled());
    }

    void aFailedEditIsThrownOnWithTheViewsBack() {
        openWindow();
        setTableWorkThreshold(0);
        CListCtrlEx* list = m_frame->view()->list();
        bool caught = false;
        try {
            runTableEdit(m_frame.get(), table(), QStringLiteral("x"), 1, [&] {
                PointTable::Command command(table(), "x");
                table().setText(0, ColName, "renamed");
                throw std::runtime_error("failed");
            });
        } catch (const std::runtime_error&) {
            caught = true;
        }
        QVERIFY(caught);
        QCOMPARE(QString::fromUtf8(table().text(0, ColName).data()), QStringLiteral("J1"));
        QVERIFY(!table().canUndo());
        // Painting is the list's own again: a new text shows.
        table().setText(0, ColName, "K1");
        QCOMPARE(list->model()->index(0, ColName).data().toString(), QStringLiteral("K1"));
        const QImage before = list->viewport()->grab().toImage();
        table().setText(0, ColName, "WWWWWWWW");
        QVERIFY(list->viewport()->grab().toImage() != before);
    }
};

}  // namespace corvane

QTEST_MAIN(corvane::TableWorkTest)
#include "tablework_test.moc"
