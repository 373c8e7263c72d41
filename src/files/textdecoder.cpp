#include "textdecoder.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "codepage.h"

namespace corvane {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Decodes UTF-16 after its byte order mark. A U+0000 is no text: its index (counted
// in code units after the mark) is returned in `nulAt`, and decoding stops there.
std::string decodeUtf16(std::string_view bytes, bool bigEndian, size_t& invalid, size_t& nulAt) {
    std::string out;
    out.reserve(bytes.size());
    nulAt = std::string::npos;
    const size_t units = bytes.size() / 2;
    auto unit = [&](size_t i) -> char16_t {
        auto b0 = static_cast<unsigned char>(bytes[2 * i]);
        auto b1 = static_cast<unsigned char>(bytes[2 * i + 1]);
        return bigEndian ? static_cast<char16_t>((b0 << 8) | b1)
                         : static_cast<char16_t>((b1 << 8) | b0);
    };
    for (size_t i = 1; i < units; ++i) {  // unit 0 is the byte order mark
        char16_t u = unit(i);
        if (u == 0) {
            nulAt = i - 1;
            return out;
        }
        if (u >= 0xD800 && u < 0xDC00 && i + 1 < units) {
            char16_t low = unit(i + 1);
            if (low >= 0xDC00 && low < 0xE000) {
                appendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        if (u >= 0xD800 && u < 0xE000) {
            appendUtf8(out, 0xFFFD);
            ++invalid;
            continue;
        }
        appendUtf8(out, u);
    }
    if (bytes.size() % 2 != 0) {
        appendUtf8(out, 0xFFFD);
        ++invalid;
    }
    return out;
}

// `before` is the text up to the zero, for the line number.
Error zeroError(std::string_view what, size_t offset, std::string_view before) {
    Error e = Error::data("文件在第 " + std::to_string(offset + 1) + " " + std::string(what) +
                          "，不是文本格式的点文件。");
    e.line = 1 + static_cast<int>(std::count(before.begin(), before.end(), '\n'));
    return e;
}

// Calls onLine for each line of `text` cut at every carriage return (a file without
// line feeds); text after the last one is a line when it is not empty.
template <class OnLine>
void splitAtCarriageReturns(std::string_view text, OnLine&& onLine) {
    const char separator = '\r';
    size_t start = 0;
    while (start < text.size()) {
        const void* hit = std::memchr(text.data() + start, separator, text.size() - start);
        if (!hit) {
            onLine(text.substr(start));
            return;
        }
        size_t end = static_cast<const char*>(hit) - text.data();
        onLine(text.substr(start, end - start));
        start = end + 1;
    }
}

// Calls onLine for each line of `text`. A line feed ends a line, and so does a carriage
// return that text follows (anything but a carriage return or a line feed): a record
// cut by an old-style line end is never swallowed by the one before it. Carriage
// returns just before a line feed, or at the very end, stay in their line for the
// field trimming to remove. Text after the last line end is a line when not empty.
template <class OnLine>
void splitLines(std::string_view text, OnLine&& onLine) {
    const char* p = text.data();
    const char* const end = p + text.size();
    auto find = [end](const char* from, char c) {
        const void* hit = std::memchr(from, c, static_cast<size_t>(end - from));
        return hit != nullptr ? static_cast<const char*>(hit) : end;
    };
    // The next carriage return is looked for only once the last one is passed, so a
    // file of plain line feeds pays one search for all of them.
    const char* cr = find(p, '\r');
    while (p < end) {
        const char* const feed = find(p, '\n');
        while (cr < feed) {
            const char* after = cr + 1;
            while (after < end && *after == '\r')
                ++after;
            if (after == feed || after == end)
                break;
            // Text follows this run of carriage returns: its last one ends a line.
            onLine(std::string_view(p, static_cast<size_t>(after - 1 - p)));
            p = after;
            cr = find(p, '\r');
        }
        onLine(std::string_view(p, static_cast<size_t>(feed - p)));
        if (feed == end)
            return;
        p = feed + 1;
        if (cr < p)
            cr = find(p, '\r');
    }
}

}  // namespace

std::string_view encodingName(TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Cp936:
            return "GBK（代码页 936）";
        case TextEncoding::Utf8:
            return "UTF-8";
        case TextEncoding::Utf8Bom:
            return "UTF-8（带 BOM）";
        case TextEncoding::Utf16LE:
            return "UTF-16LE";
        case TextEncoding::Utf16BE:
            return "UTF-16BE";
    }
    return "";
}

std::string_view withoutByteOrderMark(std::string_view bytes, TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Utf8Bom:
            return bytes.starts_with(kUtf8Bom) ? bytes.substr(kUtf8Bom.size()) : bytes;
        case TextEncoding::Utf16LE:
            return bytes.starts_with("\xFF\xFE") ? bytes.substr(2) : bytes;
        case TextEncoding::Utf16BE:
            return bytes.starts_with("\xFE\xFF") ? bytes.substr(2) : bytes;
        case TextEncoding::Cp936:
        case TextEncoding::Utf8:
            break;
    }
    return bytes;
}

TextEncoding detectEncoding(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Bom))
        return TextEncoding::Utf8Bom;
    if (bytes.size() >= 2) {
        if (bytes[0] == '\xFF' && bytes[1] == '\xFE')
            return TextEncoding::Utf16LE;
        if (bytes[0] == '\xFE' && bytes[1] == '\xFF')
            return TextEncoding::Utf16BE;
    }
    // Code page 936 Chinese often forms two-byte UTF-8 sequences by accident (桩 is D7 AE,
    // U+05EE), longer ones almost never; so two-byte UTF-8 alone decides nothing.
    const Utf8Scan scan = scanUtf8(bytes);
    if (!scan.valid || !scan.nonAscii)
        return TextEncoding::Cp936;
    if (scan.threeOrMoreBytes || !cp936::isValid(bytes))
        return TextEncoding::Utf8;
    return TextEncoding::Cp936;
}

