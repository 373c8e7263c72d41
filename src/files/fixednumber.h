#pragma once

#include <cstddef>
#include <string>

namespace corvane {

/// Room writeFixedNumber needs.
inline constexpr size_t kFixedNumberRoom = 32;

/// Writes `value` with `decimals` decimals to `out` (kFixedNumberRoom bytes of room)
/// and returns the end, exactly as appendFixed writes it (the correctly rounded "%.Nf"
/// of the C locale, no minus zero), several times faster: the digits come from integer
/// arithmetic on the exact binary value. Returns nullptr, writing nothing, for what
/// it does not take: more than four decimals, magnitudes of 9e14 and more, infinities
/// and NaN.
char* writeFixedNumber(char* out, double value, int decimals);

/// appendFixed for the millions of coordinates and measures the exporters write; false,
/// writing nothing, for infinities and NaN.
bool appendFixedNumber(std::string& out, double value, int decimals);

}  // namespace corvane
