#include "processcommand.h"

#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>

#include "exitcodes.h"
#include "pointtable.h"

namespace corvane {
namespace {

int fail(const Error& error) {
    std::cerr << "corvane-cli: " << error.message << '\n';
    return exitCodeFor(error);
}

}  // namespace

void addProcessCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<ProcessOptions>();
    auto inputFormat = std::make_shared<std::string>();
    auto type = std::make_shared<std::string>();
    CLI::App* process = app.add_subcommand("process", "导入点文件，按给出的步骤处理，再导出");
    process->add_option("INPUT", options->input, "输入文件（.ept 或原始 .csv）")->required();
    process->add_option("-o,--output", options->output, "输出文件")->required();
    process->add_option("--input-format", *inputFormat, "输入格式：ept 或 csv（默认按扩展名）")
        ->check(CLI::IsMember({"ept", "csv"}, CLI::ignore_case));
    process->add_option("--type", *type, "输出格式：ept 或 csv（默认按输出文件的扩展名）")
        ->check(CLI::IsMember({"org", "ept", "csv", "dxf"}, CLI::ignore_case));
    process->callback([options, inputFormat, type, &exitCode] {
        if (!inputFormat->empty())
            options->inputFormat = (*inputFormat == "csv" || *inputFormat == "CSV")
                                       ? PointFileFormat::RawCsv
                                       : PointFileFormat::Ept;
        if (!type->empty())
            options->type = exportTypeByName(*type);
        exitCode = runProcess(*options);
    });
}

int runProcess(const ProcessOptions& options) {
    std::optional<ExportType> type = options.type;
    if (!type)
        type = exportTypeForPath(options.output);
    if (!type) {
        std::cerr << "corvane-cli: 无法从“" << options.output
                  << "”的扩展名判断输出格式，请用 --type 指定。\n";
        return ExitUsage;
    }
    PointFileFormat format = options.inputFormat.value_or(formatForPath(options.input));
    Result<ImportedPoints> imported = readPointFile(options.input, format);
    if (!imported)
        return fail(imported.error());
    if (imported->invalidSequences > 0)
        std::cerr << "corvane-cli: " << importSummary(imported.value()) << '\n';

    PointTable table;
    table.replaceAll(std::move(imported->rows), std::move(imported->otherLines));

    Status written = exportTable(table, *type, options.output);
    if (!written)
        return fail(written.error());
    return ExitDone;
}

}  // namespace corvane
