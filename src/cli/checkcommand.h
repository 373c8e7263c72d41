#pragma once

namespace CLI {
class App;
}

namespace corvane {

/// Adds `corvane-cli check INPUT [steps] [--json]`: imports, runs the same steps as
/// `process`, and lists every problem of the table it leaves. Exit status 1 when there
/// is an error, 0 otherwise.
void addCheckCommand(CLI::App& app, int& exitCode);

}  // namespace corvane
