#pragma once

#include <cstddef>

namespace corvane {

/// Asks the system to back the memory of a large buffer with huge pages where it can.
/// Filling a buffer of a hundred megabytes page by page costs tens of thousands of page
/// faults, more time than the copying itself; a no-op for small buffers and where huge
/// pages are not offered.
void adviseLargeBuffer(void* data, size_t size);

}  // namespace corvane
