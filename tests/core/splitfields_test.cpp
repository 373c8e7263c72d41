#include "splitfields.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvane {
namespace {

std::vector<std::string> split(std::string_view line) {
    std::vector<std::string_view> fields;
    SplitFields(line, ',', fields);
    return {fields.begin(), fields.end()};
}

TEST(SplitFields, CasesFromTheFormat) {
    using V = std::vector<std::string>;
    struct Case {
        std::string line;
        V fields;
    } cases[] = {
        {"", {}},
        {"   ", {""}},
        {"a,b,,", {"a", "b", "", ""}},
        {" P1 ,x", {"P1", "x"}},
        {"a,b\r", {"a", "b"}},
        {"\xE3\x80\x80名\xE3\x80\x80,b", {"名", "b"}},
        {",", {"", ""}},
        {"x", {"x"}},
        {"\t a \t,\tb\t", {"a", "b"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(split(c.line), c.fields) << c.line;
}

TEST(SplitFields, HasNoFieldLimit) {
    std::string line(100000, ',');
    std::vector<std::string_view> fields;
    EXPECT_EQ(SplitFields(line, ',', fields), 100001);
}

}  // namespace
}  // namespace corvane
