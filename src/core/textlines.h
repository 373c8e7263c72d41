#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <string_view>
#include <vector>

namespace corvane {

/// A list of text lines kept in one buffer, with where each line ends: a file of
/// millions of short lines costs its bytes and four bytes a line, not a heap string
/// each. Lines are read as views that stay valid until the list changes.
class TextLines {
public:
    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = std::string_view;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = std::string_view;

        const_iterator() = default;
        const_iterator(const TextLines* lines, size_t index) : m_lines(lines), m_index(index) {}
        std::string_view operator*() const { return (*m_lines)[m_index]; }
        const_iterator& operator++() {
            ++m_index;
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator before = *this;
            ++m_index;
            return before;
        }
        bool operator==(const const_iterator& other) const { return m_index == other.m_index; }

    private:
        const TextLines* m_lines = nullptr;
        size_t m_index = 0;
    };
    using iterator = const_iterator;
    using value_type = std::string_view;
    using size_type = size_t;

    TextLines() = default;
    TextLines(std::initializer_list<std::string_view> lines);
    TextLines(const TextLines& other);
    TextLines& operator=(const TextLines& other);
    TextLines(TextLines&& other) noexcept;
    TextLines& operator=(TextLines&& other) noexcept;
    ~TextLines();

    size_t size() const { return m_count; }
    bool empty() const { return m_count == 0; }
    std::string_view operator[](size_t index) const {
        const uint64_t begin = index == 0 ? 0 : endOf(index - 1);
        return std::string_view(m_text + begin, endOf(index) - begin);
    }
    const_iterator begin() const { return const_iterator(this, 0); }
    const_iterator end() const { return const_iterator(this, m_count); }

    void push_back(std::string_view line);
    /// Appends every line of `other`.
    void append(const TextLines& other);
    /// The same, emptying `other` as it goes: its memory is given back a block at a
    /// time while the lines move, so the two lists are not held whole at once.
    void append(TextLines&& other);
    /// Room for `lines` more lines of `bytes` more bytes in all. The buffers grow in
    /// place where the system can (large blocks are remapped, not copied), so room is
    /// only worth asking for when the sizes are known.
    void reserve(size_t lines, size_t bytes);
    void clear();
    void swap(TextLines& other) noexcept;

    /// Every line one after the other, with nothing between them.
    std::string_view text() const { return std::string_view(m_text, m_textSize); }
    /// Bytes the list holds, for the undo history's account.
    size_t heapBytes() const;

    bool operator==(const TextLines& other) const;

private:
    uint64_t endOf(size_t index) const {
        return m_wraps.empty() ? m_ends[index] : (highOf(index) << 32) | m_ends[index];
    }
    uint64_t highOf(size_t index) const;
    void growText(size_t need);
    void growEnds(size_t need);

    char* m_text = nullptr;
    size_t m_textSize = 0;
    size_t m_textCapacity = 0;
    // The low 32 bits of each line's end in m_text. The high bits only change on lists
    // of more than 4 GiB: m_wraps[k] is the first line whose end is 2^32 * (k + 1) or more.
    uint32_t* m_ends = nullptr;
    size_t m_count = 0;
    size_t m_endsCapacity = 0;
    std::vector<size_t> m_wraps;
};

}  // namespace corvane
