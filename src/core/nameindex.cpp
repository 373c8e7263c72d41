#include "nameindex.h"

#include <functional>

#include "largebuffer.h"
#include "parallelparts.h"
#include "prefetch.h"

namespace corvane {

uint32_t NameIndex::hashOf(std::string_view name) {
    uint64_t h = std::hash<std::string_view>{}(name);
    return static_cast<uint32_t>(h ^ (h >> 32));
}

size_t NameIndex::probe(std::string_view name, uint32_t hash) const {
    size_t mask = m_slots.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& s = m_slots[i];
        if (s.head == kNoRow || (s.hash == hash && nameOf(s.head) == name))
            return i;
    }
}

void NameIndex::grow() {
    size_t capacity = m_slots.empty() ? 16 : m_slots.size() * 2;
    std::vector<Slot> old;
    old.swap(m_slots);
    m_slots.assign(capacity, Slot{});
    size_t mask = capacity - 1;
    for (const Slot& s : old) {
        if (s.head == kNoRow)
            continue;
        size_t i = s.hash & mask;
        while (m_slots[i].head != kNoRow)
            i = (i + 1) & mask;
        m_slots[i] = s;
    }
}

void NameIndex::rebuild(const std::vector<RowId>& order) {
    m_used = 0;
    size_t capacity = 16;
    while (capacity * 3 < order.size() * 4)
        capacity *= 2;
    assignLarge(m_slots, capacity, Slot{});
    assignLarge(m_next, m_rows.size(), kNoRow);
    // Tails of the chains while appending in table order; indexed by slot.
    std::vector<RowId> tails;
    assignLarge(tails, capacity, kNoRow);
    // The names are hashed first, on every core; the slots of a large table
    // lie scattered over more memory than the cache holds, so they are then fetched a
    // few names ahead of their use.
    std::vector<uint32_t> hashes;
    assignLarge(hashes, order.size(), 0u);
    runInParts(order.size(), partsFor(order.size()), [&](size_t, size_t begin, size_t end) {
        for (size_t k = begin; k < end; ++k)
            hashes[k] = hashOf(nameOf(order[k]));
    });
    constexpr size_t kAhead = 16;
    const size_t mask = capacity - 1;
    for (size_t k = 0; k < order.size(); ++k) {
        if (k + kAhead < order.size()) {
            const size_t ahead = hashes[k + kAhead] & mask;
            CORVANE_PREFETCH(&m_slots[ahead]);
            CORVANE_PREFETCH(&tails[ahead]);
        }
        const RowId id = order[k];
        const uint32_t h = hashes[k];
        size_t i = probe(nameOf(id), h);
        if (m_slots[i].head == kNoRow) {
            m_slots[i] = {id, h};
            ++m_used;
        } else {
            m_next[tails[i]] = id;
        }
        tails[i] = id;
    }
}

void NameIndex::add(RowId id) {
    if (m_next.size() < m_rows.size())
        m_next.resize(m_rows.size(), kNoRow);
    if ((m_used + 1) * 4 > m_slots.size() * 3)
        grow();
    std::string_view name = nameOf(id);
    uint32_t h = hashOf(name);
    size_t i = probe(name, h);
    Slot& s = m_slots[i];
    m_next[id] = kNoRow;
    if (s.head == kNoRow) {
        s = {id, h};
        ++m_used;
        return;
    }
    uint32_t pos = m_positions[id];
    if (pos < m_positions[s.head]) {
        m_next[id] = s.head;
        s.head = id;
        return;
    }
    RowId prev = s.head;
    while (m_next[prev] != kNoRow && m_positions[m_next[prev]] < pos)
        prev = m_next[prev];
    m_next[id] = m_next[prev];
    m_next[prev] = id;
}

void NameIndex::remove(RowId id) {
    if (m_slots.empty())
        return;
    std::string_view name = nameOf(id);
    size_t i = probe(name, hashOf(name));
    Slot& s = m_slots[i];
    if (s.head == kNoRow)
        return;
    if (s.head == id) {
        s.head = m_next[id];
        m_next[id] = kNoRow;
        if (s.head == kNoRow)
            eraseSlot(i);
        return;
    }
    for (RowId prev = s.head; m_next[prev] != kNoRow; prev = m_next[prev]) {
        if (m_next[prev] == id) {
            m_next[prev] = m_next[id];
            m_next[id] = kNoRow;
            return;
        }
    }
}

// Backward-shift deletion keeps linear probing free of tombstones.
void NameIndex::eraseSlot(size_t slot) {
    size_t mask = m_slots.size() - 1;
    size_t hole = slot;
    m_slots[hole] = Slot{};
    --m_used;
    for (size_t j = (hole + 1) & mask; m_slots[j].head != kNoRow; j = (j + 1) & mask) {
        size_t home = m_slots[j].hash & mask;
        // Move the entry into the hole when the hole lies between its home and j.
        bool movable = (j > hole) ? (home <= hole || home > j) : (home <= hole && home > j);
        if (movable) {
            m_slots[hole] = m_slots[j];
            m_slots[j] = Slot{};
            hole = j;
        }
    }
}

RowId NameIndex::first(std::string_view name) const {
    if (m_slots.empty())
        return kNoRow;
    return m_slots[probe(name, hashOf(name))].head;
}

std::vector<std::vector<RowId>> NameIndex::repeated() const {
    // A row that another row links to is not the top of its name.
    std::vector<bool> linked(m_next.size(), false);
    for (RowId next : m_next)
        if (next != kNoRow)
            linked[next] = true;
    std::vector<std::vector<RowId>> out;
    for (RowId id = 0; id < m_next.size(); ++id) {
        if (m_next[id] == kNoRow || linked[id])
            continue;
        std::vector<RowId>& rows = out.emplace_back();
        for (RowId r = id; r != kNoRow; r = m_next[r])
            rows.push_back(r);
    }
    return out;
}

size_t NameIndex::memoryBytes() const {
    return m_slots.capacity() * sizeof(Slot) + m_next.capacity() * sizeof(RowId);
}

}  // namespace corvane
