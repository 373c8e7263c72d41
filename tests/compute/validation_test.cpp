#include "validation.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "pointtable.h"
#include "rowbuilder.h"
#include "vocabularies.h"

namespace corvane {
namespace {

using Severity = CheckEntry::Severity;

using test::Cells;

// A clean two-stake line with one ordinary point.
std::vector<Cells> cleanLine() {
    return {{.name = "J1",
             .north = "0",
             .east = "0",
             .height = "1",
             .start = "J1",
             .end = "J2",
             .distance = "100.000",
             .type = kJStake,
             .crossing = "无跨越物(0)"},
            {.name = "P1", .north = "5", .east = "50", .height = "1"},
            {.name = "J2",
             .north = "0",
             .east = "100",
             .height = "1",
             .start = "J2",
             .end = "J2",
             .distance = "200.000",
             .type = kJStake,
             .crossing = "无跨越物(0)"}};
}

std::vector<CheckEntry> check(const std::vector<Cells>& cells, std::vector<std::string> line,
                              const CheckOptions& options = {}) {
    PointTable table;
    test::loadOnJ1J2(table, cells, std::move(line));
    return checkTable(table, options);
}

std::vector<std::string> codes(const std::vector<CheckEntry>& entries) {
    std::vector<std::string> out;
    for (const auto& e : entries)
        out.push_back(e.code + "@" + std::to_string(e.row) + ":" + std::to_string(e.column));
    return out;
}

TEST(CheckTable, ACleanLineHasNoEntry) {
    EXPECT_TRUE(check(cleanLine(), {"J1", "J2"}).empty());
}

TEST(CheckTable, EachRuleFindsItsProblem) {
    using Edit = void (*)(std::vector<Cells>&, std::vector<std::string>&);
    struct Case {
        const char* what;
        Edit edit;
        std::vector<std::string> expected;
        Severity severity;
    } cases[] = {
        {"segment end names no row",
         [](auto& c, auto&) { c[1].end = "J9"; },
         {"unresolved-segment@1:5"},
         Severity::Error},
        {"no segment at all",
         [](auto& c, auto&) { c[1].start = c[1].end = ""; },
         {"no-segment@1:4"},
         Severity::Error},
        {"coordinate is text",
         [](auto& c, auto&) { c[1].north = "abc"; },
         {"not-a-number@1:1"},
         Severity::Warning},
        {"empty elevation",
         [](auto& c, auto&) { c[1].height = ""; },
         {"not-a-number@1:3"},
         Severity::Warning},
        {"unknown point type",
         [](auto& c, auto&) { c[1].type = "普通"; },
         {"unknown-point-type@1:9"},
         Severity::Error},
        {"crossing outside its list",
         [](auto& c, auto&) { c[1].crossing = "公路"; },
         {"unknown-crossing@1:10"},
         Severity::Warning},
        {"line class expected for a crossed line",
         [](auto& c, auto&) {
             c[1].type = std::string(kOnePointCrossedObject);
             c[1].crossing = "公路(184)";
         },
         {"unknown-crossing@1:10"},
         Severity::Warning},
        {"pole type outside its list",
         [](auto& c, auto&) { c[1].pole = "9"; },
         {"unknown-pole-type@1:13"},
         Severity::Warning},
        {"J stake not in the line",
         [](auto&, auto& l) { l = {"J1"}; },
         {"jstake-not-in-line@2:0"},
         Severity::Warning},
        {"line entry names no row",
         [](auto&, auto& l) {
             l = {"J1", "J2", "J3"};
         },
         {"line-point-missing@-1:-1"},
         Severity::Error},
        {"mileage decreases",
         [](auto& c, auto&) { c[2].distance = "50.000"; },
         {"mileage-decreases@2:7"},
         Severity::Warning},
        {"duplicate name",
         [](auto& c, auto&) { c[1].name = "J1"; },
         {"duplicate-name@1:0"},
         Severity::Warning},
        {"two-point object in the top row",
         [](auto& c, auto&) {
             c[1].type = std::string(kTwoPointObject);
             c[1].crossing = "公路(184)";
             std::swap(c[0], c[1]);
         },
         {"missing-partner@0:9"},
         Severity::Error},
        {"partner of another type",
         [](auto& c, auto&) {
             c[1].type = std::string(kTwoPointObject);
             c[1].crossing = "公路(184)";
         },
         {"partner-type@1:9"},
         Severity::Warning},
    };
    for (const auto& c : cases) {
        std::vector<Cells> cells = cleanLine();
        std::vector<std::string> line{"J1", "J2"};
        c.edit(cells, line);
        auto entries = check(cells, line);
        EXPECT_EQ(codes(entries), c.expected) << c.what;
        if (!entries.empty()) {
            EXPECT_EQ(entries.front().severity, c.severity) << c.what;
            EXPECT_FALSE(entries.front().message.empty());
            EXPECT_FALSE(entries.front().fix.empty());
        }
    }
}

TEST(CheckTable, ADuplicateThatShadowsAPartnerIsAnError) {
    std::vector<Cells> cells = cleanLine();
    cells.insert(cells.begin() + 1, Cells{.name = "Q"});
    cells.insert(cells.begin() + 2, Cells{.name = "Q",
                                          .north = "1",
                                          .east = "1",
                                          .height = "1",
                                          .start = "J1",
                                          .end = "J2",
                                          .type = kTwoPointObject,
                                          .crossing = "公路(184)"});
    cells.insert(cells.begin() + 3, Cells{.name = "R",
                                          .north = "1",
                                          .east = "1",
                                          .height = "1",
                                          .start = "J1",
                                          .end = "J2",
                                          .type = kTwoPointObject,
                                          .crossing = "公路(184)"});
    auto entries = check(cells, {"J1", "J2"});
    EXPECT_EQ(codes(entries), (std::vector<std::string>{"partner-type@2:9", "duplicate-name@2:0",
                                                        "shadowed-partner@3:9"}));
}

TEST(CheckTable, ReportsCharactersTheCodePageCannotHold) {
    std::vector<Cells> cells = cleanLine();
    cells[1].name = "P\xF0\x9F\x98\x80";  // an emoji
    CheckOptions options;
    options.firstUnencodable = [](std::string_view text) {
        size_t p = text.find('\xF0');
        return p == std::string_view::npos ? std::string_view::npos : p;
    };
    auto entries = check(cells, {"J1", "J2"}, options);
    ASSERT_EQ(codes(entries), (std::vector<std::string>{"unencodable@1:0"}));
    EXPECT_NE(entries[0].message.find("\xF0\x9F\x98\x80"), std::string::npos);
}

// A table large enough to be checked in parts, with problems near the part borders and
// a name repeated across them: the entries come in row order all the same, each row's
// own before the table's findings about it.
TEST(CheckTable, ALargeTableIsReportedInRowOrder) {
    constexpr int kRows = 40000;
    std::vector<Cells> cells = cleanLine();
    const Cells stake = cells[2];
    cells.pop_back();  // J1, P1
    for (int r = 2; r < kRows - 1; ++r)
        cells.push_back({.name = "P" + std::to_string(r)});
    cells.push_back(stake);
    cells[5].north = "abc";
    for (int r : {12000, 12001, 12002})
        cells[r].end = "J9";  // the same unknown end in a run of rows
    cells[20000].start = cells[20000].end = "";
    cells[25000].name = cells[39000].name = "P7";
    cells[25000].height = "";
    for (int r : {30000, 30001})
        cells[r].remark = "\xF0\x9F\x98\x80";  // the same emoji in a run of rows
    cells[35000].name = "J5";
    cells[35000].type = std::string(kJStake);
    CheckOptions options;
    options.firstUnencodable = [](std::string_view text) { return text.find('\xF0'); };

    const std::vector<CheckEntry> entries = check(cells, {"J1", "J2"}, options);
    EXPECT_EQ(codes(entries),
              (std::vector<std::string>{"not-a-number@5:1", "unresolved-segment@12000:5",
                                        "unresolved-segment@12001:5", "unresolved-segment@12002:5",
                                        "no-segment@20000:4", "not-a-number@25000:3",
                                        "duplicate-name@25000:0", "unencodable@30000:6",
                                        "unencodable@30001:6", "jstake-not-in-line@35000:0"}));
    const auto duplicate = std::find_if(entries.begin(), entries.end(), [](const CheckEntry& e) {
        return e.code == "duplicate-name";
    });
    ASSERT_NE(duplicate, entries.end());
    EXPECT_NE(duplicate->message.find("出现 3 次（第 8、25001、39001 行）"), std::string::npos)
        << duplicate->message;
}

TEST(CheckTable, JsonListsEveryEntry) {
    std::vector<Cells> cells = cleanLine();
    cells[1].end = "J\"9";
    std::string json = checkEntriesToJson(check(cells, {"J1", "J2"}));
    EXPECT_NE(json.find("\"errors\": 1"), std::string::npos) << json;
    EXPECT_NE(json.find("\"code\": \"unresolved-segment\""), std::string::npos);
    EXPECT_NE(json.find("\"row\": 2"), std::string::npos);
    EXPECT_NE(json.find("J\\\"9"), std::string::npos);
    EXPECT_EQ(checkEntriesToJson({}),
              "{\n  \"errors\": 0,\n  \"warnings\": 0,\n  \"entries\": []\n}\n");
}

}  // namespace
}  // namespace corvane
