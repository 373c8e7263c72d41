#include "processcommand.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <cmath>
#include <iostream>
#include <memory>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "autoselection.h"
#include "cellnumber.h"
#include "datacalculation.h"
#include "exitcodes.h"
#include "geoformat.h"
#include "geoprocess.h"
#include "inputformat.h"
#include "linepointselection.h"
#include "nonfiniteerror.h"
#include "pointtable.h"
#include "projection.h"
#include "sorting.h"
#include "splitfields.h"
#include "standardoutput.h"
#include "stepoptions.h"

namespace corvane {
namespace {

std::vector<std::string> splitNames(const std::string& list) {
    std::vector<std::string> names;
    size_t from = 0;
    for (;;) {
        const size_t comma = list.find(',', from);
        names.push_back(list.substr(from, comma - from));
        if (comma == std::string::npos)
            return names;
        from = comma + 1;
    }
}

Result<std::vector<std::string>> chainFor(const PointTable& table, const std::string& line) {
    std::vector<std::string> stakes = gatherJStakes(table);
    if (line == "all")
        return stakes;
    const std::unordered_set<std::string> known(stakes.begin(), stakes.end());
    std::vector<std::string> chain = splitNames(line);
    std::unordered_set<std::string> seen;
    for (const std::string& name : chain) {
        if (!known.count(name))
            return Error::data("--line 中的“" + name + "”不是表中的 J 桩（点类型为“J桩”的点）。");
        if (!seen.insert(name).second)
            return Error::data("--line 中的“" + name + "”出现了不止一次。");
    }
    return chain;
}

}  // namespace

void addProcessCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<ProcessOptions>();
    auto type = std::make_shared<std::string>();
    CLI::App* process = app.add_subcommand("process", "导入点文件，按给出的步骤处理，再导出");
    process->add_option("INPUT", options->input, "输入文件（.ept 或原始 .csv）")->required();
    process->add_option("-o,--output", options->output, "输出文件")->required();
    addInputFormatOption(*process, options->inputFormat);
    process->add_option("--type", *type, "输出格式：org、ept、csv 或 dxf（默认按输出文件的扩展名）")
        ->check(CLI::IsMember({"org", "ept", "csv", "dxf"}, CLI::ignore_case));
    auto crs = std::make_shared<std::string>();
    if (kGeoLayerBuilt)
        process->add_option(
            "--crs", *crs,
            "X、Y 的坐标系（EPSG 代码、WKT 或 PROJ 字符串），导入导出 .kml .kmz .geojson "
            ".gpkg .shp .gpx 时必需");
    std::function<void()> readSteps = addStepOptions(*process, *options);
    process->callback([=, &exitCode] {
        if (!type->empty())
            options->type = exportTypeByName(*type);
        if (!crs->empty())
            options->crs = *crs;
        readSteps();
        exitCode = finishOutput(runProcess(*options));
    });
}

Status runProcessSteps(PointTable& table, const ProcessOptions& options,
                       AutoSelectionResult* selection) {
    if (options.line) {
        Result<std::vector<std::string>> chain = chainFor(table, *options.line);
        if (!chain)
            return chain.error();
        if (chain.value().empty())
            std::cerr << "corvane-cli: 表中没有 J 桩：电力线点选择只清空了各点的电力线起点、"
                         "终点、累距和离中。\n";
        const std::vector<double> mileages =
            lineMileages(table, chain.value(), options.startMileage);
        if (std::optional<NonFiniteCell> cell = nonFiniteMileage(table, chain.value(), mileages))
            return nonFiniteResultError(*cell);
        std::vector<std::pair<std::string, std::string>> rows;
        rows.reserve(mileages.size());
        for (size_t i = 0; i < mileages.size(); ++i)
            rows.emplace_back(std::move(chain.value()[i]), formatFixed(mileages[i], 3));
        applyLinePointSelection(table, rows);
    }
    if (options.autoSelect) {
        AutoSelectionOptions limits;
        limits.maxDistance = options.maxDistance;
        const AutoSelectionResult result = autoSelectLines(table, limits);
        if (selection)
            *selection = result;
        if (!result.unassignedRows.empty())
            std::cerr << "corvane-cli: 自动选择电力线：" << result.unassignedRows.size()
                      << " 个点的垂足不在任何线段内，未分配电力线。\n";
    }
    if (options.calculate) {
        if (std::optional<NonFiniteCell> cell = calculateData(table))
            return nonFiniteResultError(*cell);
    }
    if (options.projectLimit) {
        if (std::optional<NonFiniteCell> cell =
                projectPoints(table, *options.projectLimit).nonFinite)
            return nonFiniteResultError(*cell);
        if (std::optional<NonFiniteCell> cell = calculateData(table))
            return nonFiniteResultError(*cell);
    }
    if (options.sort)
        sortByDistance(table);
    return success();
}

Status loadInput(const ProcessOptions& options, PointTable& table) {
    if (geoInput(options))
        return loadGeoInput(options, table);
    const PointFileFormat format = options.inputFormat.value_or(formatForPath(options.input));
    Result<ImportedPoints> imported = readPointFile(options.input, format);
    if (!imported)
        return imported.error();
    if (imported->invalidSequences > 0)
        std::cerr << "corvane-cli: " << importSummary(imported.value()) << '\n';
    // The command line needs no undo: the table keeps no former texts.
    table.setHistoryEnabled(false);
    table.replaceAll(std::move(imported->rows), std::move(imported->otherLines));
    return success();
}

int runProcess(const ProcessOptions& options) {
    if (std::optional<int> usage = checkGeoUsage(options))
        return *usage;
    std::optional<ExportType> type = options.type;
    if (!type)
        type = exportTypeForPath(options.output);
    if (!type && !geoOutput(options)) {
        std::cerr << "corvane-cli: 无法从“" << options.output
                  << "”的扩展名判断输出格式，请用 --type 指定。\n";
        return ExitUsage;
    }
    PointTable table;
    Status loaded = loadInput(options, table);
    if (!loaded)
        return fail(loaded.error());
    Status steps = runProcessSteps(table, options);
    if (!steps)
        return fail(steps.error());

    if (geoOutput(options))
        return writeGeoOutput(table, options);
    OrgReport report;
    Status written = exportTable(table, type.value(), options.output, &report);
    if (!written)
        return fail(written.error());
    // What the ".org" file leaves out by its rules is said, not silently dropped.
    if (*type == ExportType::Org)
        for (const std::string& line : orgReportLines(report))
            std::cerr << "corvane-cli: " << line << "。\n";
    return ExitDone;
}

}  // namespace corvane
