#pragma once

namespace corvane {

/// The memory the process holds in RAM now, in KiB: VmRSS on Linux, the working set on
/// Windows (under Wine, what Wine reports for it).
long residentKb();

/// Gives the heap's free memory back to the system where the C library can (glibc), so
/// that what a benchmark freed before measuring is not counted.
void releaseFreeHeap();

}  // namespace corvane
