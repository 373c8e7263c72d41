// The desktop at a large survey, driven as a surveyor drives it: the real main window
// offscreen, events sent to its widgets, every repaint they ask for done before the
// clock stops. Prints the median of several runs of each interaction.
//
//   desktop-bench [--points N] [--jstakes N] [--runs N] [--file SURVEY.ept]
//                 [--only plan|section|edit|check|commands|figures|start|pieces]
//
// --file opens that survey instead of a generated one. "figures" opens it, notes the
// memory and runs the data calculation once, each figure on a line "figure NAME VALUE"
// for bench/windows-figures.sh; "start" measures the editor's start to its first painted
// window (firstpaint.h); "pieces" times the parts of the open and the calculation
// without the window (figurepieces.h; needs --file).
#include <QApplication>
#include <QDateTime>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cellnumber.h"
#include "checkpanel.h"
#include "columns.h"
#include "commandids.h"
#include "corvanedoc.h"
#include "corvaneview.h"
#include "drawingarea.h"
#include "figurepieces.h"
#include "firstpaint.h"
#include "listctrlex.h"
#include "mainframe.h"
#include "pointtable.h"
#include "processmemory.h"
#include "profileview.h"
#include "settings.h"
#include "stallprobe.h"
#include "surveygenerator.h"
#include "vocabularies.h"

namespace corvane {
namespace {

// Every posted event and repaint request handled, so the clock covers the paint.
void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QApplication::processEvents(QEventLoop::AllEvents);
    }
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// The median in milliseconds of `runs` timings of `step`, each followed by `settle`.
double timeMs(int runs, const std::function<void()>& step,
              const std::function<void()>& after = {}) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        step();
        settle();
        ms.push_back(clock.nsecsElapsed() / 1e6);
        if (after)
            after();
    }
    return median(ms);
}

