#include "plangeometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "labelspace.h"
#include "pointtable.h"
#include "rowbuilder.h"
#include "tablelistener.h"
#include "vocabularies.h"

namespace corvane {
namespace {

using test::Cells;
using test::rowOf;

// The geometry kept up to date the way the drawing keeps it.
class Tracked : private TableListener {
public:
    explicit Tracked(PointTable& table) : m_table(table), geometry(table) {
        table.addListener(this);
    }
    ~Tracked() override { m_table.removeListener(this); }
    PlanGeometry& synced() {
        geometry.sync();
        return geometry;
    }

private:
    void cellsChanged(int r0, int r1, int c0, int c1) override {
        geometry.noteCellsChanged(r0, r1, c0, c1);
    }
    // A single row put in or taken out is followed, as the drawing follows it.
    void rowsAboutToBeInserted(int first, int last) override {
        geometry.sync();
        m_inserting = {first, last};
    }
    void rowsInserted() override {
        geometry.noteRowsInserted(m_inserting.first, m_inserting.second);
    }
    void rowsAboutToBeRemoved(int first, int last) override {
        geometry.sync();
        geometry.noteRowsAboutToBeRemoved(first, last);
        m_removing = {first, last};
    }
    void rowsRemoved() override { geometry.noteRowsRemoved(m_removing.first, m_removing.second); }
    void resetDone() override { geometry.noteRowsChanged(); }

