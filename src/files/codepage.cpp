#include "codepage.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "cp936table.h"

namespace corvane {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

struct Tables {
    // Two-byte sequences: lead 0x81..0xFE, trail 0x40..0xFE; 0 means invalid.
    std::vector<uint16_t> decode = std::vector<uint16_t>(cp936::kLeadBytes * cp936::kTrailBytes, 0);
    uint16_t single80 = 0;  // what 0x80 decodes to, 0 when invalid
    // BMP code point -> bytes (lead << 8 | trail, or a single byte), 0 = unmappable.
    std::vector<uint16_t> encode = std::vector<uint16_t>(0x10000, 0);
};

// The compiled-in rows laid out for lookups; the mapping is one to one, so encoding is
// its inverse.
std::unique_ptr<Tables> buildTables() {
    auto t = std::make_unique<Tables>();
    for (int lead = 0; lead < cp936::kLeadBytes; ++lead) {
        const std::string_view row = cp936::kTwoByteRows[lead];
        size_t pos = 0;
        for (int trail = 0; trail < cp936::kTrailBytes && pos < row.size(); ++trail) {
            const char32_t cp = nextUtf8(row, pos);
            if (cp == kReplacement || cp >= 0x10000)
                continue;
            t->decode[lead * cp936::kTrailBytes + trail] = static_cast<uint16_t>(cp);
            t->encode[cp] = static_cast<uint16_t>((0x81 + lead) << 8 | (0x40 + trail));
        }
    }
    if (cp936::kSingle80 != 0 && cp936::kSingle80 < 0x10000) {
        t->single80 = static_cast<uint16_t>(cp936::kSingle80);
        t->encode[cp936::kSingle80] = 0x80;
    }
    return t;
}

const Tables& tables() {
    static const std::unique_ptr<Tables> t = buildTables();
    return *t;
}

// Length of the run of ASCII bytes at the start of [p, end), eight bytes at a time.
size_t asciiRun(const unsigned char* p, const unsigned char* end) {
    const unsigned char* q = p;
    while (end - q >= 8) {
        uint64_t word;
        std::memcpy(&word, q, 8);
        if (word & 0x8080808080808080ull)
            break;
        q += 8;
    }
    while (q < end && *q < 0x80)
        ++q;
    return static_cast<size_t>(q - p);
}

// Bytes of the well-formed UTF-8 sequence that starts at p (a byte of 0x80 or above),
// 0 when it is not one.
int utf8Sequence(const unsigned char* p, const unsigned char* end) {
    const unsigned char b0 = p[0];
    const auto in = [](unsigned char b, unsigned char lo, unsigned char hi) {
        return b >= lo && b <= hi;
    };
    const ptrdiff_t left = end - p;
    if (in(b0, 0xC2, 0xDF))
        return left >= 2 && in(p[1], 0x80, 0xBF) ? 2 : 0;
    if (in(b0, 0xE0, 0xEF)) {
        const unsigned char lo = b0 == 0xE0 ? 0xA0 : 0x80;
        const unsigned char hi = b0 == 0xED ? 0x9F : 0xBF;  // no surrogates
        return left >= 3 && in(p[1], lo, hi) && in(p[2], 0x80, 0xBF) ? 3 : 0;
    }
    if (in(b0, 0xF0, 0xF4)) {
        const unsigned char lo = b0 == 0xF0 ? 0x90 : 0x80;
        const unsigned char hi = b0 == 0xF4 ? 0x8F : 0xBF;  // nothing past U+10FFFF
        return left >= 4 && in(p[1], lo, hi) && in(p[2], 0x80, 0xBF) && in(p[3], 0x80, 0xBF) ? 4
                                                                                             : 0;
    }
    return 0;
}

}  // namespace

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

char32_t nextUtf8(std::string_view s, size_t& pos) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
    unsigned char b0 = byte(pos);
    if (b0 < 0x80) {
        ++pos;
        return b0;
    }
    int length = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
        cp = b0 & 0x1F;
        min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        cp = b0 & 0x0F;
        min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        cp = b0 & 0x07;
        min = 0x10000;
    } else {
        ++pos;
        return kReplacement;
    }
    if (pos + length > s.size()) {
        ++pos;
        return kReplacement;
    }
    for (int i = 1; i < length; ++i) {
        unsigned char b = byte(pos + i);
        if ((b & 0xC0) != 0x80) {
            ++pos;
            return kReplacement;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) {
        ++pos;
        return kReplacement;
    }
    pos += length;
    return cp;
}

Utf8Scan scanUtf8(std::string_view bytes) {
    Utf8Scan scan;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = p + bytes.size();
    while (p < end) {
        p += asciiRun(p, end);
        if (p >= end)
            break;
        scan.nonAscii = true;
        const int length = utf8Sequence(p, end);
        if (length == 0) {
            scan.valid = false;
            break;
        }
        scan.threeOrMoreBytes = scan.threeOrMoreBytes || length >= 3;
        p += length;
    }
    return scan;
}

bool isValidUtf8(std::string_view s) {
    return scanUtf8(s).valid;
}

