// The table view over the generated 1,000,000-point survey: a frame of the table
// painted offscreen after a jump to another place, a cell edit with its commit (the
// repaint it asks for is left to the event loop), and the data calculation over all
// rows against its undo.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>

#include "cellnumber.h"
#include "corvaneview.h"
#include "datacalculation.h"
#include "listctrlex.h"
#include "pointtable.h"
#include "settings.h"
#include "surveygenerator.h"

namespace corvane {
namespace {

struct Scene {
    QTemporaryDir dir;
    std::unique_ptr<CorvaneSettings> settings;
    PointTable table;
    std::unique_ptr<CCorvaneView> view;
};

// A maximised window on a 1920 x 1080 screen with the whole view given to the table,
// so that a frame holds about 48 rows of all 17 columns.
Scene& scene() {
    static Scene* s = [] {
        auto* made = new Scene;
        made->settings =
            std::make_unique<CorvaneSettings>(made->dir.filePath(QStringLiteral("bench.ini")));
        Survey survey = generateSurvey(SurveyShape{.computed = true});
        made->table.replaceAll(std::move(survey.rows), {});
        made->table.setLinePoints(std::move(survey.linePoints));
        made->table.clearHistory();
        made->view = std::make_unique<CCorvaneView>(made->table, *made->settings);
        made->view->setListPercent(100);
        made->view->resize(1920, 1000);
        made->view->show();
        QApplication::processEvents();
        return made;
    }();
    return *s;
}

// A frame after the scroll bar moved by `range(0)` rows: 3 is a wheel step, 0 a jump to
// a random place, so that nearly every text in it is new.
void BM_TableFrame(benchmark::State& state) {
    Scene& s = scene();
    CListCtrlEx* list = s.view->list();
    QImage canvas(list->size(), QImage::Format_RGB32);  // as the window's backing store
    std::mt19937 random(7);
    QScrollBar* bar = list->verticalScrollBar();
    const int step = static_cast<int>(state.range(0));
    bar->setValue(bar->maximum() / 2);
    for (auto _ : state) {
        bar->setValue(step > 0 ? bar->value() + step
                               : static_cast<int>(random() % (bar->maximum() + 1)));
        QPainter painter(&canvas);
        list->render(&painter);  // the headers and scroll bars with the cells
    }
    state.counters["rows_per_frame"] = list->viewport()->height() / list->rowHeight(0);
    state.counters["rows"] = s.table.rowCount();
}
BENCHMARK(BM_TableFrame)->ArgName("scroll")->Arg(3)->Arg(0)->Unit(benchmark::kMillisecond);

// An edit of one cell as the in-place editor ends it: stored, then its consequences.
void BM_CellEditCommit(benchmark::State& state) {
    Scene& s = scene();
    const int column = static_cast<int>(state.range(0));
    const int checked = static_cast<int>(state.range(1));
    CListCtrlEx* list = s.view->list();
    // Check marks spread over the table: a renamed segment end is carried to them.
    for (int i = 0; i < checked; ++i)
        s.table.setChecked(static_cast<int>(int64_t{i} * s.table.rowCount() / checked), true);
    std::mt19937 random(11);
    int edits = 0;
    for (auto _ : state) {
        const int row = static_cast<int>(random() % s.table.rowCount());
        const QString before = QString::fromStdString(std::string(s.table.text(row, column)));
        const QString typed =
            column == ColName || column == ColSegmentStart
                ? before + QStringLiteral("x")
                : QString::fromStdString(formatFixed(readNumber(before.toStdString()) + 1.5, 3));
        list->endCellEdit(row, column, typed, before);
        ++edits;
    }
    state.counters["history_steps"] = edits;
    for (int row : s.table.checkedRows())
        s.table.setChecked(row, false);
    s.table.clearHistory();
    QApplication::processEvents();
}
BENCHMARK(BM_CellEditCommit)
    ->ArgNames({"column", "checked"})
    ->Args({ColName, 0})
    ->Args({ColSegmentStart, 0})
    ->Args({ColSegmentStart, 200})
    ->Args({ColDistance, 0})
    ->Args({ColRemark, 0})
    ->Unit(benchmark::kMicrosecond);

void BM_DataCalculation(benchmark::State& state) {
    Scene& s = scene();
    for (auto _ : state) {
        s.view->OnDataCalculation();
        state.PauseTiming();
        s.table.undo();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DataCalculation)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_UndoDataCalculation(benchmark::State& state) {
    Scene& s = scene();
    for (auto _ : state) {
        state.PauseTiming();
        s.view->OnDataCalculation();
        state.ResumeTiming();
        s.table.undo();
    }
    state.counters["history_bytes"] = static_cast<double>(s.table.historyBytes());
}
BENCHMARK(BM_UndoDataCalculation)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_RedoDataCalculation(benchmark::State& state) {
    Scene& s = scene();
    s.view->OnDataCalculation();
    s.table.undo();
    for (auto _ : state) {
        s.table.redo();
        state.PauseTiming();
        s.table.undo();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RedoDataCalculation)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace corvane

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
