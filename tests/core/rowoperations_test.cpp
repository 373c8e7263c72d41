#include "rowoperations.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pointtable.h"
#include "rowbuilder.h"
#include "vocabularies.h"

namespace corvane {
namespace {

using test::rowOf;

// Rows P0 .. P(n-1), no check marks, empty history.
void fill(PointTable& t, int n) {
    std::vector<Row> rows;
    for (int i = 0; i < n; ++i)
        rows.push_back(rowOf({.name = "P" + std::to_string(i)}));
    test::load(t, std::move(rows));
}

std::string names(const PointTable& t) {
    std::string out;
    for (int r = 0; r < t.rowCount(); ++r)
        out += std::string(t.text(r, ColName)) + (t.isChecked(r) ? "+ " : " ");
    return out;
}

struct MoveCase {
    RowMove move;
    int mark;
    int rows;
    int target;  // -1: the guard stops the move
};

class MoveTest : public testing::TestWithParam<MoveCase> {};

TEST_P(MoveTest, SwapsTheTextsWithThePartnerOrDoesNothing) {
    const MoveCase c = GetParam();
    PointTable t;
    fill(t, c.rows);
    EXPECT_EQ(moveTarget(c.move, c.mark, c.rows), c.target);
    const std::string before = names(t);
    EXPECT_EQ(moveRow(t, c.move, c.mark), c.target);
    if (c.target < 0) {
        EXPECT_EQ(names(t), before);
        EXPECT_FALSE(t.canUndo());
        return;
    }
    EXPECT_EQ(t.text(c.target, ColName), "P" + std::to_string(c.mark));
    EXPECT_EQ(t.text(c.mark, ColName), "P" + std::to_string(c.target));
    for (int r = 0; r < c.rows; ++r) {  // the rows between stay where they are
        if (r != c.mark && r != c.target) {
            EXPECT_EQ(t.text(r, ColName), "P" + std::to_string(r));
        }
    }
    t.undo();
    EXPECT_EQ(names(t), before);
    EXPECT_FALSE(t.canUndo()) << "one step";
}

INSTANTIATE_TEST_SUITE_P(
    RowOperations, MoveTest,
    testing::Values(MoveCase{RowMove::Up, 0, 10, -1}, MoveCase{RowMove::First, 0, 10, -1},
                    MoveCase{RowMove::Down, 9, 10, -1}, MoveCase{RowMove::Last, 9, 10, -1},
                    MoveCase{RowMove::Up, 0, 1, -1}, MoveCase{RowMove::Down, 0, 1, -1},
                    MoveCase{RowMove::First, 0, 1, -1}, MoveCase{RowMove::Last, 0, 1, -1},
                    MoveCase{RowMove::Up, -1, 10, -1}, MoveCase{RowMove::Down, -1, 10, -1},
                    MoveCase{RowMove::Down, 10, 10, -1}, MoveCase{RowMove::Up, 2, 10, 1},
                    MoveCase{RowMove::Down, 2, 10, 3}, MoveCase{RowMove::First, 5, 10, 0},
                    MoveCase{RowMove::Last, 5, 10, 9}, MoveCase{RowMove::Up, 9, 10, 8},
                    MoveCase{RowMove::Down, 0, 10, 1}));

TEST(RowOperations, CheckMarksStayWithTheirPlacesWhenRowsMove) {
    PointTable t;
    fill(t, 4);
    t.setChecked(2, true);
    moveRow(t, RowMove::Up, 2);
    EXPECT_EQ(names(t), "P0 P2 P1+ P3 ");
}

TEST(RowOperations, InsertPutsACheckedEmptyRowBelowTheMarkOrAtTheEnd) {
    struct Case {
        int mark;
        int at;
    } cases[] = {{3, 4}, {4, 5}, {-1, 5}, {0, 1}};
    for (const Case& c : cases) {
        PointTable t;
        fill(t, 5);
        EXPECT_EQ(insertRowAfter(t, c.mark), c.at) << c.mark;
        EXPECT_EQ(t.rowCount(), 6);
        EXPECT_TRUE(t.isChecked(c.at));
        EXPECT_EQ(t.rowAt(c.at), Row()) << "seventeen empty cells";
        t.undo();
        EXPECT_EQ(names(t), "P0 P1 P2 P3 P4 ");
        EXPECT_FALSE(t.canUndo());
    }
}

TEST(RowOperations, DeleteTakesOnlyCheckedRowsInOneStep) {
    PointTable t;
    fill(t, 6);
    EXPECT_EQ(deleteCheckedRows(t), 0) << "nothing checked: nothing to delete";
    EXPECT_FALSE(t.canUndo());
    t.setChecked(1, true);
    t.setChecked(4, true);
    t.setChecked(5, true);
    t.clearHistory();
    EXPECT_EQ(deleteCheckedRows(t), 3);
    EXPECT_EQ(names(t), "P0 P2 P3 ");
    t.undo();
    EXPECT_EQ(names(t), "P0 P1+ P2 P3 P4+ P5+ ");
    EXPECT_FALSE(t.canUndo());
}

TEST(RowOperations, DeleteUnderAFilterIsKeptWhenAllPointsAreShownAgain) {
    PointTable t;
    std::vector<Row> rows{rowOf({.name = "A"}), rowOf({.name = "J1"}), rowOf({.name = "B"}),
                          rowOf({.name = "J2"})};
    rows[1].setCell(ColPointType, kJStake);
    rows[3].setCell(ColPointType, kJStake);
    t.replaceAll(std::move(rows), {});
    t.setDisplayMode(DisplayMode::JStakes);
    t.setChecked(0, true);
    EXPECT_EQ(deleteCheckedRows(t), 1);
    t.setDisplayMode(DisplayMode::AllPoints);
    EXPECT_EQ(names(t), "A B J2 ");
}

TEST(RowOperations, CopyLineGivesCheckedRowsTheMarkedRowsSegment) {
    PointTable t;
    t.replaceAll({rowOf({.name = "A", .start = "J1", .end = "J2"}),
                  rowOf({.name = "B", .start = "x", .end = "y"}),
                  rowOf({.name = "C", .start = "u", .end = "v"}), rowOf({.name = "D"})},
                 {});
    t.setChecked(1, true);
    t.setChecked(3, true);
    t.clearHistory();
    EXPECT_EQ(copyLineToChecked(t, 0), 2);  // the marked row itself unchecked
    EXPECT_EQ(t.text(1, ColSegmentStart), "J1");
    EXPECT_EQ(t.text(1, ColSegmentEnd), "J2");
    EXPECT_EQ(t.text(3, ColSegmentStart), "J1");
    EXPECT_EQ(t.text(2, ColSegmentStart), "u") << "unchecked rows keep theirs";
    EXPECT_EQ(t.text(0, ColSegmentStart), "J1");
    t.undo();
    EXPECT_EQ(t.text(1, ColSegmentStart), "x");
    EXPECT_EQ(t.text(3, ColSegmentEnd), "");
    EXPECT_FALSE(t.canUndo());
}

TEST(RowOperations, CopyLineWithoutAMarkEmptiesNothing) {
    PointTable t;
    t.replaceAll({rowOf({.name = "A", .start = "J1", .end = "J2"}),
                  rowOf({.name = "B", .start = "J1", .end = "J2"})},
                 {});
    t.setChecked(0, true);
    t.setChecked(1, true);
    t.clearHistory();
    EXPECT_EQ(copyLineToChecked(t, -1), 0);
    EXPECT_EQ(copyLineToChecked(t, 2), 0);
    EXPECT_EQ(t.text(0, ColSegmentStart), "J1");
    EXPECT_EQ(t.text(1, ColSegmentEnd), "J2");
    EXPECT_FALSE(t.canUndo());
}

TEST(RowOperations, CopyLineFromACheckedMarkedRowReadsItsSegmentFirst) {
    PointTable t;
    t.replaceAll({rowOf({.name = "A", .start = "a", .end = "b"}),
                  rowOf({.name = "B", .start = "J1", .end = "J2"}),
                  rowOf({.name = "C", .start = "c", .end = "d"})},
                 {});
    for (int r = 0; r < 3; ++r)
        t.setChecked(r, true);
    copyLineToChecked(t, 1);
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(t.text(r, ColSegmentStart), "J1");
        EXPECT_EQ(t.text(r, ColSegmentEnd), "J2");
    }
}

}  // namespace
}  // namespace corvane
