#include "encodedtext.h"

#include <cstdio>

#include "codepage.h"
#include "columns.h"

namespace corvane {

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

bool EncodedText::append(std::string_view text) { return appendCell(text, -1, -1); }

}  // namespace corvane
