#pragma once

#include <string>
#include <string_view>

namespace corvane {

/// Lenient number read used by every command: leading white space, then the longest
/// leading [sign] digits [. digits] [e|E [sign] digits]; anything else (and any value
/// out of double range) reads 0. "inf", "nan" and hex are not numbers.
double readNumber(std::string_view text);

/// True when `text` starts (after white space) with a decimal number as readNumber
/// takes it, so callers can tell "0" from "not a number".
bool startsWithNumber(std::string_view text);

/// Leading white space, optional sign, decimal digits up to the first other
/// character; no digits reads 0. Saturates at the int range.
int readInteger(std::string_view text);

/// The crossing code of a column 10 text: after the last "(" if any, else after the
/// last "-" if any, else the whole text, read as an integer.
int crossingCode(std::string_view text);

/// The pole type code of a column 13 text: the text read as an integer.
inline int poleTypeCode(std::string_view text) {
    return readInteger(text);
}

/// Fixed-point text with "." whatever the locale, as "%.Nf" would print it in the C
/// locale, except that a value that rounds to zero is never written with a minus.
/// Infinities and NaN have no such text: formatFixed gives "" and appendFixed writes
/// nothing and returns false, so callers that write cells or files check first.
std::string formatFixed(double value, int decimals);
bool appendFixed(std::string& out, double value, int decimals);

}  // namespace corvane
