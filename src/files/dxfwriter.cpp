#include "dxfwriter.h"

#include <charconv>

#include "cellnumber.h"
#include "codepage.h"

namespace corvane {
namespace {

void appendInteger(std::string& out, int64_t value) {
    char buffer[24];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    (void)ec;
    out.append(buffer, static_cast<size_t>(end - buffer));
}

void appendEscape(std::string& out, char32_t cp) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    char digits[8];
    int n = 0;
    do {
        digits[n++] = kHex[cp & 0xF];
        cp >>= 4;
    } while (cp != 0);
    out.append("\\U+");
    for (int i = n; i < 4; ++i)
        out += '0';
    while (n > 0)
        out += digits[--n];
}

bool isPlainAscii(unsigned char c) {
    return c >= 0x20 && c < 0x7F;
}

}  // namespace

void CDataToDxf::code(int code) {
    appendInteger(m_out, code);
    endLine();
}

void CDataToDxf::group(int groupCode, std::string_view value) {
    code(groupCode);
    m_out.append(value);
    endLine();
}

void CDataToDxf::groupInteger(int groupCode, int64_t value) {
    code(groupCode);
    appendInteger(m_out, value);
    endLine();
}

void CDataToDxf::groupFixed(int groupCode, double value, int decimals) {
    code(groupCode);
    appendFixed(m_out, value, decimals);
    endLine();
}

void CDataToDxf::groupText(int groupCode, std::string_view utf8) {
    code(groupCode);
    size_t pos = 0;
    while (pos < utf8.size()) {
        size_t run = pos;
        while (run < utf8.size() && isPlainAscii(static_cast<unsigned char>(utf8[run])))
            ++run;
        m_out.append(utf8.data() + pos, run - pos);
        pos = run;
        if (pos < utf8.size())
            appendEscape(m_out, nextUtf8(utf8, pos));
    }
    endLine();
}

void CDataToDxf::section(std::string_view name) {
    group(0, "SECTION");
    group(2, name);
}

void CDataToDxf::endSection() {
    group(0, "ENDSEC");
}

void CDataToDxf::end() {
    endSection();
    group(0, "EOF");
}

void CDataToDxf::point(std::string_view layer, int colour, double x, double y) {
    group(0, "POINT");
    groupInteger(5, m_handle++);
    group(100, "AcDbEntity");
    group(8, layer);
    groupInteger(62, colour);
    group(100, "AcDbPoint");
    groupFixed(10, x, 4);
    groupFixed(20, y, 4);
    group(30, "0.0");
}

void CDataToDxf::text(std::string_view value, std::string_view layer, int colour,
                      std::string_view style, int horizontalAlignment, int verticalAlignment,
                      double x, double y, double height) {
    group(0, "TEXT");
    groupInteger(5, m_handle++);
    group(100, "AcDbEntity");
    group(8, layer);
    groupInteger(62, colour);
    if (!style.empty())
        group(7, style);
    groupInteger(73, verticalAlignment);
    groupInteger(72, horizontalAlignment);
    group(100, "AcDbText");
    groupFixed(10, x, 4);
    groupFixed(20, y, 4);
    group(30, "0.0");
    groupFixed(40, height, 2);
    groupText(1, value);
}

}  // namespace corvane
