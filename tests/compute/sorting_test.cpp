#include "sorting.h"

#include <gtest/gtest.h>

#include "computetestutil.h"

namespace corvane {
namespace {

using testing::load;
using testing::Point;
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
                {"a", "0", "0", "", "", "12.5"},
                {"b", "0", "0", "", "", "-.-"},
                {"c", "0", "0", "", "", "3"},
                {"d", "0", "0", "", "", "12.5"},
                {"e", "0", "0", "", "", ""},
                {"f", "0", "0", "", "", "-0.5"},
                {"g", "0", "0", "", "", "1e1"},
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
                {"J1", "0", "0", "", "", "30", kJStake},
                {"P", "0", "0", "", "", "0"},
                {"J2", "0", "0", "", "", "10", kJStake},
                {"J3", "0", "0", "", "", "20", kJStake},
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
    load(t, {{"a", "0", "0", "", "", "1"}, {"b", "0", "0", "", "", "1"}});
    sortByDistance(t);
    EXPECT_FALSE(t.canUndo());
}

}  // namespace
}  // namespace corvane
