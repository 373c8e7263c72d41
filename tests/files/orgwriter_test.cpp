#include "orgwriter.h"

#include <gtest/gtest.h>
#include "bytefiles.h"
#include "cp936.h"
#include "rowbuilder.h"

namespace corvane {
namespace {

using test::Cells;
using test::crlfLines;
using test::loadOnJ1J2;

// A line running due north from J1 to J2, so the segment azimuth A is 0 and the
// direction of a crossed object equals its angle in the line frame.
std::vector<Cells> northLine() {
    return {
        {.name = "J1",
         .north = "0",
         .east = "0",
         .height = "10",
         .start = "J1",
         .end = "J2",
         .distance = "0.000",
         .offset = "0.0000",
         .type = "J桩"},
        {.name = "J2",
         .north = "1000",
         .east = "0",
         .height = "11",
         .start = "J2",
         .end = "J2",
         .distance = "1000.000",
         .offset = "0.0000",
         .type = "J桩"},
    };
}

const std::vector<std::string> kNorthLineRecords = {
    "0,J1,0.0000,0.0000,10.0000,96=00+96,0.0000,0.0000",
    "0,J2,0.0000,1000.0000,11.0000,96=00+96,0.0000,0.0000",
};

// The records of `rows` written after the two stakes of the north line.
std::vector<std::string> recordsAfterLine(const std::vector<Cells>& rows) {
    std::vector<Cells> all = northLine();
    all.insert(all.end(), rows.begin(), rows.end());
    PointTable table;
    loadOnJ1J2(table, all);
    Result<std::string> org = buildOrgFile(table);
    EXPECT_TRUE(org.ok()) << org.error().message;
    if (!org.ok())
        return {};
    std::vector<std::string> lines = crlfLines(test::utf8(org.value()));
    EXPECT_GE(lines.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 2), kNorthLineRecords);
    return std::vector<std::string>(lines.begin() + 2, lines.end());
}

// Four ordinary points take the numbers 1 to 4, so the next number is 5.
std::vector<Cells> fourPoints() {
    return {{.name = "a"}, {.name = "b"}, {.name = "c"}, {.name = "d"}};
}

std::vector<std::string> fourPointRecords() {
    std::vector<std::string> r;
    for (int i = 1; i <= 4; ++i)
        r.push_back("b," + std::to_string(i) + ",0.0000,0.0000,0.0000,13=00+13,0,0,0");
    return r;
}

struct RecordCase {
    const char* what;
    std::vector<Cells> rows;
    std::vector<std::string> records;
};

void PrintTo(const RecordCase& c, std::ostream* os) {
    *os << c.what;
}

class OrgRecordsTest : public ::testing::TestWithParam<RecordCase> {};

TEST_P(OrgRecordsTest, WritesTheRecordsOfTheRows) {
    EXPECT_EQ(recordsAfterLine(GetParam().rows), GetParam().records);
}

std::vector<Cells> withFourPointsFirst(std::vector<Cells> rows) {
    std::vector<Cells> all = fourPoints();
    all.insert(all.end(), rows.begin(), rows.end());
    return all;
}

std::vector<std::string> withFourRecordsFirst(std::vector<std::string> records) {
    std::vector<std::string> all = fourPointRecords();
    all.insert(all.end(), records.begin(), records.end());
    return all;
}

Cells houseOfOnePoint(std::string offset) {
    return {.name = "H",
            .height = "12",
            .distance = "100",
            .offset = offset,
            .type = "1点测路河塘房等",
            .crossing = "房屋(201)",
            .measuredHeight = "3.5",
            .angle = "0",
            .length = "10",
            .width = "6"};
}

INSTANTIATE_TEST_SUITE_P(
    Org, OrgRecordsTest,
    ::testing::Values(
        RecordCase{
            "points are numbered in table order; stakes keep their names",
            {{.name = "P1", .height = "5.5", .distance = "12.3456", .offset = "1.5"},
             {.name = "Z9", .height = "7", .distance = "50", .offset = "-2", .type = "Z桩"},
             {.name = "P2", .distance = "60", .type = "方向桩"},
             {.name = "P3", .distance = "70", .offset = "0", .type = "风偏点"},
             {.name = "P4", .type = ""},
             {.name = "P5", .type = "不是点类型"},
             {.name = "P6", .distance = "80", .offset = "-.-"}},
            {"b,1,-1.5000,12.3456,5.5000,13=00+13,0,0,0",
             "0,Z9,2.0000,50.0000,7.0000,96=00+96,0.0000,0.0000",
             "b,2,0.0000,60.0000,0.0000,13=00+13,0,0,0", "b,3,0.0000,70.0000,0.0000,13=00+13,0,0,0",
             "b,4,0.0000,80.0000,0.0000,13=00+13,0,0,0"}},
        RecordCase{"a crossed line uses two numbers: ground point, height and line",
                   {{.name = "X1",
                     .height = "20",
                     .distance = "300",
                     .offset = "4",
                     .type = "1点测标跨越物",
                     .crossing = "10KV----------32",
                     .measuredHeight = "8.25",
                     .angle = "0.5",
                     .pole = "12--[T8]"},
                    {.name = "X2",
                     .distance = "310",
                     .type = "1点测标跨越物",
                     .crossing = "220V----------30",
                     .angle = "0"},
                    {.name = "P", .distance = "320"}},
                   {"b,1,-4.0000,300.0000,20.0000,13=00+13,0,0,0", "G,2,1,8.2500,41=00+41",
                    "*,2,12,3,0,0,32,-61.2108", "b,3,0.0000,310.0000,0.0000,13=00+13,0,0,0",
                    "G,4,3,0.0000,41=00+41",
                    // the object along the line, folded from +90° to -90°
                    "*,4,0,3,0,0,30,-90.0000", "b,5,0.0000,320.0000,0.0000,13=00+13,0,0,0"}},
        RecordCase{"the house of one point, record by record",
                   withFourPointsFirst({houseOfOnePoint("0"), {.name = "next"}}),
                   withFourRecordsFirst({
                       "b,5,0.0000,100.0000,12.0000,13=00+13,0,0,0",
                       "b,6,0.0000,110.0000,12.0000,13=00+13,5,0,201",
                       "b,7,6.0000,110.0000,12.0000,13=00+13,6,0,201",
                       "b,8,6.0000,100.0000,12.0000,13=00+13,7,0,201",
                       "c,8,5,0,201",
                       "x,9,7,0,5,0,0,3.5000,0,0.0000",
                       "b,11,0.0000,0.0000,0.0000,13=00+13,0,0,0",
                   })},
        RecordCase{"the same house 1 m right of the line: every x 1 less",
                   withFourPointsFirst({houseOfOnePoint("1")}),
                   withFourRecordsFirst({
                       "b,5,-1.0000,100.0000,12.0000,13=00+13,0,0,0",
                       "b,6,-1.0000,110.0000,12.0000,13=00+13,5,0,201",
                       "b,7,5.0000,110.0000,12.0000,13=00+13,6,0,201",
                       "b,8,5.0000,100.0000,12.0000,13=00+13,7,0,201",
                       "c,8,5,0,201",
                       "x,9,7,0,5,0,0,3.5000,0,-1.0000",
                   })},
        RecordCase{"a pond: three corners relative to the measured point",
                   {{.name = "T",
                     .height = "3",
                     .distance = "100",
                     .type = "1点测路河塘房等",
                     .crossing = "塘(1000)",
                     .length = "10.9",
                     .width = "6"},
                    {.name = "next"}},
                   {"b,1,0.0000,100.0000,3.0000,13=00+13,0,0,0",
                    "+,2,1,0.0000,6.0000,10.0000,24637=11+61,0,0,0", "f,1,24646=11+70,0,0,0.0000",
                    "f,2,24636=11+60,0,0,0.0000", "+,3,1,0.0000,0.0000,10.0000,24589=11+13,1,2,7",
                    "+,4,1,0.0000,6.0000,0.0000,24589=11+13,2,2,7", "c,2,3,2,7", "c,1,4,2,7",
                    "b,5,0.0000,0.0000,0.0000,13=00+13,0,0,0"}},
        RecordCase{"the band of a road: width of column 15, two numbers",
                   {{.name = "R",
                     .height = "2",
                     .distance = "40",
                     .offset = "-3",
                     .type = "1点测路河塘房等",
                     .crossing = "公路(184)",
                     .angle = "2",
                     .length = "10",
                     .width = "7.5"},
                    {.name = "next"}},
                   {"b,1,3.0000,40.0000,2.0000,13=00+13,0,0,0",
                    "r,1,13=00+13,0,0,13=00+13,0,7.5000,24.3530,184",
                    "b,3,0.0000,0.0000,0.0000,13=00+13,0,0,0"}},
        RecordCase{"two-point pair: the first row (no crossing) writes nothing; the second "
                   "is a band as wide as the two points are apart",
                   {{.name = "Q1", .north = "500", .east = "10", .type = "2点测路河塘房等"},
                    {.name = "Q2",
                     .north = "500",
                     .east = "16",
                     .distance = "500",
                     .type = "2点测路河塘房等",
                     .crossing = "双线河(191)",
                     .angle = "3"},
                    {.name = "next"}},
                   {"b,1,0.0000,500.0000,0.0000,13=00+13,0,0,0",
                    "r,1,13=00+13,0,0,13=00+13,0,6.0000,81.5314,191",
                    "b,3,0.0000,0.0000,0.0000,13=00+13,0,0,0"}},
        RecordCase{
            "two-point pair where both rows carry a crossing: both are written, the "
            "first with the row above as partner",
            {{.name = "A", .north = "500", .east = "2"},
             {.name = "Q1",
              .north = "500",
              .east = "10",
              .distance = "1",
              .type = "2点测路河塘房等",
              .crossing = "公路(184)"},
             {.name = "Q2",
              .north = "500",
              .east = "16",
              .distance = "2",
              .type = "2点测路河塘房等",
              .crossing = "公路(184)"}},
            {"b,1,0.0000,0.0000,0.0000,13=00+13,0,0,0", "b,2,0.0000,1.0000,0.0000,13=00+13,0,0,0",
             "r,2,13=00+13,0,0,13=00+13,0,8.0000,-90.0000,184",
             "b,4,0.0000,2.0000,0.0000,13=00+13,0,0,0",
             "r,4,13=00+13,0,0,13=00+13,0,6.0000,-90.0000,184"}},
        RecordCase{"two-point house: length side along Q1->Q2, width their distance",
                   {{.name = "Q1", .north = "500", .east = "10", .type = "2点测路河塘房等"},
                    {.name = "Q2",
                     .north = "500",
                     .east = "16",
                     .height = "9",
                     .distance = "200",
                     .offset = "-2",
                     .type = "2点测路河塘房等",
                     .crossing = "棚房(203)",
                     .measuredHeight = "4",
                     .length = "10.9"}},
                   {"b,1,2.0000,200.0000,9.0000,13=00+13,0,0,0",
                    "b,2,-8.0000,200.0000,9.0000,13=00+13,1,0,203",
                    "b,3,-8.0000,206.0000,9.0000,13=00+13,2,0,203",
                    "b,4,2.0000,206.0000,9.0000,13=00+13,3,0,203", "c,4,1,0,203",
                    "x,5,3,0,1,0,0,4.0000,0,2.0000"}},
        RecordCase{"of equally near corners the last one counts: p3 at -3 over p0 at 3",
                   {{.name = "Q1", .north = "506", .east = "10", .type = "2点测路河塘房等"},
                    {.name = "Q2",
                     .north = "500",
                     .east = "10",
                     .distance = "50",
                     .offset = "-3",
                     .type = "2点测路河塘房等",
                     .crossing = "房屋(201)",
                     .measuredHeight = "2",
                     .length = "1"}},
                   {"b,1,3.0000,50.0000,0.0000,13=00+13,0,0,0",
                    "b,2,3.0000,49.0000,0.0000,13=00+13,1,0,201",
                    "b,3,-3.0000,49.0000,0.0000,13=00+13,2,0,201",
                    "b,4,-3.0000,50.0000,0.0000,13=00+13,3,0,201", "c,4,1,0,201",
                    "x,5,3,0,1,0,0,2.0000,0,-3.0000"}},
        RecordCase{"three-point house: only the last row of the group writes, sides "
                   "|R1R2| and |R2R3|, whatever its crossing",
                   {{.name = "R1", .north = "500", .east = "10", .type = "3点测房"},
                    {.name = "R2", .north = "500", .east = "16", .type = "3点测房"},
                    {.name = "R3",
                     .north = "510",
                     .east = "16",
                     .height = "9",
                     .distance = "200",
                     .offset = "-2",
                     .type = "3点测房",
                     .measuredHeight = "4"},
                    {.name = "next"}},
                   {"b,1,2.0000,200.0000,9.0000,13=00+13,0,0,0",
                    "b,2,-8.0000,200.0000,9.0000,13=00+13,1,0,0",
                    "b,3,-8.0000,206.0000,9.0000,13=00+13,2,0,0",
                    "b,4,2.0000,206.0000,9.0000,13=00+13,3,0,0", "c,4,1,0,0",
                    "x,5,3,0,1,0,0,4.0000,0,2.0000", "b,7,0.0000,0.0000,0.0000,13=00+13,0,0,0"}}));

// A J stake is the start of a three-stake line whose middle stake turns.
struct TurnCase {
    const char* what;
    std::string north2, east2, north3, east3;
    const char* turnRecord;
};

void PrintTo(const TurnCase& c, std::ostream* os) {
    *os << c.what;
}

class OrgTurnTest : public ::testing::TestWithParam<TurnCase> {};

TEST_P(OrgTurnTest, InteriorStakeGetsItsTurningAngle) {
    const TurnCase& c = GetParam();
    PointTable table;
    loadOnJ1J2(table,
               {{.name = "J1", .start = "J1", .end = "J2", .type = "J桩"},
                {.name = "J2",
                 .north = c.north2,
                 .east = c.east2,
                 .start = "J2",
                 .end = "J3",
                 .type = "J桩"},
                {.name = "J3",
                 .north = c.north3,
                 .east = c.east3,
                 .start = "J3",
                 .end = "J3",
                 .type = "J桩"}},
               {"J1", "J2", "J3"});
    Result<std::string> org = buildOrgFile(table);
    ASSERT_TRUE(org.ok()) << org.error().message;
    const std::vector<std::string> lines = crlfLines(org.value());
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].substr(0, 5), "0,J1,");
    EXPECT_EQ(lines[1].substr(0, 5), "0,J2,");
    EXPECT_EQ(lines[2], c.turnRecord);  // the first and the last stake get none
    EXPECT_EQ(lines[3].substr(0, 5), "0,J3,");
}

