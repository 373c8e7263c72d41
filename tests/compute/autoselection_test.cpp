#include "autoselection.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "cellnumber.h"
#include "rowbuilder.h"
#include "segmentgrid.h"
#include "tablestate.h"

namespace corvane {
namespace {

using test::cell;
using test::Cells;
using test::load;

// A (0, 0) -> B (0, 100) -> C (100, 100) as the line point selection leaves them.
std::vector<Cells> twoSegments() {
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
         .end = "C",
         .distance = "100",
         .offset = "0.0000",
         .type = kJStake},
        {.name = "C",
         .north = "100",
         .east = "100",
         .start = "C",
         .end = "C",
         .distance = "200",
         .offset = "0.0000",
         .type = kJStake},
    };
}

std::string segmentOf(const PointTable& t, std::string_view name) {
    return cell(t, name, ColSegmentStart) + "~" + cell(t, name, ColSegmentEnd);
}

TEST(AutoSelection, PicksTheNearestSegmentWhoseFootIsInside) {
    struct Case {
        const char* what;
        std::string_view x, y;
        std::string_view segment;
    } cases[] = {
        {"inside both, nearer the first", "10", "50", "A~B"},
        {"inside both, nearer the second", "50", "90", "B~C"},
        {"equally near both: the first listed", "50", "50", "A~B"},
        {"beyond both ends", "-10", "-10", "~"},
        {"in the wedge outside the turn", "-10", "110", "~"},
        {"on the start of the line", "0", "0", "A~B"},
        {"on the turn: distance 0 to both", "0", "100", "A~B"},
    };
    for (const Case& c : cases) {
        PointTable t;
        std::vector<Cells> points = twoSegments();
        points.push_back({.name = "P", .north = c.x, .east = c.y});
        load(t, points);
        autoSelectLines(t);
        EXPECT_EQ(segmentOf(t, "P"), c.segment) << c.what;
    }
}

TEST(AutoSelection, ReportsUnassignedAndNearTies) {
    PointTable t;
    std::vector<Cells> points = twoSegments();
    points.push_back({.name = "near A~B", .north = "10", .east = "50"});
    points.push_back({.name = "tie", .north = "50", .east = "50"});
    points.push_back({.name = "almost a tie", .north = "50.005", .east = "49.9999"});
    points.push_back({.name = "outside", .north = "-10", .east = "-10"});
    points.push_back({.name = "has one", .north = "10", .east = "50", .start = "B", .end = "C"});
    load(t, points);
    const AutoSelectionResult result = autoSelectLines(t);
    EXPECT_EQ(result.assigned, 3);
    EXPECT_EQ(result.unassignedRows, (std::vector<int>{6}));
    EXPECT_EQ(result.ambiguousRows, (std::vector<int>{4, 5}));
    EXPECT_EQ(segmentOf(t, "has one"), "B~C") << "rows with a segment are left alone";
}

TEST(AutoSelection, MaximumDistanceLeavesFarPointsUnassigned) {
    PointTable t;
    std::vector<Cells> points = twoSegments();
    points.push_back({.name = "near", .north = "3", .east = "50"});
    points.push_back({.name = "far", .north = "40", .east = "30"});
    load(t, points);
    const AutoSelectionResult result = autoSelectLines(t, {.maxDistance = 5.0});
    EXPECT_EQ(segmentOf(t, "near"), "A~B");
    EXPECT_EQ(segmentOf(t, "far"), "~");
    EXPECT_EQ(result.unassignedRows, (std::vector<int>{4}));
}

TEST(AutoSelection, SegmentsComeFromRowsWithBothEnds) {
    PointTable t;
    load(t, {
                {.name = "A",
                 .north = "0",
                 .east = "0",
                 .start = "A",
                 .type = kJStake},  // only a start: no segment
                {.name = "B", .north = "0", .east = "100"},
                {.name = "C", .north = "100", .east = "100", .start = "C", .end = "B"},
                {.name = "P", .north = "-10", .east = "50"},
                {.name = "Q", .north = "50", .east = "90"},
            });
    autoSelectLines(t);
    EXPECT_EQ(segmentOf(t, "A"), "A~") << "a row with one end filled is not assigned";
    EXPECT_EQ(segmentOf(t, "P"), "~") << "A~ is no segment";
    EXPECT_EQ(segmentOf(t, "Q"), "C~B");
}

TEST(AutoSelection, EndsAreTheFirstRowOfANameAndUnknownEndsArePassedOver) {
    PointTable t;
    load(
        t,
        {
            {.name = "X",
             .north = "0",
             .east = "0",
             .start = "X",
             .end = "nowhere",
             .type = kJStake},  // listed first, never resolves
            {.name = "A", .north = "0", .east = "0", .start = "A", .end = "B", .type = kJStake},
            {.name = "B", .north = "0", .east = "100", .start = "B", .end = "C", .type = kJStake},
            {.name = "C", .north = "100", .east = "100", .start = "C", .end = "C", .type = kJStake},
            {.name = "B",
             .north = "500",
             .east = "500"},  // a later B does not move the segment's end
            {.name = "P", .north = "10", .east = "50"},
            {.name = "Q", .north = "50", .east = "90"},
            {.name = "R", .north = "300", .east = "300"},
        });
    autoSelectLines(t);
    EXPECT_EQ(segmentOf(t, "P"), "A~B");
    EXPECT_EQ(segmentOf(t, "Q"), "B~C");
    EXPECT_EQ(segmentOf(t, "R"), "~");
}

