#include "row.h"

#include "rowslab.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <utility>
#include <vector>

namespace corvane {
namespace {

// Bytes no cell keeps: NUL separates the cells of a row, and a carriage return or a
// line feed would end the record in every file written from the table.
inline bool isUnkept(char c) {
    return c == '\0' || c == '\n' || c == '\r';
}

void appendKept(std::string& out, std::string_view text) {
    for (char c : text)
        if (!isUnkept(c))
            out += c;
}

bool holdsUnkept(std::string_view text) {
    // Eight bytes at a time: only a word with a byte below 0x0E (mostly none; a tab
    // now and then) is looked at byte by byte.
    constexpr uint64_t kOnes = 0x0101010101010101ULL;
    constexpr uint64_t kHigh = 0x8080808080808080ULL;
    const char* p = text.data();
    const char* const end = p + text.size();
    for (; end - p >= 8; p += 8) {
        uint64_t word;
        std::memcpy(&word, p, sizeof word);
        if (((word - kOnes * 0x0E) & ~word & kHigh) == 0)
            continue;
        for (int i = 0; i < 8; ++i)
            if (isUnkept(p[i]))
                return true;
    }
    for (; p < end; ++p)
        if (isUnkept(*p))
            return true;
    return false;
}

}  // namespace

size_t Row::joinedSize(std::span<const std::string_view> cells) {
    const size_t count = std::min(cells.size(), static_cast<size_t>(kColumnCount));
    size_t total = kColumnCount - 1;
    for (size_t i = 0; i < count; ++i) {
        if (holdsUnkept(cells[i]))
            return 0;
        total += cells[i].size();
    }
    return total;
}

void Row::writeJoined(char* out, std::span<const std::string_view> cells) {
    const size_t count = std::min(cells.size(), static_cast<size_t>(kColumnCount));
    for (size_t c = 0; c < kColumnCount; ++c) {
        if (c > 0)
            *out++ = '\0';
        if (c < count && !cells[c].empty()) {
            std::memcpy(out, cells[c].data(), cells[c].size());
            out += cells[c].size();
        }
    }
}

Row::Row(std::span<const std::string_view> cells) {
    const size_t total = joinedSize(cells);
    if (total == 0) {  // rare: a cell holds a byte no cell keeps; build it without them
        std::string raw;
        for (int c = 0; c < kColumnCount; ++c) {
            if (c > 0)
                raw += '\0';
            if (static_cast<size_t>(c) < cells.size())
                appendKept(raw, cells[c]);
        }
        assign(raw);
        return;
    }
    if (total == kColumnCount - 1)  // all cells empty
        return;
    if (total > kMaxSize)
        throw std::length_error("row text too long");
    allocate(total);
    writeJoined(m_data, cells);
    m_size = static_cast<uint32_t>(total);
}

Row::Row(const Row& other) {
    assign(other.raw());
}

Row& Row::operator=(const Row& other) {
    if (this != &other)
        assign(other.raw());
    return *this;
}

void Row::assign(std::string_view raw) {
    // An empty text is the row of all empty cells as it is kept (no block at all).
    if (raw.empty() || raw.size() == kColumnCount - 1) {
        *this = Row();
        return;
    }
    if (raw.size() > kMaxSize)
        throw std::length_error("row text too long");
    if (m_data == nullptr || raw.size() > capacity())
        allocate(raw.size());
    std::memcpy(m_data, raw.data(), raw.size());
    m_size = static_cast<uint32_t>(raw.size());
}

namespace {

// The text of a row whose cells are all empty: the sixteen separators.
constexpr char kEmptyRaw[kColumnCount - 1] = {};

constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
constexpr uint64_t kOnes = 0x0101010101010101ULL;

// High bit set in exactly the bytes of `word` that are NUL.
inline uint64_t nulBytes(uint64_t word) {
    return ~(((word & kLow7) + kLow7) | word | kLow7);
}

// How many bytes are NUL, without a popcount instruction the baseline lacks.
inline int nulCount(uint64_t nuls) {
    return static_cast<int>(((nuls >> 7) * kOnes) >> 56);
}

// Offset just after the `count`-th NUL from `from`, or raw.size() when there are fewer.
// Rows are short and their cells shorter, so eight bytes are counted at a time rather
// than looked for one cell at a time.
size_t skipCells(std::string_view raw, size_t from, int count) {
    const char* const begin = raw.data();
    const char* const end = begin + raw.size();
    const char* p = begin + from;
    while (count > 0 && end - p >= 8) {
        uint64_t word;
        std::memcpy(&word, p, sizeof word);
        const int found = nulCount(nulBytes(word));
        if (found >= count)
            break;
        count -= found;
        p += 8;
    }
    for (; count > 0 && p < end; ++p)
        if (*p == '\0')
            --count;
    return static_cast<size_t>(p - begin);
}

// Offset of the first NUL at or after `from`, or raw.size().
size_t cellEnd(std::string_view raw, size_t from) {
    const char* const begin = raw.data();
    const char* const end = begin + raw.size();
    const char* p = begin + from;
    if constexpr (std::endian::native == std::endian::little) {
        for (; end - p >= 8; p += 8) {
            uint64_t word;
            std::memcpy(&word, p, sizeof word);
            const uint64_t nuls = nulBytes(word);
            if (nuls != 0)
                return static_cast<size_t>(p - begin) + std::countr_zero(nuls) / 8;
        }
    }
    for (; p < end; ++p)
        if (*p == '\0')
            break;
    return static_cast<size_t>(p - begin);
}

}  // namespace

std::string_view Row::cell(int column) const {
    if (m_size == 0 || column < 0 || column >= kColumnCount)
        return {};
    const std::string_view text = raw();
    const size_t begin = skipCells(text, 0, column);
    return text.substr(begin, cellEnd(text, begin) - begin);
}

std::array<std::string_view, kColumnCount> Row::cells(int last) const {
    std::array<std::string_view, kColumnCount> out;
    if (m_size == 0 || last < 0)
        return out;
    last = std::min(last, kColumnCount - 1);
    const char* const data = m_data;
    const size_t size = m_size;
    int column = 0;
    size_t begin = 0;
    size_t at = 0;
    auto cut = [&](size_t end) {
        out[column++] = std::string_view(data + begin, end - begin);
        begin = end + 1;
    };
    // Every separator of eight bytes at once: a row is read whole far more often than
    // it is edited.
    if constexpr (std::endian::native == std::endian::little) {
        for (; size - at >= 8 && column < last; at += 8) {
            uint64_t word;
            std::memcpy(&word, data + at, sizeof word);
            for (uint64_t nuls = nulBytes(word); nuls != 0 && column < last; nuls &= nuls - 1)
                cut(at + std::countr_zero(nuls) / 8);
        }
    }
    for (; at < size && column < last; ++at)
        if (data[at] == '\0')
            cut(at);
    // The cells before `last` are cut; `last` itself runs to the next separator.
    out[column] = std::string_view(data + begin, cellEnd(raw(), begin) - begin);
    return out;
}

void Row::setCell(int column, std::string_view text) {
    const CellText one{column, text};
    setCells(std::span<const CellText>(&one, 1));
}

void Row::setCells(std::span<const CellText> cells) {
    if (cells.empty())
        return;
    bool ordered = true;
    bool clean = true;
    for (size_t i = 0; i < cells.size(); ++i) {
        const int column = cells[i].column;
        ordered = ordered && column >= 0 && column < kColumnCount &&
                  (i == 0 || column > cells[i - 1].column);
        clean = clean && !holdsUnkept(cells[i].text);
    }
    if (!ordered || !clean) {
        // Rare: set what can be set, one cell at a time, in the order given. The texts
        // are copied first, as they may point into this row.
        std::vector<std::string> texts(cells.size());
        for (size_t i = 0; i < cells.size(); ++i)
            appendKept(texts[i], cells[i].text);
        for (size_t i = 0; i < cells.size(); ++i) {
            if (cells[i].column < 0 || cells[i].column >= kColumnCount)
                continue;
            const CellText one{cells[i].column, texts[i]};
            setCells(std::span<const CellText>(&one, 1));
        }
        return;
    }

    const std::string_view old =
        m_size == 0 ? std::string_view(kEmptyRaw, sizeof kEmptyRaw) : raw();
    const int first = cells.front().column;
    const int last = cells.back().column;
    const size_t begin = skipCells(old, 0, first);
    const size_t end =
        last == kColumnCount - 1 ? old.size() : skipCells(old, begin, last - first + 1) - 1;

    // The cells from `first` to `last`: the new texts where given, the old ones between.
    std::array<std::string_view, kColumnCount> pieces;
    size_t middle = 0;
    size_t at = begin;
    size_t next = 0;
    for (int c = first; c <= last; ++c) {
        const size_t stop = std::min(cellEnd(old, at), end);
        std::string_view& piece = pieces[c - first];
        piece = old.substr(at, stop - at);
        at = stop + 1;
        if (cells[next].column == c)
            piece = cells[next++].text;
        middle += piece.size() + (c < last ? 1 : 0);
    }
    const size_t total = begin + middle + (old.size() - end);
    if (total == kColumnCount - 1) {  // all cells empty
        *this = Row();
        return;
    }
    if (total > kMaxSize)
        throw std::length_error("row text too long");
    auto writeMiddle = [&](char* p) {
        for (int c = first; c <= last; ++c) {
            const std::string_view piece = pieces[c - first];
            if (!piece.empty())
                std::memcpy(p, piece.data(), piece.size());
            p += piece.size();
            if (c < last)
                *p++ = '\0';
        }
    };

    // Edits of a few cells mostly fit the room the row already has. The new cells go
    // through a small buffer first: their texts may point into this very row.
    constexpr size_t kScratch = 256;
    if (m_size != 0 && total <= capacity() && middle <= kScratch) {
        char scratch[kScratch];
        writeMiddle(scratch);
        char* const data = m_data;
        std::memmove(data + begin + middle, data + end, old.size() - end);
        std::memcpy(data + begin, scratch, middle);
        m_size = static_cast<uint32_t>(total);
        return;
    }
    // A new block; the texts may point into the old one, which lives until all is copied.
    // A row that grows is mostly being filled in (segments, then distance and offset),
    // so it gets room for the next few cells too.
    constexpr size_t kGrowthRoom = 32;
    char* const previous = m_data;
    const uint32_t previousCapacity = m_capacity;
    m_data = nullptr;
    allocate(m_size != 0 && total > old.size() ? total + kGrowthRoom : total);
    char* p = m_data;
    if (begin > 0)
        std::memcpy(p, old.data(), begin);
    writeMiddle(p + begin);
    if (old.size() > end)
        std::memcpy(p + begin + middle, old.data() + end, old.size() - end);
    m_size = static_cast<uint32_t>(total);
    if (previous != nullptr)
        releaseBlock(previous, previousCapacity);
}

void Row::allocate(size_t size) {
    // The heap hands out blocks in 16-byte steps less an 8-byte header; taking the
    // whole block costs nothing and lets later edits grow a row in place.
    const size_t room = std::max<size_t>(24, ((size + 8 + 15) & ~size_t{15}) - 8);
    char* const block = new char[room];
    if (m_data != nullptr)
        releaseBlock();
    m_data = block;
    m_capacity = static_cast<uint32_t>(std::min(room, kMaxSize));
}

void Row::releaseBlock() noexcept {
    releaseBlock(m_data, m_capacity);
    m_data = nullptr;
    m_capacity = 0;
}

void Row::releaseBlock(char* data, uint32_t capacity) noexcept {
    if ((capacity & kInSlab) != 0)
        rowslab::release(rowslab::slabOf(data), 1);
    else
        delete[] data;
}

Row::Row(Row&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)),
      m_size(std::exchange(other.m_size, 0)),
      m_capacity(std::exchange(other.m_capacity, 0)) {}

Row& Row::operator=(Row&& other) noexcept {
    if (this != &other) {
        if (m_data != nullptr)
            releaseBlock();
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
        m_capacity = std::exchange(other.m_capacity, 0);
    }
    return *this;
}

void Row::appendJoined(std::string& out, char separator) const {
    if (m_size == 0) {
        out.append(kColumnCount - 1, separator);
        return;
    }
    const size_t start = out.size();
    out.append(m_data, m_size);
    if (separator == '\0')
        return;
    char* p = out.data() + start;
    char* const end = out.data() + out.size();
    while ((p = static_cast<char*>(std::memchr(p, '\0', end - p))) != nullptr)
        *p++ = separator;
}

std::string Row::joined(char separator) const {
    std::string out;
    appendJoined(out, separator);
    return out;
}

}  // namespace corvane
