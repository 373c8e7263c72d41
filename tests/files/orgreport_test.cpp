// What the ".org" writer leaves out by its rules is counted, and a number it would
// write that is not finite stops it with the row and column instead of "0.0000".

#include <gtest/gtest.h>

#include "orgwriter.h"
#include "rowbuilder.h"

namespace corvane {
namespace {

using test::Cells;
using test::loadOnJ1J2;

std::vector<Cells> northLine() {
    return {{.name = "J1", .start = "J1", .end = "J2", .type = "J桩"},
            {.name = "J2", .north = "1000", .start = "J2", .end = "J2", .type = "J桩"}};
}

TEST(OrgNonFinite, StopsTheExportNamingTheCell) {
    const struct Case {
        const char* name;
        std::vector<Cells> rows;  // after the two stakes
        int row;
        int column;
    } cases[] = {
        {"crossed line at an angle too large to pack",
         {{.name = "X", .type = "1点测标跨越物", .angle = "1e308"}},
         2,
         ColAngle},
        {"road band at an angle too large to pack",
         {{.name = "R", .type = "1点测路河塘房等", .crossing = "公路(184)", .angle = "1e308"}},
         2,
         ColAngle},
        {"two-point house whose side overflows",
         {{.name = "H1", .north = "1e308", .type = "2点测路河塘房等"},
          {.name = "H2", .north = "-1e308", .type = "2点测路河塘房等", .crossing = "房屋(201)"}},
         3,
         ColNorth},
        {"one-point house whose corner overflows",
         {{.name = "H",
           .offset = "-1e308",
           .type = "1点测路河塘房等",
           .crossing = "房屋(201)",
           .width = "1e308"}},
         2,
         ColWidth},
        {"pond whose relative corner overflows",
         {{.name = "T",
           .offset = "-1e308",
           .type = "1点测路河塘房等",
           .crossing = "塘(1000)",
           .length = "10",
           .width = "1e308"}},
         2,
         ColWidth},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Cells> all = northLine();
        all.insert(all.end(), c.rows.begin(), c.rows.end());
        PointTable table;
        loadOnJ1J2(table, all);
        Result<std::string> org = buildOrgFile(table);
        ASSERT_FALSE(org.ok());
        EXPECT_EQ(org.error().kind, Error::Kind::Data);
        EXPECT_EQ(org.error().row, c.row);
        EXPECT_EQ(org.error().column, c.column);
        EXPECT_EQ(org.error().message, nonFiniteWriteMessage({c.row, c.column}));
    }
}

TEST(OrgReport, CountsWhatTheFileLeavesOut) {
    std::vector<Cells> rows = northLine();
    rows.push_back({.name = "J3", .north = "2000", .start = "J2", .end = "J2", .type = "J桩"});
    rows.push_back({.name = "E", .type = ""});
    rows.push_back({.name = "O", .type = "别的"});
    // Three two-point rows without a crossing object: the last writes the object with
    // the middle one as partner, the first is used by nothing.
    for (const char* name : {"A1", "A2", "A3"})
        rows.push_back({.name = name, .type = "2点测路河塘房等"});
    rows.push_back({.name = "P", .type = "普通点"});
    // Four three-point rows: the last is a house with the two above; the first is unused.
    for (const char* name : {"H1", "H2", "H3", "H4"})
        rows.push_back({.name = name, .type = "3点测房"});
    // A two-point row that carries an object writes, and takes the row above as partner.
    rows.push_back({.name = "B1", .type = "2点测路河塘房等"});
    rows.push_back({.name = "B2", .type = "2点测路河塘房等", .crossing = "公路(184)"});
    rows.push_back({.name = "B3", .type = "2点测路河塘房等", .crossing = "公路(184)"});

    PointTable table;
    loadOnJ1J2(table, rows, {"J1", "J2"});
    OrgReport report;
    const Result<std::string> org = buildOrgFile(table, &report);
    ASSERT_TRUE(org.ok()) << org.error().message;
    EXPECT_EQ(report.unknownType, 2);
    EXPECT_EQ(report.unusedGroupRows, 2);
    EXPECT_EQ(report.stakesOffLine, 1);
    EXPECT_FALSE(report.noLinePoints);
    EXPECT_EQ(
        orgReportLines(report),
        (std::vector<std::string>{"2 行未写出：点类型不是已知的类型",
                                  "2 行未写出：“2点测路河塘房等”或“3点测房”的点没有用在任何对象中",
                                  "1 个 J 桩不在电力线点列表中，没有写出转角记录"}));
    // The report does not change the file.
    EXPECT_EQ(buildOrgFile(table).value(), org.value());

    PointTable withoutLine;
    loadOnJ1J2(withoutLine, northLine());
    OrgReport none;
    ASSERT_TRUE(buildOrgFile(withoutLine, &none).ok());
    EXPECT_TRUE(none.noLinePoints);
    EXPECT_EQ(orgReportLines(none),
              (std::vector<std::string>{"没有电力线点列表，没有写出转角记录"}));

    loadOnJ1J2(withoutLine, northLine(), {"J1", "J2"});
    ASSERT_TRUE(buildOrgFile(withoutLine, &none).ok());
    EXPECT_TRUE(orgReportLines(none).empty());
}

}  // namespace
}  // namespace corvane