TEST(AutoSelection, NamesAreExactAndKeysSplitAtTheFirstTilde) {
    PointTable t;
    load(
        t,
        {
            {.name = "A", .north = "0", .east = "0", .start = "a", .end = "B"},  // "a" names no row
            {.name = "B", .north = "0", .east = "100", .start = "B ", .end = "A"},  // nor does "B "
            {.name = "x~y",
             .north = "0",
             .east = "0",
             .start = "x~y",
             .end = "z"},  // splits into "x" and "y~z"
            {.name = "x", .north = "0", .east = "0"},
            {.name = "y~z", .north = "100", .east = "0"},
            {.name = "P", .north = "50", .east = "10"},
        });
    autoSelectLines(t);
    EXPECT_EQ(segmentOf(t, "P"), "x~y~z");
    EXPECT_EQ(cell(t, "P", ColSegmentStart), "x");
}

TEST(AutoSelection, IsOneUndoableStepOverTheRowsShown) {
    PointTable t;
    std::vector<Cells> points = twoSegments();
    points.push_back({.name = "P", .north = "10", .east = "50"});
    points.push_back({.name = "Z", .north = "50", .east = "90", .type = kZStake});
    points.push_back({.name = "D", .north = "50", .east = "120", .type = kJStake});
    load(t, points);
    const std::string before = test::fullState(t);
    autoSelectLines(t);
    EXPECT_EQ(t.undoLabel(), "自动选择电力线");
    t.undo();
    EXPECT_EQ(test::fullState(t), before);
    EXPECT_FALSE(t.canUndo());

    // Under the Z stake filter the J stakes' segments are not shown: nothing to choose.
    t.setDisplayMode(DisplayMode::ZStakes);
    AutoSelectionResult result = autoSelectLines(t);
    EXPECT_EQ(result.assigned, 0);
    EXPECT_EQ(result.unassignedRows, (std::vector<int>{0}));
    // Under the J stake filter the segments are there, and D is a row shown (row 3).
    t.setDisplayMode(DisplayMode::JStakes);
    result = autoSelectLines(t);
    EXPECT_EQ(result.assigned, 1);
    EXPECT_EQ(segmentOf(t, "D"), "B~C");
    t.setDisplayMode(DisplayMode::AllPoints);
    EXPECT_EQ(segmentOf(t, "P"), "~") << "hidden rows are not assigned";
    EXPECT_EQ(segmentOf(t, "D"), "B~C");
}

// A survey large enough to be searched on several threads gets, row by row, what the
// scan of every segment chooses: the same segments, unassigned rows and near ties.
TEST(AutoSelection, ALargeSurveyGetsWhatTheScanChooses) {
    const std::vector<Cells> stakes = {
        {.name = "J1",
         .north = "0",
         .east = "0",
         .start = "J1",
         .end = "J2",
         .distance = "0",
         .type = kJStake},
        {.name = "J2",
         .north = "0",
         .east = "100",
         .start = "J2",
         .end = "J3",
         .distance = "100",
         .type = kJStake},
        {.name = "J3",
         .north = "100",
         .east = "100",
         .start = "J3",
         .end = "J4",
         .distance = "200",
         .type = kJStake},
        {.name = "J4",
         .north = "100",
         .east = "200",
         .start = "J4",
         .end = "J5",
         .distance = "300",
         .type = kJStake},
        {.name = "J5",
         .north = "0",
         .east = "200",
         .start = "J5",
         .end = "J5",
         .distance = "400",
         .type = kJStake},
    };
    std::vector<LineSegment> segments;
    for (size_t k = 0; k + 1 < stakes.size(); ++k)
        segments.push_back({{readNumber(stakes[k].north), readNumber(stakes[k].east)},
                            {readNumber(stakes[k + 1].north), readNumber(stakes[k + 1].east)}});
    segments.push_back({segments.back().b, segments.back().b});  // J5~J5

    std::mt19937 rng(5);
    std::vector<std::string> texts;
    constexpr int kPoints = 50000;
    texts.reserve(3 * kPoints);
    std::vector<Cells> points = stakes;
    for (int i = 0; i < kPoints; ++i) {
        // Half steps from -60 to 260 put many points exactly between two segments.
        texts.push_back("P" + std::to_string(i));
        const std::string_view name = texts.back();
        texts.push_back(std::to_string(-60 + 0.5 * static_cast<int>(rng() % 640)));
        const std::string_view x = texts.back();
        texts.push_back(std::to_string(-60 + 0.5 * static_cast<int>(rng() % 640)));
        points.push_back({.name = name, .north = x, .east = texts.back()});
    }
    PointTable t;
    load(t, points);
    const AutoSelectionResult result = autoSelectLines(t);

    AutoSelectionResult expected;
    for (int r = static_cast<int>(stakes.size()); r < t.rowCount(); ++r) {
        const PlanePoint p{readNumber(t.text(r, ColNorth)), readNumber(t.text(r, ColEast))};
        const NearestSegments scan = nearestSegmentsByScan(segments, p, kAmbiguousWithin);
        std::string segment = "~";
        if (scan.best < 0) {
            expected.unassignedRows.push_back(r);
        } else {
            ++expected.assigned;
            segment =
                std::string(stakes[scan.best].start) + "~" + std::string(stakes[scan.best].end);
            if (scan.closeRunnerUp)
                expected.ambiguousRows.push_back(r);
        }
        ASSERT_EQ(segmentOf(t, t.text(r, ColName)), segment) << r;
    }
    EXPECT_EQ(result.assigned, expected.assigned);
    EXPECT_EQ(result.unassignedRows, expected.unassignedRows);
    EXPECT_EQ(result.ambiguousRows, expected.ambiguousRows);
    EXPECT_GT(expected.ambiguousRows.size(), 20u);
    EXPECT_GT(expected.unassignedRows.size(), 100u);
}

}  // namespace
}  // namespace corvane