void wheel(QWidget* w, int delta) {
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    QWheelEvent event(at, w->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(w, &event);
}

// One mouse drag step of `dx` pixels with the left button held.
void dragStep(QWidget* w, int dx) {
    const QPoint from(w->width() / 2, w->height() / 2);
    QTest::mousePress(w, Qt::LeftButton, {}, from);
    QTest::mouseMove(w, from + QPoint(dx, 0));
    QTest::mouseRelease(w, Qt::LeftButton, {}, from + QPoint(dx, 0));
}

// How long `step` and the repaints it asks for took, and the longest the window stood
// still meanwhile.
StallProbe::Figures measureFreeze(const std::function<void()>& step) {
    StallProbe probe;
    probe.start();
    step();
    settle();
    return probe.stop();
}

void report(const char* what, double ms, const char* target) {
    std::printf("| %-44s | %9.1f ms | %-8s |\n", what, ms, target);
    std::fflush(stdout);
}

int run(int points, int jStakes, int runs, const QString& only, QString file) {
    QTemporaryDir dir;
    if (file.isEmpty()) {
        file = dir.filePath(QStringLiteral("survey.ept"));
        Survey survey = generateSurvey(SurveyShape{.points = static_cast<size_t>(points),
                                                   .jStakes = static_cast<size_t>(jStakes),
                                                   .computed = true});
        const std::string bytes = surveyEptBytes(survey);
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) ||
            out.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
                static_cast<qint64>(bytes.size()))
            return 3;
        std::printf("survey: %d points, %d J stakes, %.1f MB\n", points, jStakes,
                    bytes.size() / 1e6);
    }
    // The generator's rows are gone; give their memory back so it is not counted.
    releaseFreeHeap();
    const long fileKb = QFileInfo(file).size() / 1024;

    CorvaneSettings settings(dir.filePath(QStringLiteral("bench.ini")));
    CMainFrame frame(settings);
    frame.resize(1400, 900);
    frame.show();
    settle();
    const long emptyKb = residentKb();

    std::printf("| %-44s | %12s | %-8s |\n|---|---|---|\n", "interaction", "median", "target");
    QElapsedTimer open;
    open.start();
    if (!frame.document()->importFile(file, PointFileFormat::Ept))
        return 1;
    settle();
    const double openMs = open.nsecsElapsed() / 1e6;
    report("open the file to the first painted window", openMs, "1500");
    const long loadedKb = residentKb();
    if (only == u"figures") {
        // The whole command: its action returns when the table, the plan and the section
        // are done, and settle() paints them.
        const double calculationMs =
            timeMs(1, [&frame] { frame.commandAction(ID_LIST_DATA_CALCULATION)->trigger(); });
        std::printf("figure open-ms %.1f\nfigure resident-mb %.1f\nfigure calculation-ms %.1f\n",
                    openMs, loadedKb / 1024.0, calculationMs);
        return 0;
    }
    if (qEnvironmentVariableIsSet("CORVANE_BENCH_OPEN_ONLY")) {
        std::printf("resident memory after loading: %.0f MB, %.2f x the file of %.0f MB\n",
                    loadedKb / 1024.0, static_cast<double>(loadedKb) / fileKb, fileKb / 1024.0);
        return 0;
    }

    auto* plan = frame.findChild<DrawingArea*>();
    auto* profile = frame.findChild<ProfileView*>();
    auto* check = frame.findChild<CheckPanel*>();
    CListCtrlEx* list = frame.view()->list();
    if (!plan || !profile || !check)
        return 1;

    if (only.isEmpty() || only == u"plan") {
        report("a fitted plan frame", timeMs(runs, [&] { plan->repaint(); }), "16");
        report("a wheel zoom step in the plan",
               timeMs(
                   runs, [&] { wheel(plan, 120); },
                   [&] {
                       wheel(plan, -120);
                       settle();
                   }),
               "16");
        report("a pan frame in the plan", timeMs(runs, [&] { dragStep(plan, 7); }), "16");
        plan->fitAll();
        settle();
    }

    if (only.isEmpty() || only == u"section") {
        int row = 1000;
        report("click a table row, the section shown",
               timeMs(runs,
                      [&] {
                          row = (row * 7919 + 13) % frame.table().rowCount();
                          list->scrollTo(list->model()->index(row, ColName));
                          settle();
                          const QModelIndex index = list->model()->index(row, ColName);
                          QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                                            list->visualRect(index).center());
                      }),
               "30");
        report("a section repaint", timeMs(runs, [&] { profile->repaint(); }), "16");
        {
            QImage image(profile->size(), QImage::Format_ARGB32_Premultiplied);
            report("  of which drawing the section",
                   timeMs(runs,
                          [&] {
                              QPainter painter(&image);
                              profile->render(painter, image.size());
                          }),
                   "");
        }
        report("a wheel zoom step in the section",
               timeMs(
                   runs, [&] { wheel(profile, 120); },
                   [&] {
                       wheel(profile, -120);
                       settle();
                   }),
               "16");
    }

    // Ctrl and a double-click on a point deletes it; Ctrl+Z brings it back.
    if (only.isEmpty() || only == u"edit") {
        QAction* undo = frame.commandAction(ID_EDIT_UNDO);
        std::vector<double> deletions;
        std::vector<double> undos;
        for (int i = 0; i < runs; ++i) {
            plan->fitAll();
            settle();
            const int victim = 5000 + i * 997;
            const std::string name(frame.table().text(victim, ColName));
            const PixelPoint p =
                plan->viewport().WorldToPixel(readNumber(frame.table().text(victim, ColNorth)),
                                              readNumber(frame.table().text(victim, ColEast)));
            const int before = frame.table().rowCount();
            QElapsedTimer clock;
            clock.start();
            QTest::mouseDClick(plan, Qt::LeftButton, Qt::ControlModifier, QPoint(p.x, p.y));
            settle();
            deletions.push_back(clock.nsecsElapsed() / 1e6);
            if (frame.table().rowCount() != before - 1)
                std::printf("  (the double-click at %d,%d deleted %d rows)\n", p.x, p.y,
                            before - frame.table().rowCount());
            clock.restart();
            undo->trigger();
            settle();
            undos.push_back(clock.nsecsElapsed() / 1e6);
        }
        report("delete one point in the plan", median(deletions), "50");
        report("its undo", median(undos), "50");
    }

    // Commands over every row: the whole time, and the longest the window stood still.
    if (only == u"commands") {
        std::printf("\n| %-44s | %12s | %12s | %-6s |\n|---|---|---|---|\n", "command", "whole",
                    "longest stall", "target");
        auto freezeReport = [](const char* what, const StallProbe::Figures& f) {
            std::printf("| %-44s | %9.1f ms | %9.1f ms | %-6s |\n", what, f.totalMs, f.longestMs,
                        "100");
            std::fflush(stdout);
        };
        auto command = [&](int id) { return [&frame, id] { frame.commandAction(id)->trigger(); }; };
        QAction* undo = frame.commandAction(ID_EDIT_UNDO);
        // The projection's dialog and the export's message are answered as a user would.
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                dialog->accept();
        });
        answer.start(20);
        // CORVANE_BENCH_SHOT names a PNG for the window as it is half a second into the
        // calculation: the views hold their pictures, the status bar says what runs.
        QTimer shot;
        shot.setSingleShot(true);
        QObject::connect(&shot, &QTimer::timeout, [&frame] {
            frame.grab().save(qEnvironmentVariable("CORVANE_BENCH_SHOT"));
        });
        if (qEnvironmentVariableIsSet("CORVANE_BENCH_SHOT"))
            shot.start(500);
        freezeReport("data calculation", measureFreeze(command(ID_LIST_DATA_CALCULATION)));
        // Rows that a recalculation lengthens leave their shared block for one of their own.
        const long calculatedKb = residentKb();
        freezeReport("its undo", measureFreeze([&] { undo->trigger(); }));
        // Every point but the J stakes without a segment, as a survey is once the line
        // is chosen and before the points are assigned.
        {
            PointTable& table = frame.table();
            PointTable::Command clear(table, "bench");
            table.fillRows([&table]() -> RowFiller {
                return [&table](int row, std::vector<CellText>& cells) {
                    if (table.text(row, ColPointType) != kJStake)
                        cells.assign({{ColSegmentStart, {}}, {ColSegmentEnd, {}}});
                };
            });
        }
        settle();
        freezeReport("automatic line selection", measureFreeze(command(ID_LIST_AUTO_SELECT_LINE)));
        freezeReport("point projection", measureFreeze(command(ID_LIST_POINT_PROJECT)));
        freezeReport("sort by distance", measureFreeze(command(ID_VIEW_SORT_BY_DISTANCE)));
        freezeReport("its undo", measureFreeze([&] { undo->trigger(); }));
        const QString exported = dir.filePath(QStringLiteral("out.ept"));
        freezeReport("export .ept", measureFreeze([&] {
                         frame.document()->exportFile(exported, ExportType::Ept);
                     }));
        freezeReport("open the file again", measureFreeze([&] {
                         frame.document()->importFile(file, PointFileFormat::Ept);
                     }));
        // Below the table, not inside it.
        std::printf("\nresident memory after the calculation: %.0f MB\n", calculatedKb / 1024.0);
        return 0;
    }

    QPushButton* checkButton = nullptr;
    for (QPushButton* b : check->findChildren<QPushButton*>())
        if (b->text() == QStringLiteral("检查(&K)"))
            checkButton = b;
    if (checkButton && (only.isEmpty() || only == u"check"))
        report("the check panel's 检查(K)", timeMs(runs, [&] { checkButton->click(); }), "1000");

    std::printf(
        "resident memory after loading: %.0f MB, %.2f x the file of %.0f MB "
        "(the empty window: %.0f MB)\n",
        loadedKb / 1024.0, static_cast<double>(loadedKb) / fileKb, fileKb / 1024.0,
        emptyKb / 1024.0);
    return 0;
}

}  // namespace
}  // namespace corvane

int main(int argc, char** argv) {
    const qint64 entered = QDateTime::currentMSecsSinceEpoch();
    // The start is measured with the editor's own application object, made there.
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--only") == 0 && std::strcmp(argv[i + 1], "start") == 0)
            return corvane::startToFirstPaint(argc, argv, entered);
    QApplication app(argc, argv);
    int points = 1'000'000;
    int jStakes = 9000;
    int runs = 5;
    QString only;  // plan, section, edit or check: that group of interactions alone
    QString file;
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QStringLiteral("--points"))
            points = args[i + 1].toInt();
        else if (args[i] == QStringLiteral("--jstakes"))
            jStakes = args[i + 1].toInt();
        else if (args[i] == QStringLiteral("--runs"))
            runs = args[i + 1].toInt();
        else if (args[i] == QStringLiteral("--only"))
            only = args[i + 1];
        else if (args[i] == QStringLiteral("--file"))
            file = args[i + 1];
    }
    if (only == u"pieces")
        return corvane::timeFigurePieces(file);
    return corvane::run(points, jStakes, std::max(1, runs), only, file);
}
