#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "columns.h"

namespace corvane {

/// A cell text to set, for edits that change several cells of a row at once.
struct CellText {
    int column;
    std::string_view text;
};

/// One row of the point table: seventeen UTF-8 cell texts kept in a single
/// allocation (cells separated by NUL), so a million rows cost little more than
/// their text. Cell texts never hold NUL; one given is dropped.
class Row {
public:
    Row() = default;
    /// Cells from `cells`; missing cells are empty, extra ones ignored.
    explicit Row(std::span<const std::string_view> cells);
    Row(const Row& other);
    Row& operator=(const Row& other);
    Row(Row&& other) noexcept;
    Row& operator=(Row&& other) noexcept;

    std::string_view cell(int column) const;
    void setCell(int column, std::string_view text);
    /// Sets several cells in one splice. `cells` must name columns in ascending order,
    /// each once; entries out of that order or range are ignored.
    void setCells(std::span<const CellText> cells);

    /// Appends the cells joined by `separator` (the row line of the point files).
    void appendJoined(std::string& out, char separator) const;
    std::string joined(char separator) const;

    bool operator==(const Row& other) const { return raw() == other.raw(); }

private:
    std::string_view raw() const { return {m_data.get(), m_size}; }
    void assign(std::string_view raw);
    /// A new block for at least `size` bytes; the old one is let go.
    void allocate(size_t size);

    std::unique_ptr<char[]> m_data;
    uint32_t m_size = 0;      // 0 means seventeen empty cells
    uint32_t m_capacity = 0;  // bytes of m_data
};

}  // namespace corvane
