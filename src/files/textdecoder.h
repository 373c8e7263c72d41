#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "result.h"

namespace corvane {

enum class TextEncoding { Cp936, Utf8, Utf8Bom, Utf16LE, Utf16BE };

/// Chinese name of an encoding, for messages.
std::string_view encodingName(TextEncoding encoding);

/// How the bytes of a point file are to be read. A byte order mark decides (UTF-8,
/// UTF-16 LE or BE). Otherwise bytes that are not valid UTF-8 are code page 936; valid
/// UTF-8 holding non-ASCII bytes is UTF-8 when some character takes three or four bytes
/// or the bytes are not valid code page 936, and code page 936 otherwise.
TextEncoding detectEncoding(std::string_view bytes);

/// The bytes after the byte order mark that `encoding` (as detected) implies.
std::string_view withoutByteOrderMark(std::string_view bytes, TextEncoding encoding);

/// Cuts the file into lines and hands each one to `onLine` as UTF-8. A line ends at a
/// line feed, which is not handed on, and at a carriage return followed by anything
/// but another carriage return or a line feed, which is not handed on either. Carriage
/// returns before a line feed (or at the end of the file) stay in their line; field
/// trimming removes them. A final line without a line end is a line too. A file with
/// no line feed at all is cut at every carriage return. Invalid byte sequences become U+FFFD and
/// are counted in `invalid`. A zero byte (a U+0000 in UTF-16) is an error naming its place and
/// line.
Status decodeLines(std::string_view bytes, TextEncoding encoding, size_t& invalid,
                   const std::function<void(std::string_view line)>& onLine);

}  // namespace corvane
