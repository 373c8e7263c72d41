#include "sorting.h"

#include <gtest/gtest.h>
#include "rowbuilder.h"

namespace corvane {
namespace {

using test::Cells;
using test::load;
using Names = std::vector<std::string>;

Names names(const PointTable& t) {
    Names out;
    for (int r = 0; r < t.rowCount(); ++r)
        out.emplace_back(t.text(r, ColName));
    return out;
}

TEST(SortByDistance, AscendingAndStable) {
    PointTable t;
    load(t, {
                {.name = "a", .north = "0", .east = "0", .distance = "12.5"},
                {.name = "b", .north = "0", .east = "0", .distance = "-.-"},
                {.name = "c", .north = "0", .east = "0", .distance = "3"},
                {.name = "d", .north = "0", .east = "0", .distance = "12.5"},
                {.name = "e", .north = "0", .east = "0"},
                {.name = "f", .north = "0", .east = "0", .distance = "-0.5"},
                {.name = "g", .north = "0", .east = "0", .distance = "1e1"},
            });
    t.setChecked(3, true);
    sortByDistance(t);
    EXPECT_EQ(names(t), (Names{"f", "b", "e", "c", "g", "a", "d"}));
    EXPECT_TRUE(t.isChecked(6)) << "the check mark moves with its row";
    EXPECT_EQ(t.undoLabel(), "按累距排序");
    t.undo();
    EXPECT_EQ(names(t), (Names{"a", "b", "c", "d", "e", "f", "g"}));
    EXPECT_TRUE(t.isChecked(3));
}

TEST(SortByDistance, UnderAFilterOnlyTheRowsShownTradePlaces) {
    PointTable t;
    load(t, {
                {.name = "J1", .north = "0", .east = "0", .distance = "30", .type = kJStake},
                {.name = "P", .north = "0", .east = "0", .distance = "0"},
                {.name = "J2", .north = "0", .east = "0", .distance = "10", .type = kJStake},
                {.name = "J3", .north = "0", .east = "0", .distance = "20", .type = kJStake},
            });
    t.setDisplayMode(DisplayMode::JStakes);
    sortByDistance(t);
    EXPECT_EQ(names(t), (Names{"J2", "J3", "J1"}));
    t.setDisplayMode(DisplayMode::AllPoints);
    EXPECT_EQ(names(t), (Names{"J2", "P", "J3", "J1"}));
}

TEST(SortByDistance, SortedOrEmptyTablesMakeNoStep) {
    PointTable t;
    sortByDistance(t);
    load(t, {{.name = "a", .north = "0", .east = "0", .distance = "1"},
             {.name = "b", .north = "0", .east = "0", .distance = "1"}});
    sortByDistance(t);
    EXPECT_FALSE(t.canUndo());
}

}  // namespace
}  // namespace corvane
