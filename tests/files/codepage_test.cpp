// Code page 936 as the point files use it: agreement of the two directions over the
// whole table, and the handling of bytes and characters it has no code for.

#include "codepage.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace corvane
