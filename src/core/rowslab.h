#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace corvane::rowslab {

// Rows built by a RowArena share large blocks instead of owning one heap block each:
// an import of a million rows would otherwise spend a fifth of its time in the heap.
// A slab is kSize bytes aligned to kSize, so a row finds its slab from its own
// address, and it frees itself when the last row in it lets go.
inline constexpr size_t kSize = size_t{2} << 20;  // one huge page
inline constexpr size_t kHeaderSize = 64;         // the count on a line of its own

struct Header {
    // Rows still in the slab, plus the hold of the arena filling it (see RowArena).
    std::atomic<uint64_t> holds;
};

/// A new slab with `holds` holds on it.
Header* create(uint64_t holds);
/// Lets go of `count` holds; the last one frees the slab.
void release(Header* slab, uint64_t count);

inline char* dataOf(Header* slab) {
    return reinterpret_cast<char*>(slab) + kHeaderSize;
}

inline Header* slabOf(const char* inside) {
    return reinterpret_cast<Header*>(reinterpret_cast<uintptr_t>(inside) & ~(kSize - 1));
}

}  // namespace corvane::rowslab
