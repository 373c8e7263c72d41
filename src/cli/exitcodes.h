#pragma once

#include <iostream>

#include "result.h"

namespace corvane {

/// Exit status of corvane-cli.
enum ExitCode : int {
    ExitDone = 0,
    ExitDataProblem = 1,  // the data cannot be processed as asked; nothing written
    ExitUsage = 2,
    ExitFileProblem = 3,  // a file could not be read or written
};

inline int exitCodeFor(const Error& error) {
    return error.kind == Error::Kind::Io ? ExitFileProblem : ExitDataProblem;
}

/// Says what went wrong on stderr and gives the exit status for it.
inline int fail(const Error& error) {
    std::cerr << "corvane-cli: " << error.message << '\n';
    return exitCodeFor(error);
}

}  // namespace corvane
