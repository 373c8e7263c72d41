// Field splitting as the readers of comma-separated lines see it: the cases around
// white space, the ideographic space and the field count that the import's decisions
// hang on.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "splitfields.h"

namespace corvane {
namespace {

std::vector<std::string> split(std::string_view line) {
    std::vector<std::string_view> fields;
    const int count = SplitFields(line, ',', fields);
    EXPECT_EQ(count, static_cast<int>(fields.size()));
    return {fields.begin(), fields.end()};
}

TEST(FieldSplitting, WhiteSpaceAndIdeographicSpace) {
    using V = std::vector<std::string>;
    const struct Case {
        std::string line;
        V fields;
    } cases[] = {
        {" , , ", {"", "", ""}},
        {"\v\fa\f\v", {"a"}},
        {"\r", {""}},
        {"\r\n", {""}},
        {"a b , c  d", {"a b", "c  d"}},                      // inner spaces stay
        {"\t\xE3\x80\x80 a \xE3\x80\x80\t,b", {"a", "b"}},    // mixed at both ends
        {"\xE3\x80\x80\xE3\x80\x80,\xE3\x80\x80", {"", ""}},  // only U+3000
        {"a\xE3\x80\x80"
         "b",
         {"a\xE3\x80\x80"
          "b"}},  // inside a field it stays
        {"\xC2\xA0"
         "a\xC2\xA0",
         {"\xC2\xA0"
          "a\xC2\xA0"}},                            // U+00A0 is no white space
        {"a\xE3\x80", {"a\xE3\x80"}},               // a cut U+3000 is not trimmed
        {"\xE3\x80\x81,x", {"\xE3\x80\x81", "x"}},  // U+3001 is a comma, not space
        {"点名 ,北坐标", {"点名", "北坐标"}},
        {",,", {"", "", ""}},
        {"a,", {"a", ""}},
        {",a", {"", "a"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(split(c.line), c.fields) << '"' << c.line << '"';
}

TEST(FieldSplitting, FieldCountAroundTheImportThresholds) {
    // A line has one field more than it has commas, whatever the fields hold; 23 or
    // more commas are split like any other line.
    const struct Case {
        std::string line;
        int count;
    } cases[] = {
        {"", 0},
        {" ", 1},
        {std::string(3, ','), 4},
        {std::string(9, ','), 10},
        {std::string(10, ','), 11},
        {std::string(16, ','), 17},
        {std::string(23, ','), 24},
        {"a" + std::string(40, ',') + "z", 41},
        {" \t" + std::string(9, ',') + "\r", 10},
    };
    std::vector<std::string_view> fields;
    for (const Case& c : cases)
        EXPECT_EQ(SplitFields(c.line, ',', fields), c.count) << c.line;
}

TEST(FieldSplitting, StoreHoldsOnlyTheLastLine) {
    std::vector<std::string_view> fields;
    SplitFields("a,b,c,d,e", ',', fields);
    EXPECT_EQ(SplitFields("x,y", ',', fields), 2);
    ASSERT_EQ(fields.size(), 2u);
    EXPECT_EQ(fields[1], "y");
    EXPECT_EQ(SplitFields("", ',', fields), 0);
    EXPECT_TRUE(fields.empty());
}

TEST(FieldSplitting, FieldsAreViewsIntoTheLine) {
    const std::string line = " P1 , 2.5 ";
    std::vector<std::string_view> fields;
    SplitFields(line, ',', fields);
    ASSERT_EQ(fields.size(), 2u);
    EXPECT_EQ(fields[0].data(), line.data() + 1);
    EXPECT_EQ(fields[1].data(), line.data() + 6);
}

}  // namespace
}  // namespace corvane
