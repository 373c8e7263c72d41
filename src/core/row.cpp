#include "row.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace corvane {
namespace {

void appendWithoutNul(std::string& out, std::string_view text) {
    if (text.find('\0') == std::string_view::npos) {
        out.append(text);
        return;
    }
    for (char c : text)
        if (c != '\0')
            out += c;
}

}  // namespace

Row::Row(std::span<const std::string_view> cells) {
    const size_t count = std::min(cells.size(), static_cast<size_t>(kColumnCount));
    size_t total = kColumnCount - 1;
    bool hasNul = false;
    for (size_t i = 0; i < count; ++i) {
        total += cells[i].size();
        hasNul = hasNul || (!cells[i].empty() &&
                            std::memchr(cells[i].data(), '\0', cells[i].size()) != nullptr);
    }
    if (hasNul) {  // rare: build the text the slow way, dropping the NULs
        std::string raw;
        raw.reserve(total);
        for (int c = 0; c < kColumnCount; ++c) {
            if (c > 0)
                raw += '\0';
            if (static_cast<size_t>(c) < count)
                appendWithoutNul(raw, cells[c]);
        }
        assign(raw);
        return;
    }
    if (total == kColumnCount - 1)  // all cells empty
        return;
    if (total > UINT32_MAX)
        throw std::length_error("row text too long");
    // One allocation of the exact size: the import builds a million of these.
    m_data.reset(new char[total]);
    char* p = m_data.get();
    for (size_t c = 0; c < kColumnCount; ++c) {
        if (c > 0)
            *p++ = '\0';
        if (c < count && !cells[c].empty()) {
            std::memcpy(p, cells[c].data(), cells[c].size());
            p += cells[c].size();
        }
    }
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
    if (raw.size() == kColumnCount - 1) {  // all cells empty
        m_data.reset();
        m_size = 0;
        return;
    }
    if (raw.size() > UINT32_MAX)
        throw std::length_error("row text too long");
    m_data.reset(raw.empty() ? nullptr : new char[raw.size()]);
    if (!raw.empty())
        std::memcpy(m_data.get(), raw.data(), raw.size());
    m_size = static_cast<uint32_t>(raw.size());
}

std::string_view Row::cell(int column) const {
    if (m_size == 0 || column < 0 || column >= kColumnCount)
        return {};
    const char* p = m_data.get();
    const char* end = p + m_size;
    for (int c = 0; c < column; ++c) {
        p = static_cast<const char*>(std::memchr(p, '\0', end - p)) + 1;
    }
    const char* q = static_cast<const char*>(std::memchr(p, '\0', end - p));
    return {p, static_cast<size_t>((q ? q : end) - p)};
}

void Row::setCell(int column, std::string_view text) {
    if (column < 0 || column >= kColumnCount)
        return;
    std::string clean;
    if (text.find('\0') != std::string_view::npos) {
        appendWithoutNul(clean, text);
        text = clean;
    }
    // Splice the new text between the cells around it; the row is one allocation.
    std::string raw;
    if (m_size == 0) {
        raw.assign(kColumnCount - 1, '\0');
        raw.insert(static_cast<size_t>(column), text);
    } else {
        const std::string_view old = cell(column);
        const size_t begin = static_cast<size_t>(old.data() - m_data.get());
        const size_t end = begin + old.size();
        raw.reserve(m_size - old.size() + text.size());
        raw.append(m_data.get(), begin).append(text).append(m_data.get() + end, m_size - end);
    }
    assign(raw);
}

void Row::appendJoined(std::string& out, char separator) const {
    if (m_size == 0) {
        out.append(kColumnCount - 1, separator);
        return;
    }
    const size_t start = out.size();
    out.append(m_data.get(), m_size);
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
