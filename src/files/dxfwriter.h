#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace corvane {

/// A small DXF text writer: group code / value lines with CR LF, built in memory,
/// with the POINT and TEXT entities and the section frame on top. Entity handles are
/// decimal and counted in 64 bits, so a drawing of any size gets distinct handles.
class CDataToDxf {
public:
    explicit CDataToDxf(int64_t firstHandle = 1) : m_handle(firstHandle) {}

    // Group code / value primitives.
    void group(int code, std::string_view value);
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
    void reserve(size_t bytes) { m_out.reserve(bytes); }
    std::string& bytes() { return m_out; }

private:
    void code(int code);
    void endLine() { m_out.append("\r\n"); }

    std::string m_out;
    int64_t m_handle;
};

}  // namespace corvane
