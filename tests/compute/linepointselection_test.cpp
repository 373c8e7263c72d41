#include "linepointselection.h"

#include <gtest/gtest.h>

#include "cellnumber.h"
#include "rowbuilder.h"
#include "tablestate.h"

namespace corvane {
namespace {

using test::cell;
using test::Cells;
using test::load;
using Names = std::vector<std::string>;
using Chain = std::vector<std::pair<std::string, std::string>>;

TEST(LinePointSelection, GathersEachJStakeNameOnceInTableOrder) {
    PointTable t;
    load(t, {
                {.name = "J2", .north = "0", .east = "0"},  // first row of J2: not a J stake
                {.name = "J1", .north = "0", .east = "0", .type = kJStake},
                {.north = "0", .east = "0", .type = kJStake},  // no name
                {.name = "J2", .north = "0", .east = "0", .type = kJStake},
                {.name = "J1", .north = "0", .east = "0", .type = kJStake},
                {.name = "Z1", .north = "0", .east = "0", .type = kZStake},
                {.name = "j1", .north = "0", .east = "0", .type = kJStake},
            });
    EXPECT_EQ(gatherJStakes(t), (Names{"J1", "J2", "j1"}));
    t.setDisplayMode(DisplayMode::ZStakes);
    EXPECT_EQ(gatherJStakes(t), Names{});
}

TEST(LinePointSelection, MileagesRunAlongTheChain) {
    PointTable t;
    load(t,
         {
             {.name = "P1", .north = "0", .east = "0", .type = kJStake},
             {.name = "P2", .north = "3", .east = "4", .type = kJStake},
             {.name = "P3", .north = "3", .east = "10", .type = kJStake},
             {.name = "P2", .north = "100", .east = "100", .type = kJStake},  // the first P2 counts
         });
    struct Case {
        const char* what;
        Names names;
        double start;
        std::vector<std::string> mileages;
    } cases[] = {
        {"in table order", {"P1", "P2", "P3"}, 100, {"100.000", "105.000", "111.000"}},
        {"reordered", {"P3", "P1", "P2"}, 0, {"0.000", "10.440", "15.440"}},
        {"unknown name adds nothing", {"P1", "nowhere", "P2"}, 0, {"0.000", "0.000", "5.000"}},
        {"unknown first point", {"nowhere", "P2", "P3"}, 7.5, {"7.500", "7.500", "13.500"}},
        {"empty", {}, 100, {}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> texts;
        for (double m : lineMileages(t, c.names, c.start))
            texts.push_back(formatFixed(m, 3));
        EXPECT_EQ(texts, c.mileages) << c.what;
    }
    // Coordinates come from the full table, whatever the filter shows.
    t.setText(1, ColNorth, "6");
    t.setText(1, ColEast, "8");
    t.setDisplayMode(DisplayMode::ZStakes);
    EXPECT_EQ(formatFixed(lineMileages(t, {"P1", "P2"}, 0).back(), 3), "10.000");
}

TEST(LinePointSelection, OkWritesTheChainAndClearsEveryOtherRow) {
    PointTable t;
    load(t, {
                {.name = "J1",
                 .north = "0",
                 .east = "0",
                 .start = "x",
                 .end = "y",
                 .distance = "1",
                 .offset = "1",
                 .type = kJStake},
                {.name = "P",
                 .north = "1",
                 .east = "1",
                 .start = "J1",
                 .end = "J2",
                 .distance = "5",
                 .offset = "2"},
                {.name = "J2", .north = "3", .east = "4", .type = kJStake},
                {.name = "J3",
                 .north = "3",
                 .east = "10",
                 .start = "J3",
                 .end = "J3",
                 .distance = "9",
                 .offset = "3",
                 .type = kJStake},                          // not in the chain
                {.name = "J2", .north = "9", .east = "9"},  // named like J2
            });
    applyLinePointSelection(t, Chain{{"J1", "100.000"}, {"J2", "typed 1"}});
    EXPECT_EQ(t.rowAt(0).joined(','), "J1,0,0,,J1,J2,,100.000,0.0000,J桩,,,,,,,");
    EXPECT_EQ(t.rowAt(1).joined(','), "P,1,1,,,,,,,普通点,,,,,,,");
    EXPECT_EQ(t.rowAt(2).joined(','), "J2,3,4,,J2,J2,,typed 1,0.0000,J桩,,,,,,,");
    EXPECT_EQ(t.rowAt(3).joined(','), "J3,3,10,,,,,,,J桩,,,,,,,");
    EXPECT_EQ(t.rowAt(4).joined(','), "J2,9,9,,J2,J2,,typed 1,0.0000,普通点,,,,,,,");
    EXPECT_EQ(t.linePoints(), (Names{"J1", "J2"}));
}

TEST(LinePointSelection, SingleAndEmptyChains) {
    PointTable t;
    load(t,
         {{.name = "J1",
           .north = "0",
           .east = "0",
           .start = "a",
           .end = "b",
           .distance = "1",
           .offset = "1",
           .type = kJStake},
          {.name = "P", .north = "1", .east = "1", .start = "J1", .end = "J1", .distance = "5"}});
    applyLinePointSelection(t, Chain{{"J1", "0.000"}});
    EXPECT_EQ(cell(t, "J1", ColSegmentStart), "J1");
    EXPECT_EQ(cell(t, "J1", ColSegmentEnd), "J1");
    applyLinePointSelection(t, Chain{});
    EXPECT_EQ(t.rowAt(0).joined(','), "J1,0,0,,,,,,,J桩,,,,,,,");
    EXPECT_EQ(t.rowAt(1).joined(','), "P,1,1,,,,,,,普通点,,,,,,,");
    EXPECT_EQ(t.linePoints(), Names{});
}

TEST(LinePointSelection, OkIsOneUndoableStepOverTheRowsShown) {
    PointTable t;
    load(t, {
                {.name = "J1", .north = "0", .east = "0", .type = kJStake},
                {.name = "P",
                 .north = "1",
                 .east = "1",
                 .start = "J1",
                 .end = "J2",
                 .distance = "5",
                 .offset = "2"},
                {.name = "J2", .north = "3", .east = "4", .type = kJStake},
            });
    t.setLinePoints({"old"});
    t.clearHistory();
    const std::string before = test::fullState(t);
    applyLinePointSelection(t, Chain{{"J1", "0.000"}, {"J2", "5.000"}});
    EXPECT_EQ(t.undoLabel(), "电力线点选择");
    t.undo();
    EXPECT_EQ(test::fullState(t), before);
    EXPECT_FALSE(t.canUndo());

    // Under the J stake filter the hidden point keeps its segment.
    t.setDisplayMode(DisplayMode::JStakes);
    applyLinePointSelection(t, Chain{{"J1", "0.000"}, {"J2", "5.000"}});
    t.setDisplayMode(DisplayMode::AllPoints);
    EXPECT_EQ(cell(t, "P", ColSegmentEnd), "J2");
    EXPECT_EQ(cell(t, "J2", ColDistance), "5.000");
}

}  // namespace
}  // namespace corvane
