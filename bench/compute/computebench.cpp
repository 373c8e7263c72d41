// The computations on generated surveys: the data calculation at three sizes (it must
// grow linearly), the automatic line selection with its segment grid, the section's
// data, and the grid against the scan of every segment for single points.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <random>

#include "autoselection.h"
#include "cellnumber.h"
#include "datacalculation.h"
#include "linepointselection.h"
#include "pointfilereader.h"
#include "pointtable.h"
#include "profiledata.h"
#include "projection.h"
#include "segmentgrid.h"
#include "sorting.h"
#include "surveygenerator.h"

namespace corvane {
namespace {

enum class Stage { Imported, LineChosen, Assigned, Calculated };

// A survey of `points` rows with one J stake per 500 points, brought to `stage`.
std::unique_ptr<PointTable> survey(size_t points, Stage stage) {
    SurveyShape shape;
    shape.points = points;
    shape.jStakes = std::max<size_t>(2, points / 500);
    Survey generated = generateSurvey(shape);
    auto table = std::make_unique<PointTable>();
    table->replaceAll(std::move(generated.rows), {});
    if (stage >= Stage::LineChosen) {
        const std::vector<std::string> stakes = gatherJStakes(*table);
        const std::vector<double> mileages = lineMileages(*table, stakes, 0.0);
        std::vector<std::pair<std::string, std::string>> chain;
        for (size_t i = 0; i < stakes.size(); ++i)
            chain.emplace_back(stakes[i], formatFixed(mileages[i], 3));
        applyLinePointSelection(*table, chain);
    }
    if (stage >= Stage::Assigned)
        autoSelectLines(*table);
    if (stage >= Stage::Calculated)
        (void)calculateData(*table);
    table->clearHistory();
    return table;
}

// Runs `command` on the table once per iteration and undoes it outside the timing, so
// that every iteration does the whole work again.
template <class Command>
void timeCommand(benchmark::State& state, PointTable& table, Command command) {
    for (auto _ : state) {
        command(table);
        state.PauseTiming();
        table.undo();
        table.clearHistory();
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_DataCalculation(benchmark::State& state) {
    auto table = survey(static_cast<size_t>(state.range(0)), Stage::Assigned);
    timeCommand(state, *table, [](PointTable& t) { (void)calculateData(t); });
}
BENCHMARK(BM_DataCalculation)
    ->Arg(100'000)
    ->Arg(300'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Complexity(benchmark::oN);

void BM_AutoSelection(benchmark::State& state) {
    auto table = survey(static_cast<size_t>(state.range(0)), Stage::LineChosen);
    timeCommand(state, *table, [](PointTable& t) { autoSelectLines(t); });
}
BENCHMARK(BM_AutoSelection)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Complexity(benchmark::oN);

void BM_LinePointSelectionOk(benchmark::State& state) {
    auto table = survey(static_cast<size_t>(state.range(0)), Stage::Calculated);
    const std::vector<std::string> stakes = gatherJStakes(*table);
    const std::vector<double> mileages = lineMileages(*table, stakes, 100.0);
    std::vector<std::pair<std::string, std::string>> chain;
    for (size_t i = 0; i < stakes.size(); ++i)
        chain.emplace_back(stakes[i], formatFixed(mileages[i], 3));
    timeCommand(state, *table, [&](PointTable& t) { applyLinePointSelection(t, chain); });
}
BENCHMARK(BM_LinePointSelectionOk)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Projection(benchmark::State& state) {
    auto table = survey(static_cast<size_t>(state.range(0)), Stage::Calculated);
    timeCommand(state, *table, [](PointTable& t) { (void)projectPoints(t, 2.0); });
}
BENCHMARK(BM_Projection)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SortByDistance(benchmark::State& state) {
    auto table = survey(static_cast<size_t>(state.range(0)), Stage::Calculated);
    timeCommand(state, *table, [](PointTable& t) { sortByDistance(t); });
}
BENCHMARK(BM_SortByDistance)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->Iterations(3);

// The longitudinal section's data of a computed survey as a file brings it, the first
// paint of the section after an open.
void BM_BuildProfile(benchmark::State& state) {
    Result<ImportedPoints> read = parsePointFile(
        surveyEptBytes(generateSurvey(SurveyShape{
            .points = static_cast<size_t>(state.range(0)), .jStakes = 9000, .computed = true})),
        PointFileFormat::Ept);
    if (!read) {
        state.SkipWithError(read.error().message.c_str());
        return;
    }
    PointTable table;
    table.replaceAll(std::move(read->rows), {});
    for (auto _ : state)
        benchmark::DoNotOptimize(buildProfile(table));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_BuildProfile)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->Iterations(3);

// Single points against the 2,000 segments of a generated line: the grid and the scan
// of every segment that it replaces.
struct LineAndPoints {
    std::vector<LineSegment> segments;
    std::vector<PlanePoint> points;
};

const LineAndPoints& lineAndPoints() {
    static const LineAndPoints data = [] {
        auto table = survey(1'000'000, Stage::LineChosen);
        LineAndPoints out;
        const std::vector<std::string> stakes = gatherJStakes(*table);
        auto pointOf = [&](int row) {
            return PlanePoint{readNumber(table->text(row, 1)), readNumber(table->text(row, 2))};
        };
        for (size_t i = 0; i + 1 < stakes.size(); ++i)
            out.segments.push_back({pointOf(table->FindPointRow(stakes[i])),
                                    pointOf(table->FindPointRow(stakes[i + 1]))});
        for (int r = 0; r < table->rowCount(); r += 97)
            out.points.push_back(pointOf(r));
        return out;
    }();
    return data;
}

void BM_NearestSegmentByGrid(benchmark::State& state) {
    const LineAndPoints& data = lineAndPoints();
    SegmentGrid grid(data.segments);
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(grid.nearest(data.points[i], kAmbiguousWithin));
        i = (i + 1) % data.points.size();
    }
    state.counters["segments"] = static_cast<double>(data.segments.size());
}
BENCHMARK(BM_NearestSegmentByGrid);

void BM_NearestSegmentByScan(benchmark::State& state) {
    const LineAndPoints& data = lineAndPoints();
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            nearestSegmentsByScan(data.segments, data.points[i], kAmbiguousWithin));
        i = (i + 1) % data.points.size();
    }
    state.counters["segments"] = static_cast<double>(data.segments.size());
}
BENCHMARK(BM_NearestSegmentByScan);

}  // namespace
}  // namespace corvane

BENCHMARK_MAIN();
