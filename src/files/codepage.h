#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace corvane {

/// Code page 936, the ANSI code page of the Chinese systems the point files come
/// from. The mapping is compiled in (cp936table.cpp, generated from the C library's
/// iconv "CP936"), so every machine reads and writes the same bytes.
namespace cp936 {

/// Appends `bytes` decoded to UTF-8; invalid sequences become U+FFFD and are
/// counted in `invalid`.
void decode(std::string_view bytes, std::string& out, size_t& invalid);

/// Appends the UTF-8 `text` encoded in code page 936. Returns the byte offset in
/// `text` of the first character it cannot hold (out is then partly written), or
/// npos when all went.
size_t encode(std::string_view text, std::string& out);

/// Byte offset of the first character of `text` the code page cannot hold, or npos.
size_t firstUnencodable(std::string_view text);

/// True when every byte sequence of `bytes` is a code of the code page.
bool isValid(std::string_view bytes);

}  // namespace cp936

/// Appends the UTF-8 text as UTF-8 with every invalid sequence replaced by U+FFFD.
void sanitizeUtf8(std::string_view bytes, std::string& out, size_t& invalid);

/// True when `bytes` is well-formed UTF-8.
bool isValidUtf8(std::string_view bytes);

/// What a scan of bytes for UTF-8 found.
struct Utf8Scan {
    bool valid = true;              // well-formed UTF-8
    bool nonAscii = false;          // some byte is 0x80 or above
    bool threeOrMoreBytes = false;  // some character is U+0800 or above
};

/// Scans `bytes` once; stops at the first byte that makes them invalid.
Utf8Scan scanUtf8(std::string_view bytes);

/// Appends the code point as UTF-8.
void appendUtf8(std::string& out, char32_t cp);

/// Decodes one UTF-8 character at `pos`; returns its code point and advances pos,
/// or returns U+FFFD and advances one byte when the sequence is invalid.
char32_t nextUtf8(std::string_view text, size_t& pos);

}  // namespace corvane
