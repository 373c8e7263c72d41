#include "cellnumber.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include "vocabularies.h"

namespace corvane {
namespace {

struct NumberCase {
    const char* text;
    double value;
};

class ReadNumber : public ::testing::TestWithParam<NumberCase> {};

TEST_P(ReadNumber, TakesTheLongestLeadingDecimal) {
    EXPECT_DOUBLE_EQ(readNumber(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadNumber,
    ::testing::Values(NumberCase{"", 0}, NumberCase{"-.-", 0}, NumberCase{"J12", 0},
                      NumberCase{"12.5", 12.5}, NumberCase{"  \t-3.25xyz", -3.25},
                      NumberCase{"+7", 7}, NumberCase{".5", 0.5}, NumberCase{"5.", 5},
                      NumberCase{"1e3", 1000}, NumberCase{"1E-2m", 0.01}, NumberCase{"2e", 2},
                      NumberCase{"2e+", 2}, NumberCase{"1e400", 0}, NumberCase{"-1e400", 0},
                      NumberCase{"inf", 0}, NumberCase{"nan", 0}, NumberCase{"0x1A", 0},
                      NumberCase{"1,5", 1}, NumberCase{"-", 0}, NumberCase{".", 0},
                      NumberCase{"1040.000", 1040}, NumberCase{"3456789.1234", 3456789.1234}));

// Plain decimals are read by a shortcut; every value must still be the correctly
// rounded one a full conversion gives, to the last bit and the sign of zero.
TEST(ReadNumber, PlainDecimalsReadAsTheFullConversion) {
    const auto full = [](const std::string& text) {
        double value = 0.0;
        std::from_chars(text.data(), text.data() + text.size(), value);
        return value;
    };
    const auto expectSame = [&](const std::string& text) {
        const double got = readNumber(text);
        const double want = full(text);
        EXPECT_EQ(std::bit_cast<uint64_t>(got), std::bit_cast<uint64_t>(want)) << text;
    };
    for (const char* text :
         {"0.1", "0.3", "-0", "-0.000", "0.0000000000000000000001", "0.00000000000000000000001",
          "9007199254740991", "9007199254740992", "9007199254740993", "900719925474099.3",
          "0.9007199254740993", "99999999999999999999", "3456789.12345678", "123456.7890123456",
          "1.5000000000000000000000000", "00000000000000000000012.5", "-512345.6789"})
        expectSame(text);
    std::mt19937_64 rng(7);
    for (int i = 0; i < 200000; ++i) {
        std::string text = rng() % 4 == 0 ? "-" : "";
        const size_t digits = 1 + rng() % 20;
        const size_t point = rng() % (digits + 2);  // past the end: no point
        for (size_t d = 0; d < digits; ++d) {
            if (d == point)
                text += '.';
            text += static_cast<char>('0' + rng() % 10);
        }
        expectSame(text);
    }
}

TEST(ReadInteger, StopsAtTheFirstOtherCharacter) {
    struct Case {
        const char* text;
        int value;
    } cases[] = {
        {"12--[T8]", 12},           {"无杆型", 0}, {"184)", 184}, {"  -7x", -7}, {"", 0}, {"+3", 3},
        {"99999999999", 2147483647}};
    for (const auto& c : cases)
        EXPECT_EQ(readInteger(c.text), c.value) << c.text;
}

TEST(CrossingCode, ReadsAfterParenthesisThenDashThenWhole) {
    struct Case {
        const char* text;
        int code;
    } cases[] = {{"公路(184)", 184},
                 {"10KV----------32", 32},
                 {"", 0},
                 {"塘(1000)", 1000},
                 {"地下水管---------68", 68},
                 {"广告牌(90)", 90},
                 {"word", 0},
                 {"42", 42},
                 {"a(1)-2", 1}};
    for (const auto& c : cases)
        EXPECT_EQ(crossingCode(c.text), c.code) << c.text;
}

TEST(Vocabularies, EveryCrossingAndLineClassCodeReadsBack) {
    ASSERT_EQ(pointTypes().size(), 9u);
    ASSERT_EQ(poleTypes().size(), 39u);
    ASSERT_EQ(crossingObjects().size(), 28u);
    ASSERT_EQ(lineClasses().size(), 33u);
    for (size_t i = 0; i < poleTypes().size(); ++i)
        EXPECT_EQ(poleTypeCode(poleTypes()[i]), static_cast<int>(i)) << poleTypes()[i];
    EXPECT_EQ(crossingCode(crossingObjects()[26]), 1000);
    EXPECT_EQ(crossingCode(lineClasses()[32]), 68);
    // The runs of "-" are part of the texts.
    const int dashes[] = {10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 4, 4, 4, 4, 7, 10,
                          10, 13, 6,  7,  7,  7,  7,  2,  2,  2,  2,  2, 9, 3, 9, 9};
    for (size_t i = 0; i < lineClasses().size(); ++i) {
        std::string_view t = lineClasses()[i];
        size_t last = t.find_last_not_of("0123456789");
        size_t first = t.find_last_not_of('-', last);
        EXPECT_EQ(static_cast<int>(last - first), dashes[i]) << t;
    }
}

TEST(FormatFixed, PrintsLikeCFormatWithoutMinusZero) {
    struct Case {
        double value;
        int decimals;
        const char* text;
    } cases[] = {{1040.0, 3, "1040.000"},
                 {-10.0, 3, "-10.000"},
                 {0.0, 4, "0.0000"},
                 {-0.0, 4, "0.0000"},
                 {-0.00004, 4, "0.0000"},
                 {-0.00005001, 4, "-0.0001"},
                 {2.0625, 3, "2.062"},
                 {0.125, 2, "0.12"},
                 {0.375, 2, "0.38"},
                 {1e20, 3, "100000000000000000000.000"},
                 // No number has no text, never a "0.000" that passes for one.
                 {std::numeric_limits<double>::quiet_NaN(), 3, ""},
                 {std::numeric_limits<double>::infinity(), 3, ""},
                 {-std::numeric_limits<double>::infinity(), 4, ""}};
    for (const auto& c : cases) {
        EXPECT_EQ(formatFixed(c.value, c.decimals), c.text) << c.value;
        std::string appended = "x";
        EXPECT_EQ(appendFixed(appended, c.value, c.decimals), *c.text != '\0') << c.value;
        EXPECT_EQ(appended, "x" + std::string(c.text)) << c.value;
    }
}

TEST(FormatFixed, MatchesPrintfOnManyValues) {
    char buffer[64];
    double v = 0.0005;
    for (int i = 0; i < 20000; ++i) {
        v = v * 1.0007 + 0.0001;
        for (int decimals : {3, 4}) {
            std::snprintf(buffer, sizeof buffer, "%.*f", decimals, v);
            ASSERT_EQ(formatFixed(v, decimals), buffer);
            std::snprintf(buffer, sizeof buffer, "%.*f", decimals, -v);
            ASSERT_EQ(formatFixed(-v, decimals), buffer);
        }
    }
}

TEST(Conventions, AGermanLocaleChangesNothing) {
    const char* old = std::setlocale(LC_ALL, nullptr);
    std::string saved = old ? old : "C";
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    EXPECT_EQ(formatFixed(1234.5678, 3), "1234.568");
    EXPECT_DOUBLE_EQ(readNumber("1234.5678"), 1234.5678);
    EXPECT_DOUBLE_EQ(readNumber("1234,5678"), 1234);
    std::setlocale(LC_ALL, saved.c_str());
}

}  // namespace
}  // namespace corvane
