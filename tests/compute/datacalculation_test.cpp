#include "datacalculation.h"

#include <gtest/gtest.h>
#include "rowbuilder.h"
#include "tablestate.h"

namespace corvane {
namespace {

using test::cell;
using test::Cells;
using test::load;

// A segment running east from A (0, 0) to B (0, 100), A at mileage 1000.
std::vector<Cells> eastwardSegment() {
    return {
        {.name = "A",
         .north = "0",
         .east = "0",
         .start = "A",
         .end = "B",
         .distance = "1000",
         .offset = "0.0000",
         .type = kJStake},
        {.name = "B",
         .north = "0",
         .east = "100",
         .start = "B",
         .end = "B",
         .distance = "1100",
         .offset = "0.0000",
         .type = kJStake},
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
        std::vector<Cells> points = eastwardSegment();
        points.push_back({.name = "P",
                          .north = c.x,
                          .east = c.y,
                          .start = "A",
                          .end = "B",
                          .distance = "0",
                          .offset = "0"});
        load(t, points);
        EXPECT_FALSE(calculateData(t));
        EXPECT_EQ(cell(t, "P", ColDistance), c.distance) << c.what;
        EXPECT_EQ(cell(t, "P", ColOffset), c.offset) << c.what;
    }
}

TEST(DataCalculation, DiagonalSegmentPointOnTheLineGetsZeroOffset) {
    PointTable t;
    load(t, {{.name = "A",
              .north = "0",
              .east = "0",
              .start = "A",
              .end = "B",
              .distance = "5",
              .type = kJStake},
             {.name = "B", .north = "1", .east = "1", .start = "B", .end = "B", .type = kJStake},
             {.name = "P",
              .north = "0.3",
              .east = "0.3",
              .start = "A",
              .end = "B"}});  // Heron's product rounds below zero
    EXPECT_FALSE(calculateData(t));
    EXPECT_EQ(cell(t, "P", ColDistance), "5.424");
    EXPECT_EQ(cell(t, "P", ColOffset), "0.000");
}

TEST(DataCalculation, SegmentsThatDoNotResolve) {
    PointTable t;
    std::vector<Cells> points = eastwardSegment();
    points.push_back({.name = "missing end",
                      .north = "1",
                      .east = "1",
                      .start = "A",
                      .end = "Z",
                      .distance = "7",
                      .offset = "7"});
    points.push_back(
        {.name = "no segment", .north = "1", .east = "1", .distance = "7", .offset = "7"});
    points.push_back({.name = "only a start",
                      .north = "1",
                      .east = "1",
                      .start = "A",
                      .distance = "7",
                      .offset = "7"});
    points.push_back({.name = "case differs",
                      .north = "1",
                      .east = "1",
                      .start = "a",
                      .end = "B",
                      .distance = "7",
                      .offset = "7"});
    points.push_back({.name = "blank differs",
                      .north = "1",
                      .east = "1",
                      .start = "A ",
                      .end = "B",
                      .distance = "7",
                      .offset = "7"});
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
    load(t, {{.north = "0", .east = "0", .type = kJStake},
             {.name = "P", .north = "3", .east = "4", .distance = "x", .offset = "x"}});
    EXPECT_FALSE(calculateData(t));
    // Both ends are the unnamed row: a segment whose ends coincide.
    EXPECT_EQ(cell(t, "P", ColDistance), "0.000");
    EXPECT_EQ(cell(t, "P", ColOffset), "-5.000");
}

TEST(DataCalculation, JStakesKeepTheirCells) {
    PointTable t;
    load(t, {{.name = "A",
              .north = "0",
              .east = "0",
              .start = "A",
              .end = "B",
              .distance = "1000",
              .offset = "0.0000",
              .type = kJStake},
             {.name = "B",
              .north = "0",
              .east = "100",
              .start = "A",
              .end = "B",
              .distance = "typed",
              .offset = "kept",
              .type = kJStake}});
    EXPECT_FALSE(calculateData(t));
    EXPECT_EQ(cell(t, "B", ColDistance), "typed");
    EXPECT_EQ(cell(t, "B", ColOffset), "kept");
}

TEST(DataCalculation, CoincidentEndsGiveTheDistanceToTheStartNotNoNumber) {
    PointTable t;
    std::vector<Cells> points = eastwardSegment();
    points.push_back({.name = "P", .north = "3", .east = "104", .start = "B", .end = "B"});
    load(t, points);
    EXPECT_FALSE(calculateData(t));
    EXPECT_EQ(cell(t, "P", ColDistance), "1100.000");
    EXPECT_EQ(cell(t, "P", ColOffset), "-5.000");
}

TEST(DataCalculation, NumbersTooLargeToMeasureChangeNothing) {
    PointTable t;
    load(t, {{.name = "A",
              .north = "0",
              .east = "0",
              .start = "A",
              .end = "B",
              .distance = "0",
              .type = kJStake},
             {.name = "B",
              .north = "0",
              .east = "1e200",
              .start = "B",
              .end = "B",
              .distance = "0",
              .type = kJStake},
             {.name = "P", .north = "1e200", .east = "5e199", .start = "A", .end = "B"}});
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
std::vector<Cells> ordinaryStarts() {
    return {
        {.name = "A",
         .north = "0",
         .east = "0",
         .start = "A",
         .end = "B",
         .distance = "1000",
         .type = kJStake},
        {.name = "B",
         .north = "0",
         .east = "100",
         .start = "B",
         .end = "B",
         .distance = "1100",
         .type = kJStake},
        // An ordinary start point above its user: its distance of this run counts.
        {.name = "M", .north = "0", .east = "50", .start = "A", .end = "B", .distance = "9999"},
        {.name = "N", .north = "1", .east = "60", .start = "M", .end = "B", .distance = "0"},
        // One below its user: its distance from before the run counts.
        {.name = "Q", .north = "1", .east = "60", .start = "R", .end = "B", .distance = "0"},
        {.name = "R", .north = "0", .east = "50", .start = "A", .end = "B", .distance = "2000"},
    };
}

TEST(DataCalculation, TopDownStartDistancesAndFirstRowsOfAName) {
    PointTable t;
    std::vector<Cells> points = ordinaryStarts();
    points.insert(
        points.end(),
        {
            // A start without a number counts as 0.
            {.name = "S", .north = "1", .east = "60", .start = "U", .end = "B", .distance = "0"},
            {.name = "U", .north = "0", .east = "50", .distance = "-.-"},
            // The second row named A is ignored: the first one's
            // place counts.
            {.name = "A", .north = "0", .east = "-500", .distance = "5000", .type = kJStake},
            {.name = "V", .north = "1", .east = "10", .start = "A", .end = "B", .distance = "0"},
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
    std::vector<Cells> points = eastwardSegment();
    points.push_back({.name = "P",
                      .north = "10",
                      .east = "40",
                      .start = "A",
                      .end = "B",
                      .distance = "0",
                      .offset = "0"});
    points.push_back({.name = "Q",
                      .north = "1",
                      .east = "1",
                      .start = "X",
                      .end = "B",
                      .distance = "0",
                      .offset = "0"});
    load(t, points);
    const std::string before = test::fullState(t);
    EXPECT_FALSE(calculateData(t));
    ASSERT_NE(test::fullState(t), before);
    EXPECT_EQ(t.undoLabel(), "电力数据计算");
    t.undo();
    EXPECT_EQ(test::fullState(t), before);
    EXPECT_FALSE(t.canUndo());

    PointTable empty;
    EXPECT_FALSE(calculateData(empty));
    EXPECT_FALSE(empty.canUndo());
}

TEST(DataCalculation, SeesOnlyTheRowsShown) {
    PointTable t;
    load(t, {
                {.name = "A",
                 .north = "0",
                 .east = "0",
                 .start = "A",
                 .end = "B",
                 .distance = "1000",
                 .type = kJStake},
                {.name = "B",
                 .north = "0",
                 .east = "100",
                 .start = "B",
                 .end = "B",
                 .distance = "1100",
                 .type = kJStake},
                {.name = "Z1",
                 .north = "10",
                 .east = "40",
                 .start = "A",
                 .end = "B",
                 .distance = "0",
                 .offset = "0",
                 .type = kZStake},
                {.name = "Z2", .north = "0", .east = "0", .distance = "500", .type = kZStake},
                {.name = "Z3", .north = "0", .east = "100", .distance = "600", .type = kZStake},
                {.name = "Z4",
                 .north = "10",
                 .east = "40",
                 .start = "Z2",
                 .end = "Z3",
                 .distance = "0",
                 .offset = "0",
                 .type = kZStake},
                {.name = "P",
                 .north = "10",
                 .east = "40",
                 .start = "A",
                 .end = "B",
                 .distance = "0",
                 .offset = "0"},
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
    const std::vector<Cells> top = {
        {.name = "A",
         .north = "0",
         .east = "0",
         .start = "A",
         .end = "E",
         .distance = "1000",
         .type = kJStake},
        {.name = "F", .north = "80", .east = "300", .distance = "2000", .type = kJStake},
        {.name = "E", .north = "0", .east = "100", .start = "A", .end = "E", .distance = "0"},
        {.name = "Z",
         .north = "50",
         .east = "150",
         .start = "A",
         .end = "Z",
         .distance = "0",
         .type = kZStake},
        {.name = "G", .north = "60", .east = "200", .start = "F", .end = "Z", .distance = "0"},
    };
    const std::vector<Cells> rows = {
        {.name = "P", .north = "10", .east = "40", .start = "A", .end = "E", .distance = "0"},
        {.name = "Q", .north = "-5", .east = "130", .start = "A", .end = "Z", .distance = "0"},
        {.name = "R", .north = "30", .east = "120", .start = "F", .end = "G", .distance = "0"},
        {.name = "S",
         .north = "3",
         .east = "260",
         .start = "F",
         .end = "Z",
         .distance = "0",
         .type = kZStake},
        {.name = "T", .north = "-20", .east = "70", .start = "A", .end = "H", .distance = "0"},
    };
    const std::vector<Cells> bottom = {
        {.name = "H", .north = "40", .east = "90", .start = "F", .end = "G", .distance = "0"}};
    // The end rows at the top and the bottom, so that the first and the last part write
    // them while the others compute rows of their segments.
    auto table = [&](PointTable& t, int copies) {
        std::vector<Cells> points = top;
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
    const std::vector<Cells> jStarts = {
        {.name = "A",
         .north = "0",
         .east = "0",
         .start = "A",
         .end = "B",
         .distance = "1000",
         .type = kJStake},
        {.name = "B",
         .north = "0",
         .east = "100",
         .start = "B",
         .end = "C",
         .distance = "1100",
         .type = kJStake},
        {.name = "C", .north = "50", .east = "150", .distance = "1170", .type = kJStake},
        {.name = "P", .north = "10", .east = "40", .start = "A", .end = "B", .distance = "0"},
        {.name = "Q", .north = "-5", .east = "130", .start = "A", .end = "B", .distance = "0"},
        {.name = "R", .north = "30", .east = "120", .start = "B", .end = "C", .distance = "0"},
        {.name = "S", .north = "1", .east = "1", .start = "X", .end = "B", .distance = "0"},
    };
    const std::vector<Cells> writtenStarts = ordinaryStarts();
    for (const std::vector<Cells>* part : {&jStarts, &writtenStarts}) {
        PointTable alone;
        load(alone, *part);
        EXPECT_FALSE(calculateData(alone));

        constexpr int kCopies = 8000;
        std::vector<std::string> texts;  // the names of copy k carry "#k"
        texts.reserve(kCopies * part->size() * 3);
        std::vector<Cells> points;
        auto renamed = [&](std::string_view name, int k) -> std::string_view {
            if (name.empty())
                return name;
            texts.push_back(std::string(name) + "#" + std::to_string(k));
            return texts.back();
        };
        for (int k = 0; k < kCopies; ++k) {
            for (Cells p : *part) {
                p.name = renamed(p.name, k);
                p.start = renamed(p.start, k);
                p.end = renamed(p.end, k);
                points.push_back(p);
            }
        }
        PointTable large;
        load(large, points);
        const std::string before = test::fullState(large);
        EXPECT_FALSE(calculateData(large));
        for (int k = 0; k < kCopies; k += 997) {
            for (int r = 0; r < alone.rowCount(); ++r) {
                const int row = k * alone.rowCount() + r;
                ASSERT_EQ(large.text(row, ColDistance), alone.text(r, ColDistance)) << row;
                ASSERT_EQ(large.text(row, ColOffset), alone.text(r, ColOffset)) << row;
            }
        }
        large.undo();
        EXPECT_EQ(test::fullState(large), before);
    }
}

}  // namespace
}  // namespace corvane