Status decodeLines(std::string_view bytes, TextEncoding encoding, size_t& invalid,
                   const std::function<void(std::string_view line)>& onLine) {
    if (bytes.empty())
        return success();
    std::string utf16Text;
    std::string_view text = bytes;
    if (encoding == TextEncoding::Utf16LE || encoding == TextEncoding::Utf16BE) {
        size_t nulAt = 0;
        utf16Text = decodeUtf16(bytes, encoding == TextEncoding::Utf16BE, invalid, nulAt);
        if (nulAt != std::string::npos)
            return zeroError("个字符处含有空字符（U+0000）", nulAt, utf16Text);
        text = utf16Text;
    } else {
        text = withoutByteOrderMark(bytes, encoding);
        if (const void* zero = std::memchr(text.data(), '\0', text.size())) {
            const size_t at = static_cast<const char*>(zero) - bytes.data();
            return zeroError("个字节处含有零字节", at, bytes.substr(0, at));
        }
    }
    const bool carriageReturnsOnly = std::memchr(text.data(), '\n', text.size()) == nullptr;
    const bool convert = encoding == TextEncoding::Cp936;
    const bool sanitize = encoding == TextEncoding::Utf8Bom;  // valid UTF-8 needs no pass
    std::string line;
    auto decodeLine = [&](std::string_view raw) {
        if (convert) {
            line.clear();
            cp936::decode(raw, line, invalid);
            onLine(line);
        } else if (sanitize) {
            line.clear();
            sanitizeUtf8(raw, line, invalid);
            onLine(line);
        } else {
            onLine(raw);
        }
    };
    if (carriageReturnsOnly)
        splitAtCarriageReturns(text, decodeLine);
    else
        splitLines(text, decodeLine);
    return success();
}

}  // namespace corvane
