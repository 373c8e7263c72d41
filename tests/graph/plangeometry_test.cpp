#include "plangeometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "labelspace.h"
#include "pointtable.h"
#include "tablelistener.h"
#include "vocabularies.h"

namespace corvane {
namespace {

struct Cells {
    std::string name, north, east, start, end;
    std::string_view type = kOrdinaryPoint;
};

Row makeRow(const Cells& c) {
    std::vector<std::string_view> cells(kColumnCount);
    cells[ColName] = c.name;
    cells[ColNorth] = c.north;
    cells[ColEast] = c.east;
    cells[ColSegmentStart] = c.start;
    cells[ColSegmentEnd] = c.end;
    cells[ColPointType] = c.type;
    return Row(cells);
}

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
    void rowsInserted() override { geometry.noteRowsChanged(); }
    void rowsRemoved() override { geometry.noteRowsChanged(); }
    void resetDone() override { geometry.noteRowsChanged(); }

    PointTable& m_table;

public:
    PlanGeometry geometry;
};

// J1 -> J2 -> J3 with points on the first two legs.
void fillLine(PointTable& t) {
    std::vector<Row> rows;
    rows.push_back(makeRow({"J1", "0", "0", "J1", "J2", kJStake}));
    rows.push_back(makeRow({"P1", "5", "10", "J1", "J2"}));
    rows.push_back(makeRow({"P2", "7", "20", "J1", "J2"}));
    rows.push_back(makeRow({"J2", "10", "100", "J2", "J3", kJStake}));
    rows.push_back(makeRow({"P3", "20", "150", "J2", "J3"}));
    rows.push_back(makeRow({"J3", "50", "200", "J3", "J3", kJStake}));  // names itself
    rows.push_back(makeRow({"Q", "-.-", "", "", ""}));                  // no segment
    t.replaceAll(std::move(rows), {});
}

using Segments = std::vector<PlanSegment>;

TEST(PlanGeometry, ReadsPositionsLeniently) {
    PointTable t;
    t.replaceAll({makeRow({"A", " 12.5abc", "-3e2", "", ""}), makeRow({"B", "-.-", "", "", ""}),
                  makeRow({"C", "name", "7", "", ""})},
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
         {{"J1", "0", "0", "J1", "J2"},
          {"P1", "1", "1", "J1", "J2"},
          {"J2", "0", "9", "J2", "J3"},
          {"P2", "1", "1", "J1", "J2"},  // again, far from its first row
          {"J3", "0", "9", "J3", "J3"}},
         {{0, 2}, {2, 4}}},
        {"unresolved names draw nothing",
         {{"A", "0", "0", "A", "missing"}, {"B", "0", "0", "gone", "A"}, {"C", "0", "0", "", "A"}},
         {}},
        {"only one column filled",
         {{"A", "0", "0", "A", ""}, {"B", "0", "0", "", "B"}, {"C", "0", "0", "", ""}},
         {}},
        {"a row with an empty name resolves the empty name",
         {{"", "0", "0", "", ""}, {"B", "0", "0", "", "B"}},
         {{0, 1}}},
        {"a name names its first row",
         {{"A", "0", "0", "A", "B"},
          {"B", "0", "0", "", ""},
          {"A", "5", "5", "", ""},
          {"B", "6", "6", "", ""}},
         {{0, 1}}},
        {"exact, case-sensitive names",
         {{"A", "0", "0", "a", "B"}, {"B", "0", "0", "A ", "B"}, {"a", "0", "0", "a", "B"}},
         {{2, 1}}},
    };
    for (const Case& c : cases) {
        PointTable t;
        std::vector<Row> rows;
        for (const Cells& cells : c.rows)
            rows.push_back(makeRow(cells));
        t.replaceAll(std::move(rows), {});
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

TEST(PlanGeometry, RowsInsideAgreeWithLookingAtEveryRow) {
    // A line of points with strays at 0, 0 that stretch the extent enormously.
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<Row> rows;
    for (int i = 0; i < 20000; ++i) {
        const double along = unit(rng) * 50000;
        const double north = i % 997 == 0 ? 0 : 3456000 + along * 0.6 + unit(rng) * 40;
        const double east = i % 997 == 0 ? 0 : 512000 + along * 0.8 + unit(rng) * 40;
        rows.push_back(makeRow(
            {"P" + std::to_string(i), std::to_string(north), std::to_string(east), "", ""}));
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
