#pragma once

#include <optional>
#include <string>

#include "exportformat.h"
#include "pointfilereader.h"

namespace CLI {
class App;
}

namespace corvane {

/// What `corvane-cli process` was asked to do: import, the steps, export.
struct ProcessOptions {
    std::string input;
    std::string output;
    std::optional<PointFileFormat> inputFormat;
    std::optional<ExportType> type;
};

/// Adds the `process` subcommand to `app`; its callback stores the exit status.
void addProcessCommand(CLI::App& app, int& exitCode);

/// Runs a process request; messages go to stderr. Returns the exit status.
int runProcess(const ProcessOptions& options);

}  // namespace corvane
