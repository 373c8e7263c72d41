#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "row.h"

namespace corvane {

namespace rowslab {
struct Header;
}

/// Builds many rows, as an import does, into shared blocks of memory rather than one
/// heap block a row. The rows are ordinary rows: they may be moved, copied, edited and
/// kept after the arena is gone; the memory goes when the last row built in it does.
/// Each row gets `room` spare bytes, so that filling in a few cells later (segments,
/// distance, offset) edits it in place. One arena serves one thread.
class RowArena {
public:
    explicit RowArena(size_t room = 0) : m_room(room) {}
    ~RowArena();
    RowArena(const RowArena&) = delete;
    RowArena& operator=(const RowArena&) = delete;

    /// As Row(cells).
    Row make(std::span<const std::string_view> cells);
    /// The same with `room` spare bytes instead of the arena's.
    Row make(std::span<const std::string_view> cells, size_t room);

private:
    void finishSlab();

    size_t m_room;
    rowslab::Header* m_slab = nullptr;
    char* m_next = nullptr;
    size_t m_left = 0;
    uint64_t m_made = 0;  // rows placed in m_slab
};

}  // namespace corvane
