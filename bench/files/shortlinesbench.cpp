// Peak memory of corvane-cli on files of many short lines, which are no points but
// other lines: 30 MB of "x" CR LF lines and 50 MB of bare line feeds, each imported and
// written back as .ept, and merged with itself. The peak (VmHWM of the child, from
// wait4) is shown beside the file size; the aim is at most six times the file.

#include <CLI/CLI.hpp>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "childprocess.h"

namespace corvane {
namespace {

struct ShortLines {
    const char* name;
    std::string line;
    size_t megabytes;
};

std::string makeFile(const std::string& dir, const ShortLines& kind) {
    const std::string path = dir + "/corvane-" + kind.name + ".ept";
    std::string block;
    while (block.size() < (size_t{1} << 20))
        block += kind.line;
    block.resize((size_t{1} << 20) / kind.line.size() * kind.line.size());
    std::ofstream out(path, std::ios::binary);
    const size_t total = kind.megabytes << 20;
    for (size_t written = 0; written < total; written += block.size())
        out.write(block.data(),
                  static_cast<std::streamsize>(std::min(block.size(), total - written)));
    return path;
}

}  // namespace
}  // namespace corvane

int main(int argc, char** argv) {
    using namespace corvane;
    CLI::App app("Peak memory of corvane-cli on files of short lines", "corvane-bench-shortlines");
    std::string cli = CORVANE_CLI;
    std::string dir = "/tmp";
    app.add_option("--cli", cli, "the corvane-cli to measure");
    app.add_option("--dir", dir, "folder for the files");
    CLI11_PARSE(app, argc, argv);

    const ShortLines kinds[] = {{"x-crlf", "x\r\n", 30}, {"bare-lf", "\n", 50}};
    std::printf("%-8s %-8s %8s %10s %8s %8s\n", "file", "command", "MB", "peak MB", "x file",
                "seconds");
    int failures = 0;
    for (const ShortLines& kind : kinds) {
        const std::string path = makeFile(dir, kind);
        const std::string out = dir + "/corvane-shortlines-out.ept";
        const double megabytes = static_cast<double>(fileSize(path)) / (1 << 20);
        const std::vector<std::vector<std::string>> commands = {
            {cli, "process", path, "-o", out},
            {cli, "merge", path, path, "-o", out},
        };
        for (const auto& command : commands) {
            const ProcessRun run = runProcess(command, "/dev/null");
            failures += run.status != 0;
            std::printf("%-8s %-8s %8.1f %10.1f %8.2f %8.2f%s\n", kind.name, command[1].c_str(),
                        megabytes, run.peakMegabytes, run.peakMegabytes / megabytes, run.wall,
                        run.status == 0 ? "" : "  FAILED");
        }
        ::unlink(out.c_str());
        ::unlink(path.c_str());
    }
    return failures == 0 ? 0 : 1;
}
