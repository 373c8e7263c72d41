// Throughput of the pieces of the point file import and export on a synthetic survey
// of 100,000 points, for finding where the time of the whole goes.

#include <benchmark/benchmark.h>

#include "codepage.h"
#include "pointfilereader.h"
#include "pointfilewriter.h"
#include "pointtable.h"
#include "splitfields.h"
#include "surveygenerator.h"

namespace corvane {
namespace {

const std::string& eptBytes() {
    static const std::string bytes = [] {
        SurveyShape shape;
        shape.points = 100'000;
        shape.jStakes = 200;
        shape.computed = true;
        return surveyEptBytes(generateSurvey(shape));
    }();
    return bytes;
}

const std::string& utf8Text() {
    static const std::string text = [] {
        std::string out;
        size_t invalid = 0;
        cp936::decode(eptBytes(), out, invalid);
        return out;
    }();
    return text;
}

void BM_Cp936Decode(benchmark::State& state) {
    const std::string& bytes = eptBytes();
    std::string out;
    for (auto _ : state) {
        out.clear();
        size_t invalid = 0;
        cp936::decode(bytes, out, invalid);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_Cp936Decode)->Unit(benchmark::kMillisecond);

void BM_Cp936Encode(benchmark::State& state) {
    const std::string& text = utf8Text();
    std::string out;
    for (auto _ : state) {
        out.clear();
        cp936::encode(text, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_Cp936Encode)->Unit(benchmark::kMillisecond);

void BM_SplitFields(benchmark::State& state) {
    const std::string& text = utf8Text();
    std::vector<std::string_view> fields;
    for (auto _ : state) {
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos)
                end = text.size();
            SplitFields(std::string_view(text).substr(start, end - start), ',', fields);
            benchmark::DoNotOptimize(fields.data());
            start = end + 1;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_SplitFields)->Unit(benchmark::kMillisecond);

void BM_ParseEpt(benchmark::State& state) {
    const std::string& bytes = eptBytes();
    for (auto _ : state) {
        Result<ImportedPoints> imported = parsePointFile(bytes, PointFileFormat::Ept);
        benchmark::DoNotOptimize(imported->rows.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ParseEpt)->Unit(benchmark::kMillisecond);

void BM_ReplaceAll(benchmark::State& state) {
    const std::string& bytes = eptBytes();
    for (auto _ : state) {
        state.PauseTiming();
        Result<ImportedPoints> imported = parsePointFile(bytes, PointFileFormat::Ept);
        auto table = std::make_unique<PointTable>();
        state.ResumeTiming();
        table->replaceAll(std::move(imported->rows), std::move(imported->otherLines));
        state.PauseTiming();
        table.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ReplaceAll)->Unit(benchmark::kMillisecond);

void BM_BuildEpt(benchmark::State& state) {
    const std::string& bytes = eptBytes();
    Result<ImportedPoints> imported = parsePointFile(bytes, PointFileFormat::Ept);
    PointTable table;
    table.replaceAll(std::move(imported->rows), std::move(imported->otherLines));
    for (auto _ : state) {
        Result<std::string> out = buildEptFile(table);
        benchmark::DoNotOptimize(out->data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_BuildEpt)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corvane

BENCHMARK_MAIN();
