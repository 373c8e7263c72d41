#include "cellnumber.h"

#include <charconv>
#include <climits>
#include <cmath>
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

}  // namespace

double readNumber(std::string_view text) {
    std::string_view s = skipSpace(text);
    size_t n = numberPrefix(s);
    if (n == 0)
        return 0.0;
    bool negative = s[0] == '-';
    size_t start = (s[0] == '+' || s[0] == '-') ? 1 : 0;
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
