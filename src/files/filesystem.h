#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "result.h"

namespace corvane {

/// Reads a whole regular file into memory. A folder, a device or a pipe is refused, and
/// so is a file larger than half the memory the machine has available.
Result<std::string> readWholeFile(const std::string& path);

/// Writes `bytes` to `path` so that the target is either the old file or the whole
/// new one: a file with no name yet in the same folder (a hidden temporary one where
/// the file system cannot), every write and the flush to disk checked, then put in
/// place of the target in one step. On any failure, and when the process is ended
/// meanwhile, nothing new is left in the folder and the target is untouched (a named
/// temporary file survives only SIGKILL or a power failure). An existing target keeps
/// its mode and owner; a symbolic link is written through; a target the user may not
/// write is refused. Messages name `path` as given.
Status writeFileAtomically(const std::string& path, std::string_view bytes);

/// Takes bytes being written; false once writing failed, so the producer can stop.
using ByteSink = std::function<bool(std::string_view bytes)>;

/// As above for a file produced a piece at a time: `produce` hands the pieces to the
/// sink in order. When it returns an error, or a write fails, the new file is dropped
/// and the target is untouched; a failed write is the error returned.
Status writeFileAtomically(const std::string& path,
                           const std::function<Status(const ByteSink&)>& produce);

}  // namespace corvane
