// Code page 936 as the point files use it: the compiled-in tables against the C
// library's iconv, agreement of the two directions over the whole table, the handling
// of bytes and characters it has no code for, and the scans the encoding detection uses.

#include "codepage.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <optional>
#include <string>

namespace corvane {
namespace {

std::string decoded(std::string_view bytes, size_t* invalidOut = nullptr) {
    std::string out;
    size_t invalid = 0;
    cp936::decode(bytes, out, invalid);
    if (invalidOut)
        *invalidOut = invalid;
    return out;
}

// What iconv converts one unit to, or nothing when it refuses it.
class Iconv {
public:
    Iconv(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Iconv() {
        if (valid())
            iconv_close(m_cd);
    }
    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    std::optional<std::string> convert(const std::string& in) {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        size_t left = in.size();
        char out[16];
        char* dst = out;
        size_t room = sizeof out;
        if (iconv(m_cd, &src, &left, &dst, &room) == static_cast<size_t>(-1) || left != 0)
            return std::nullopt;
        return std::string(out, sizeof out - room);
    }

private:
    iconv_t m_cd;
};

// The tables are compiled in; wherever iconv has the code page they must convert
// exactly as it does, both ways, every code and every character of the basic plane.
TEST(CodePage936, CompiledInTablesAgreeWithIconv) {
    Iconv toUtf8("UTF-8", "CP936");
    Iconv fromUtf8("CP936", "UTF-8");
    if (!toUtf8.valid() || !fromUtf8.valid())
        GTEST_SKIP() << "iconv has no CP936 here";
    const std::string fffd = "\xEF\xBF\xBD";
    int codes = 0;
    for (int lead = 0x80; lead <= 0xFF; ++lead) {
        for (int trail = lead == 0x80 ? 0x100 : 0x40; trail <= 0x100; ++trail) {
            // 0x100 stands for the lead byte on its own.
            std::string bytes{static_cast<char>(lead)};
            if (trail < 0x100)
                bytes += static_cast<char>(trail);
            const std::optional<std::string> expected = toUtf8.convert(bytes);
            size_t invalid = 0;
            const std::string text = decoded(bytes, &invalid);
            if (expected) {
                ++codes;
                EXPECT_EQ(text, *expected) << std::hex << lead << ' ' << trail;
                EXPECT_EQ(invalid, 0u) << std::hex << lead << ' ' << trail;
            } else {
                EXPECT_NE(invalid, 0u) << std::hex << lead << ' ' << trail;
            }
        }
    }
    EXPECT_GT(codes, 21000);
    for (char32_t cp = 0x80; cp < 0x10000; ++cp) {
        if (cp >= 0xD800 && cp < 0xE000)
            continue;
        std::string text;
        appendUtf8(text, cp);
        const std::optional<std::string> expected = fromUtf8.convert(text);
        std::string bytes;
        const bool encoded = cp936::encode(text, bytes) == std::string_view::npos;
        EXPECT_EQ(encoded, expected.has_value()) << std::hex << static_cast<unsigned>(cp);
        if (encoded && expected) {
            EXPECT_EQ(bytes, *expected) << std::hex << static_cast<unsigned>(cp);
        }
    }
}

TEST(CodePage936, EveryTwoByteCodeRoundTrips) {
    // What the import reads, the export writes back as the same bytes, and what the
    // table holds comes back from the file as the same text.
    int valid = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
            size_t invalid = 0;
            const std::string text = decoded(bytes, &invalid);
            if (invalid != 0)
                continue;
            ++valid;
            std::string back;
            ASSERT_EQ(cp936::encode(text, back), std::string_view::npos) << lead << ' ' << trail;
            EXPECT_EQ(back, bytes) << std::hex << lead << ' ' << trail;
        }
    }
    EXPECT_GT(valid, 21000);  // GBK has 21,886 two-byte codes
}

TEST(CodePage936, EveryEncodableCharacterRoundTrips) {
    int encodable = 0;
    for (char32_t cp = 0x80; cp < 0x10000; ++cp) {
        if (cp >= 0xD800 && cp < 0xE000)
            continue;
        std::string text;
        appendUtf8(text, cp);
        std::string bytes;
        if (cp936::encode(text, bytes) != std::string_view::npos)
            continue;
        ++encodable;
        EXPECT_EQ(decoded(bytes), text) << std::hex << static_cast<unsigned>(cp);
    }
    EXPECT_GT(encodable, 21000);
}

TEST(CodePage936, DecodingCases) {
    const std::string fffd = "\xEF\xBF\xBD";
    const struct Case {
        std::string bytes;
        std::string text;
        size_t invalid;
    } cases[] = {
        {"plain ASCII, 0x7F too\x7F", "plain ASCII, 0x7F too\x7F", 0},
        {"\xB5\xE3\xC3\xFB", "点名", 0},
        {"\x80", "€", 0},
        {"\xFF", fffd, 1},
        {"\x81", fffd, 1},                // lead byte at the end
        {"\x81\x7F", fffd + "\x7F", 1},   // 0x7F is no trail byte and stays
        {"\x81,", fffd + ",", 1},         // a comma after a lone lead byte survives
        {"\xA1\xA1", "\xE3\x80\x80", 0},  // U+3000
        {"a\xFF\xFF"
         "b",
         "a" + fffd + fffd + "b", 2},
    };
    for (const Case& c : cases) {
        size_t invalid = 0;
        EXPECT_EQ(decoded(c.bytes, &invalid), c.text) << c.bytes;
        EXPECT_EQ(invalid, c.invalid) << c.bytes;
    }
}

TEST(CodePage936, EncodingStopsAtTheFirstCharacterWithoutCode) {
    const struct Case {
        std::string text;
        size_t failsAt;
        std::string written;
    } cases[] = {
        {"点名 OK", std::string_view::npos, "\xB5\xE3\xC3\xFB OK"},
        {"ab\xF0\x9F\x98\x80", 2, "ab"},    // beyond the BMP
        {"点\xEF\xBF\xBD", 3, "\xB5\xE3"},  // U+FFFD has no code
        {"x\xC3\x9F", 1, "x"},              // ß
        {"\xED\x95\x9C", 0, ""},            // Hangul
        {"ok\xFF", 2, "ok"},                // not UTF-8 at all
        {"ok\xE7\x82", 2, "ok"},            // cut sequence
        {"\xC0\xAF", 0, ""},                // overlong "/"
        {"\xED\xA0\x80", 0, ""},            // encoded surrogate
    };
    for (const Case& c : cases) {
        std::string out = ">";
        EXPECT_EQ(cp936::encode(c.text, out), c.failsAt) << c.text;
        EXPECT_EQ(out, ">" + c.written) << c.text;
    }
}

TEST(CodePage936, Validity) {
    const struct Case {
        std::string bytes;
        bool valid;
    } cases[] = {
        {"", true},
        {"ASCII only", true},
        {"\xB5\xE3\xC3\xFB", true},  // 点名
        {"\x80", true},              // the euro sign
        {"\xD7\xAE", true},          // 桩, also U+05EE in UTF-8
        {"\xFF", false},
        {"ab\x81", false},    // lead byte at the end
        {"\x81\x7F", false},  // 0x7F is no trail byte
        {"\xD7\xFA", false},  // a gap in the table
        {"\xA1\xA1\xFF", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cp936::isValid(c.bytes), c.valid) << c.bytes;
}

TEST(Utf8, ScanFindsValidityNonAsciiAndLongCharacters) {
    const struct Case {
        std::string bytes;
        bool valid, nonAscii, threeOrMoreBytes;
    } cases[] = {
        {"", true, false, false},
        {std::string(100, 'a'), true, false, false},
        {std::string(70, 'a') + "\xC3\xA9" + std::string(40, 'b'), true, true, false},
        {"\xDF\xBF", true, true, false},     // U+07FF, the last of two bytes
        {"\xE0\xA0\x80", true, true, true},  // U+0800, the first of three
        {std::string(33, 'a') + "点", true, true, true},
        {"\xF0\x9F\x98\x80", true, true, true},
        {"\xF4\x8F\xBF\xBF", true, true, true},    // U+10FFFF
        {"\xF4\x90\x80\x80", false, true, false},  // beyond U+10FFFF
        {"\xED\xA0\x80", false, true, false},      // surrogate
        {"\xE0\x9F\xBF", false, true, false},      // overlong
        {"\xC1\xBF", false, true, false},          // overlong
        {"\x80", false, true, false},              // continuation alone
        {"\xE7\x82", false, true, false},          // cut
        {"点\xC3(", false, true, true},
        {std::string(64, 'a') + "\xFF" + "点", false, true, false},  // stops at the bad byte
    };
    for (const Case& c : cases) {
        const Utf8Scan scan = scanUtf8(c.bytes);
        EXPECT_EQ(scan.valid, c.valid) << c.bytes;
        EXPECT_EQ(scan.nonAscii, c.nonAscii) << c.bytes;
        EXPECT_EQ(scan.threeOrMoreBytes, c.threeOrMoreBytes) << c.bytes;
        EXPECT_EQ(isValidUtf8(c.bytes), c.valid) << c.bytes;
    }
}

}  // namespace
}  // namespace corvane
