#include "textlines.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace corvane {
namespace {

// Grows a block of plain bytes with realloc: a large block is then remapped by the
// system rather than copied, so a list that doubles its room never holds the old and
// the new buffer at once, and room not yet filled is never touched.
void* regrow(void* block, size_t bytes) {
    void* grown = std::realloc(block, std::max<size_t>(bytes, 1));
    if (grown == nullptr)
        throw std::bad_alloc();
    return grown;
}

size_t nextCapacity(size_t capacity, size_t need, size_t least) {
    return std::max({need, capacity * 2, least});
}

}  // namespace

TextLines::TextLines(std::initializer_list<std::string_view> lines) {
    for (std::string_view line : lines)
        push_back(line);
}

TextLines::TextLines(const TextLines& other) {
    append(other);
}

TextLines& TextLines::operator=(const TextLines& other) {
    if (this != &other) {
        clear();
        append(other);
    }
    return *this;
}

TextLines::TextLines(TextLines&& other) noexcept
    : m_text(other.m_text),
      m_textSize(other.m_textSize),
      m_textCapacity(other.m_textCapacity),
      m_ends(other.m_ends),
      m_count(other.m_count),
      m_endsCapacity(other.m_endsCapacity),
      m_wraps(std::move(other.m_wraps)) {
    other.m_text = nullptr;
    other.m_ends = nullptr;
    other.m_textSize = other.m_textCapacity = other.m_count = other.m_endsCapacity = 0;
    other.m_wraps.clear();
}

TextLines& TextLines::operator=(TextLines&& other) noexcept {
    if (this != &other) {
        std::free(m_text);
        std::free(m_ends);
        m_text = other.m_text;
        m_textSize = other.m_textSize;
        m_textCapacity = other.m_textCapacity;
        m_ends = other.m_ends;
        m_count = other.m_count;
        m_endsCapacity = other.m_endsCapacity;
        m_wraps = std::move(other.m_wraps);
        other.m_text = nullptr;
        other.m_ends = nullptr;
        other.m_textSize = other.m_textCapacity = other.m_count = other.m_endsCapacity = 0;
        other.m_wraps.clear();
    }
    return *this;
}

TextLines::~TextLines() {
    std::free(m_text);
    std::free(m_ends);
}

uint64_t TextLines::highOf(size_t index) const {
    return static_cast<uint64_t>(std::upper_bound(m_wraps.begin(), m_wraps.end(), index) -
                                 m_wraps.begin());
}

void TextLines::growText(size_t need) {
    const size_t capacity = nextCapacity(m_textCapacity, need, 256);
    m_text = static_cast<char*>(regrow(m_text, capacity));
    m_textCapacity = capacity;
}

void TextLines::growEnds(size_t need) {
    const size_t capacity = nextCapacity(m_endsCapacity, need, 64);
    m_ends = static_cast<uint32_t*>(regrow(m_ends, capacity * sizeof(uint32_t)));
    m_endsCapacity = capacity;
}

void TextLines::push_back(std::string_view line) {
    if (line.size() > m_textCapacity - m_textSize) {
        // The line may lie in this very buffer, which growing moves.
        const auto at = reinterpret_cast<uintptr_t>(line.data());
        const auto base = reinterpret_cast<uintptr_t>(m_text);
        const bool inside = m_text != nullptr && at >= base && at < base + m_textSize;
        const size_t offset = inside ? at - base : 0;
        growText(m_textSize + line.size());
        if (inside)
            line = std::string_view(m_text + offset, line.size());
    }
    if (m_count == m_endsCapacity)
        growEnds(m_count + 1);
    if (!line.empty())
        std::memcpy(m_text + m_textSize, line.data(), line.size());
    m_textSize += line.size();
    const uint64_t end = m_textSize;
    while ((end >> 32) > m_wraps.size())
        m_wraps.push_back(m_count);
    m_ends[m_count++] = static_cast<uint32_t>(end);
}

void TextLines::append(const TextLines& other) {
    if (&other == this) {
        const TextLines copy(other);
        append(copy);
        return;
    }
    reserve(other.m_count, other.m_textSize);
    for (std::string_view line : other)
        push_back(line);
}

void TextLines::append(TextLines&& other) {
    if (&other == this || !m_wraps.empty() || !other.m_wraps.empty() ||
        ((m_textSize + other.m_textSize) >> 32) != 0) {
        append(static_cast<const TextLines&>(other));
        other = TextLines();
        return;
    }
    reserve(other.m_count, other.m_textSize);
    // From the back, a block at a time, shrinking the other's buffers behind the copy:
    // a large block shrinks in place and its pages go back to the system.
    constexpr size_t kBlock = size_t{1} << 20;
    const auto shift = static_cast<uint32_t>(m_textSize);
    for (size_t left = other.m_count; left > 0;) {
        const size_t from = left > kBlock ? left - kBlock : 0;
        for (size_t i = from; i < left; ++i)
            m_ends[m_count + i] = other.m_ends[i] + shift;
        left = from;
        other.m_ends = static_cast<uint32_t*>(regrow(other.m_ends, left * sizeof(uint32_t)));
        other.m_endsCapacity = left;
    }
    for (size_t left = other.m_textSize; left > 0;) {
        const size_t from = left > kBlock ? left - kBlock : 0;
        std::memcpy(m_text + m_textSize + from, other.m_text + from, left - from);
        left = from;
        other.m_text = static_cast<char*>(regrow(other.m_text, left));
        other.m_textCapacity = left;
    }
    m_count += other.m_count;
    m_textSize += other.m_textSize;
    other = TextLines();
}

void TextLines::reserve(size_t lines, size_t bytes) {
    if (bytes > m_textCapacity - m_textSize)
        growText(m_textSize + bytes);
    if (lines > m_endsCapacity - m_count)
        growEnds(m_count + lines);
}

void TextLines::clear() {
    m_textSize = 0;
    m_count = 0;
    m_wraps.clear();
}

void TextLines::swap(TextLines& other) noexcept {
    std::swap(m_text, other.m_text);
    std::swap(m_textSize, other.m_textSize);
    std::swap(m_textCapacity, other.m_textCapacity);
    std::swap(m_ends, other.m_ends);
    std::swap(m_count, other.m_count);
    std::swap(m_endsCapacity, other.m_endsCapacity);
    m_wraps.swap(other.m_wraps);
}

size_t TextLines::heapBytes() const {
    return m_textCapacity + m_endsCapacity * sizeof(uint32_t) + m_wraps.capacity() * sizeof(size_t);
}

bool TextLines::operator==(const TextLines& other) const {
    return m_count == other.m_count && text() == other.text() && m_wraps == other.m_wraps &&
           (m_count == 0 || std::memcmp(m_ends, other.m_ends, m_count * sizeof(uint32_t)) == 0);
}

}  // namespace corvane
