#include <CLI/CLI.hpp>

#include "checkcommand.h"
#include "exitcodes.h"
#include "mergecommand.h"
#include "processcommand.h"

int main(int argc, char** argv) {
    CLI::App app("Corvane 电力线测量数据处理（命令行）", "corvane-cli");
    app.require_subcommand(1);
    int exitCode = corvane::ExitDone;
    corvane::addProcessCommand(app, exitCode);
    corvane::addMergeCommand(app, exitCode);
    corvane::addCheckCommand(app, exitCode);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        int status = app.exit(e);
        return status == 0 ? corvane::ExitDone : corvane::ExitUsage;
    }
    return exitCode;
}
