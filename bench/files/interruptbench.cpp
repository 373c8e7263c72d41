// What an interrupted export leaves behind and how long its clean-up takes: corvane-cli
// exporting a generated survey (DXF and .ept) is sent SIGTERM, SIGINT or SIGKILL once
// half of its output is written; then the time from the signal to the end of the
// process, the bytes left in the folder besides the input and the old target, and
// whether the old target is untouched. The same for an export through the named
// temporary file the program falls back to where a file system has no unnamed files.

#include <CLI/CLI.hpp>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "childprocess.h"
#include "filesystem.h"
#include "pendingfile.h"

extern char** environ;

namespace corvane {
namespace {

using Clock = std::chrono::steady_clock;

struct FileState {
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    bool operator==(const FileState& o) const {
        return inode == o.inode && size == o.size && modified.tv_sec == o.modified.tv_sec &&
               modified.tv_nsec == o.modified.tv_nsec;
    }
};

FileState stateOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return {};
    return {st.st_ino, st.st_size, st.st_mtim};
}

// Bytes of every entry of `dir` but those named in `keep` (the files the benchmark
// itself made).
long long bytesBesides(const std::string& dir, const std::vector<std::string>& keep) {
    long long total = 0;
    DIR* d = ::opendir(dir.c_str());
    if (!d)
        return -1;
    while (dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name == "." || name == ".." || std::find(keep.begin(), keep.end(), name) != keep.end())
            continue;
        struct stat st {};
        if (::stat((dir + "/" + name).c_str(), &st) == 0)
            total += st.st_size;
    }
    ::closedir(d);
    return total;
}

