#pragma once

namespace corvane {

/// Flushes standard output and standard error at the end of a command and gives the
/// exit status: `status` when everything reached them, else ExitFileProblem (a full
/// disk or a closed pipe must not pass for a complete report), said on standard error
/// when standard output failed and standard error still works.
int finishOutput(int status);

}  // namespace corvane
