#pragma once

#include <string>
#include <string_view>

#include "result.h"
#include "row.h"

namespace corvane {

/// Output text of a writer, built in code page 936 with CR LF line ends. The first
/// character the code page cannot hold is remembered with the table cell it came
/// from, so the writer can stop and name it.
class EncodedText {
public:
    /// Appends UTF-8 text from cell (row, column) of the table; row and column only
    /// serve the error. False once any text could not be encoded.
    bool appendCell(std::string_view text, int row, int column);
    /// Appends the cells of table row `row` joined by `separator`; on failure the
    /// error names the cell.
    bool appendRow(const Row& content, int row, char separator);
    /// Appends text that is not from a cell (record names, numbers, separators).
    bool append(std::string_view text);
    void appendAscii(std::string_view text) { m_bytes.append(text); }
    void appendChar(char c) { m_bytes += c; }
    void endLine() { m_bytes.append("\r\n"); }
    void reserve(size_t n);
    /// Empties the text and forgets a failure, keeping the room for the next text.
    void clear();

    bool ok() const { return !m_failed; }
    const Error& error() const { return m_error; }
    std::string& bytes() { return m_bytes; }

private:
    std::string m_bytes;
    std::string m_scratch;  // the row being encoded, cells separated by NUL
    bool m_failed = false;
    Error m_error;
};

/// The message for a character that code page 936 cannot hold.
Error unencodableError(std::string_view text, size_t offset, int row, int column);

}  // namespace corvane
