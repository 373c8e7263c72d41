// Computations whose result is not a finite number: each returns the cell, changes
// nothing and leaves no undo step, instead of writing "0.000" or "-.-".

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cellnumber.h"
#include "datacalculation.h"
#include "linepointselection.h"
#include "nonfinite.h"
#include "projection.h"
#include "rowbuilder.h"
#include "tablestate.h"

namespace corvane {
namespace {

using test::Cells;
using test::fullState;
using test::load;

constexpr std::string_view kMax = "1.7976931348623157e308";

std::optional<NonFiniteCell> calculate(PointTable& t) {
    return calculateData(t);
}

std::optional<NonFiniteCell> project(PointTable& t) {
    return projectPoints(t, 1e308).nonFinite;
}

std::optional<NonFiniteCell> mileages(PointTable& t) {
    const std::vector<std::string> names = gatherJStakes(t);
    return nonFiniteMileage(t, names, lineMileages(t, names, 0.0));
}

TEST(NonFiniteResults, AreReturnedAndChangeNothing) {
    const struct Case {
        const char* name;
        std::vector<Cells> points;
        std::function<std::optional<NonFiniteCell>(PointTable&)> run;
        int row;
        int column;
    } cases[] = {
        {"a distance whose squares overflow",
         {{.name = "A",
           .north = "0",
           .east = "0",
           .start = "A",
           .end = "B",
           .distance = "0",
           .type = kJStake},
          {.name = "B",
           .north = "1e308",
           .east = "0",
           .start = "B",
           .end = "B",
           .distance = "0",
           .type = kJStake},
          {.name = "P", .north = "-1e308", .east = "5", .start = "A", .end = "B"}},
         calculate,
         2,
         ColDistance},
        {"coordinates whose distances fit but Heron's product overflows",
         {{.name = "A",
           .north = "0",
           .east = "0",
           .start = "A",
           .end = "B",
           .distance = kMax,
           .type = kJStake},
          {.name = "B",
           .north = "0",
           .east = "1e100",
           .start = "B",
           .end = "B",
           .distance = "0",
           .type = kJStake},
          {.name = "P", .north = "1e99", .east = "5e99", .start = "A", .end = "B"}},
         calculate,
         2,
         ColDistance},
        {"the topmost of several rows, after rows that computed",
         {{.name = "A",
           .north = "0",
           .east = "0",
           .start = "A",
           .end = "B",
           .distance = "0",
           .type = kJStake},
          {.name = "B",
           .north = "0",
           .east = "100",
           .start = "B",
           .end = "B",
           .distance = "100",
           .type = kJStake},
          {.name = "P", .north = "5", .east = "50", .start = "A", .end = "B"},
          {.name = "Q", .north = "1e308", .east = "-1e308", .start = "A", .end = "B"},
          {.name = "R", .north = "-1e308", .east = "1e308", .start = "A", .end = "B"}},
         calculate,
         3,
         ColDistance},
        {"a projected coordinate beyond the largest number, after a row that moved",
         {{.name = "A",
           .north = "0",
           .east = "0",
           .start = "A",
           .end = "B",
           .distance = "0",
           .type = kJStake},
          {.name = "B",
           .north = "0",
           .east = "100",
           .start = "B",
           .end = "B",
           .distance = "100",
           .type = kJStake},
          {.name = "P", .north = "5", .east = "50", .start = "A", .end = "B", .offset = "1"},
          {.name = "Q",
           .north = "1.7e308",
           .east = "5",
           .start = "A",
           .end = "B",
           .offset = "5e307"}},
         project,
         3,
         ColNorth},
        {"a mileage whose step overflows",
         {{.name = "A", .north = "0", .east = "0", .type = kJStake},
          {.name = "B", .north = "1e308", .east = "1e308", .type = kJStake}},
         mileages,
         1,
         ColDistance},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PointTable t;
        load(t, c.points);
        const std::string before = fullState(t);
        const std::optional<NonFiniteCell> failed = c.run(t);
        ASSERT_TRUE(failed);
        EXPECT_EQ(failed->row, c.row);
        EXPECT_EQ(failed->column, c.column);
        EXPECT_EQ(fullState(t), before);
        EXPECT_FALSE(t.canUndo());
    }
}

TEST(NonFiniteResults, LargeButFiniteNumbersAreStillComputed) {
    PointTable t;
    load(t, {{.name = "A",
              .north = "0",
              .east = "0",
              .start = "A",
              .end = "B",
              .distance = "1e300",
              .type = kJStake},
             {.name = "B",
              .north = "0",
              .east = "100",
              .start = "B",
              .end = "B",
              .distance = "0",
              .type = kJStake},
             {.name = "P", .north = "10", .east = "40", .start = "A", .end = "B"}});
    EXPECT_FALSE(calculateData(t));
    EXPECT_EQ(t.text(2, ColOffset), "-10.000");
    EXPECT_EQ(readNumber(t.text(2, ColDistance)), 1e300);
    EXPECT_TRUE(t.canUndo());
}

TEST(NonFiniteResults, MessageNamesRowAndColumnTitle) {
    EXPECT_EQ(nonFiniteMessage({11, ColDistance}),
              "第 12 行“累距[m]”列的计算结果不是有限的数（坐标或里程过大）。");
    EXPECT_EQ(nonFiniteWriteMessage({0, ColAngle}),
              "第 1 行“角度[Rad]”列要写出的数不是有限的数（坐标或数值过大）。");
}

}  // namespace
}  // namespace corvane
