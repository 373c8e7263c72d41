#include "geometry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace corvane {
namespace {

TEST(PerpendicularFoot, MeasuresAgainstTheLineThroughTheSegment) {
    const PlanePoint a{0, 0}, b{0, 100};  // a segment running east
    struct Case {
        const char* what;
        PlanePoint p;
        double d, u, v;
        bool inside;
    } cases[] = {
        {"left of the middle", {10, 40}, 10, 40, 60, true},
        {"right of the middle", {-10, 40}, 10, 40, 60, true},
        {"before the start", {5, -20}, 5, 20, 120, false},
        {"beyond the end", {-5, 130}, 5, 130, 30, false},
        {"on the segment", {0, 50}, 0, 50, 50, true},
        {"on the start", {0, 0}, 0, 0, 100, true},
    };
    for (const Case& c : cases) {
        const FootOfPerpendicular foot = PerpendicularFoot(a, b, c.p);
        EXPECT_NEAR(foot.d, c.d, 1e-9) << c.what;
        EXPECT_NEAR(foot.u, c.u, 1e-9) << c.what;
        EXPECT_NEAR(foot.v, c.v, 1e-9) << c.what;
        EXPECT_EQ(foot.inside, c.inside) << c.what;
    }
}

TEST(PerpendicularFoot, RoundingNearTheLineGivesZeroNotNoNumber) {
    struct Case {
        const char* what;
        PlanePoint a, b, p;
        double d, u;
        bool inside;
    } cases[] = {
        // Heron's product comes out about -1.3e-16 here.
        {"on a diagonal segment", {0, 0}, {1, 1}, {0.3, 0.3}, 0.0, std::sqrt(0.18), true},
        // d comes out 1.5e-14 above l, so l² - d² is negative.
        {"square over the start", {0, 0}, {0, 100}, {7, 0}, 7.000000000000015, 0.0, true},
        {"square over a diagonal start",
         {0, 0},
         {100, 100},
         {-30, 30},
         42.42640687119289,
         0.0,
         true},
    };
    for (const Case& c : cases) {
        const FootOfPerpendicular foot = PerpendicularFoot(c.a, c.b, c.p);
        EXPECT_DOUBLE_EQ(foot.d, c.d) << c.what;
        EXPECT_NEAR(foot.u, c.u, 1e-12) << c.what;
        EXPECT_EQ(foot.inside, c.inside) << c.what;
    }
}

TEST(PerpendicularFoot, CoincidentEndsMeasureFromTheStartAndAreNeverInside) {
    const FootOfPerpendicular foot = PerpendicularFoot({1, 1}, {1, 1}, {4, 5});
    EXPECT_EQ(foot.d, 5.0);
    EXPECT_EQ(foot.u, 0.0);
    EXPECT_EQ(foot.v, 5.0);
    EXPECT_FALSE(foot.inside);
    const FootOfPerpendicular same = PerpendicularFoot({1, 1}, {1, 1}, {1, 1});
    EXPECT_EQ(same.d, 0.0);
    EXPECT_FALSE(same.inside);
}

TEST(PerpendicularFoot, NeverGivesNoNumber) {
    const PlanePoint points[] = {{0, 0},      {1e-300, 0}, {0, 1e-300},           {1e200, 1e200},
                                 {-1e200, 3}, {1e154, 0},  {3456000.5, 512000.25}};
    for (PlanePoint a : points)
        for (PlanePoint b : points)
            for (PlanePoint p : points) {
                const FootOfPerpendicular foot = PerpendicularFoot(a, b, p);
                EXPECT_FALSE(std::isnan(foot.d) || std::isnan(foot.u) || std::isnan(foot.v));
                EXPECT_GE(foot.d, 0.0);
                EXPECT_GE(foot.u, 0.0);
            }
}

TEST(PerpendicularFoot, DependsOnlyOnTheMutualDistances) {
    // The same triangle with north and east swapped in all three points.
    const FootOfPerpendicular one = PerpendicularFoot({1.5, 2.25}, {40.5, 90.125}, {7.75, 60.5});
    const FootOfPerpendicular two = PerpendicularFoot({2.25, 1.5}, {90.125, 40.5}, {60.5, 7.75});
    EXPECT_EQ(one.d, two.d);
    EXPECT_EQ(one.u, two.u);
    EXPECT_EQ(one.inside, two.inside);
}

}  // namespace
}  // namespace corvane
