#include "checkcommand.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <iostream>
#include <memory>

#include "codepage.h"
#include "exitcodes.h"
#include "geoformat.h"
#include "geoprocess.h"
#include "inputformat.h"
#include "pointtable.h"
#include "processcommand.h"
#include "standardoutput.h"
#include "stepoptions.h"
#include "validation.h"

namespace corvane {
namespace {

struct CheckRequest {
    ProcessOptions options;
    bool json = false;
};

int runCheck(const CheckRequest& request) {
    const ProcessOptions& options = request.options;
    if (std::optional<int> usage = checkGeoUsage(options))
        return *usage;
    PointTable table;
    Status loaded = loadInput(options, table);
    if (!loaded)
        return fail(loaded.error());
    AutoSelectionResult selection;
    Status steps = runProcessSteps(table, options, &selection);
    if (!steps)
        return fail(steps.error());
    CheckOptions checkOptions;
    checkOptions.firstUnencodable = cp936::firstUnencodable;
    std::vector<CheckEntry> entries = checkTable(table, checkOptions);
    addSelectionEntries(table, selection, entries);
    const int errors = countSeverity(entries, CheckEntry::Severity::Error);
    if (request.json) {
        std::cout << checkEntriesToJson(entries);
    } else {
        for (const CheckEntry& e : entries) {
            std::cout << (e.severity == CheckEntry::Severity::Error ? "错误" : "警告") << "："
                      << e.message << " " << e.fix << '\n';
        }
        std::cout << "共 " << errors << " 个错误，"
                  << countSeverity(entries, CheckEntry::Severity::Warning) << " 个警告。\n";
    }
    return errors > 0 ? ExitDataProblem : ExitDone;
}

}  // namespace

void addCheckCommand(CLI::App& app, int& exitCode) {
    auto request = std::make_shared<CheckRequest>();
    CLI::App* check = app.add_subcommand("check", "导入点文件，按给出的步骤处理，列出表中所有问题");
    check->add_option("INPUT", request->options.input, "输入文件（.ept 或原始 .csv）")->required();
    addInputFormatOption(*check, request->options.inputFormat);
    check->add_flag("--json", request->json, "以 JSON 输出");
    auto crs = std::make_shared<std::string>();
    if (kGeoLayerBuilt)
        check->add_option("--crs", *crs,
                          "X、Y 的坐标系，导入 .kml .kmz .geojson .gpkg .shp .gpx 时必需");
    std::function<void()> readSteps = addStepOptions(*check, request->options);
    check->callback([=, &exitCode] {
        if (!crs->empty())
            request->options.crs = *crs;
        readSteps();
        exitCode = finishOutput(runCheck(*request));
    });
}

}  // namespace corvane
