// Writes src/files/cp936table.cpp, the code page 936 mapping compiled into the program,
// from the C library's iconv ("CP936"). Run it through the build target
// corvane-cp936table, which writes the file into the source tree; the files tests
// compare the compiled-in tables with iconv wherever iconv has the code page.
//
// The mapping is checked to be one to one before it is written: the program derives its
// encoding table by inverting the decoding table, so that must give what iconv gives.

#include <iconv.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

[[noreturn]] void fail(const std::string& message) {
    std::fprintf(stderr, "cp936tablegen: %s\n", message.c_str());
    std::exit(1);
}

class Iconv {
public:
    Iconv(const char* to, const char* from) : m_cd(iconv_open(to, from)) {
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            fail(std::string("iconv cannot convert from ") + from + " to " + to);
    }
    ~Iconv() { iconv_close(m_cd); }
    // Converts one whole unit; an empty result when iconv refuses any part of it.
    std::string convert(const std::string& in) {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        size_t left = in.size();
        char out[8];
        char* dst = out;
        size_t room = sizeof out;
        if (iconv(m_cd, &src, &left, &dst, &room) == static_cast<size_t>(-1) || left != 0)
            return {};
        return std::string(out, sizeof out - room);
    }

private:
    iconv_t m_cd;
};

char32_t ucs2(const std::string& s) {
    if (s.size() != 2)
        return 0;
    return static_cast<unsigned char>(s[0]) | (static_cast<unsigned char>(s[1]) << 8);
}

// The character as it goes into a string literal: UTF-8 as it is when it is printable,
// octal escapes for the bytes of control characters and of the literal's own syntax.
std::string literal(char32_t cp) {
    std::string utf8;
    if (cp < 0x80) {
        utf8 += static_cast<char>(cp);
    } else if (cp < 0x800) {
        utf8 += static_cast<char>(0xC0 | (cp >> 6));
        utf8 += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        utf8 += static_cast<char>(0xE0 | (cp >> 12));
        utf8 += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        utf8 += static_cast<char>(0x80 | (cp & 0x3F));
    }
    const bool plain = (cp >= 0x20 && cp < 0x7F && cp != '"' && cp != '\\' && cp != '?') ||
                       (cp >= 0xA0 && !(cp >= 0xE000 && cp < 0xF900));
    if (plain)
        return utf8;
    std::string escaped;
    for (unsigned char b : utf8) {
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, "\\%03o", b);
        escaped += buffer;
    }
    return escaped;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2)
        fail("usage: corvane-cp936tablegen OUTPUT.cpp");
    Iconv toUcs("UCS-2LE", "CP936");
    Iconv fromUcs("CP936", "UCS-2LE");
    constexpr char32_t kNoCode = 0xFFFD;

    std::vector<char32_t> decode(126 * 191, kNoCode);
    std::vector<uint16_t> inverse(0x10000, 0);
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F)
                continue;
            const char32_t cp =
                ucs2(toUcs.convert({static_cast<char>(lead), static_cast<char>(trail)}));
            if (cp == 0)
                continue;
            if (cp == kNoCode)
                fail("a code decodes to U+FFFD, which the table uses for no code");
            if (inverse[cp] != 0)
                fail("two codes decode to the same character");
            decode[(lead - 0x81) * 191 + (trail - 0x40)] = cp;
            inverse[cp] = static_cast<uint16_t>(lead << 8 | trail);
        }
    }
    const char32_t single80 = ucs2(toUcs.convert("\x80"));
    if (single80 != 0) {
        if (inverse[single80] != 0)
            fail("0x80 decodes to a character that a two-byte code has too");
        inverse[single80] = 0x80;
    }
    // What iconv encodes must be exactly the inverse of what it decodes.
    for (uint32_t cp = 0x80; cp < 0x10000; ++cp) {
        if (cp >= 0xD800 && cp < 0xE000)
            continue;
        const std::string bytes =
            fromUcs.convert({static_cast<char>(cp & 0xFF), static_cast<char>(cp >> 8)});
        uint16_t code = 0;
        if (bytes.size() == 1)
            code = static_cast<unsigned char>(bytes[0]);
        else if (bytes.size() == 2)
            code = static_cast<uint16_t>(static_cast<unsigned char>(bytes[0]) << 8 |
                                         static_cast<unsigned char>(bytes[1]));
        if (code != inverse[cp]) {
            char hex[16];
            std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(cp));
            fail(std::string("iconv encodes ") + hex + " other than the inverse of its decoding");
        }
    }

    std::string text;
    auto print = [&](const char* format, auto... args) {
        char buffer[4096];
        const int n = std::snprintf(buffer, sizeof buffer, format, args...);
        text.append(buffer, static_cast<size_t>(n));
    };
    print(
        "// Generated by src/files/gen/cp936tablegen.cpp from the C library's iconv; do not\n"
        "// edit. Rebuild with the target corvane-cp936table.\n\n"
        "#include \"cp936table.h\"\n\n"
        "namespace corvane::cp936 {\n\n"
        "const char32_t kSingle80 = 0x%04X;\n\n"
        "// clang-format off\n"
        "const char* const kTwoByteRows[kLeadBytes] = {\n",
        static_cast<unsigned>(single80));
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        std::string row;
        for (int trail = 0x40; trail <= 0xFE; ++trail)
            row += literal(decode[(lead - 0x81) * 191 + (trail - 0x40)]);
        print("    /* %02X */ \"", lead);
        text += row;
        text += "\",\n";
    }
    text += "};\n// clang-format on\n\n}  // namespace corvane::cp936\n";
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out || std::fwrite(text.data(), 1, text.size(), out) != text.size() ||
        std::fclose(out) != 0)
        fail(std::string("cannot write ") + argv[1]);
    return 0;
}
