#include "checkcommand.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <iostream>
#include <memory>

#include "cellnumber.h"
#include "codepage.h"
#include "exitcodes.h"
#include "hardpoints.h"
#include "pointtable.h"
#include "processcommand.h"
#include "stepoptions.h"
#include "validation.h"

namespace corvane {
namespace {

struct CheckRequest {
    ProcessOptions options;
    bool json = false;
};

// The automatic selection's extra findings become entries of their own.
void addSelectionEntries(const PointTable& table, const AutoSelectionResult& selection,
                         std::vector<CheckEntry>& entries) {
    // A point the selection could not place is reported once, with the reason.
    std::vector<bool> unassigned(static_cast<size_t>(table.rowCount()), false);
    for (int row : selection.unassignedRows)
        unassigned[static_cast<size_t>(row)] = true;
    std::erase_if(entries, [&](const CheckEntry& e) {
        return e.code == "no-segment" && e.row >= 0 && unassigned[static_cast<size_t>(e.row)];
    });
    for (const HardPoint& h : classifyHardPoints(table, selection.unassignedRows)) {
        std::string where = "第 " + std::to_string(h.row + 1) + " 行“" +
                            std::string(table.text(h.row, ColName)) + "”";
        std::string near = h.nearestStake.empty()
                               ? std::string()
                               : "，最近的 J桩是“" + h.nearestStake + "”，相距 " +
                                     formatFixed(h.distance, 3) + " m";
        entries.push_back({CheckEntry::Severity::Error, "unassigned-point", h.row, ColSegmentStart,
                           where + describe(h.where) + "，自动选择电力线没有给它分配线段" + near +
                               "；导出道亨格式时会中止。",
                           "确认这个点是否属于本线路；需要时手工填写电力线起点和终点。"});
    }
    for (int row : selection.ambiguousRows) {
        entries.push_back({CheckEntry::Severity::Warning, "ambiguous-segment", row, ColSegmentStart,
                           "第 " + std::to_string(row + 1) + " 行“" +
                               std::string(table.text(row, ColName)) +
                               "”到两条线段的距离相差不到 0.01 m，分配的线段“" +
                               std::string(table.text(row, ColSegmentStart)) + "～" +
                               std::string(table.text(row, ColSegmentEnd)) + "”可能不是想要的。",
                           "检查这个点的电力线起点和终点。"});
    }
}

int runCheck(const CheckRequest& request) {
    const ProcessOptions& options = request.options;
    PointFileFormat format = options.inputFormat.value_or(formatForPath(options.input));
    Result<ImportedPoints> imported = readPointFile(options.input, format);
    if (!imported) {
        std::cerr << "corvane-cli: " << imported.error().message << '\n';
        return exitCodeFor(imported.error());
    }
    PointTable table;
    table.replaceAll(std::move(imported->rows), std::move(imported->otherLines));
    table.clearHistory();
    AutoSelectionResult selection;
    Status steps = runProcessSteps(table, options, &selection);
    if (!steps) {
        std::cerr << "corvane-cli: " << steps.error().message << '\n';
        return exitCodeFor(steps.error());
    }
    CheckOptions checkOptions;
    checkOptions.firstUnencodable = [](std::string_view text) {
        std::string scratch;
        return cp936::encode(text, scratch);
    };
    std::vector<CheckEntry> entries = checkTable(table, checkOptions);
    addSelectionEntries(table, selection, entries);
    std::stable_sort(entries.begin(), entries.end(), [](const CheckEntry& a, const CheckEntry& b) {
        return static_cast<unsigned>(a.row) < static_cast<unsigned>(b.row);
    });
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
    auto inputFormat = std::make_shared<std::string>();
    CLI::App* check = app.add_subcommand("check", "导入点文件，按给出的步骤处理，列出表中所有问题");
    check->add_option("INPUT", request->options.input, "输入文件（.ept 或原始 .csv）")->required();
    check->add_option("--input-format", *inputFormat, "输入格式：ept 或 csv（默认按扩展名）")
        ->check(CLI::IsMember({"ept", "csv"}, CLI::ignore_case));
    check->add_flag("--json", request->json, "以 JSON 输出");
    std::function<void()> readSteps = addStepOptions(*check, request->options);
    check->callback([=, &exitCode] {
        if (!inputFormat->empty())
            request->options.inputFormat =
                *inputFormat == "csv" ? PointFileFormat::RawCsv : PointFileFormat::Ept;
        readSteps();
        exitCode = runCheck(*request);
    });
}

}  // namespace corvane