INSTANTIATE_TEST_SUITE_P(
    Org, OrgTurnTest,
    ::testing::Values(
        TurnCase{"heading 10° then 40°: 30° clockwise", "98.4808", "17.3648", "175.0852", "81.6436",
                 "q,J2,-30.0000,0.0000"},
        TurnCase{"heading 40° then 10°: 30° anticlockwise", "76.6044", "64.2788", "175.0852",
                 "81.6436", "q,J2,0.0000,30.0000"},
        TurnCase{"heading 350° then 10°: 20° clockwise across north", "984.8078", "-173.6482",
                 "1969.6155", "0.0000", "q,J2,-20.0000,0.0000"},
        TurnCase{"straight on counts as a left turn", "100", "0", "200", "0", "q,J2,0.0000,0.0000"},
        // Degrees and minutes are truncated from the binary angle, which here lies a
        // hair below 30°, so the record shows 29° 59′ 59.99″.
        TurnCase{"exact 10° / 40° headings print 29.5960", "98.4807753012208", "17.364817766693033",
                 "175.08521961311862", "81.64357873534696", "q,J2,-29.5960,0.0000"}));

TEST(OrgWriter, TurnRecordsFollowTheLineListNotTheTable) {
    PointTable table;
    // J2 twice (both get the turn of the first J2); J4 is not on the line; the line
    // names a stake "J0" that no row has, which stands at (0, 0).
    loadOnJ1J2(
        table,
        {{.name = "J1", .north = "100", .start = "J1", .end = "J2", .type = "J桩"},
         {.name = "J2", .north = "200", .start = "J2", .end = "J3", .type = "J桩"},
         {.name = "J2", .north = "999", .east = "999", .start = "J2", .end = "J3", .type = "J桩"},
         {.name = "J3", .north = "200", .east = "100", .start = "J3", .end = "J3", .type = "J桩"},
         {.name = "J4", .start = "J3", .end = "J3", .type = "J桩"}},
        {"J0", "J1", "J2", "J3"});
    Result<std::string> org = buildOrgFile(table);
    ASSERT_TRUE(org.ok()) << org.error().message;
    EXPECT_EQ(crlfLines(org.value()),
              (std::vector<std::string>{
                  "0,J1,0.0000,0.0000,0.0000,96=00+96,0.0000,0.0000",
                  "q,J1,0.0000,0.0000",  // J0 at (0, 0), J1, J2 all due north
                  "0,J2,0.0000,0.0000,0.0000,96=00+96,0.0000,0.0000",
                  "q,J2,-90.0000,0.0000",
                  "0,J2,0.0000,0.0000,0.0000,96=00+96,0.0000,0.0000",
                  "q,J2,-90.0000,0.0000",
                  "0,J3,0.0000,0.0000,0.0000,96=00+96,0.0000,0.0000",
                  "0,J4,0.0000,0.0000,0.0000,96=00+96,0.0000,0.0000",
              }));
}

