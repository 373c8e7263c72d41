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

#include "filesystem.h"
#include "surveygenerator.h"

extern char** environ;

namespace corvane {
namespace {

using Clock = std::chrono::steady_clock;

struct Run {
    double seconds = 0.0;     // wall clock
    double cpuSeconds = 0.0;  // user and system time of the child
    double peakMegabytes = 0.0;
};

// Runs argv with stdout to `output`; exits the benchmark when the program fails.
Run runTimed(const std::vector<std::string>& argv, const std::string& output) {
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    pid_t pid = 0;
    const auto start = Clock::now();
    if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) != 0) {
        std::cerr << "cannot start " << argv[0] << '\n';
        std::exit(1);
    }
    int status = 0;
    struct rusage usage {};
    wait4(pid, &status, 0, &usage);
    Run run;
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    run.cpuSeconds = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
                     usage.ru_stime.tv_usec / 1e6;
    run.peakMegabytes = usage.ru_maxrss / 1024.0;
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::cerr << argv[0] << " failed\n";
        std::exit(1);
    }
    return run;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

int runAll(size_t points, size_t jStakes, const std::string& dir, int repeat) {
    const std::string ept = dir + "/survey.ept";
    const std::string out = dir + "/processed.ept";
    const std::string scratch = dir + "/iconv-out.txt";
    SurveyShape shape;
    shape.points = points;
    shape.jStakes = jStakes;
    if (Status s = writeFileAtomically(ept, surveyEptBytes(generateSurvey(shape))); !s) {
        std::cerr << s.error().message << '\n';
        return 1;
    }
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
        const Run theirs = runTimed(iconv, scratch);
        iconvTimes.push_back(theirs.seconds);
        iconvCpu.push_back(theirs.cpuSeconds);
        const Run run = runTimed(steps, "/dev/null");
        stepTimes.push_back(run.seconds);
        stepCpu.push_back(run.cpuSeconds);
        stepPeak = std::max(stepPeak, run.peakMegabytes);
        const Run bare = runTimed(plain, "/dev/null");
        plainTimes.push_back(bare.seconds);
        plainCpu.push_back(bare.cpuSeconds);
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
