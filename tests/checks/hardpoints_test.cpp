#include "hardpoints.h"

#include <gtest/gtest.h>

#include <cmath>

#include "pointtable.h"
#include "vocabularies.h"

namespace corvane {
namespace {

Row point(std::string_view name, std::string_view north, std::string_view east,
          std::string_view type = kOrdinaryPoint) {
    std::vector<std::string_view> cells(kColumnCount);
    cells[ColName] = name;
    cells[ColNorth] = north;
    cells[ColEast] = east;
    cells[ColPointType] = type;
    return Row(cells);
}

// J1 -> J2 runs east, J2 -> J3 turns north (a left turn): the wedge outside the turn
// lies south-east of J2.
TEST(HardPoints, ClassifiesByTheSideOfTheLine) {
    PointTable table;
    std::vector<Row> rows;
    rows.push_back(point("J1", "0", "0", kJStake));
    rows.push_back(point("J2", "0", "100", kJStake));
    rows.push_back(point("J3", "100", "100", kJStake));
    rows.push_back(point("before", "5", "-20"));
    rows.push_back(point("after", "130", "95"));
    rows.push_back(point("wedge", "-10", "110"));
    rows.push_back(point("far", "40", "20"));  // 40 m off the first leg
    table.replaceAll(std::move(rows), {});
    table.setLinePoints({"J1", "J2", "J3"});

    auto hard = classifyHardPoints(table, {3, 4, 5, 6});
    ASSERT_EQ(hard.size(), 4u);
    struct Expected {
        HardPoint::Where where;
        const char* stake;
        double distance;
    } expected[] = {{HardPoint::Where::BeforeStart, "J1", std::hypot(5.0, 20.0)},
                    {HardPoint::Where::AfterEnd, "J3", std::hypot(30.0, 5.0)},
                    {HardPoint::Where::OutsideTurn, "J2", std::hypot(10.0, 10.0)},
                    {HardPoint::Where::TooFar, "J1", std::hypot(40.0, 20.0)}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(hard[i].where, expected[i].where) << i;
        EXPECT_EQ(hard[i].nearestStake, expected[i].stake) << i;
        EXPECT_NEAR(hard[i].distance, expected[i].distance, 1e-9) << i;
        EXPECT_FALSE(describe(hard[i].where).empty());
    }
}

TEST(HardPoints, WithoutALineThereIsNoStakeToName) {
    PointTable table;
    table.replaceAll({point("P", "1", "1")}, {});
    auto hard = classifyHardPoints(table, {0});
    ASSERT_EQ(hard.size(), 1u);
    EXPECT_EQ(hard[0].where, HardPoint::Where::NoLine);
    EXPECT_EQ(hard[0].nearestStake, "");
}

}  // namespace
}  // namespace corvane