TEST(OrgWriter, TopRowsOfAGroupTakePartnersAtTheOrigin) {
    // The two-point row is the top row: its partner above has an empty name, which
    // no row has, so the partner stands at (0, 0) and the band is 5 m wide.
    PointTable table;
    loadOnJ1J2(table, {{.name = "Q",
                        .north = "3",
                        .east = "4",
                        .type = "2点测路河塘房等",
                        .crossing = "公路(184)"},
                       {.name = "J1", .start = "J1", .end = "J2", .type = "J桩"},
                       {.name = "J2", .north = "10", .start = "J2", .end = "J2", .type = "J桩"}});
    Result<std::string> org = buildOrgFile(table);
    ASSERT_TRUE(org.ok()) << org.error().message;
    EXPECT_EQ(crlfLines(org.value())[1], "r,1,13=00+13,0,0,13=00+13,0,5.0000,-90.0000,184");
}

TEST(OrgWriter, EmptyTableGivesEmptyFile) {
    PointTable table;
    Result<std::string> org = buildOrgFile(table);
    ASSERT_TRUE(org.ok());
    EXPECT_EQ(org.value(), "");
}

TEST(OrgWriter, UnresolvedSegmentEndsTheExportNamingTheRow) {
    struct Case {
        Cells row;
        std::string message;
        int column;
    };
    const Case cases[] = {
        {{.name = "P9", .start = "", .end = ""},
         "测量点 [ P9 ] 没有找到所属的电力线点，请检查！",
         4},
        {{.name = "", .start = "nope", .end = "nope"},
         "测量点 [  ] 没有找到所属的电力线点，请检查！",
         4},
        {{.name = "点7", .start = "J1", .end = "J9"},
         "测量点 [ 点7 ] 没有找到所属的电力线点，请检查！",
         5},
        // Unknown point types are checked too: the lookup comes first.
        {{.name = "X", .start = "nowhere", .type = "其他"},
         "测量点 [ X ] 没有找到所属的电力线点，请检查！",
         4},
    };
    for (const Case& c : cases) {
        std::vector<Cells> rows = northLine();
        rows.push_back({.name = "ok"});
        rows.push_back(c.row);
        rows.push_back({.name = "P10", .start = "", .end = ""});
        PointTable table;
        loadOnJ1J2(table, rows);
        Result<std::string> org = buildOrgFile(table);
        ASSERT_FALSE(org.ok());
        EXPECT_EQ(org.error().message, c.message);
        EXPECT_EQ(org.error().kind, Error::Kind::Data);
        EXPECT_EQ(org.error().row, 3);
        EXPECT_EQ(org.error().column, c.column);
    }
}