    PointTable& m_table;
    std::pair<int, int> m_inserting{-1, -1};
    std::pair<int, int> m_removing{-1, -1};

public:
    PlanGeometry geometry;
};

// J1 -> J2 -> J3 with points on the first two legs.
void fillLine(PointTable& t) {
    std::vector<Row> rows;
    rows.push_back(rowOf(
        {.name = "J1", .north = "0", .east = "0", .start = "J1", .end = "J2", .type = kJStake}));
    rows.push_back(rowOf({.name = "P1", .north = "5", .east = "10", .start = "J1", .end = "J2"}));
    rows.push_back(rowOf({.name = "P2", .north = "7", .east = "20", .start = "J1", .end = "J2"}));
    rows.push_back(rowOf(
        {.name = "J2", .north = "10", .east = "100", .start = "J2", .end = "J3", .type = kJStake}));
    rows.push_back(rowOf({.name = "P3", .north = "20", .east = "150", .start = "J2", .end = "J3"}));
    rows.push_back(rowOf({.name = "J3",
                          .north = "50",
                          .east = "200",
                          .start = "J3",
                          .end = "J3",
                          .type = kJStake}));              // names itself
    rows.push_back(rowOf({.name = "Q", .north = "-.-"}));  // no segment
    t.replaceAll(std::move(rows), {});
}

using Segments = std::vector<PlanSegment>;

TEST(PlanGeometry, ReadsPositionsLeniently) {
    PointTable t;
    t.replaceAll(
        {rowOf({.name = "A", .north = " 12.5abc", .east = "-3e2"}),
         rowOf({.name = "B", .north = "-.-"}), rowOf({.name = "C", .north = "name", .east = "7"})},
        {});
    Tracked tracked(t);
    auto points = tracked.synced().points();
    ASSERT_EQ(points.size(), 3u);
    EXPECT_DOUBLE_EQ(points[0].north, 12.5);
    EXPECT_DOUBLE_EQ(points[0].east, -300);
    EXPECT_DOUBLE_EQ(points[1].north, 0);
    EXPECT_DOUBLE_EQ(points[1].east, 0);
    EXPECT_DOUBLE_EQ(points[2].east, 7);
    const WorldWindow b = *tracked.geometry.bounds();
    EXPECT_DOUBLE_EQ(b.minY, -300);
    EXPECT_DOUBLE_EQ(b.maxY, 7);
    EXPECT_DOUBLE_EQ(b.minX, 0);
    EXPECT_DOUBLE_EQ(b.maxX, 12.5);
}

TEST(PlanGeometry, EachDistinctSegmentOnceInTheOrderOfItsFirstRow) {
    struct Case {
        const char* what;
        std::vector<Cells> rows;
        Segments segments;
    } cases[] = {
        {"a line",
         {{.name = "J1", .north = "0", .east = "0", .start = "J1", .end = "J2"},
          {.name = "P1", .north = "1", .east = "1", .start = "J1", .end = "J2"},
          {.name = "J2", .north = "0", .east = "9", .start = "J2", .end = "J3"},
          {.name = "P2", .north = "1", .east = "1", .start = "J1", .end = "J2"},  // again, far from
                                                                                  // its first row
          {.name = "J3", .north = "0", .east = "9", .start = "J3", .end = "J3"}},
         {{0, 2}, {2, 4}}},
        {"unresolved names draw nothing",
         {{.name = "A", .north = "0", .east = "0", .start = "A", .end = "missing"},
          {.name = "B", .north = "0", .east = "0", .start = "gone", .end = "A"},
          {.name = "C", .north = "0", .east = "0", .end = "A"}},
         {}},
        {"only one column filled",
         {{.name = "A", .north = "0", .east = "0", .start = "A"},
          {.name = "B", .north = "0", .east = "0", .end = "B"},
          {.name = "C", .north = "0", .east = "0"}},
         {}},
        {"a row with an empty name resolves the empty name",
         {{.north = "0", .east = "0"}, {.name = "B", .north = "0", .east = "0", .end = "B"}},
         {{0, 1}}},
        {"a name names its first row",
         {{.name = "A", .north = "0", .east = "0", .start = "A", .end = "B"},
          {.name = "B", .north = "0", .east = "0"},
          {.name = "A", .north = "5", .east = "5"},
          {.name = "B", .north = "6", .east = "6"}},
         {{0, 1}}},
        {"exact, case-sensitive names",
         {{.name = "A", .north = "0", .east = "0", .start = "a", .end = "B"},
          {.name = "B", .north = "0", .east = "0", .start = "A ", .end = "B"},
          {.name = "a", .north = "0", .east = "0", .start = "a", .end = "B"}},
         {{2, 1}}},
    };
    for (const Case& c : cases) {
        PointTable t;
        t.replaceAll(test::rowsOf(c.rows), {});
        Tracked tracked(t);
        EXPECT_EQ(tracked.synced().segments(), c.segments) << c.what;
    }
}

TEST(PlanGeometry, FollowsEveryKindOfTableChange) {
    PointTable t;
    fillLine(t);
    Tracked tracked(t);
    ASSERT_EQ(tracked.synced().segments(), (Segments{{0, 3}, {3, 5}}));

    t.setText(1, ColEast, "11.5");  // a coordinate
    EXPECT_DOUBLE_EQ(tracked.synced().points()[1].east, 11.5);

    t.setText(3, ColName, "J2x");  // a rename unresolves both segments touching J2
    EXPECT_EQ(tracked.synced().segments(), Segments{});
    t.undo();
    EXPECT_EQ(tracked.synced().segments(), (Segments{{0, 3}, {3, 5}}));

    t.setText(6, ColSegmentStart, "J1");  // a new pair J1 ~ J3 at the end
    t.setText(6, ColSegmentEnd, "J3");
    EXPECT_EQ(tracked.synced().segments(), (Segments{{0, 3}, {3, 5}, {0, 5}}));

    t.removeRows({1, 2});  // rows below move up
    EXPECT_EQ(tracked.synced().segments(), (Segments{{0, 1}, {1, 3}, {0, 3}}));
    EXPECT_DOUBLE_EQ(tracked.synced().points()[1].east, 100);
    t.undo();
    EXPECT_EQ(tracked.synced().segments(), (Segments{{0, 3}, {3, 5}, {0, 5}}));

    t.setDisplayMode(DisplayMode::JStakes);  // J1, J2, J3 shown
    EXPECT_EQ(tracked.synced().points().size(), 3u);
    EXPECT_EQ(tracked.synced().segments(), (Segments{{0, 1}, {1, 2}}));
    t.setDisplayMode(DisplayMode::AllPoints);
    EXPECT_EQ(tracked.synced().points().size(), 7u);
}

TEST(PlanGeometry, EveryChangeOfWhatIsDrawnGivesANewRevision) {
    // The drawing keeps its mapped points while the revision stays: any change of a
    // position, a name or the rows must move it on, and a change of nothing else may not.
    PointTable t;
    fillLine(t);
    Tracked tracked(t);
    uint64_t seen = tracked.synced().revision();
    auto changed = [&] {
        const uint64_t now = tracked.synced().revision();
        return std::exchange(seen, now) != now;
    };
    t.setText(1, ColRemark, "note");
    EXPECT_FALSE(changed()) << "a remark";
    t.setChecked(2, true);
    EXPECT_FALSE(changed()) << "a check mark";
    t.setText(1, ColNorth, "3");
    EXPECT_TRUE(changed()) << "a coordinate";
    t.setText(2, ColName, "Q");
    EXPECT_TRUE(changed()) << "a name";
    t.removeRows({4});
    EXPECT_TRUE(changed()) << "a row taken out";
    t.insertRow(2);
    EXPECT_TRUE(changed()) << "a row put in";
    t.replaceAll({}, {});
    EXPECT_TRUE(changed()) << "every row gone";
    EXPECT_TRUE(tracked.synced().points().empty());
}

TEST(PlanGeometry, RowsInsideAgreeWithLookingAtEveryRow) {
    // A line of points with strays at 0, 0 that stretch the extent enormously.
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<Row> rows;
    for (int i = 0; i < 20000; ++i) {
        const double along = unit(rng) * 50000;
        const double north = i % 997 == 0 ? 0 : 3456000 + along * 0.6 + unit(rng) * 40;
        const double east = i % 997 == 0 ? 0 : 512000 + along * 0.8 + unit(rng) * 40;
        rows.push_back(rowOf({.name = "P" + std::to_string(i),
                              .north = std::to_string(north),
                              .east = std::to_string(east)}));
    }
    PointTable t;
    t.replaceAll(std::move(rows), {});
    Tracked tracked(t);
    const PlanGeometry& g = tracked.synced();
    int answered = 0;
    for (int q = 0; q < 200; ++q) {
        const double size = q % 2 ? 50 + unit(rng) * 500 : unit(rng) * 20000;
        const double east = q % 7 == 0 ? -size / 2 : 512000 + unit(rng) * 40000;
        const double north = q % 7 == 0 ? -size / 2 : 3456000 + unit(rng) * 30000;
        const WorldWindow area{east, east + size, north, north + size * 0.6};
        std::vector<int> expected;
        for (int i = 0; i < static_cast<int>(g.points().size()); ++i) {
            const WorldPoint& p = g.points()[i];
            if (area.minY <= p.east && p.east <= area.maxY && area.minX <= p.north &&
                p.north <= area.maxX)
                expected.push_back(i);
        }
        std::vector<int> found;
        if (g.rowsInside(area, found)) {
            EXPECT_EQ(found, expected) << "query " << q;
            ++answered;
        }
    }
    EXPECT_GT(answered, 150) << "small areas are answered through the grid";
    std::vector<int> all;
    EXPECT_FALSE(g.rowsInside(*g.bounds(), all)) << "the whole extent needs no grid";
}

TEST(PlanGeometry, FollowsSingleRowsAsIfBuiltAgain) {
    // Scattered points on two legs, so that the grid has many cells to keep in order.
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> coordinate(0, 100000);
    std::vector<Row> rows;
    rows.push_back(rowOf(
        {.name = "J1", .north = "0", .east = "0", .start = "J1", .end = "J2", .type = kJStake}));
    for (int i = 0; i < 3000; ++i)
        rows.push_back(rowOf({.name = "P" + std::to_string(i),
                              .north = std::to_string(coordinate(rng) / 100.0),
                              .east = std::to_string(coordinate(rng) / 100.0),
                              .start = (i / 5) % 2 ? "J1" : "J2",  // in runs of five
                              .end = (i / 5) % 2 ? "J2" : "J3"}));
    rows.push_back(rowOf(
        {.name = "J2", .north = "1000", .east = "0", .start = "J2", .end = "J3", .type = kJStake}));
    rows.push_back(rowOf({.name = "J3", .north = "1000", .east = "1000", .type = kJStake}));
    // The only row naming J1 ~ J3, between rows of another segment.
    rows.insert(rows.begin() + 1500,
                rowOf({.name = "X", .north = "500", .east = "500", .start = "J1", .end = "J3"}));
    PointTable t;
    t.replaceAll(std::move(rows), {});
    Tracked tracked(t);
    std::vector<int> found;
    tracked.synced().rowsInside({100, 120, 100, 120}, found);  // the grid is built

    const auto expectAsBuiltAgain = [&](const char* step) {
        SCOPED_TRACE(step);
        PlanGeometry fresh(t);
        fresh.sync();
        const PlanGeometry& g = tracked.synced();
        ASSERT_EQ(g.points().size(), fresh.points().size());
        EXPECT_TRUE(std::equal(g.points().begin(), g.points().end(), fresh.points().begin(),
                               [](const WorldPoint& a, const WorldPoint& b) {
                                   return a.north == b.north && a.east == b.east;
                               }));
        EXPECT_EQ(g.segments(), fresh.segments());
        EXPECT_EQ(g.bounds()->minX, fresh.bounds()->minX);
        EXPECT_EQ(g.bounds()->maxY, fresh.bounds()->maxY);
        for (const WorldWindow& area : {WorldWindow{0, 50, 0, 50}, WorldWindow{300, 420, 700, 760},
                                        WorldWindow{990, 1000, 0, 10}}) {
            std::vector<int> followed, built;
            ASSERT_TRUE(g.rowsInside(area, followed));
            ASSERT_TRUE(fresh.rowsInside(area, built));
            EXPECT_EQ(followed, built);
        }
    };
    t.removeRows({1500});  // the only row of its segment: the segment goes
    expectAsBuiltAgain("a segment's only row out");
    t.undo();
    expectAsBuiltAgain("and back");
    t.removeRows({0});  // the first stake: its segment goes
    expectAsBuiltAgain("the first row out");
    t.undo();
    expectAsBuiltAgain("and back");
    for (int i = 0; i < 20; ++i) {
        const int row = static_cast<int>(rng() % static_cast<unsigned>(t.rowCount()));
        t.removeRows({row});
        expectAsBuiltAgain("a row out");
        if (i % 3 == 0) {
            t.undo();
            expectAsBuiltAgain("undone");
        }
    }
    t.removeRows({t.rowCount() - 1});  // the last stake, the extreme of the bounds
    expectAsBuiltAgain("the last row out");
    t.insertRow(5, rowOf({.name = "far", .north = "-500", .east = "5000"}));
    expectAsBuiltAgain("a row far outside put in");
    t.insertRow(t.rowCount());
    expectAsBuiltAgain("an empty row at the end");
}

TEST(LabelSpace, PlacedLabelsBlockTheirPixelsOnly) {
    LabelSpace space;
    space.reset(200, 50);
    EXPECT_TRUE(space.isFree({0, 0, 200, 50}));
    space.occupy({60, 10, 70, 20});  // crosses the first 64-pixel word boundary
    struct Case {
        PixelRect rect;
        bool free;
    } cases[] = {
        {{60, 10, 70, 20}, false}, {{69, 19, 80, 30}, false},     {{63, 15, 64, 16}, false},
        {{64, 15, 65, 16}, false}, {{70, 10, 80, 20}, true},      {{50, 10, 60, 20}, true},
        {{60, 20, 70, 30}, true},  {{-100, -100, 61, 11}, false}, {{300, 0, 400, 50}, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(space.isFree(c.rect), c.free)
            << c.rect.left << "," << c.rect.top << "," << c.rect.right << "," << c.rect.bottom;
    space.occupy({-10, 40, 500, 60});  // clipped to the canvas
    EXPECT_FALSE(space.isFree({199, 49, 200, 50}));
    space.reset(200, 50);
    EXPECT_TRUE(space.isFree({0, 0, 200, 50}));
}

}  // namespace
}  // namespace corvane
