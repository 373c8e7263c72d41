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

// Calls onLine for each line of `text` cut at `separator`; text after the last
// separator is a line when it is not empty.
template <class OnLine>
void splitLines(std::string_view text, char separator, OnLine&& onLine) {
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
    const char separator = (std::memchr(text.data(), '\n', text.size()) == nullptr &&
                            std::memchr(text.data(), '\r', text.size()) != nullptr)
                               ? '\r'
                               : '\n';
    const bool convert = encoding == TextEncoding::Cp936;
    const bool sanitize = encoding == TextEncoding::Utf8Bom;  // valid UTF-8 needs no pass
    std::string line;
    splitLines(text, separator, [&](std::string_view raw) {
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
    });
    return success();
}

}  // namespace corvane
