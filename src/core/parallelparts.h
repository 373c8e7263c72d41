#pragma once

#include <cstddef>
#include <functional>

namespace corvane {

/// How many parts work over `count` items is cut into: one when it is fewer than
/// `large` (below that starting threads costs more than it saves), else one a core, up
/// to four.
size_t partsFor(size_t count, size_t large = size_t{1} << 15);

/// Runs `work(part, begin, end)` for the `parts` even parts of [0, count) at once, the
/// first on the calling thread, and returns when all are done. An exception thrown by
/// a part is thrown again here, after every part has finished.
void runInParts(size_t count, size_t parts,
                const std::function<void(size_t part, size_t begin, size_t end)>& work);

}  // namespace corvane
