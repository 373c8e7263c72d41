#include "datacalculation.h"

#include <gtest/gtest.h>

#include "computetestutil.h"

namespace corvane {
namespace {

using testing::cell;
using testing::load;
using testing::Point;

// A segment running east from A (0, 0) to B (0, 100), A at mileage 1000.
std::vector<Point> eastwardSegment() {
    return {
        {"A", "0", "0", "A", "B", "1000", kJStake, "0.0000"},
        {"B", "0", "100", "B", "B", "1100", kJStake, "0.0000"},
    };
}

TEST(DataCalculation, DistanceAlongAndSignedOffset) {
    struct Case {
        const char* what;
        std::string_view x, y;
        std::string_view distance, offset;
    } cases[] = {
        {"north of the segment is left", "10", "40", "1040.000", "-10.000"},
        {"south of the segment is right", "-10", "40", "1040.000", "10.000"},
        {"foot before the start counts back from it", "5", "-20", "980.000", "-5.000"},
        {"foot beyond the end counts on", "-5", "130", "1130.000", "5.000"},
        {"on the start", "0", "0", "1000.000", "0.000"},
        {"on the line", "0", "50", "1050.000", "0.000"},
        {"square over the start, d a hair above l", "7", "0", "1000.000", "-7.000"},
        {"lenient numbers", " 10m", "40.0abc", "1040.000", "-10.000"},
    };
    for (const Case& c : cases) {
        PointTable t;
        std::vector<Point> points = eastwardSegment();
        points.push_back({"P", c.x, c.y, "A", "B", "0", kOrdinaryPoint, "0"});
        load(t, points);
        EXPECT_FALSE(calculateData(t));
        EXPECT_EQ(cell(t, "P", ColDistance), c.distance) << c.what;
        EXPECT_EQ(cell(t, "P", ColOffset), c.offset) << c.what;
    }
}

TEST(DataCalculation, DiagonalSegmentPointOnTheLineGetsZeroOffset) {
    PointTable t;
    load(t, {{"A", "0", "0", "A", "B", "5", kJStake},
             {"B", "1", "1", "B", "B", "", kJStake},
             {"P", "0.3", "0.3", "A", "B"}});  // Heron's product rounds below zero
    EXPECT_FALSE(calculateData(t));
    EXPECT_EQ(cell(t, "P", ColDistance), "5.424");
    EXPECT_EQ(cell(t, "P", ColOffset), "0.000");
}

TEST(DataCalculation, SegmentsThatDoNotResolve) {
    PointTable t;
    std::vector<Point> points = eastwardSegment();
    points.push_back({"missing end", "1", "1", "A", "Z", "7", kOrdinaryPoint, "7"});
    points.push_back({"no segment", "1", "1", "", "", "7", kOrdinaryPoint, "7"});
    points.push_back({"only a start", "1", "1", "A", "", "7", kOrdinaryPoint, "7"});
    points.push_back({"case differs", "1", "1", "a", "B", "7", kOrdinaryPoint, "7"});
    points.push_back({"blank differs", "1", "1", "A ", "B", "7", kOrdinaryPoint, "7"});
    load(t, points);
    EXPECT_FALSE(calculateData(t));
    for (std::string_view name :
         {"missing end", "no segment", "only a start", "case differs", "blank differs"}) {
        EXPECT_EQ(cell(t, name, ColDistance), "-.-") << name;
        EXPECT_EQ(cell(t, name, ColOffset), "-.-") << name;
    }
}

TEST(DataCalculation, AnEmptyNameIsANameLikeAnyOther) {
    PointTable t;
    load(t,
         {{"", "0", "0", "", "", "", kJStake}, {"P", "3", "4", "", "", "x", kOrdinaryPoint, "x"}});
    EXPECT_FALSE(calculateData(t));
    // Both ends are the unnamed row: a segment whose ends coincide.
    EXPECT_EQ(cell(t, "P", ColDistance), "0.000");
    EXPECT_EQ(cell(t, "P", ColOffset), "-5.000");
}

TEST(DataCalculation, JStakesKeepTheirCells) {
    PointTable t;
    load(t, {{"A", "0", "0", "A", "B", "1000", kJStake, "0.0000"},
             {"B", "0", "100", "A", "B", "typed", kJStake, "kept"}});
    EXPECT_FALSE(calculateData(t));
    EXPECT_EQ(cell(t, "B", ColDistance), "typed");
    EXPECT_EQ(cell(t, "B", ColOffset), "kept");
}

TEST(DataCalculation, CoincidentEndsGiveTheDistanceToTheStartNotNoNumber) {
    PointTable t;
    std::vector<Point> points = eastwardSegment();
    points.push_back({"P", "3", "104", "B", "B"});
    load(t, points);
    EXPECT_FALSE(calculateData(t));
    EXPECT_EQ(cell(t, "P", ColDistance), "1100.000");
    EXPECT_EQ(cell(t, "P", ColOffset), "-5.000");
}

TEST(DataCalculation, NumbersTooLargeToMeasureChangeNothing) {
    PointTable t;
    load(t, {{"A", "0", "0", "A", "B", "0", kJStake},
             {"B", "0", "1e200", "B", "B", "0", kJStake},
             {"P", "1e200", "5e199", "A", "B"}});
    const std::optional<NonFiniteCell> failed = calculateData(t);
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->row, 2);
    EXPECT_EQ(failed->column, ColDistance);
    EXPECT_EQ(cell(t, "P", ColDistance), "");
    EXPECT_EQ(cell(t, "P", ColOffset), "");
    EXPECT_FALSE(t.canUndo());
}

// Segments that start at ordinary points, which the run writes before later rows read
// their distance.
std::vector<Point> ordinaryStarts() {
    return {
        {"A", "0", "0", "A", "B", "1000", kJStake},
        {"B", "0", "100", "B", "B", "1100", kJStake},
        // An ordinary start point above its user: its distance of this run counts.
        {"M", "0", "50", "A", "B", "9999"},
        {"N", "1", "60", "M", "B", "0"},
        // One below its user: its distance from before the run counts.
        {"Q", "1", "60", "R", "B", "0"},
        {"R", "0", "50", "A", "B", "2000"},
    };
}

TEST(DataCalculation, TopDownStartDistancesAndFirstRowsOfAName) {
    PointTable t;
    std::vector<Point> points = ordinaryStarts();
    points.insert(points.end(), {
                                    // A start without a number counts as 0.
                                    {"S", "1", "60", "U", "B", "0"},
                                    {"U", "0", "50", "", "", "-.-"},
                                    // The second row named A is ignored: the first one's
                                    // place counts.
                                    {"A", "0", "-500", "", "", "5000", kJStake},
                                    {"V", "1", "10", "A", "B", "0"},
                                });
    load(t, points);
    EXPECT_FALSE(calculateData(t));
    EXPECT_EQ(cell(t, "M", ColDistance), "1050.000");
    EXPECT_EQ(cell(t, "N", ColDistance), "1060.000");
    EXPECT_EQ(cell(t, "Q", ColDistance), "2010.000");
    EXPECT_EQ(cell(t, "R", ColDistance), "1050.000");
    EXPECT_EQ(cell(t, "S", ColDistance), "10.000");
    EXPECT_EQ(cell(t, "V", ColDistance), "1010.000");
}

TEST(DataCalculation, IsOneUndoableStep) {
    PointTable t;
    std::vector<Point> points = eastwardSegment();
    points.push_back({"P", "10", "40", "A", "B", "0", kOrdinaryPoint, "0"});
    points.push_back({"Q", "1", "1", "X", "B", "0", kOrdinaryPoint, "0"});
    load(t, points);
    const std::string before = testing::fullState(t);
    EXPECT_FALSE(calculateData(t));
    ASSERT_NE(testing::fullState(t), before);
    EXPECT_EQ(t.undoLabel(), "电力数据计算");
    t.undo();
    EXPECT_EQ(testing::fullState(t), before);
    EXPECT_FALSE(t.canUndo());

    PointTable empty;
    EXPECT_FALSE(calculateData(empty));
    EXPECT_FALSE(empty.canUndo());
}

TEST(DataCalculation, SeesOnlyTheRowsShown) {
    PointTable t;
    load(t, {
                {"A", "0", "0", "A", "B", "1000", kJStake},
                {"B", "0", "100", "B", "B", "1100", kJStake},
                {"Z1", "10", "40", "A", "B", "0", kZStake, "0"},
                {"Z2", "0", "0", "", "", "500", kZStake},
                {"Z3", "0", "100", "", "", "600", kZStake},
                {"Z4", "10", "40", "Z2", "Z3", "0", kZStake, "0"},
                {"P", "10", "40", "A", "B", "0", kOrdinaryPoint, "0"},
            });
    t.setDisplayMode(DisplayMode::ZStakes);
    EXPECT_FALSE(calculateData(t));
    // The J stakes are not shown, so a segment between them does not resolve. Z2 has
    // no segment, so the run gives it "-.-" before Z4 reads its distance as 0.
    EXPECT_EQ(cell(t, "Z1", ColDistance), "-.-");
    EXPECT_EQ(cell(t, "Z2", ColDistance), "-.-");
    EXPECT_EQ(cell(t, "Z4", ColDistance), "40.000");
    EXPECT_EQ(cell(t, "Z4", ColOffset), "-10.000");
    t.setDisplayMode(DisplayMode::AllPoints);
    EXPECT_EQ(cell(t, "P", ColDistance), "0") << "hidden rows are not computed";
    EXPECT_EQ(cell(t, "Z4", ColDistance), "40.000");
}

// Segments that end at rows the run rewrites (ordinary points, Z stakes) in a table large
// enough to be shared out over the cores: every row gets what it gets in a small table
// computed top down on one thread, and no part reads an end row while another writes it.
TEST(DataCalculation, SegmentsEndingAtComputedRowsInALargeTable) {
    const std::vector<Point> top = {
        {"A", "0", "0", "A", "E", "1000", kJStake}, {"F", "80", "300", "", "", "2000", kJStake},
        {"E", "0", "100", "A", "E", "0"},           {"Z", "50", "150", "A", "Z", "0", kZStake},
        {"G", "60", "200", "F", "Z", "0"},
    };
    const std::vector<Point> rows = {
        {"P", "10", "40", "A", "E", "0"},  {"Q", "-5", "130", "A", "Z", "0"},
        {"R", "30", "120", "F", "G", "0"}, {"S", "3", "260", "F", "Z", "0", kZStake},
        {"T", "-20", "70", "A", "H", "0"},
    };
    const std::vector<Point> bottom = {{"H", "40", "90", "F", "G", "0"}};
    // The end rows at the top and the bottom, so that the first and the last part write
    // them while the others compute rows of their segments.
    auto table = [&](PointTable& t, int copies) {
        std::vector<Point> points = top;
        for (int k = 0; k < copies; ++k)
            points.insert(points.end(), rows.begin(), rows.end());
        points.insert(points.end(), bottom.begin(), bottom.end());
        load(t, points);
        EXPECT_FALSE(calculateData(t));
    };
    PointTable small;
    table(small, 1);
    constexpr int kCopies = 12000;
    PointTable large;
    table(large, kCopies);

    const int topCount = static_cast<int>(top.size());
    const int rowCount = static_cast<int>(rows.size());
    auto smallRowOf = [&](int row) {
        if (row < topCount)
            return row;
        if (row == large.rowCount() - 1)
            return small.rowCount() - 1;
        return topCount + (row - topCount) % rowCount;
    };
    for (int row = 0; row < large.rowCount(); ++row) {
        ASSERT_EQ(large.text(row, ColDistance), small.text(smallRowOf(row), ColDistance)) << row;
        ASSERT_EQ(large.text(row, ColOffset), small.text(smallRowOf(row), ColOffset)) << row;
    }
    EXPECT_EQ(cell(small, "P", ColDistance), "1040.000");
}

// A table large enough to be computed on several threads gives every part what the part
// gives on its own, whether its start points are J stakes (rows computed in any order)
// or ordinary points that the run writes first (rows computed top down).
TEST(DataCalculation, ALargeTableIsComputedAsItsPartsAlone) {
    const std::vector<Point> jStarts = {
        {"A", "0", "0", "A", "B", "1000", kJStake},
        {"B", "0", "100", "B", "C", "1100", kJStake},
        {"C", "50", "150", "", "", "1170", kJStake},
        {"P", "10", "40", "A", "B", "0"},
        {"Q", "-5", "130", "A", "B", "0"},
        {"R", "30", "120", "B", "C", "0"},
        {"S", "1", "1", "X", "B", "0"},
    };
    const std::vector<Point> writtenStarts = ordinaryStarts();
    for (const std::vector<Point>* part : {&jStarts, &writtenStarts}) {
        PointTable alone;
        load(alone, *part);
        EXPECT_FALSE(calculateData(alone));

        constexpr int kCopies = 8000;
        std::vector<std::string> texts;  // the names of copy k carry "#k"
        texts.reserve(kCopies * part->size() * 3);
        std::vector<Point> points;
        auto renamed = [&](std::string_view name, int k) -> std::string_view {
            if (name.empty())
                return name;
            texts.push_back(std::string(name) + "#" + std::to_string(k));
            return texts.back();
        };
        for (int k = 0; k < kCopies; ++k) {
            for (Point p : *part) {
                p.name = renamed(p.name, k);
                p.start = renamed(p.start, k);
                p.end = renamed(p.end, k);
                points.push_back(p);
            }
        }
        PointTable large;
        load(large, points);
        const std::string before = testing::fullState(large);
        EXPECT_FALSE(calculateData(large));
        for (int k = 0; k < kCopies; k += 997) {
            for (int r = 0; r < alone.rowCount(); ++r) {
                const int row = k * alone.rowCount() + r;
                ASSERT_EQ(large.text(row, ColDistance), alone.text(r, ColDistance)) << row;
                ASSERT_EQ(large.text(row, ColOffset), alone.text(r, ColOffset)) << row;
            }
        }
        large.undo();
        EXPECT_EQ(testing::fullState(large), before);
    }
}

}  // namespace
}  // namespace corvane
