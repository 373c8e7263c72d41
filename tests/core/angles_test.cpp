#include "angles.h"

#include <gtest/gtest.h>

#include <cmath>

#include "cellnumber.h"

namespace corvane {
namespace {

TEST(Angles, AzimuthIsClockwiseFromNorthInZeroToTwoPi) {
    struct Case {
        double dNorth, dEast, expected;
    };
    const Case cases[] = {
        {1, 0, 0.0},     {0, 1, kHalfPi},           {-1, 0, kPi}, {0, -1, 3 * kHalfPi},
        {1, 1, kPi / 4}, {1, -1, kTwoPi - kPi / 4}, {0, 0, 0.0},  {-1, -1e-300, kTwoPi - kPi},
    };
    for (const Case& c : cases) {
        const double a = Azimuth(10.0, 20.0, 10.0 + c.dNorth, 20.0 + c.dEast);
        EXPECT_NEAR(a, c.expected, 1e-12) << c.dNorth << ", " << c.dEast;
        EXPECT_GE(a, 0.0);
        EXPECT_LT(a, kTwoPi);
    }
}

TEST(Angles, DirectionFromEastIsCounterClockwiseInZeroToTwoPi) {
    struct Case {
        double dNorth, dEast, expected;
    };
    const Case cases[] = {
        {0, 1, 0.0},     {1, 0, kHalfPi},           {0, -1, kPi}, {-1, 0, 3 * kHalfPi},
        {1, 1, kPi / 4}, {-1, 1, kTwoPi - kPi / 4}, {0, 0, 0.0},
    };
    for (const Case& c : cases) {
        const double a = DirectionFromEast(10.0, 20.0, 10.0 + c.dNorth, 20.0 + c.dEast);
        EXPECT_NEAR(a, c.expected, 1e-12) << c.dNorth << ", " << c.dEast;
        EXPECT_GE(a, 0.0);
        EXPECT_LT(a, kTwoPi);
    }
}

TEST(Angles, PackDmsWritesDegreesMinutesSeconds) {
    struct Case {
        double radians;
        const char* packed;
    };
    const Case cases[] = {
        {0.5, "28.3852"},    // 28° 38′ 52.4″
        {1.0, "57.1745"},    // 57° 17′ 44.8″
        {-0.5, "-28.3852"},  // the negative of the packed positive angle
        {kPi, "180.0000"},
        {-kHalfPi, "-90.0000"},
        {0.0, "0.0000"},
        // 30° 30′ in radians is a hair short in binary: 30° 29′ 59.99…″.
        {30.5 * kPi / 180.0, "30.2960"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatFixed(PackDms(c.radians), 4), c.packed) << c.radians;
}

TEST(Angles, FoldHalfTurnCasesAreExclusive) {
    struct Case {
        double in, out;
    };
    const Case cases[] = {
        {kHalfPi, -kHalfPi},  // not folded back again by the second case
        {-kHalfPi, kHalfPi},
        {0.3, 0.3},
        {-0.3, -0.3},
        {2.0, 2.0 - kPi},
        {5.0, 5.0 - kTwoPi},
        {kThreeHalfPi, kThreeHalfPi - kPi},
        {-2.0, -2.0 + kPi},
        {-5.0, -5.0 + kTwoPi},
        {-kThreeHalfPi, -kThreeHalfPi + kPi},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(FoldHalfTurn(c.in), c.out) << c.in;
}

}  // namespace
}  // namespace corvane
