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

// An unsigned number of 128 bits as two halves, for the exact product of a mantissa and
// a power of ten; only what the rounding below needs.
struct Wide {
    uint64_t high = 0;
    uint64_t low = 0;

    bool bit(int k) const { return ((k < 64 ? low >> k : high >> (k - 64)) & 1) != 0; }
    // Whether any of the bits 0 .. k-1 is set.
    bool anyBelow(int k) const {
        if (k <= 0)
            return false;
        if (k < 64)
            return (low & ((uint64_t{1} << k) - 1)) != 0;
        return low != 0 || (k > 64 && (high & ((uint64_t{1} << (k - 64)) - 1)) != 0);
    }
    // The number shifted right by 1 .. 127 bits; the callers' results fit 64 bits.
    uint64_t shiftedRight(int k) const {
        if (k < 64)
            return (low >> k) | (high << (64 - k));
        return high >> (k - 64);
    }
};

// a · b for a below 2^53 and b below 2^32.
Wide multiply(uint64_t a, uint64_t b) {
    const uint64_t upper = (a >> 32) * b;         // below 2^53
    const uint64_t lower = (a & 0xFFFFFFFF) * b;  // below 2^64
    const uint64_t middle = upper + (lower >> 32);
    return {middle >> 32, (middle << 32) | (lower & 0xFFFFFFFF)};
}

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
        const Wide product = multiply(mantissa, scale);
        const int shift = -exponent;
        scaled = product.shiftedRight(shift);
        // The dropped part against half a unit: its top bit, and whether any below is set.
        const bool halfBit = product.bit(shift - 1);
        const bool belowHalf = product.anyBelow(shift - 1);
        if (halfBit && (belowHalf || (scaled & 1) != 0))
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
