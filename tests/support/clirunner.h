#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "bytefiles.h"
#include "tempdir.h"

extern char** environ;

namespace corvane::test {

/// What a run of corvane-cli gave.
struct CliRun {
    int status = -1;  // exit status, -1 when it did not exit normally
    std::string out;
    std::string err;
};

/// How to start the program: under another user, with a file size limit, with
/// variables added to the environment.
struct CliStart {
    std::vector<std::string> prefix;  // e.g. {"runuser", "-u", "nobody", "--"}
    std::vector<std::string> environment;
};

/// Where a program's standard output and error go instead of being collected, e.g.
/// "/dev/full"; empty to collect them.
struct CliStreams {
    std::string out;
    std::string err;
};

/// Runs `program args...` and collects its exit status and output.
inline CliRun runProgram(const std::string& program, const std::vector<std::string>& args,
                         const CliStart& start = {}, const CliStreams& streams = {"", ""}) {
    TempFolder capture;
    const std::string outPath = (capture / "stdout").string();
    const std::string errPath = (capture / "stderr").string();
    std::vector<std::string> argv = start.prefix;
    argv.push_back(program);
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> cargv;
    for (std::string& a : argv)
        cargv.push_back(a.data());
    cargv.push_back(nullptr);

    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        std::string entry(*e);
        bool replaced = false;
        for (const std::string& add : start.environment)
            replaced = replaced || entry.substr(0, entry.find('=')) == add.substr(0, add.find('='));
        if (!replaced)
            env.push_back(entry);
    }
    env.insert(env.end(), start.environment.begin(), start.environment.end());
    std::vector<char*> cenv;
    for (std::string& e : env)
        cenv.push_back(e.data());
    cenv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    auto open = [&](int fd, const std::string& to, const std::string& collect) {
        if (to.empty())
            posix_spawn_file_actions_addopen(&actions, fd, collect.c_str(),
                                             O_WRONLY | O_CREAT | O_TRUNC, 0644);
        else
            posix_spawn_file_actions_addopen(&actions, fd, to.c_str(), O_WRONLY, 0);
    };
    open(1, streams.out, outPath);
    open(2, streams.err, errPath);
    pid_t pid = 0;
    CliRun run;
    if (posix_spawnp(&pid, cargv[0], &actions, nullptr, cargv.data(), cenv.data()) == 0) {
        int ws = 0;
        ::waitpid(pid, &ws, 0);
        run.status = WIFEXITED(ws) ? WEXITSTATUS(ws) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    if (streams.out.empty())
        run.out = readFile(outPath);
    if (streams.err.empty())
        run.err = readFile(errPath);
    return run;
}

inline CliRun runCli(const std::vector<std::string>& args, const CliStart& start = {},
                     const CliStreams& streams = {"", ""}) {
    return runProgram(CORVANE_CLI, args, start, streams);
}

/// The prefix that runs a program as a user to whom file permissions apply: none when
/// the tests do not run as root, "nobody" through runuser or setpriv when they do (root
/// ignores permissions), or nothing at all when neither works here.
inline std::optional<std::vector<std::string>> unprivileged() {
    static const std::optional<std::vector<std::string>> prefix =
        []() -> std::optional<std::vector<std::string>> {
        if (::geteuid() != 0)
            return std::vector<std::string>{};
        const std::vector<std::string> candidates[] = {
            {"runuser", "-u", "nobody", "--"},
            {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "--"},
        };
        for (const auto& candidate : candidates) {
            if (runCli({"--help"}, CliStart{candidate, {}}).status == 0)
                return candidate;
        }
        return std::nullopt;
    }();
    return prefix;
}

}  // namespace corvane::test
