#include "cellnumber.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <optional>
#include <system_error>

namespace corvane {
namespace {

bool isAsciiSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view skipSpace(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && isAsciiSpace(text[i]))
        ++i;
    return text.substr(i);
}

// Length of the longest leading decimal number of `s` (no white space), 0 when none.
size_t numberPrefix(std::string_view s) {
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    size_t digits = 0;
    while (i < s.size() && isDigit(s[i])) {
        ++i;
        ++digits;
    }
    if (i < s.size() && s[i] == '.') {
        size_t j = i + 1;
        size_t frac = 0;
        while (j < s.size() && isDigit(s[j])) {
            ++j;
            ++frac;
        }
        if (digits + frac > 0) {
            i = j;
            digits += frac;
        }
    }
    if (digits == 0)
        return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        size_t exp = 0;
        while (j < s.size() && isDigit(s[j])) {
            ++j;
            ++exp;
        }
        if (exp > 0)
            i = j;
    }
    return i;
}

// The value of `s`, digits with at most one '.', when it takes no rounding to get
// it: a whole number below 2^53 divided by a power of ten that is itself exact, which
// IEEE division rounds just as a full decimal conversion would. Nothing otherwise
// (an exponent, more digits), for the full conversion. Coordinates, distances and
// heights are read a million at a time, nearly all of them this way.
std::optional<double> exactDecimal(std::string_view s) {
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                         1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    constexpr uint64_t kExact = uint64_t{1} << 53;
    uint64_t whole = 0;
    size_t decimals = 0;
    bool point = false;
    for (const char c : s) {
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (!isDigit(c))
            return std::nullopt;
        whole = whole * 10 + static_cast<uint64_t>(c - '0');
        if (whole >= kExact)
            return std::nullopt;
        decimals += point;
    }
    if (decimals >= std::size(kPowers))
        return std::nullopt;
    return static_cast<double>(whole) / kPowers[decimals];
}

}  // namespace

double readNumber(std::string_view text) {
    std::string_view s = skipSpace(text);
    size_t n = numberPrefix(s);
    if (n == 0)
        return 0.0;
    bool negative = s[0] == '-';
    size_t start = (s[0] == '+' || s[0] == '-') ? 1 : 0;
    if (const std::optional<double> exact = exactDecimal(s.substr(start, n - start)))
        return negative ? -*exact : *exact;
    double value = 0.0;
    auto [ptr, ec] = std::from_chars(s.data() + start, s.data() + n, value);
    (void)ptr;
    if (ec != std::errc() || !std::isfinite(value))
        return 0.0;
    return negative ? -value : value;
}

bool startsWithNumber(std::string_view text) {
    // numberPrefix takes a number when a digit follows the sign, or a point and a digit:
    // the rest of it need not be read (the check asks this of every number cell).
    const std::string_view s = skipSpace(text);
    size_t i = s.size() > 0 && (s[0] == '+' || s[0] == '-') ? 1 : 0;
    if (i < s.size() && s[i] == '.')
        ++i;
    return i < s.size() && isDigit(s[i]);
}

int readInteger(std::string_view text) {
    std::string_view s = skipSpace(text);
    size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    long long value = 0;
    while (i < s.size() && isDigit(s[i])) {
        value = value * 10 + (s[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
        ++i;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

int crossingCode(std::string_view text) {
    if (size_t p = text.rfind('('); p != std::string_view::npos)
        return readInteger(text.substr(p + 1));
    if (size_t p = text.rfind('-'); p != std::string_view::npos)
        return readInteger(text.substr(p + 1));
    return readInteger(text);
}

bool appendFixed(std::string& out, double value, int decimals) {
    if (!std::isfinite(value))
        return false;
    char buffer[400];
    auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (ec != std::errc())
        return false;
    const char* begin = buffer;
    if (*begin == '-') {
        bool allZero = true;
        for (const char* p = begin + 1; p != end; ++p) {
            if (*p != '0' && *p != '.') {
                allZero = false;
                break;
            }
        }
        if (allZero)
            ++begin;
    }
    out.append(begin, static_cast<size_t>(end - begin));
    return true;
}

std::string formatFixed(double value, int decimals) {
    std::string out;
    appendFixed(out, value, decimals);
    return out;
}

}  // namespace corvane
