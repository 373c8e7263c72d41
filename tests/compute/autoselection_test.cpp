#include "autoselection.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "cellnumber.h"
#include "computetestutil.h"
#include "segmentgrid.h"

namespace corvane {
namespace {

using testing::cell;
using testing::load;
using testing::Point;

// A (0, 0) -> B (0, 100) -> C (100, 100) as the line point selection leaves them.
std::vector<Point> twoSegments() {
    return {
        {"A", "0", "0", "A", "B", "0", kJStake, "0.0000"},
        {"B", "0", "100", "B", "C", "100", kJStake, "0.0000"},
        {"C", "100", "100", "C", "C", "200", kJStake, "0.0000"},
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
        std::vector<Point> points = twoSegments();
        points.push_back({"P", c.x, c.y});
        load(t, points);
        autoSelectLines(t);
        EXPECT_EQ(segmentOf(t, "P"), c.segment) << c.what;
    }
}

TEST(AutoSelection, ReportsUnassignedAndNearTies) {
    PointTable t;
    std::vector<Point> points = twoSegments();
    points.push_back({"near A~B", "10", "50"});
    points.push_back({"tie", "50", "50"});
    points.push_back({"almost a tie", "50.005", "49.9999"});
    points.push_back({"outside", "-10", "-10"});
    points.push_back({"has one", "10", "50", "B", "C"});
    load(t, points);
    const AutoSelectionResult result = autoSelectLines(t);
    EXPECT_EQ(result.assigned, 3);
    EXPECT_EQ(result.unassignedRows, (std::vector<int>{6}));
    EXPECT_EQ(result.ambiguousRows, (std::vector<int>{4, 5}));
    EXPECT_EQ(segmentOf(t, "has one"), "B~C") << "rows with a segment are left alone";
}

TEST(AutoSelection, MaximumDistanceLeavesFarPointsUnassigned) {
    PointTable t;
    std::vector<Point> points = twoSegments();
    points.push_back({"near", "3", "50"});
    points.push_back({"far", "40", "30"});
    load(t, points);
    const AutoSelectionResult result = autoSelectLines(t, {.maxDistance = 5.0});
    EXPECT_EQ(segmentOf(t, "near"), "A~B");
    EXPECT_EQ(segmentOf(t, "far"), "~");
    EXPECT_EQ(result.unassignedRows, (std::vector<int>{4}));
}

TEST(AutoSelection, SegmentsComeFromRowsWithBothEnds) {
    PointTable t;
    load(t, {
                {"A", "0", "0", "A", "", "", kJStake},  // only a start: no segment
                {"B", "0", "100"},
                {"C", "100", "100", "C", "B"},
                {"P", "-10", "50"},
                {"Q", "50", "90"},
            });
    autoSelectLines(t);
    EXPECT_EQ(segmentOf(t, "A"), "A~") << "a row with one end filled is not assigned";
    EXPECT_EQ(segmentOf(t, "P"), "~") << "A~ is no segment";
    EXPECT_EQ(segmentOf(t, "Q"), "C~B");
}

TEST(AutoSelection, EndsAreTheFirstRowOfANameAndUnknownEndsArePassedOver) {
    PointTable t;
    load(t, {
                {"X", "0", "0", "X", "nowhere", "", kJStake},  // listed first, never resolves
                {"A", "0", "0", "A", "B", "", kJStake},
                {"B", "0", "100", "B", "C", "", kJStake},
                {"C", "100", "100", "C", "C", "", kJStake},
                {"B", "500", "500"},  // a later B does not move the segment's end
                {"P", "10", "50"},
                {"Q", "50", "90"},
                {"R", "300", "300"},
            });
    autoSelectLines(t);
    EXPECT_EQ(segmentOf(t, "P"), "A~B");
    EXPECT_EQ(segmentOf(t, "Q"), "B~C");
    EXPECT_EQ(segmentOf(t, "R"), "~");
}

TEST(AutoSelection, NamesAreExactAndKeysSplitAtTheFirstTilde) {
    PointTable t;
    load(t, {
                {"A", "0", "0", "a", "B"},      // "a" names no row
                {"B", "0", "100", "B ", "A"},   // nor does "B "
                {"x~y", "0", "0", "x~y", "z"},  // splits into "x" and "y~z"
                {"x", "0", "0"},
                {"y~z", "100", "0"},
                {"P", "50", "10"},
            });
    autoSelectLines(t);
    EXPECT_EQ(segmentOf(t, "P"), "x~y~z");
    EXPECT_EQ(cell(t, "P", ColSegmentStart), "x");
}

TEST(AutoSelection, IsOneUndoableStepOverTheRowsShown) {
    PointTable t;
    std::vector<Point> points = twoSegments();
    points.push_back({"P", "10", "50"});
    points.push_back({"Z", "50", "90", "", "", "", kZStake});
    points.push_back({"D", "50", "120", "", "", "", kJStake});
    load(t, points);
    const std::string before = testing::fullState(t);
    autoSelectLines(t);
    EXPECT_EQ(t.undoLabel(), "自动选择电力线");
    t.undo();
    EXPECT_EQ(testing::fullState(t), before);
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
    const std::vector<Point> stakes = {
        {"J1", "0", "0", "J1", "J2", "0", kJStake},
        {"J2", "0", "100", "J2", "J3", "100", kJStake},
        {"J3", "100", "100", "J3", "J4", "200", kJStake},
        {"J4", "100", "200", "J4", "J5", "300", kJStake},
        {"J5", "0", "200", "J5", "J5", "400", kJStake},
    };
    std::vector<LineSegment> segments;
    for (size_t k = 0; k + 1 < stakes.size(); ++k)
        segments.push_back({{readNumber(stakes[k].x), readNumber(stakes[k].y)},
                            {readNumber(stakes[k + 1].x), readNumber(stakes[k + 1].y)}});
    segments.push_back({segments.back().b, segments.back().b});  // J5~J5

    std::mt19937 rng(5);
    std::vector<std::string> texts;
    constexpr int kPoints = 50000;
    texts.reserve(3 * kPoints);
    std::vector<Point> points = stakes;
    for (int i = 0; i < kPoints; ++i) {
        // Half steps from -60 to 260 put many points exactly between two segments.
        texts.push_back("P" + std::to_string(i));
        const std::string_view name = texts.back();
        texts.push_back(std::to_string(-60 + 0.5 * static_cast<int>(rng() % 640)));
        const std::string_view x = texts.back();
        texts.push_back(std::to_string(-60 + 0.5 * static_cast<int>(rng() % 640)));
        points.push_back({name, x, texts.back()});
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
