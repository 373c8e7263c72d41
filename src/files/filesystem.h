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
/// new one: a temporary file in the same folder, every write, the flush to disk and
/// the close checked, then renamed over the target. On any failure the temporary
/// file is removed and the target is untouched. An existing target keeps its mode
/// and owner; a symbolic link is written through; a target the user may not write is
/// refused. Messages name `path` as given.
Status writeFileAtomically(const std::string& path, std::string_view bytes);

/// Takes bytes being written; false once writing failed, so the producer can stop.
using ByteSink = std::function<bool(std::string_view bytes)>;

/// As above for a file produced a piece at a time: `produce` hands the pieces to the
/// sink in order. When it returns an error, or a write fails, the temporary file is
/// removed and the target is untouched; a failed write is the error returned.
Status writeFileAtomically(const std::string& path,
                           const std::function<Status(const ByteSink&)>& produce);

}  // namespace corvane
