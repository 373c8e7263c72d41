#include "rowarena.h"

#include <new>

#include "largebuffer.h"
#include "rowslab.h"

namespace corvane {
namespace rowslab {

Header* create(uint64_t holds) {
    void* memory = ::operator new (kSize, std::align_val_t{kSize});
    // One page fault for the whole slab instead of five hundred; only a hint.
    adviseLargeBuffer(memory, kSize);
    return new (memory) Header{holds};
}

void release(Header* slab, uint64_t count) {
    if (slab->holds.fetch_sub(count, std::memory_order_acq_rel) != count)
        return;
    slab->~Header();
    ::operator delete (static_cast<void*>(slab), std::align_val_t{kSize});
}

}  // namespace rowslab

namespace {

// The arena's hold on the slab it fills: more than the rows it can place there, so
// that rows let go while it fills the slab never free it. When it moves on, it gives
// back what its rows did not take.
constexpr uint64_t kArenaHold = uint64_t{1} << 40;

}  // namespace

RowArena::~RowArena() {
    finishSlab();
}

void RowArena::finishSlab() {
    if (m_slab != nullptr)
        rowslab::release(m_slab, kArenaHold - m_made);
    m_slab = nullptr;
    m_next = nullptr;
    m_left = 0;
    m_made = 0;
}

Row RowArena::make(std::span<const std::string_view> cells) {
    return make(cells, m_room);
}

Row RowArena::make(std::span<const std::string_view> cells, size_t room) {
    const size_t total = Row::joinedSize(cells);
    const size_t need = total + room;
    // Rows of empty cells hold no block; rows with bytes not kept or larger than a slab
    // are rare and get a block of their own.
    if (total <= kColumnCount - 1 || need > rowslab::kSize - rowslab::kHeaderSize)
        return Row(cells);
    if (need > m_left) {
        finishSlab();
        m_slab = rowslab::create(kArenaHold);
        m_next = rowslab::dataOf(m_slab);
        m_left = rowslab::kSize - rowslab::kHeaderSize;
    }
    Row::writeJoined(m_next, cells);
    Row row;
    row.m_data = m_next;
    row.m_size = static_cast<uint32_t>(total);
    row.m_capacity = static_cast<uint32_t>(need) | Row::kInSlab;
    m_next += need;
    m_left -= need;
    ++m_made;
    return row;
}

}  // namespace corvane
