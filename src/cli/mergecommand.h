#pragma once

#include <string>

namespace CLI {
class App;
}

namespace corvane {

/// What `corvane-cli merge` was asked to do.
struct MergeOptions {
    std::string first;
    std::string second;
    std::string output;
};

/// Adds the `merge` subcommand to `app`; its callback stores the exit status.
void addMergeCommand(CLI::App& app, int& exitCode);

/// Merges two point files into OUTPUT; the closing message goes to stdout, errors to
/// stderr. Returns the exit status.
int runMerge(const MergeOptions& options);

}  // namespace corvane
