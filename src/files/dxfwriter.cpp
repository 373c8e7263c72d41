#include "dxfwriter.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

#include "cellnumber.h"
#include "codepage.h"
#include "fixednumber.h"
#include "largebuffer.h"

namespace corvane {
namespace {

constexpr size_t kIntegerRoom = 24;
constexpr size_t kLongestEscape = 10;  // "\U+10FFFF"

bool isPlainAscii(unsigned char c) {
    return c >= 0x20 && c < 0x7F;
}

char* writeEscape(char* out, char32_t cp) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    char digits[8];
    int n = 0;
    do {
        digits[n++] = kHex[cp & 0xF];
        cp >>= 4;
    } while (cp != 0);
    std::memcpy(out, "\\U+", 3);
    out += 3;
    for (int i = n; i < 4; ++i)
        *out++ = '0';
    while (n > 0)
        *out++ = digits[--n];
    return out;
}

}  // namespace

void CDataToDxf::reserve(size_t bytes) {
    if (m_out.size() - m_used >= bytes)
        return;
    // A drawing of a million points is some 300 MB: asking for huge pages before the
    // memory is first touched saves most of its page faults.
    m_out.reserve(m_used + bytes + 4096);
    adviseLargeBuffer(m_out.data(), m_out.capacity());
    room(bytes);
}

std::string CDataToDxf::take() {
    m_out.resize(m_used);
    m_used = 0;
    return std::move(m_out);
}

void CDataToDxf::grow(size_t bytes) {
    m_out.resize(std::max(m_out.size() * 2, m_used + bytes + 4096));
}

void CDataToDxf::putInteger(int64_t value) {
    char* p = room(kIntegerRoom);
    m_used += static_cast<size_t>(std::to_chars(p, p + kIntegerRoom, value).ptr - p);
}

void CDataToDxf::putLongCode(int code) {
    putInteger(code);
    putLineEnd();
}

void CDataToDxf::putFixed(double value, int decimals) {
    for (const Formatted& f : m_recent) {
        if (f.decimals == decimals && f.value == value) {
            put(std::string_view(f.text, f.length));
            return;
        }
    }
    Formatted& f = m_recent[m_nextRecent];
    m_nextRecent = (m_nextRecent + 1) % 2;
    if (char* end = writeFixedNumber(f.text, value, decimals)) {
        f.value = value;
        f.decimals = decimals;
        f.length = static_cast<uint8_t>(end - f.text);
        put(std::string_view(f.text, f.length));
    } else {
        f.decimals = -1;
        put(formatFixed(value, decimals));
    }
}

void CDataToDxf::groupInteger(int code, int64_t value) {
    putCode(code);
    putInteger(value);
    putLineEnd();
}

void CDataToDxf::groupFixed(int code, double value, int decimals) {
    putCode(code);
    putFixed(value, decimals);
    putLineEnd();
}

void CDataToDxf::groupText(int code, std::string_view utf8) {
    putCode(code);
    size_t pos = 0;
    while (pos < utf8.size()) {
        size_t run = pos;
        while (run < utf8.size() && isPlainAscii(static_cast<unsigned char>(utf8[run])))
            ++run;
        put(utf8.substr(pos, run - pos));
        pos = run;
        if (pos < utf8.size()) {
            char* p = room(kLongestEscape);
            m_used += static_cast<size_t>(writeEscape(p, nextUtf8(utf8, pos)) - p);
        }
    }
    putLineEnd();
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
