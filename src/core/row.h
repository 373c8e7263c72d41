#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "columns.h"
#include "prefetch.h"

namespace corvane {

/// A cell text to set, for edits that change several cells of a row at once.
struct CellText {
    int column;
    std::string_view text;
};

/// One row of the point table: seventeen UTF-8 cell texts kept in one block of memory
/// (cells separated by NUL), so a million rows cost little more than their text. The
/// block is the row's own, or its part of a block shared with the rows a RowArena
/// built together. Cell texts never hold NUL, a carriage return or a line feed (a
/// record of a file must not end inside a cell); one given is dropped.
class Row {
public:
    Row() = default;
    /// Cells from `cells`; missing cells are empty, extra ones ignored.
    explicit Row(std::span<const std::string_view> cells);
    Row(const Row& other);
    Row& operator=(const Row& other);
    Row(Row&& other) noexcept;
    Row& operator=(Row&& other) noexcept;
    ~Row() {
        if (m_data != nullptr)
            releaseBlock();
    }

    std::string_view cell(int column) const;
    /// The cells up to column `last` in one pass, for code that reads several cells of
    /// a row; the cells after it are left empty.
    std::array<std::string_view, kColumnCount> cells(int last = kColumnCount - 1) const;
    void setCell(int column, std::string_view text);
    /// Sets several cells in one splice. `cells` must name columns in ascending order,
    /// each once; entries out of that order or range are ignored.
    void setCells(std::span<const CellText> cells);

    /// Appends the cells joined by `separator` (the row line of the point files).
    void appendJoined(std::string& out, char separator) const;
    std::string joined(char separator) const;

    bool operator==(const Row& other) const { return raw() == other.raw(); }

    /// Asks for the row's text to be brought into the cache, for a walk that will read
    /// rows out of their order in memory: a few rows ahead of their use, it hides the
    /// wait for memory. Only a hint.
    void prefetch() const {
        for (uint32_t at = 0; at < m_size && at < kPrefetchBytes; at += 64)
            CORVANE_PREFETCH(m_data + at);
    }

private:
    friend class RowArena;

    // Set in m_capacity when the block is part of a RowArena's slab, not the row's own.
    static constexpr uint32_t kInSlab = uint32_t{1} << 31;
    static constexpr size_t kMaxSize = kInSlab - 1;
    // Rows hardly ever run past this; the rest of a longer one comes as it is read.
    static constexpr uint32_t kPrefetchBytes = 256;

    /// The text of `cells` joined by NUL: its size, or 0 when a cell holds a byte that
    /// is not kept.
    static size_t joinedSize(std::span<const std::string_view> cells);
    static void writeJoined(char* out, std::span<const std::string_view> cells);

    std::string_view raw() const { return {m_data, m_size}; }
    uint32_t capacity() const { return m_capacity & ~kInSlab; }
    void assign(std::string_view raw);
    /// A new block of its own for at least `size` bytes; the old one is let go.
    void allocate(size_t size);
    /// Lets go of the block: deletes it, or leaves its slab.
    void releaseBlock() noexcept;
    static void releaseBlock(char* data, uint32_t capacity) noexcept;

    char* m_data = nullptr;
    uint32_t m_size = 0;      // 0 means seventeen empty cells
    uint32_t m_capacity = 0;  // bytes of m_data, with kInSlab
};

}  // namespace corvane
