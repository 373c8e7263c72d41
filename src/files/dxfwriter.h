#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "fixednumber.h"

namespace corvane {

/// A small DXF text writer: group code / value lines with CR LF, built in memory,
/// with the POINT and TEXT entities and the section frame on top. Entity handles are
/// decimal and counted in 64 bits, so a drawing of any size gets distinct handles.
class CDataToDxf {
public:
    explicit CDataToDxf(int64_t firstHandle = 1) : m_handle(firstHandle) {}

    // Group code / value primitives, inline: a drawing is millions of them.
    void group(int code, std::string_view value) {
        putCode(code);
        put(value);
        putLineEnd();
    }
    void groupInteger(int code, int64_t value);
    void groupFixed(int code, double value, int decimals);
    /// A text value: every character outside printable ASCII is written as the
    /// escape "\U+XXXX" (upper-case hex, more digits beyond U+FFFF), so the file is
    /// plain ASCII and every reader shows the name, and no name can break a line.
    void groupText(int code, std::string_view utf8);

    /// "0 SECTION 2 name", and its end.
    void section(std::string_view name);
    void endSection();
    /// The ENTITIES section start, and the section end with the end of file.
    void begin() { section("ENTITIES"); }
    void end();

    void point(std::string_view layer, int colour, double x, double y);
    void text(std::string_view text, std::string_view layer, int colour, std::string_view style,
              int horizontalAlignment, int verticalAlignment, double x, double y, double height);

    int64_t nextHandle() const { return m_handle; }
    /// Makes room for `bytes` more, so a large drawing is not copied while it grows.
    void reserve(size_t bytes);
    /// The text written so far; the writer is empty afterwards.
    std::string take();

private:
    // The text is written straight into m_out, of which the first m_used bytes count:
    // millions of short pieces go faster without a capacity check per append.
    char* room(size_t bytes) {
        if (m_out.size() - m_used < bytes)
            grow(bytes);
        return m_out.data() + m_used;
    }
    void grow(size_t bytes);
    void put(std::string_view text) {
        std::memcpy(room(text.size()), text.data(), text.size());
        m_used += text.size();
    }
    void putInteger(int64_t value);
    // Group codes are small: three digits at most, written without the general routine.
    void putCode(int code) {
        if (code < 0 || code > 999) {
            putLongCode(code);
            return;
        }
        char* const p = room(5);
        char* w = p;
        if (code >= 100)
            *w++ = static_cast<char>('0' + code / 100);
        if (code >= 10)
            *w++ = static_cast<char>('0' + code / 10 % 10);
        *w++ = static_cast<char>('0' + code % 10);
        *w++ = '\r';
        *w++ = '\n';
        m_used += static_cast<size_t>(w - p);
    }
    void putLongCode(int code);
    void putLineEnd() { put("\r\n"); }
    void putFixed(double value, int decimals);

    std::string m_out;
    size_t m_used = 0;
    int64_t m_handle;
    // Every point writes its coordinates twice, for the POINT and for the TEXT.
    struct Formatted {
        double value = 0.0;
        int decimals = -1;
        uint8_t length = 0;
        char text[kFixedNumberRoom];
    };
    Formatted m_recent[2];
    int m_nextRecent = 0;
};

}  // namespace corvane
