#include "graphviewport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace corvane {
namespace {

// A canvas whose drawing rectangle is w x h pixels.
GraphViewport withDrawRect(int w, int h) {
    GraphViewport v;
    v.setCanvasSize(w + 2 * GraphViewport::kMargin, h + 2 * GraphViewport::kMargin);
    return v;
}

void expectWindow(const GraphViewport& v, WorldWindow expected) {
    EXPECT_DOUBLE_EQ(v.window().minY, expected.minY);
    EXPECT_DOUBLE_EQ(v.window().maxY, expected.maxY);
    EXPECT_DOUBLE_EQ(v.window().minX, expected.minX);
    EXPECT_DOUBLE_EQ(v.window().maxX, expected.maxX);
}

TEST(GraphViewport, DrawingRectangleKeepsFifteenPixelsFree) {
    GraphViewport v;
    v.setCanvasSize(530, 280);
    EXPECT_EQ(v.drawRect(), (PixelRect{15, 15, 515, 265}));
}

TEST(GraphViewport, FirstPaintShowsOneMetrePerPixelAroundTheOrigin) {
    struct Case {
        int w, h;
        WorldWindow window;
    } cases[] = {
        {500, 250, {-250, 250, -125, 125}},
        {501, 251, {-250, 250, -125, 125}},  // integer halves
        {0, 0, {-1, 1, -1, 1}},              // never a window without width
    };
    for (const Case& c : cases) {
        GraphViewport v = withDrawRect(c.w, c.h);
        EXPECT_FALSE(v.hasWindow());
        v.initialiseWindow();
        EXPECT_TRUE(v.hasWindow());
        expectWindow(v, c.window);
    }
    GraphViewport v = withDrawRect(500, 250);
    v.initialiseWindow();
    EXPECT_DOUBLE_EQ(v.metresPerPixel(), 1.0);
    EXPECT_EQ(v.WorldToPixel(0, 0), (PixelPoint{265, 140}));  // the middle
}

TEST(GraphViewport, WorldToPixelTruncatesTowardsZeroNorthUpEastRight) {
    // Drawing rectangle 15..515 x 15..265, east 1000..2000, north from 500: k = 2.
    GraphViewport v = withDrawRect(500, 250);
    v.setWindow({1000, 2000, 500, 1000});
    ASSERT_DOUBLE_EQ(v.metresPerPixel(), 2.0);
    struct Case {
        double north, east;
        PixelPoint pixel;
    } cases[] = {
        {500, 1000, {15, 265}},      // bottom left of the drawing rectangle
        {1000, 2000, {515, 15}},     // k from the east range: 500 m north is 250 px
        {501.9, 1003.9, {16, 264}},  // 1.95 px east, 0.95 px north: truncated
        {502, 1004, {17, 264}},
        {500, 968, {-1, 265}},                      // -1.0 exactly
        {500, 969, {0, 265}},                       // -0.5 truncates towards zero, not down
        {1031, 1000, {15, 0}},                      // 265 - 265.5 = -0.5 -> 0
        {1033, 1000, {15, -1}},                     // -1.5 -> -1
        {-1e300, 1e300, {1000000000, 1000000000}},  // far away: held, not overflowed
    };
    for (const Case& c : cases) {
        EXPECT_EQ(v.WorldToPixel(c.north, c.east), c.pixel) << c.north << " " << c.east;
    }
    const WorldPoint w = v.PixelToWorld(17, 264);
    EXPECT_DOUBLE_EQ(w.east, 1004);
    EXPECT_DOUBLE_EQ(w.north, 502);
}

TEST(GraphViewport, MaxXDoesNotEnterTheMapping) {
    GraphViewport a = withDrawRect(500, 250);
    GraphViewport b = withDrawRect(500, 250);
    a.setWindow({0, 1000, 0, 500});
    b.setWindow({0, 1000, 0, 77});
    EXPECT_EQ(a.WorldToPixel(123, 456), b.WorldToPixel(123, 456));
}

TEST(GraphViewport, BringIntoViewPansOnlyForAPointOutside) {
    // 500 x 250 pixels over 1000 m east: two metres a pixel, pixel (15 + e/2, 265 - n/2).
    struct Case {
        const char* what;
        WorldPoint point;
        bool moved;
    } cases[] = {
        {"inside", {250, 500}, false},
        {"inside, near the edge", {5 * 2 + 11 * 2, 500}, false},
        {"within the margin", {5 * 2, 500}, true},
        {"far east", {250, 3000}, true},
        {"south west", {-400, -900}, true},
    };
    for (const Case& c : cases) {
        GraphViewport v = withDrawRect(500, 250);
        v.setWindow({0, 1000, 0, 500});
        const double k = v.metresPerPixel();
        EXPECT_EQ(v.bringIntoView(c.point, 10), c.moved) << c.what;
        EXPECT_DOUBLE_EQ(v.metresPerPixel(), k) << c.what;
        if (c.moved)
            EXPECT_EQ(v.WorldToPixel(c.point), (PixelPoint{265, 140})) << c.what;
        else
            expectWindow(v, {0, 1000, 0, 500});
    }
}

TEST(GraphViewport, FitShowsAllPointsWithTheLargerSpreadFilling) {
    struct Case {
        const char* what;
        int w, h;
        WorldWindow points;
        WorldWindow expected;
        double k;
    } cases[] = {
        // 1000 m east, 100 m north into 500 x 250: k = 2, east exact, north 500 m
        // centred on the points' middle (5050).
        {"wide", 500, 250, {2000, 3000, 5000, 5100}, {2000, 3000, 4800, 5300}, 2.0},
        // 100 m east, 1000 m north into 500 x 250: north fills, k = 4.
        {"tall", 500, 250, {0, 100, 0, 1000}, {-950, 1050, 0, 1000}, 4.0},
        // One point, or points sharing one position: centred at one metre per pixel.
        {"one position", 500, 250, {700, 700, 300, 300}, {450, 950, 175, 425}, 1.0},
        // Spread in one direction only.
        {"north only", 500, 250, {10, 10, 0, 250}, {-240, 260, 0, 250}, 1.0},
    };
    for (const Case& c : cases) {
        GraphViewport v = withDrawRect(c.w, c.h);
        v.fit(c.points);
        SCOPED_TRACE(c.what);
        expectWindow(v, c.expected);
        EXPECT_DOUBLE_EQ(v.metresPerPixel(), c.k);
        // Every corner of the points' extent lands on the drawing rectangle or its
        // far edges.
        const PixelRect& r = v.drawRect();
        for (double north : {c.points.minX, c.points.maxX}) {
            for (double east : {c.points.minY, c.points.maxY}) {
                const PixelPoint p = v.WorldToPixel(north, east);
                EXPECT_TRUE(r.left <= p.x && p.x <= r.right && r.top <= p.y && p.y <= r.bottom)
                    << north << " " << east;
            }
        }
    }
}

TEST(GraphViewport, FitIntoADrawingRectangleWithoutRoomStillHasAScale) {
    GraphViewport v;
    v.setCanvasSize(20, 20);  // narrower than the margins
    v.fit({0, 100, 0, 100});
    EXPECT_GT(v.metresPerPixel(), 0.0);
    EXPECT_TRUE(std::isfinite(v.window().width()));
}

TEST(GraphViewport, ZoomAboutTheCentre) {
    struct Case {
        const char* steps;
        WorldWindow expected;
    } cases[] = {
        {"+", {125, 875, 62.5, 437.5}},           // 75 % about the centre
        {"-", {-250, 1250, -125, 625}},           // 150 %
        {"+-", {-62.5, 1062.5, -31.25, 531.25}},  // 1.125 x, not restored
        {"-+", {-62.5, 1062.5, -31.25, 531.25}},
    };
    for (const Case& c : cases) {
        GraphViewport v = withDrawRect(500, 250);
        v.setWindow({0, 1000, 0, 500});
        for (const char* s = c.steps; *s; ++s)
            *s == '+' ? v.zoomIn() : v.zoomOut();
        SCOPED_TRACE(c.steps);
        expectWindow(v, c.expected);
    }
    GraphViewport v = withDrawRect(500, 250);
    v.setWindow({0, 1000, 0, 500});
    v.zoomIn();
    v.zoomOut();
    EXPECT_DOUBLE_EQ(v.window().width(), 1.125 * 1000);
}

TEST(GraphViewport, ZoomStopsBeforeTheArithmeticDegrades) {
    GraphViewport v = withDrawRect(500, 250);
    v.initialiseWindow();
    for (int i = 0; i < 5000; ++i)
        v.zoomIn();
    EXPECT_GE(v.metresPerPixel(), GraphViewport::kMinMetresPerPixel);
    EXPECT_GT(v.window().width(), 0.0);
    for (int i = 0; i < 10000; ++i)
        v.zoomOut();
    EXPECT_LE(v.metresPerPixel(), GraphViewport::kMaxMetresPerPixel);
    EXPECT_TRUE(std::isfinite(v.window().width()));
}

TEST(GraphViewport, PanFollowsTheMouse) {
    // The drag (100,100) -> (130,80) at k = 2: 60 m west and 40 m south.
    GraphViewport v = withDrawRect(500, 250);
    v.setWindow({1000, 2000, 500, 1000});
    const PixelPoint before = v.WorldToPixel(700, 1500);
    v.pan(130 - 100, 80 - 100);
    expectWindow(v, {940, 1940, 460, 960});
    const PixelPoint after = v.WorldToPixel(700, 1500);
    EXPECT_EQ(after.x - before.x, 30);  // the drawing moved right and up with the mouse
    EXPECT_EQ(after.y - before.y, -20);
}

TEST(GraphViewport, PickFindsTheUpperRowStrictlyWithinTenPixels) {
    // One metre per pixel with pixel (15 + east, 265 - north).
    GraphViewport v = withDrawRect(500, 250);
    v.setWindow({0, 500, 0, 250});
    const std::vector<WorldPoint> points = {
        {100, 100},  // pixel (115, 165)
        {100, 104},  // (119, 165)
        {50, 50},    // (65, 215)
    };
    struct Case {
        PixelPoint click;
        int row;
    } cases[] = {
        {{117, 165}, 0},  // both within 10 px: the upper row wins
        {{121, 165}, 0},  // nearer to row 1, still row 0
        {{126, 165}, 1},  // 11 px from row 0, 7 from row 1
        {{125, 165}, 1},  // exactly 10 px from row 0: not strictly less
        {{71, 223}, -1},  // 6, 8 -> 10 px: not hit
        {{71, 222}, 2},   // 6, 7 -> 9.2 px: hit
        {{300, 30}, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(v.pick(points, c.click), c.row) << c.click.x << "," << c.click.y;
    EXPECT_EQ(v.pick({}, {0, 0}), -1);
}

TEST(GraphViewport, BoxHoldsPointsFromLeftTopUpToButNotIncludingRightBottom) {
    GraphViewport v = withDrawRect(500, 250);
    v.setWindow({0, 500, 0, 250});
    const std::vector<WorldPoint> points = {
        {100, 100},  // (115, 165)
        {150, 200},  // (215, 115)
        {50, 400},   // (415, 215)
    };
    struct Case {
        const char* what;
        PixelRect box;
        std::vector<int> rows;
    } cases[] = {
        {"around two", {100, 100, 300, 200}, {0, 1}},
        {"edges", {115, 115, 216, 166}, {0, 1}},
        {"right and bottom exclusive", {115, 115, 215, 165}, {}},
        {"all", {0, 0, 530, 280}, {0, 1, 2}},
        {"dragged leftwards", {300, 100, 100, 200}, {}},
        {"dragged upwards", {100, 200, 300, 100}, {}},
        {"bottom right to top left", {530, 280, 0, 0}, {}},
        {"not moved", {115, 165, 115, 165}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(v.pointsInBox(points, c.box), c.rows) << c.what;
}

}  // namespace
}  // namespace corvane
