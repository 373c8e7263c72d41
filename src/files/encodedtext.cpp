#include "encodedtext.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "codepage.h"
#include "columns.h"
#include "largebuffer.h"

namespace corvane {

void EncodedText::reserve(size_t n) {
    m_bytes.reserve(n);
    adviseLargeBuffer(m_bytes.data(), m_bytes.capacity());
}

void EncodedText::clear() {
    m_bytes.clear();
    m_failed = false;
    m_error = Error();
}

Error unencodableError(std::string_view text, size_t offset, int row, int column) {
    size_t end = offset;
    char32_t cp = nextUtf8(text, end);
    std::string character(text.substr(offset, end - offset));
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(cp));
    std::string where;
    if (row >= 0 && column >= 0 && column < kColumnCount)
        where = "第 " + std::to_string(row + 1) + " 行“" + std::string(kColumns[column].header) +
                "”列中的";
    Error e = Error::data(where + "字符“" + character + "”（" + code +
                          "）无法用 GBK（代码页 936）保存，请修改后再导出。");
    e.row = row;
    e.column = column;
    return e;
}

bool EncodedText::appendCell(std::string_view text, int row, int column) {
    if (m_failed)
        return false;
    size_t bad = cp936::encode(text, m_bytes);
    if (bad == std::string_view::npos)
        return true;
    m_failed = true;
    m_error = unencodableError(text, bad, row, column);
    return false;
}

bool EncodedText::appendRow(const Row& content, int row, char separator) {
    if (m_failed)
        return false;
    // The whole row goes through the encoder at once; the NULs between the cells
    // come out as NULs (no multi-byte sequence holds one) and become separators.
    m_scratch.clear();
    content.appendJoined(m_scratch, '\0');
    const size_t start = m_bytes.size();
    const size_t bad = cp936::encode(m_scratch, m_bytes);
    if (bad != std::string_view::npos) {
        const std::string_view text(m_scratch);
        size_t from = 0;  // where the cell of the bad character starts
        if (bad > 0) {
            if (size_t nul = text.rfind('\0', bad - 1); nul != std::string_view::npos)
                from = nul + 1;
        }
        const int column = static_cast<int>(std::count(text.begin(), text.begin() + bad, '\0'));
        m_bytes.resize(start);
        m_failed = true;
        m_error = unencodableError(content.cell(column), bad - from, row, column);
        return false;
    }
    if (separator != '\0') {
        // A plain loop the compiler turns into vector code: faster than looking for
        // each of the sixteen separators on its own.
        char* const text = m_bytes.data() + start;
        const size_t size = m_bytes.size() - start;
        for (size_t i = 0; i < size; ++i)
            text[i] = text[i] == '\0' ? separator : text[i];
    }
    return true;
}

bool EncodedText::append(std::string_view text) {
    return appendCell(text, -1, -1);
}

}  // namespace corvane