void sanitizeUtf8(std::string_view s, std::string& out, size_t& invalid) {
    size_t pos = 0;
    while (pos < s.size()) {
        size_t run = pos;
        while (run < s.size() && static_cast<unsigned char>(s[run]) < 0x80)
            ++run;
        out.append(s.data() + pos, run - pos);
        pos = run;
        if (pos >= s.size())
            break;
        size_t before = pos;
        char32_t cp = nextUtf8(s, pos);
        if (cp == kReplacement && pos == before + 1)
            ++invalid;
        appendUtf8(out, cp);
    }
}

namespace cp936 {
namespace {

char* putUtf8(char* out, char32_t cp) {
    if (cp < 0x80) {
        *out++ = static_cast<char>(cp);
    } else if (cp < 0x800) {
        *out++ = static_cast<char>(0xC0 | (cp >> 6));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *out++ = static_cast<char>(0xE0 | (cp >> 12));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

}  // namespace

void decode(std::string_view bytes, std::string& out, size_t& invalid) {
    const Tables& t = tables();
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = p + bytes.size();
    // A byte sequence grows at most three times (one byte to U+FFFD or the euro sign),
    // so each block of input gets that much room and is written through a pointer. Blocks
    // keep the spare room small for a huge line.
    constexpr size_t kBlock = 1 << 16;
    while (p < end) {
        const auto* const blockEnd = end - p > static_cast<ptrdiff_t>(kBlock) ? p + kBlock : end;
        const size_t base = out.size();
        out.resize(base + 3 * static_cast<size_t>(blockEnd - p) + 3);
        char* dst = out.data() + base;
        while (p < blockEnd) {
            const size_t run = asciiRun(p, blockEnd);
            std::memcpy(dst, p, run);
            dst += run;
            p += run;
            if (p >= blockEnd)
                break;
            const unsigned char lead = *p;
            if (lead == 0x80) {
                if (t.single80) {
                    dst = putUtf8(dst, t.single80);
                } else {
                    dst = putUtf8(dst, kReplacement);
                    ++invalid;
                }
                ++p;
                continue;
            }
            // The trail byte may lie just past the block; it is still in the input.
            if (lead <= 0xFE && end - p >= 2 && p[1] >= 0x40 && p[1] <= 0xFE) {
                const uint16_t cp = t.decode[(lead - 0x81) * kTrailBytes + (p[1] - 0x40)];
                if (cp) {
                    dst = putUtf8(dst, cp);
                    p += 2;
                    continue;
                }
            }
            dst = putUtf8(dst, kReplacement);
            ++invalid;
            ++p;
        }
        out.resize(static_cast<size_t>(dst - out.data()));
    }
}

size_t encode(std::string_view text, std::string& out) {
    const Tables& t = tables();
    const auto* const begin = reinterpret_cast<const unsigned char*>(text.data());
    const auto* p = begin;
    const auto* const end = p + text.size();
    // Code page 936 never takes more bytes than UTF-8 for the same character.
    const size_t base = out.size();
    out.resize(base + text.size());
    char* dst = out.data() + base;
    size_t failed = std::string_view::npos;
    while (p < end) {
        const size_t run = asciiRun(p, end);
        std::memcpy(dst, p, run);
        dst += run;
        p += run;
        if (p >= end)
            break;
        char32_t cp;
        if ((p[0] & 0xF0) == 0xE0 && end - p >= 3 && (p[1] & 0xC0) == 0x80 &&
            (p[2] & 0xC0) == 0x80) {
            // The common case of Chinese text, decoded inline.
            cp = ((p[0] & 0x0Fu) << 12) | ((p[1] & 0x3Fu) << 6) | (p[2] & 0x3Fu);
            if (cp < 0x800 || (cp >= 0xD800 && cp < 0xE000)) {
                failed = static_cast<size_t>(p - begin);
                break;
            }
            p += 3;
        } else {
            size_t pos = static_cast<size_t>(p - begin);
            const size_t start = pos;
            cp = nextUtf8(text, pos);
            if (cp >= 0x10000 || (cp == kReplacement && pos == start + 1)) {
                failed = start;
                break;
            }
            p = begin + pos;
        }
        const uint16_t code = t.encode[cp];
        if (code == 0) {
            failed = static_cast<size_t>(p - begin) - (cp < 0x800 ? 2 : 3);
            break;
        }
        if (code > 0xFF)
            *dst++ = static_cast<char>(code >> 8);
        *dst++ = static_cast<char>(code & 0xFF);
    }
    out.resize(static_cast<size_t>(dst - out.data()));
    return failed;
}

size_t firstUnencodable(std::string_view text) {
    // Most cells are plain ASCII, which the code page holds as it is: only the rest is
    // encoded, into a buffer of its own.
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const size_t ascii = asciiRun(p, p + text.size());
    if (ascii == text.size())
        return std::string_view::npos;
    std::string scratch;
    const size_t failed = encode(text.substr(ascii), scratch);
    return failed == std::string_view::npos ? failed : ascii + failed;
}

bool isValid(std::string_view bytes) {
    const Tables& t = tables();
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = p + bytes.size();
    while (p < end) {
        p += asciiRun(p, end);
        if (p >= end)
            break;
        if (*p == 0x80) {
            if (!t.single80)
                return false;
            ++p;
            continue;
        }
        if (*p == 0xFF || end - p < 2 || p[1] < 0x40 || p[1] > 0xFE ||
            t.decode[(p[0] - 0x81) * cp936::kTrailBytes + (p[1] - 0x40)] == 0)
            return false;
        p += 2;
    }
    return true;
}

}  // namespace cp936
}  // namespace corvane
