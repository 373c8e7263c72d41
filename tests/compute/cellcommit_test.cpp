#include "cellcommit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pointtable.h"
#include "rowbuilder.h"
#include "vocabularies.h"

namespace corvane {
namespace {

using test::rowOf;

// A = (north 0, east 0) at mileage 1000, B = (0, 100): an eastward segment; P on it.
void fillSegment(PointTable& t) {
    t.replaceAll({rowOf({.name = "A",
                         .north = "0",
                         .east = "0",
                         .start = "A",
                         .end = "B",
                         .distance = "1000",
                         .offset = "0.000",
                         .type = kJStake}),
                  rowOf({.name = "B",
                         .north = "0",
                         .east = "100",
                         .start = "B",
                         .end = "B",
                         .distance = "1100",
                         .offset = "0.000",
                         .type = kJStake}),
                  rowOf({.name = "P",
                         .north = "5",
                         .east = "5",
                         .start = "A",
                         .end = "B",
                         .distance = "1005.000",
                         .offset = "-5.000"})},
                 {});
    t.clearHistory();
}

struct PlaceCase {
    const char* what;
    int column;
    const char* text;
    const char* otherColumnText;  // the other of distance/offset, set first
    const char* north;
    const char* east;
};

class PlaceTest : public testing::TestWithParam<PlaceCase> {};

TEST_P(PlaceTest, TypedDistanceOrOffsetMovesThePoint) {
    const PlaceCase c = GetParam();
    PointTable t;
    fillSegment(t);
    const int other = c.column == ColDistance ? ColOffset : ColDistance;
    t.setText(2, other, c.otherColumnText);
    t.clearHistory();
    EXPECT_TRUE(editCell(t, 2, c.column, c.text));
    EXPECT_EQ(t.text(2, ColNorth), c.north) << c.what;
    EXPECT_EQ(t.text(2, ColEast), c.east) << c.what;
    EXPECT_EQ(t.text(2, c.column), c.text) << "the typed text stays as typed";
    t.undo();
    EXPECT_EQ(t.text(2, ColNorth), "5");
    EXPECT_EQ(t.text(2, ColEast), "5");
    EXPECT_FALSE(t.canUndo()) << "the edit and its consequences are one step";
}

INSTANTIATE_TEST_SUITE_P(
    CellCommit, PlaceTest,
    testing::Values(
        PlaceCase{"left of the segment", ColDistance, "1040", "-10", "10.0000", "40.0000"},
        PlaceCase{"right of the segment", ColDistance, "1040", "10", "-10.0000", "40.0000"},
        PlaceCase{"offset typed", ColOffset, "-10", "1040", "10.0000", "40.0000"},
        PlaceCase{"before the start", ColDistance, "990", "0", "0.0000", "-10.0000"},
        PlaceCase{"not a number reads 0", ColOffset, "-.-", "1040", "0.0000", "40.0000"}));

TEST(CellCommit, SegmentThatNamesNoRowMovesNothing) {
    PointTable t;
    fillSegment(t);
    t.setText(2, ColSegmentEnd, "nowhere");
    EXPECT_TRUE(editCell(t, 2, ColDistance, "1040"));
    EXPECT_EQ(t.text(2, ColNorth), "5");
    EXPECT_EQ(t.text(2, ColEast), "5");
}

TEST(CellCommit, ATypedNumberThatPutsThePointAtNoNumberIsNotKept) {
    PointTable t;
    fillSegment(t);
    t.setText(0, ColEast, "1e308");  // A far east: the segment runs west, towards B
    t.clearHistory();
    EXPECT_FALSE(editCell(t, 2, ColDistance, "-1e308"));
    EXPECT_EQ(t.text(2, ColDistance), "1005.000");
    EXPECT_EQ(t.text(2, ColNorth), "5");
    EXPECT_EQ(t.text(2, ColEast), "5");

    t.setText(2, ColDistance, "-1e308");
    const std::optional<NonFiniteCell> failed = commitCellChange(t, 2, ColDistance, "1005.000");
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->row, 2);
    EXPECT_EQ(failed->column, ColEast);
    EXPECT_EQ(t.text(2, ColEast), "5");
}

TEST(CellCommit, SegmentEndsHiddenByAFilterStillPlaceThePoint) {
    PointTable t;
    fillSegment(t);
    t.setText(2, ColPointType, kZStake);
    t.setDisplayMode(DisplayMode::ZStakes);
    ASSERT_EQ(t.rowCount(), 1);
    EXPECT_TRUE(editCell(t, 0, ColDistance, "1040"));
    t.setText(0, ColOffset, "-10");
    editCell(t, 0, ColDistance, "1050");
    EXPECT_EQ(t.text(0, ColNorth), "10.0000");
    EXPECT_EQ(t.text(0, ColEast), "50.0000");
    t.setDisplayMode(DisplayMode::AllPoints);
    EXPECT_EQ(t.text(2, ColEast), "50.0000") << "the edit reaches the whole table";
}

TEST(CellCommit, RenameKeepsTheFirstNameInColumn16) {
    PointTable t;
    fillSegment(t);
    EXPECT_TRUE(editCell(t, 2, ColName, "Q"));
    EXPECT_EQ(t.text(2, ColOldName), "P");
    EXPECT_TRUE(editCell(t, 2, ColName, "R"));
    EXPECT_EQ(t.text(2, ColOldName), "P") << "a second rename keeps the first name";
    EXPECT_EQ(t.FindPointRow("R"), 2);
    t.undo();
    EXPECT_EQ(t.text(2, ColName), "Q");
    t.undo();
    EXPECT_EQ(t.text(2, ColName), "P");
    EXPECT_EQ(t.text(2, ColOldName), "");
}

TEST(CellCommit, UnchangedTextIsNoEditAtAll) {
    PointTable t;
    fillSegment(t);
    EXPECT_FALSE(editCell(t, 2, ColName, "P"));
    EXPECT_EQ(t.text(2, ColOldName), "");
    EXPECT_FALSE(t.canUndo());
}

// Rows named by (start, end, checked); the edited row is row 0.
struct CarryCase {
    const char* what;
    int column;
    const char* typed;
    std::vector<std::pair<std::string, std::string>> expected;  // columns 4, 5 of rows 1..4
};

class CarryTest : public testing::TestWithParam<CarryCase> {};

TEST_P(CarryTest, NewSegmentNameReachesCheckedRowsOfTheSameSegmentOnly) {
    const CarryCase c = GetParam();
    PointTable t;
    t.replaceAll({rowOf({.name = "E", .start = "J1", .end = "J2"}),
                  rowOf({.name = "C1", .start = "J1", .end = "J2"}),   // checked, same segment
                  rowOf({.name = "U1", .start = "J1", .end = "J2"}),   // unchecked, same segment
                  rowOf({.name = "C2", .start = "J1", .end = "J3"}),   // checked, other end
                  rowOf({.name = "C3", .start = "J0", .end = "J2"})},  // checked, other start
                 {});
    t.setChecked(1, true);
    t.setChecked(3, true);
    t.setChecked(4, true);
    t.clearHistory();
    EXPECT_TRUE(editCell(t, 0, c.column, c.typed));
    for (int r = 1; r <= 4; ++r) {
        EXPECT_EQ(t.text(r, ColSegmentStart), c.expected[r - 1].first) << c.what << " row " << r;
        EXPECT_EQ(t.text(r, ColSegmentEnd), c.expected[r - 1].second) << c.what << " row " << r;
    }
    t.undo();
    EXPECT_EQ(t.text(1, ColSegmentStart), "J1");
    EXPECT_EQ(t.text(1, ColSegmentEnd), "J2");
    EXPECT_FALSE(t.canUndo());
}

INSTANTIATE_TEST_SUITE_P(
    CellCommit, CarryTest,
    testing::Values(CarryCase{"start",
                              ColSegmentStart,
                              "K1",
                              {{"K1", "J2"}, {"J1", "J2"}, {"J1", "J3"}, {"J0", "J2"}}},
                    CarryCase{"end",
                              ColSegmentEnd,
                              "K2",
                              {{"J1", "K2"}, {"J1", "J2"}, {"J1", "J3"}, {"J0", "J2"}}}));

}  // namespace
}  // namespace corvane
