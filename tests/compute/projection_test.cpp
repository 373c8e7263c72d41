#include "projection.h"

#include <gtest/gtest.h>
#include "rowbuilder.h"
#include "tablestate.h"

namespace corvane {
namespace {

using test::cell;
using test::Cells;
using test::load;

std::vector<Cells> eastwardSegment() {
    return {
        {.name = "A",
         .north = "0",
         .east = "0",
         .start = "A",
         .end = "B",
         .distance = "0",
         .offset = "0.0000",
         .type = kJStake},
        {.name = "B",
         .north = "0",
         .east = "100",
         .start = "B",
         .end = "B",
         .distance = "100",
         .offset = "0.0000",
         .type = kJStake},
    };
}

TEST(Projection, MovesPointsNearerThanTheLimitOntoTheLine) {
    struct Case {
        const char* what;
        std::string_view x, y, offset;
        double limit;
        std::string_view newX, newY;
    } cases[] = {
        {"left of the line", "1.5", "40", "-1.500", 2.0, "0.0000", "40.0000"},
        {"right of the line", "-1.25", "70", "1.250", 2.0, "0.0000", "70.0000"},
        {"beyond the limit", "3", "60", "-3.000", 2.0, "3", "60"},
        {"exactly at the limit", "2", "60", "-2.000", 2.0, "2", "60"},
        {"limit zero moves nothing", "0.5", "60", "0", 0.0, "0.5", "60"},
        {"no offset yet: rewritten in place", "1.23456", "7.77777", "-.-", 2.0, "1.2346", "7.7778"},
    };
    for (const Case& c : cases) {
        PointTable t;
        std::vector<Cells> points = eastwardSegment();
        points.push_back(
            {.name = "P", .north = c.x, .east = c.y, .start = "A", .end = "B", .offset = c.offset});
        load(t, points);
        EXPECT_FALSE(projectPoints(t, c.limit).nonFinite);
        EXPECT_EQ(cell(t, "P", ColNorth), c.newX) << c.what;
        EXPECT_EQ(cell(t, "P", ColEast), c.newY) << c.what;
        EXPECT_EQ(cell(t, "P", ColOffset), c.offset) << c.what << ": the offset stays";
    }
}

TEST(Projection, DiagonalSegmentAndStakesRewrittenWithFourDecimals) {
    PointTable t;
    load(t, {
                {.name = "A",
                 .north = "0.123456",
                 .east = "0",
                 .start = "A",
                 .end = "B",
                 .distance = "0",
                 .offset = "0.0000",
                 .type = kJStake},
                {.name = "B",
                 .north = "100.123456",
                 .east = "100",
                 .start = "B",
                 .end = "B",
                 .distance = "100",
                 .offset = "0.0000",
                 .type = kJStake},
                // (10, 0) lies 7.071 to the left of the north-east segment.
                {.name = "P",
                 .north = "10.123456",
                 .east = "0",
                 .start = "A",
                 .end = "B",
                 .offset = "-7.0710678"},
                {.name = "Q",
                 .north = "1",
                 .east = "1",
                 .start = "A",
                 .end = "nowhere",
                 .offset = "0.5"},
            });
    EXPECT_EQ(projectPoints(t, 10.0).moved, 3);
    EXPECT_EQ(cell(t, "A", ColNorth), "0.1235");
    EXPECT_EQ(cell(t, "A", ColEast), "0.0000");
    EXPECT_EQ(cell(t, "P", ColNorth), "5.1235");
    EXPECT_EQ(cell(t, "P", ColEast), "5.0000");
    EXPECT_EQ(cell(t, "Q", ColNorth), "1") << "a segment that does not resolve: left alone";
}

TEST(Projection, TwiceWithoutRecalculationCrossesTheLine) {
    PointTable t;
    std::vector<Cells> points = eastwardSegment();
    points.push_back(
        {.name = "P", .north = "1.5", .east = "40", .start = "A", .end = "B", .offset = "-1.500"});
    load(t, points);
    EXPECT_FALSE(projectPoints(t, 2.0).nonFinite);
    EXPECT_FALSE(projectPoints(t, 2.0).nonFinite);
    EXPECT_EQ(cell(t, "P", ColNorth), "-1.5000");
}

TEST(Projection, IsOneUndoableStepOverTheRowsShown) {
    PointTable t;
    std::vector<Cells> points = eastwardSegment();
    points.push_back(
        {.name = "P", .north = "1.5", .east = "40", .start = "A", .end = "B", .offset = "-1.500"});
    points.push_back({.name = "Z",
                      .north = "1.5",
                      .east = "60",
                      .start = "A",
                      .end = "B",
                      .offset = "-1.500",
                      .type = kZStake});
    load(t, points);
    const std::string before = test::fullState(t);
    EXPECT_EQ(projectPoints(t, 2.0).moved, 4);
    EXPECT_EQ(t.undoLabel(), "测点投影到电力线");
    t.undo();
    EXPECT_EQ(test::fullState(t), before);
    EXPECT_FALSE(t.canUndo());

    t.setDisplayMode(DisplayMode::ZStakes);
    EXPECT_EQ(projectPoints(t, 2.0).moved, 0) << "the segment's ends are not shown";
    t.setDisplayMode(DisplayMode::JStakes);
    EXPECT_EQ(projectPoints(t, 2.0).moved, 2);
    t.setDisplayMode(DisplayMode::AllPoints);
    EXPECT_EQ(cell(t, "P", ColNorth), "1.5");
    EXPECT_EQ(cell(t, "A", ColNorth), "0.0000");
}

}  // namespace
}  // namespace corvane
