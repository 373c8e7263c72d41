#include "hardpoints.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "autoselection.h"
#include "pointtable.h"
#include "rowbuilder.h"
#include "vocabularies.h"

namespace corvane {
namespace {

using test::rowOf;

// J1 -> J2 runs east, J2 -> J3 turns north (a left turn): the wedge outside the turn
// lies south-east of J2.
TEST(HardPoints, ClassifiesByTheSideOfTheLine) {
    PointTable table;
    std::vector<Row> rows;
    rows.push_back(rowOf({.name = "J1", .north = "0", .east = "0", .type = kJStake}));
    rows.push_back(rowOf({.name = "J2", .north = "0", .east = "100", .type = kJStake}));
    rows.push_back(rowOf({.name = "J3", .north = "100", .east = "100", .type = kJStake}));
    rows.push_back(rowOf({.name = "before", .north = "5", .east = "-20"}));
    rows.push_back(rowOf({.name = "after", .north = "130", .east = "95"}));
    rows.push_back(rowOf({.name = "wedge", .north = "-10", .east = "110"}));
    rows.push_back(rowOf({.name = "far", .north = "40", .east = "20"}));  // 40 m off the first leg
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

// A file opened as it is has no line point list; its J stakes carry their segments.
// J1 -> J2 runs east, J2 -> J3 turns north, as above.
struct OpenedFileCase {
    const char* what;
    std::vector<std::string> linePoints;
    bool stakesFirstInReverse;  // the table lists J3, J2, J1 before the other points
    bool segments;              // the J stakes carry their segments
};

std::map<std::string, HardPoint> hardPointsAfterSelection(const OpenedFileCase& c) {
    PointTable table;
    std::vector<Row> stakes;
    for (auto [name, north, east, end] :
         {std::tuple{"J1", "0", "0", "J2"}, std::tuple{"J2", "0", "100", "J3"},
          std::tuple{"J3", "100", "100", "J3"}}) {
        Row row = rowOf({.name = name, .north = north, .east = east, .type = kJStake});
        if (c.segments) {
            row.setCell(ColSegmentStart, name);
            row.setCell(ColSegmentEnd, end);
        }
        stakes.push_back(std::move(row));
    }
    if (c.stakesFirstInReverse)
        std::reverse(stakes.begin(), stakes.end());
    std::vector<Row> rows = std::move(stakes);
    rows.push_back(rowOf({.name = "before", .north = "5", .east = "-20"}));
    rows.push_back(rowOf({.name = "after", .north = "130", .east = "95"}));
    rows.push_back(rowOf({.name = "wedge", .north = "-10", .east = "110"}));
    rows.push_back(rowOf({.name = "far", .north = "40", .east = "20"}));
    rows.push_back(rowOf({.name = "inside", .north = "10", .east = "40"}));
    table.replaceAll(std::move(rows), {});
    table.setLinePoints(c.linePoints);

    AutoSelectionOptions options;
    options.maxDistance = 30.0;
    const AutoSelectionResult selection = autoSelectLines(table, options);
    std::map<std::string, HardPoint> out;
    for (const HardPoint& h : classifyHardPoints(table, selection.unassignedRows))
        out[std::string(table.text(h.row, ColName))] = h;
    return out;
}

TEST(HardPoints, AFileOpenedAsItIsTakesItsLineFromTheJStakes) {
    const OpenedFileCase cases[] = {
        {"the line point list", {"J1", "J2", "J3"}, false, true},
        {"no list: the stakes' segments, whatever the table order", {}, true, true},
        {"a list naming no stake of the table", {"X1", "X2"}, true, true},
        {"a list of one stake", {"J2"}, true, true},
    };
    struct Expected {
        const char* name;
        HardPoint::Where where;
        const char* stake;
        double distance;
    };
    const Expected expected[] = {
        {"before", HardPoint::Where::BeforeStart, "J1", std::hypot(5.0, 20.0)},
        {"after", HardPoint::Where::AfterEnd, "J3", std::hypot(30.0, 5.0)},
        {"wedge", HardPoint::Where::OutsideTurn, "J2", std::hypot(10.0, 10.0)},
        {"far", HardPoint::Where::TooFar, "J1", std::hypot(40.0, 20.0)},
    };
    for (const OpenedFileCase& c : cases) {
        SCOPED_TRACE(c.what);
        const std::map<std::string, HardPoint> hard = hardPointsAfterSelection(c);
        ASSERT_EQ(hard.size(), std::size(expected));  // "inside" is placed
        for (const Expected& e : expected) {
            SCOPED_TRACE(e.name);
            ASSERT_EQ(hard.count(e.name), 1u);
            const HardPoint& h = hard.at(e.name);
            EXPECT_EQ(h.where, e.where);
            EXPECT_EQ(h.nearestStake, e.stake);
            EXPECT_NEAR(h.distance, e.distance, 1e-9);
        }
    }
}

TEST(HardPoints, StakesWithoutSegmentsMakeTheLineInTableOrder) {
    // Nothing is placed without segments; every point still learns where it lies.
    const std::map<std::string, HardPoint> hard =
        hardPointsAfterSelection({"no list, no segments", {}, false, false});
    ASSERT_EQ(hard.size(), 8u);  // the stakes themselves have no segment either
    EXPECT_EQ(hard.at("before").where, HardPoint::Where::BeforeStart);
    EXPECT_EQ(hard.at("after").where, HardPoint::Where::AfterEnd);
    EXPECT_EQ(hard.at("wedge").where, HardPoint::Where::OutsideTurn);
    EXPECT_EQ(hard.at("inside").where, HardPoint::Where::TooFar);
    EXPECT_EQ(hard.at("inside").nearestStake, "J1");
}

TEST(HardPoints, WithoutALineThereIsNoStakeToName) {
    PointTable table;
    table.replaceAll({rowOf({.name = "P", .north = "1", .east = "1"})}, {});
    auto hard = classifyHardPoints(table, {0});
    ASSERT_EQ(hard.size(), 1u);
    EXPECT_EQ(hard[0].where, HardPoint::Where::NoLine);
    EXPECT_EQ(hard[0].nearestStake, "");
}

}  // namespace
}  // namespace corvane
