#include "fixednumber.h"

#include <cstdint>
#include <cstring>

#include "cellnumber.h"

namespace corvane {
namespace {

constexpr uint64_t kPowersOfTen[] = {1, 10, 100, 1000, 10000};
constexpr int kMaxFastDecimals = 4;
// Below this magnitude value · 10^4 stays within 64 bits.
constexpr double kMaxFastMagnitude = 9.0e14;

}  // namespace

char* writeFixedNumber(char* out, double value, int decimals) {
    const double magnitude = value < 0 ? -value : value;
    if (decimals < 0 || decimals > kMaxFastDecimals || !(magnitude < kMaxFastMagnitude))
        return nullptr;
    // magnitude = mantissa · 2^exponent exactly.
    uint64_t bits = 0;
    std::memcpy(&bits, &magnitude, sizeof bits);
    const int field = static_cast<int>((bits >> 52) & 0x7FF);  // -0.0 keeps its sign bit
    uint64_t mantissa = bits & ((uint64_t{1} << 52) - 1);
    int exponent = -1074;
    if (field != 0) {
        mantissa |= uint64_t{1} << 52;
        exponent = field - 1075;
    }
    const uint64_t scale = kPowersOfTen[decimals];
    // magnitude · 10^decimals, rounded half to even. Below 2^50 the exponent is always
    // negative; below 2^-100 nothing reaches the last decimal.
    uint64_t scaled = 0;
    if (exponent > -100) {
        const unsigned __int128 product = static_cast<unsigned __int128>(mantissa) * scale;
        const int shift = -exponent;
        const unsigned __int128 quotient = product >> shift;
        const unsigned __int128 remainder = product - (quotient << shift);
        const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
        scaled = static_cast<uint64_t>(quotient);
        if (remainder > half || (remainder == half && (scaled & 1) != 0))
            ++scaled;
    }

    char buffer[kFixedNumberRoom];
    char* const end = buffer + sizeof buffer;
    char* p = end;
    uint64_t whole = scaled / scale;
    uint64_t fraction = scaled % scale;
    for (int i = 0; i < decimals; ++i) {
        *--p = static_cast<char>('0' + fraction % 10);
        fraction /= 10;
    }
    if (decimals > 0)
        *--p = '.';
    do {
        *--p = static_cast<char>('0' + whole % 10);
        whole /= 10;
    } while (whole != 0);
    if (value < 0 && scaled != 0)
        *--p = '-';
    const size_t length = static_cast<size_t>(end - p);
    std::memcpy(out, p, length);
    return out + length;
}

bool appendFixedNumber(std::string& out, double value, int decimals) {
    char buffer[kFixedNumberRoom];
    if (char* end = writeFixedNumber(buffer, value, decimals)) {
        out.append(buffer, static_cast<size_t>(end - buffer));
        return true;
    }
    return appendFixed(out, value, decimals);
}

}  // namespace corvane
