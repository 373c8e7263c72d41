// Feeds arbitrary text to the lenient number reading every command uses and checks it
// against the C library, and feeds arbitrary doubles to the fast fixed-point writer of
// the exporters and checks it against the exact one.

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "cellnumber.h"
#include "fixednumber.h"
#include "fuzzsupport.h"

namespace corvane {
namespace {

using fuzz::isAsciiSpace;
using fuzz::require;

bool isNumberChar(char c) {
    return (c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-';
}

// What the C library reads from the same text, where its grammar and ours meet: a text of
// decimal number characters only (no hex, "inf" or "nan" can start there).
void checkAgainstStrtod(std::string_view text, double value) {
    size_t i = 0;
    while (i < text.size() && isAsciiSpace(text[i]))
        ++i;
    size_t end = i;
    while (end < text.size() && isNumberChar(text[end]))
        ++end;
    if (end == i || end - i > 300)
        return;
    const std::string digits(text.substr(i, end - i));
    errno = 0;
    char* stop = nullptr;
    const double reference = std::strtod(digits.c_str(), &stop);
    if (stop == digits.c_str() || errno == ERANGE)
        return;  // underflow and overflow read 0 here by design
    require(value == reference || (value == 0 && reference == 0));
}

void checkReading(std::string_view text) {
    const double value = readNumber(text);
    require(std::isfinite(value));
    if (!startsWithNumber(text))
        require(value == 0);
    checkAgainstStrtod(text, value);

    // Text after a number never changes it; white space before it neither.
    std::string longer(text);
    longer += 'x';
    require(readNumber(longer) == value || (value == 0 && readNumber(longer) == 0));
    require(readNumber(" \t" + std::string(text)) == value);

    // What the program writes reads back within the rounding of its decimals.
    for (int decimals : {3, 4}) {
        const std::string written = formatFixed(value, decimals);
        require(written != "-0.000" && written != "-0.0000");
        const double back = readNumber(written);
        const double ulp = std::abs(value) * 1e-15;
        require(std::abs(back - value) <= 0.5 * std::pow(10.0, -decimals) + ulp);
    }

    const int integer = readInteger(text);
    size_t i = 0;
    while (i < text.size() && isAsciiSpace(text[i]))
        ++i;
    if (i < text.size() && text[i] != '+' && text[i] != '-' && (text[i] < '0' || text[i] > '9'))
        require(integer == 0);
    (void)crossingCode(text);
}

// The fast writer gives the exact writer's text wherever it takes a value.
void checkFixedWriter(const uint8_t* data, size_t size) {
    for (size_t at = 0; at + sizeof(double) <= size; at += sizeof(double)) {
        double value;
        std::memcpy(&value, data + at, sizeof value);
        if (!std::isfinite(value))
            continue;  // no writer is handed one: they are refused before writing
        for (int decimals = 0; decimals <= 4; ++decimals) {
            char buffer[kFixedNumberRoom];
            std::string exact;
            appendFixed(exact, value, decimals);
            if (const char* end = writeFixedNumber(buffer, value, decimals))
                require(std::string_view(buffer, static_cast<size_t>(end - buffer)) == exact);
            else
                require(std::abs(value) >= 9e14);
        }
    }
}

}  // namespace
}  // namespace corvane

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    corvane::checkReading(std::string_view(reinterpret_cast<const char*>(data), size));
    corvane::checkFixedWriter(data, size);
    return 0;
}