TEST(OrgWriter, NameThatCodePage936CannotHoldIsAnErrorNamingRowAndColumn) {
    std::vector<Cells> rows = northLine();
    rows.push_back({.name = "Z😀", .type = "Z桩"});
    PointTable table;
    loadOnJ1J2(table, rows);
    Result<std::string> org = buildOrgFile(table);
    ASSERT_FALSE(org.ok());
    EXPECT_EQ(org.error().row, 2);
    EXPECT_EQ(org.error().column, 0);
    EXPECT_NE(org.error().message.find("第 3 行"), std::string::npos) << org.error().message;
    EXPECT_NE(org.error().message.find("U+1F600"), std::string::npos) << org.error().message;
}

TEST(OrgWriter, ChineseStakeNamesAreWrittenInCodePage936) {
    std::vector<Cells> rows = {{.name = "塔1", .start = "塔1", .end = "塔1", .type = "Z桩"}};
    PointTable table;
    loadOnJ1J2(table, rows);
    Result<std::string> org = buildOrgFile(table);
    ASSERT_TRUE(org.ok());
    EXPECT_EQ(org.value(), test::gbk("0,塔1,0.0000,0.0000,0.0000,96=00+96,0.0000,0.0000\r\n"));
}

TEST(OrgWriter, WritesTheRowsShownUnderAFilter) {
    std::vector<Cells> rows = northLine();
    rows.push_back({.name = "P", .start = "", .end = ""});  // hidden: no error
    PointTable table;
    loadOnJ1J2(table, rows);
    table.setDisplayMode(DisplayMode::JStakes);
    Result<std::string> org = buildOrgFile(table);
    ASSERT_TRUE(org.ok()) << org.error().message;
    EXPECT_EQ(crlfLines(org.value()), kNorthLineRecords);
}

}  // namespace
}  // namespace corvane
