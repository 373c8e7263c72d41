#include "childprocess.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iostream>

extern char** environ;

namespace corvane {

ProcessRun runProcess(const std::vector<std::string>& argv, const std::string& output) {
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!output.empty())
        posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
    ProcessRun run;
    pid_t pid = 0;
    const auto start = std::chrono::steady_clock::now();
    if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return run;
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.wall = secondsSince(start);
    run.cpu = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
              usage.ru_stime.tv_usec / 1e6;
    run.peakMegabytes = usage.ru_maxrss / 1024.0;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

std::vector<double> runChild(const std::vector<std::string>& argv) {
    char tmpl[] = "/tmp/corvane-bench-XXXXXX";
    const int fd = mkstemp(tmpl);
    close(fd);
    const ProcessRun run = runProcess(argv, tmpl);
    std::ifstream in(tmpl);
    std::vector<double> values;
    double v;
    while (in >> v)
        values.push_back(v);
    unlink(tmpl);
    if (run.status != 0 || values.empty()) {
        std::cerr << "child " << (argv.size() > 1 ? argv[1] : argv[0]) << " failed\n";
        std::exit(1);
    }
    return values;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

size_t fileSize(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<size_t>(st.st_size) : 0;
}

}  // namespace corvane
