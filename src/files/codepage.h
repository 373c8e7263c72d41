#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace corvane {

/// Code page 936, the ANSI code page of the Chinese systems the point files come
/// from. The mapping is taken once from the C library's iconv ("CP936"); the loops
/// below use it as tables, far faster than a call into iconv per piece of text.
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

}  // namespace cp936

/// Appends the UTF-8 text as UTF-8 with every invalid sequence replaced by U+FFFD.
void sanitizeUtf8(std::string_view bytes, std::string& out, size_t& invalid);

/// True when `bytes` is well-formed UTF-8.
bool isValidUtf8(std::string_view bytes);

/// Appends the code point as UTF-8.
void appendUtf8(std::string& out, char32_t cp);

/// Decodes one UTF-8 character at `pos`; returns its code point and advances pos,
/// or returns U+FFFD and advances one byte when the sequence is invalid.
char32_t nextUtf8(std::string_view text, size_t& pos);

}  // namespace corvane
