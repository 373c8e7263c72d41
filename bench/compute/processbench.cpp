// corvane-cli process with the line point selection, the automatic line selection and
// the data calculation on a generated survey, timed side by side with iconv converting
// the same file from code page 936, in alternating runs (the median counts). The same
// command without steps is timed too, to show what the steps add to import and export.

#include <CLI/CLI.hpp>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "childprocess.h"

extern char** environ;

namespace corvane {
namespace {

using Clock = std::chrono::steady_clock;

// Runs argv with stdout to `output`; exits the benchmark when the program fails.
ProcessRun runTimed(const std::vector<std::string>& argv, const std::string& output) {
    const ProcessRun run = runProcess(argv, output);
    if (run.status != 0) {
        std::cerr << argv[0] << " failed\n";
        std::exit(1);
    }
    return run;
}

int runAll(size_t points, size_t jStakes, const std::string& dir, int repeat) {
    const std::string ept = dir + "/survey.ept";
    const std::string out = dir + "/processed.ept";
    const std::string scratch = dir + "/iconv-out.txt";
    // The survey is written by a child of its own: a million generated rows would
    // otherwise stay in this process, whose peak size every child it starts inherits
    // in its own peak memory figure.
    runTimed({CORVANE_GENSURVEY_PATH, "--points", std::to_string(points), "--jstakes",
              std::to_string(jStakes), "-o", ept},
             "/dev/null");
    struct stat st {};
    ::stat(ept.c_str(), &st);
    std::printf(
        "survey: %zu points, %zu J stakes, %.1f MB in code page 936; %d runs each, "
        "alternating (median)\n",
        points, jStakes, st.st_size / 1e6, repeat);

    const std::vector<std::string> iconv{"iconv", "-f", "CP936", "-t", "UTF-8", ept};
    const std::vector<std::string> steps{CORVANE_CLI_PATH, "process",     ept,  "--line", "all",
                                         "--auto-select",  "--calculate", "-o", out};
    const std::vector<std::string> plain{CORVANE_CLI_PATH, "process", ept, "-o", out};
    std::vector<double> iconvTimes, stepTimes, plainTimes, iconvCpu, stepCpu, plainCpu;
    double stepPeak = 0.0;
    runTimed(iconv, scratch);  // warm the page cache
    for (int i = 0; i < repeat; ++i) {
        const ProcessRun theirs = runTimed(iconv, scratch);
        iconvTimes.push_back(theirs.wall);
        iconvCpu.push_back(theirs.cpu);
        const ProcessRun run = runTimed(steps, "/dev/null");
        stepTimes.push_back(run.wall);
        stepCpu.push_back(run.cpu);
        stepPeak = std::max(stepPeak, run.peakMegabytes);
        const ProcessRun bare = runTimed(plain, "/dev/null");
        plainTimes.push_back(bare.wall);
        plainCpu.push_back(bare.cpu);
    }
    unlink(scratch.c_str());
    unlink(out.c_str());

    const double theirs = median(iconvTimes);
    const double ours = median(stepTimes);
    std::printf("%-58s %7.3f s\n", "iconv -f CP936 -t UTF-8 survey.ept", theirs);
    std::printf("%-58s %7.3f s  ratio %5.2f x  (target <= 5.0 x: %s)\n",
                "corvane-cli process --line all --auto-select --calculate", ours, ours / theirs,
                ours / theirs <= 5.0 ? "met" : "MISSED");
    std::printf("%-58s %7.3f s  ratio %5.2f x\n", "corvane-cli process (import and export only)",
                median(plainTimes), median(plainTimes) / theirs);
    std::printf("  the three steps add %.3f s; peak memory with the steps %.0f MB\n",
                ours - median(plainTimes), stepPeak);
    // On a busy machine the processor time of each program is the steadier comparison.
    std::printf(
        "  processor time: iconv %.3f s, corvane-cli with the steps %.3f s (ratio %.2f x), "
        "without %.3f s\n",
        median(iconvCpu), median(stepCpu), median(stepCpu) / median(iconvCpu), median(plainCpu));
    return 0;
}

}  // namespace
}  // namespace corvane

int main(int argc, char** argv) {
    CLI::App app("corvane-cli process with the computations against iconv",
                 "corvane-bench-process");
    size_t points = 1'000'000;
    size_t jStakes = 2000;
    std::string dir = "/tmp";
    int repeat = 3;
    app.add_option("--points", points, "points of the synthetic survey");
    app.add_option("--jstakes", jStakes, "J stakes of the synthetic survey");
    app.add_option("--dir", dir, "folder for the survey and the output")
        ->check(CLI::ExistingDirectory);
    app.add_option("--repeat", repeat, "runs of each measurement (the median is shown)")
        ->check(CLI::PositiveNumber);
    CLI11_PARSE(app, argc, argv);
    return corvane::runAll(points, jStakes, dir, repeat);
}