// The size of the file `pid` is writing in `dir` (named or not), besides `input`; -1
// while there is none.
long long pendingSize(pid_t pid, const std::string& dir, const std::string& input) {
    const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
    DIR* d = ::opendir(fds.c_str());
    if (!d)
        return -1;
    long long size = -1;
    while (dirent* e = ::readdir(d)) {
        if (e->d_name[0] == '.')
            continue;
        const std::string fd = fds + "/" + e->d_name;
        char link[4096];
        const ssize_t n = ::readlink(fd.c_str(), link, sizeof link - 1);
        if (n <= 0)
            continue;
        const std::string target(link, static_cast<size_t>(n));
        if (target.rfind(dir + "/", 0) != 0 || target == input)
            continue;
        struct stat st {};
        if (::stat(fd.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            size = std::max<long long>(size, st.st_size);
    }
    ::closedir(d);
    return size;
}

pid_t spawn(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

struct Interruption {
    double cleanup = -1.0;    // seconds from the signal to the end of the process
    long long leftBytes = 0;  // bytes in the folder besides the input and the target
    bool targetKept = false;
    bool reached = false;  // the signal came with half of the output written
};

// Waits for half of `fullSize` to be written by `pid`, then sends `sig` and times the
// end of the process.
Interruption interrupt(pid_t pid, int sig, long long fullSize, const std::string& dir,
                       const std::string& input, const std::string& target,
                       const FileState& before) {
    Interruption result;
    for (;;) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid)
            return result;  // it ended before: too fast to interrupt here
        if (pendingSize(pid, dir, input) >= fullSize / 2)
            break;
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    result.reached = true;
    const Clock::time_point sent = Clock::now();
    ::kill(pid, sig);
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.cleanup = secondsSince(sent);
    result.leftBytes = bytesBesides(dir, {"survey.ept", "old.dxf", "old.ept", "copy.dxf"});
    result.targetKept = stateOf(target) == before;
    return result;
}

void report(const std::string& what, const std::vector<Interruption>& runs) {
    std::vector<double> times;
    long long left = 0;
    bool kept = true;
    int reached = 0;
    for (const Interruption& r : runs) {
        if (!r.reached)
            continue;
        ++reached;
        times.push_back(r.cleanup);
        left = std::max(left, r.leftBytes);
        kept = kept && r.targetKept;
    }
    if (reached == 0) {
        std::printf("%-40s  finished before half was written; not interrupted\n", what.c_str());
        return;
    }
    std::printf(
        "%-40s  signal to exit %7.1f ms (median of %d, max %.1f)  left %lld bytes  "
        "old target %s\n",
        what.c_str(), median(times) * 1000.0, reached,
        *std::max_element(times.begin(), times.end()) * 1000.0, left, kept ? "intact" : "CHANGED");
}

const char* signalName(int sig) {
    return sig == SIGTERM ? "SIGTERM" : sig == SIGINT ? "SIGINT" : "SIGKILL";
}

// Writes `bytes` to `target` through the named temporary file, a megabyte at a time
// (as the point file writers hand over their blocks); runs in a forked child.
[[noreturn]] void writeNamed(const std::string& bytes, const std::string& target) {
    Status written =
        writeFileAtomicallyAs(PendingFileKind::Named, target, [&](const ByteSink& sink) {
            for (size_t at = 0; at < bytes.size(); at += 1 << 20)
                if (!sink(std::string_view(bytes).substr(at, 1 << 20)))
                    break;
            return success();
        });
    ::_exit(written.ok() ? 0 : 3);
}

int runAll(size_t points, const std::string& dir, int repeat) {
    const std::string input = dir + "/survey.ept";
    const ProcessRun generated = runProcess(
        {CORVANE_GENSURVEY_PATH, "--points", std::to_string(points), "--computed", "-o", input},
        "/dev/null");
    if (generated.status != 0) {
        std::cerr << "the survey could not be generated\n";
        return 1;
    }
    std::printf("survey: %zu points, %.1f MB; %d interruptions of each kind\n", points,
                fileSize(input) / 1e6, repeat);
    const int signals[] = {SIGTERM, SIGINT, SIGKILL};
    for (const char* ext : {"dxf", "ept"}) {
        const std::string target = dir + "/old." + ext;
        const std::vector<std::string> argv{CORVANE_CLI_PATH, "process", input, "-o", target};
        const ProcessRun whole = runProcess(argv, "/dev/null");
        if (whole.status != 0) {
            std::cerr << "corvane-cli failed\n";
            return 1;
        }
        const long long fullSize = static_cast<long long>(fileSize(target));
        std::printf("corvane-cli process -o old.%s: %.1f MB, %.3f s uninterrupted\n", ext,
                    fullSize / 1e6, whole.wall);
        const FileState before = stateOf(target);
        for (int sig : signals) {
            std::vector<Interruption> runs;
            for (int i = 0; i < repeat; ++i) {
                const pid_t child = spawn(argv);
                if (child < 0)
                    return 1;
                runs.push_back(interrupt(child, sig, fullSize, dir, input, target, before));
            }
            report(std::string("  ") + ext + ", unnamed file, " + signalName(sig), runs);
        }
        if (std::string(ext) != "dxf")
            continue;
        // The fallback: the same bytes through a named temporary file.
        Result<std::string> bytes = readWholeFile(target);
        const std::string copy = dir + "/copy.dxf";
        if (!bytes || !writeFileAtomically(copy, bytes.value()))
            return 1;
        const FileState copyBefore = stateOf(copy);
        for (int sig : signals) {
            std::vector<Interruption> runs;
            for (int i = 0; i < repeat; ++i) {
                const pid_t child = ::fork();
                if (child == 0)
                    writeNamed(bytes.value(), copy);
                runs.push_back(interrupt(child, sig, fullSize, dir, input, copy, copyBefore));
                // Leaves the next run a clean folder: only SIGKILL leaves a file.
                DIR* d = ::opendir(dir.c_str());
                while (dirent* e = d ? ::readdir(d) : nullptr)
                    if (std::strncmp(e->d_name, ".copy.dxf.", 10) == 0)
                        ::unlinkat(dirfd(d), e->d_name, 0);
                if (d)
                    ::closedir(d);
            }
            report(std::string("  dxf, named fallback, ") + signalName(sig), runs);
        }
        ::unlink(copy.c_str());
    }
    ::unlink((dir + "/old.dxf").c_str());
    ::unlink((dir + "/old.ept").c_str());
    ::unlink(input.c_str());
    return 0;
}

}  // namespace
}  // namespace corvane

int main(int argc, char** argv) {
    CLI::App app{"Interrupted exports: clean-up time and what is left behind"};
    size_t points = 1'000'000;
    std::string dir = "/tmp";
    int repeat = 5;
    app.add_option("--points", points, "rows of the generated survey");
    app.add_option("--dir", dir, "a folder of its own for the files (created)");
    app.add_option("--repeat", repeat, "interruptions of each kind");
    CLI11_PARSE(app, argc, argv);
    dir += "/corvane-interrupt-bench";
    ::mkdir(dir.c_str(), 0700);
    // The path the kernel shows for the open files, to recognise them.
    char* real = ::realpath(dir.c_str(), nullptr);
    if (!real)
        return 1;
    dir = real;
    std::free(real);
    const int status = corvane::runAll(points, dir, repeat);
    ::rmdir(dir.c_str());
    return status;
}
