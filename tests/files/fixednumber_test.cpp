#include "fixednumber.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "cellnumber.h"

namespace corvane {
namespace {

std::string fast(double value, int decimals) {
    std::string out;
    appendFixedNumber(out, value, decimals);
    return out;
}

TEST(FixedNumber, EdgeCasesMatchTheCorrectlyRoundedText) {
    struct Case {
        double value;
        int decimals;
        const char* text;
    };
    const Case cases[] = {
        {0.03125, 4, "0.0312"},  // an exact tie goes to the even digit
        {0.09375, 4, "0.0938"},
        {0.125, 2, "0.12"},
        {2.5, 0, "2"},
        {3.5, 0, "4"},
        {-0.0, 4, "0.0000"},
        {-1e-300, 4, "0.0000"},  // never a minus zero
        {-0.00004, 4, "0.0000"},
        {-0.00005, 4, "-0.0001"},  // just above the tie in binary
        {4.9e-324, 4, "0.0000"},
        {30.0, 2, "30.00"},
        {3456789.1234, 4, "3456789.1234"},
        {899999999999999.9, 4, "899999999999999.8750"},
        {1e15, 4, "1000000000000000.0000"},
        {-123.45678, 3, "-123.457"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fast(c.value, c.decimals), c.text) << c.value;
        EXPECT_EQ(fast(c.value, c.decimals), formatFixed(c.value, c.decimals)) << c.value;
    }
    EXPECT_EQ(fast(std::numeric_limits<double>::quiet_NaN(), 4),
              formatFixed(std::numeric_limits<double>::quiet_NaN(), 4));
    EXPECT_EQ(fast(std::numeric_limits<double>::infinity(), 4),
              formatFixed(std::numeric_limits<double>::infinity(), 4));
}

TEST(FixedNumber, RandomValuesMatchFormatFixed) {
    std::mt19937_64 rng(42);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    std::uniform_int_distribution<int> scale(-12, 16);
    for (int i = 0; i < 200000; ++i) {
        double value = unit(rng) * std::pow(10.0, scale(rng));
        if (i % 4 == 0)  // values on a decimal grid, the common case of survey texts
            value = std::round(value * 1000.0) / 1000.0;
        const int decimals = i % 6;
        ASSERT_EQ(fast(value, decimals), formatFixed(value, decimals)) << value << " " << decimals;
    }
}

}  // namespace
}  // namespace corvane
