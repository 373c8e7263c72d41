#pragma once

#include <functional>

namespace CLI {
class App;
}

namespace corvane {

struct ProcessOptions;

/// Adds the options of the computation steps (--line, --start-mileage, --auto-select,
/// --max-distance, --calculate, --project, --sort) to a subcommand. The returned
/// function moves what was given into `options`; call it first in the callback.
std::function<void()> addStepOptions(CLI::App& command, ProcessOptions& options);

}  // namespace corvane
