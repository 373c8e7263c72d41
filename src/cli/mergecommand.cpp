#include "mergecommand.h"

#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>

#include "exitcodes.h"
#include "filemerge.h"
#include "mergereport.h"
#include "standardoutput.h"

namespace corvane {

void addMergeCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<MergeOptions>();
    CLI::App* merge = app.add_subcommand(
        "merge", "合并两个点文件（.ept）：同名的点只保留先出现的一行，其他行在前");
    merge->add_option("FIRST", options->first, "第一个文件（同名时以它为准）")->required();
    merge->add_option("SECOND", options->second, "第二个文件")->required();
    merge->add_option("-o,--output", options->output, "输出文件（可以是输入文件之一）")->required();
    merge->callback([options, &exitCode] { exitCode = finishOutput(runMerge(*options)); });
}

int runMerge(const MergeOptions& options) {
    Result<MergeResult> merged = mergeFiles(options.first, options.second, options.output);
    if (!merged)
        return fail(merged.error());
    std::cout << mergeSummary(merged.value()) << '\n';
    // What was dropped, conflicts first: the first file won, the user should know what lost.
    for (const MergeReportEntry& entry : mergeReport(merged.value()))
        std::cerr << (entry.conflict ? "冲突：" : "重复：") << entry.text << '\n';
    return ExitDone;
}

}  // namespace corvane
