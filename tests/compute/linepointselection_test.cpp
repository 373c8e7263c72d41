#include "linepointselection.h"

#include <gtest/gtest.h>

#include "cellnumber.h"
#include "computetestutil.h"

namespace corvane {
namespace {

using testing::cell;
using testing::load;
using testing::Point;
using Names = std::vector<std::string>;
using Chain = std::vector<std::pair<std::string, std::string>>;

TEST(LinePointSelection, GathersEachJStakeNameOnceInTableOrder) {
    PointTable t;
    load(t, {
                {"J2", "0", "0", "", "", "", kOrdinaryPoint},  // first row of J2: not a J stake
                {"J1", "0", "0", "", "", "", kJStake},
                {"", "0", "0", "", "", "", kJStake},  // no name
                {"J2", "0", "0", "", "", "", kJStake},
                {"J1", "0", "0", "", "", "", kJStake},
                {"Z1", "0", "0", "", "", "", kZStake},
                {"j1", "0", "0", "", "", "", kJStake},
            });
    EXPECT_EQ(gatherJStakes(t), (Names{"J1", "J2", "j1"}));
    t.setDisplayMode(DisplayMode::ZStakes);
    EXPECT_EQ(gatherJStakes(t), Names{});
}

TEST(LinePointSelection, MileagesRunAlongTheChain) {
    PointTable t;
    load(t, {
                {"P1", "0", "0", "", "", "", kJStake},
                {"P2", "3", "4", "", "", "", kJStake},
                {"P3", "3", "10", "", "", "", kJStake},
                {"P2", "100", "100", "", "", "", kJStake},  // the first P2 counts
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
                {"J1", "0", "0", "x", "y", "1", kJStake, "1"},
                {"P", "1", "1", "J1", "J2", "5", kOrdinaryPoint, "2"},
                {"J2", "3", "4", "", "", "", kJStake},
                {"J3", "3", "10", "J3", "J3", "9", kJStake, "3"},  // not in the chain
                {"J2", "9", "9", "", "", "", kOrdinaryPoint},      // named like J2
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
    load(t, {{"J1", "0", "0", "a", "b", "1", kJStake, "1"}, {"P", "1", "1", "J1", "J1", "5"}});
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
                {"J1", "0", "0", "", "", "", kJStake},
                {"P", "1", "1", "J1", "J2", "5", kOrdinaryPoint, "2"},
                {"J2", "3", "4", "", "", "", kJStake},
            });
    t.setLinePoints({"old"});
    t.clearHistory();
    const std::string before = testing::fullState(t);
    applyLinePointSelection(t, Chain{{"J1", "0.000"}, {"J2", "5.000"}});
    EXPECT_EQ(t.undoLabel(), "电力线点选择");
    t.undo();
    EXPECT_EQ(testing::fullState(t), before);
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
