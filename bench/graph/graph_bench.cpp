// Frames of the plan drawing over the generated 1,000,000-point survey, rendered
// offscreen as the drawing area renders them.
#include <QApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "drawingarea.h"
#include "graphrenderer.h"
#include "graphviewport.h"
#include "plangeometry.h"
#include "pointtable.h"
#include "surveygenerator.h"

namespace corvane {
namespace {

constexpr int kWidth = 1600;  // the drawing area of a maximised window on a 1920 x 1080
constexpr int kHeight = 700;  // screen, below the table's 30 %

struct Scene {
    PointTable table;
    std::unique_ptr<PlanGeometry> geometry;
    RowSelection selection;
};

Scene& scene() {
    static Scene* s = [] {
        auto* made = new Scene;
        Survey survey = generateSurvey(SurveyShape{.computed = true});
        made->table.replaceAll(std::move(survey.rows), {});
        made->geometry = std::make_unique<PlanGeometry>(made->table);
        made->geometry->sync();
        made->selection.assign(made->table.rowCount(), {made->table.FindPointRow("J1000")});
        return made;
    }();
    return *s;
}

GraphViewport fitted() {
    GraphViewport v;
    v.setCanvasSize(kWidth, kHeight);
    v.fit(*scene().geometry->bounds());
    return v;
}

// Centred on J1000, halving the scale until about 1,000 points are in the canvas.
GraphViewport zoomed(GraphRenderer& renderer, QImage& canvas) {
    Scene& s = scene();
    const WorldPoint centre = s.geometry->points()[s.table.FindPointRow("J1000")];
    GraphViewport v;
    v.setCanvasSize(kWidth, kHeight);
    for (double k = 0.01;; k *= 1.25) {
        const double halfW = k * (kWidth - 30) / 2;
        const double halfH = k * (kHeight - 30) / 2;
        v.setWindow(
            {centre.east - halfW, centre.east + halfW, centre.north - halfH, centre.north + halfH});
        if (renderer.render(canvas, v, *s.geometry, s.table, s.selection).visiblePoints >= 1000)
            return v;
    }
}

void report(benchmark::State& state, const DrawingStats& stats) {
    state.counters["visible"] = stats.visiblePoints;
    state.counters["hidden_labels"] = stats.hiddenLabels;
}

// Renders one frame per iteration and reports, besides the mean, the fastest and the
// median frame: on a shared machine they tell the frame's own cost best.
void renderFrames(benchmark::State& state, GraphRenderer& renderer, QImage& canvas,
                  GraphViewport& v, int panStep = 0) {
    Scene& s = scene();
    std::vector<double> ms;
    DrawingStats stats;
    int step = 0;
    for (auto _ : state) {
        if (panStep) {
            v.pan((step / 50) % 2 ? -panStep : panStep, 1 - (step % 3));
            ++step;
        }
        const auto start = std::chrono::steady_clock::now();
        stats = renderer.render(canvas, v, *s.geometry, s.table, s.selection);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
        ms.push_back(took.count() * 1e3);
    }
    report(state, stats);
    std::sort(ms.begin(), ms.end());
    if (!ms.empty()) {
        state.counters["min_ms"] = ms.front();
        state.counters["median_ms"] = ms[ms.size() / 2];
    }
}

void BM_FittedFrame(benchmark::State& state) {
    GraphRenderer renderer;
    QImage canvas;
    GraphViewport v = fitted();
    renderFrames(state, renderer, canvas, v);
}
BENCHMARK(BM_FittedFrame)->UseManualTime()->Unit(benchmark::kMillisecond);

// Ctrl+A in the table selects every row: all red, the names larger.
void BM_FittedFrameAllSelected(benchmark::State& state) {
    Scene& s = scene();
    GraphRenderer renderer;
    QImage canvas;
    GraphViewport v = fitted();
    const RowSelection one = s.selection;
    s.selection.assign(s.table.rowCount(), {});
    s.selection.selectRange(0, s.table.rowCount() - 1);
    renderFrames(state, renderer, canvas, v);
    s.selection = one;
}
BENCHMARK(BM_FittedFrameAllSelected)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ZoomedFrame(benchmark::State& state) {
    GraphRenderer renderer;
    QImage canvas;
    GraphViewport v = zoomed(renderer, canvas);
    renderFrames(state, renderer, canvas, v);
}
BENCHMARK(BM_ZoomedFrame)->UseManualTime()->Unit(benchmark::kMillisecond);

// A drag over the zoomed view: every mouse move pans three pixels and repaints.
void BM_ZoomedPanFrame(benchmark::State& state) {
    GraphRenderer renderer;
    QImage canvas;
    GraphViewport v = zoomed(renderer, canvas);
    renderFrames(state, renderer, canvas, v, 3);
}
BENCHMARK(BM_ZoomedPanFrame)->UseManualTime()->Unit(benchmark::kMillisecond);

// The whole paint of the widget over the fitted survey: the frame and its copy.
void BM_DrawingAreaPaintFitted(benchmark::State& state) {
    Scene& s = scene();
    DrawingArea area(s.table);
    area.resize(kWidth, kHeight);
    area.fitAll();
    QImage target(kWidth, kHeight, QImage::Format_RGB32);
    area.render(&target);
    for (auto _ : state)
        area.render(&target);
}
BENCHMARK(BM_DrawingAreaPaintFitted)->Unit(benchmark::kMillisecond);

// What one table change costs the drawing: positions, segment keys and their names.
void BM_GeometryAfterRowsChanged(benchmark::State& state) {
    Scene& s = scene();
    for (auto _ : state) {
        s.geometry->noteRowsChanged();
        s.geometry->sync();
    }
    state.counters["segments"] = static_cast<double>(s.geometry->segments().size());
}
BENCHMARK(BM_GeometryAfterRowsChanged)->Unit(benchmark::kMillisecond);

void BM_GeometryAfterRename(benchmark::State& state) {
    Scene& s = scene();
    for (auto _ : state) {
        s.geometry->noteCellsChanged(5, 5, 0, 0);
        s.geometry->sync();
    }
}
BENCHMARK(BM_GeometryAfterRename)->Unit(benchmark::kMicrosecond);

// The first zoomed frame after a change of positions builds the grid.
void BM_GridBuild(benchmark::State& state) {
    Scene& s = scene();
    const WorldPoint p = s.geometry->points()[0];
    for (auto _ : state) {
        s.geometry->noteCellsChanged(0, 0, 1, 1);
        s.geometry->sync();
        std::vector<int> rows;
        s.geometry->rowsInside({p.east - 10, p.east + 10, p.north - 10, p.north + 10}, rows);
        benchmark::DoNotOptimize(rows.data());
    }
}
BENCHMARK(BM_GridBuild)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corvane

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
