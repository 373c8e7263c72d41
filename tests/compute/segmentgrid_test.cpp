#include "segmentgrid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace corvane {
namespace {

struct Scenario {
    const char* what;
    std::vector<LineSegment> segments;
    std::vector<PlanePoint> points;
};

// Small integer coordinates: many points sit exactly on ends, on extensions of
// segments and halfway between parallels, and many segments repeat (also reversed),
// so exact ties are common. Coincident ends and very short segments are mixed in.
Scenario integerLattice(uint32_t seed) {
    std::mt19937 rng(seed);
    auto coordinate = [&](int lo, int hi) {
        return static_cast<double>(lo + static_cast<int>(rng() % (hi - lo + 1)));
    };
    Scenario s{"integer lattice", {}, {}};
    PlanePoint at{coordinate(0, 40), coordinate(0, 40)};
    for (int i = 0; i < 60; ++i) {
        PlanePoint next{coordinate(0, 40), coordinate(0, 40)};
        s.segments.push_back({at, next});
        at = next;
    }
    for (int i = 0; i < 30; ++i) {
        const LineSegment copy = s.segments[rng() % s.segments.size()];
        s.segments.push_back(rng() % 2 ? copy : LineSegment{copy.b, copy.a});
    }
    for (int i = 0; i < 10; ++i) {
        const double x = coordinate(0, 40), y = coordinate(0, 40);
        s.segments.push_back({{x, y}, {x + 10, y}});  // parallel pairs two apart
        s.segments.push_back({{x, y + 2}, {x + 10, y + 2}});
    }
    s.segments.push_back({{5, 5}, {5, 5}});
    s.segments.push_back({{7, 7}, {7, 7.0004}});
    s.segments.push_back({{9, 9}, {9.0000001, 9}});
    s.segments.push_back({{11, 11}, {11.03, 11.04}});
    for (int x = -10; x <= 50; ++x)
        for (int y = -10; y <= 50; ++y)
            s.points.push_back({static_cast<double>(x), static_cast<double>(y)});
    for (int i = 0; i < 2000; ++i)
        s.points.push_back({coordinate(-20, 60) + 0.5, coordinate(-20, 60) + 0.5});
    return s;
}

// A line like a survey's: legs of 150 m to 450 m turning up to 35 degrees at large
// coordinates; points scattered along it, far off it and beyond its ends.
Scenario surveyLine(uint32_t seed) {
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    Scenario s{"survey line", {}, {}};
    PlanePoint at{3456000.0, 512000.0};
    double heading = 0.6;
    for (int i = 0; i < 400; ++i) {
        heading += (unit(rng) - 0.5) * 1.2;
        const double leg = 150.0 + unit(rng) * 300.0;
        PlanePoint next{at.x + std::sin(heading) * leg, at.y + std::cos(heading) * leg};
        s.segments.push_back({at, next});
        at = next;
    }
    s.segments.push_back({at, at});  // the last J stake names itself
    for (int i = 0; i < 3000; ++i) {
        const LineSegment& leg = s.segments[rng() % 400];
        const double along = -0.2 + unit(rng) * 1.4;
        const double spread = i % 10 == 0 ? 3000.0 : 80.0;
        s.points.push_back({leg.a.x + (leg.b.x - leg.a.x) * along + (unit(rng) - 0.5) * spread,
                            leg.a.y + (leg.b.y - leg.a.y) * along + (unit(rng) - 0.5) * spread});
    }
    for (const LineSegment& leg : s.segments) {
        s.points.push_back(leg.a);
        s.points.push_back({leg.a.x + (leg.a.x - leg.b.x), leg.a.y + (leg.a.y - leg.b.y)});
    }
    for (int i = 0; i < 200; ++i)
        s.points.push_back(
            {3456000.0 + (unit(rng) - 0.5) * 4e5, 512000.0 + (unit(rng) - 0.5) * 4e5});
    return s;
}

// Segments far apart, one very long, one with coordinates too large for a grid.
Scenario scattered(uint32_t seed) {
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    Scenario s{"scattered", {}, {}};
    for (int i = 0; i < 40; ++i) {
        const PlanePoint a{unit(rng) * 1e6, unit(rng) * 1e6};
        s.segments.push_back({a, {a.x + unit(rng) * 500, a.y + unit(rng) * 500}});
    }
    s.segments.push_back({{-9e5, -9e5}, {9e5, 8e5}});
    s.segments.push_back({{1e13, 0}, {1e13, 1e3}});
    s.segments.push_back({{0, 0}, {0, 0.0001}});
    for (int i = 0; i < 3000; ++i)
        s.points.push_back({unit(rng) * 1.2e6, unit(rng) * 1.2e6});
    for (const LineSegment& seg : s.segments)
        s.points.push_back({(seg.a.x + seg.b.x) / 2 + 3, (seg.a.y + seg.b.y) / 2 - 4});
    s.points.push_back({1e13 + 5, 500});
    s.points.push_back({2e15, -3e14});
    s.points.push_back({0.00001, 0.00005});
    return s;
}

TEST(SegmentGrid, ReturnsWhatTheScanReturns) {
    int ties = 0, none = 0, close = 0, queries = 0;
    for (uint32_t seed : {1u, 2u}) {
        for (const Scenario& s : {integerLattice(seed), surveyLine(seed), scattered(seed)}) {
            SegmentGrid grid(s.segments);
            std::mt19937 rng(seed);
            for (PlanePoint p : s.points) {
                const NearestSegments want = nearestSegmentsByScan(s.segments, p, 0.01);
                const NearestSegments got = grid.nearest(p, 0.01);
                ++queries;
                ASSERT_EQ(got.best, want.best) << s.what << " at " << p.x << ", " << p.y;
                ASSERT_EQ(got.bestDistance, want.bestDistance) << s.what;
                ASSERT_EQ(got.closeRunnerUp, want.closeRunnerUp)
                    << s.what << " at " << p.x << ", " << p.y;

                // With a maximum distance: the scan's answer when it is near enough.
                const double limit = std::uniform_real_distribution<double>(0, 60)(rng);
                const NearestSegments capped = grid.nearest(p, 0.01, limit);
                if (want.best >= 0 && want.bestDistance <= limit) {
                    ASSERT_EQ(capped.best, want.best) << s.what;
                    ASSERT_EQ(capped.closeRunnerUp, want.closeRunnerUp) << s.what;
                } else {
                    ASSERT_EQ(capped.best, -1) << s.what;
                }

                none += want.best < 0;
                close += want.closeRunnerUp;
                if (want.best >= 0 && want.closeRunnerUp) {
                    for (size_t k = 0; k < s.segments.size(); ++k) {
                        const auto foot = PerpendicularFoot(s.segments[k].a, s.segments[k].b, p);
                        if (static_cast<int>(k) != want.best && foot.inside &&
                            foot.d == want.bestDistance) {
                            ++ties;
                            break;
                        }
                    }
                }
            }
        }
    }
    // The data must exercise what the comparison is about.
    EXPECT_GT(ties, 500);
    EXPECT_GT(none, 300);
    EXPECT_GT(close, ties);
    EXPECT_GT(queries, 15000);
}

TEST(SegmentGrid, EmptyAndDegenerateSets) {
    SegmentGrid empty(std::vector<LineSegment>{});
    EXPECT_EQ(empty.nearest({1, 2}, 0.01).best, -1);
    const std::vector<LineSegment> points{{{1, 1}, {1, 1}}, {{2, 2}, {2, 2}}};
    SegmentGrid onlyPoints(points);
    EXPECT_EQ(onlyPoints.nearest({1, 1}, 0.01).best, -1);
    const std::vector<LineSegment> one{{{0, 0}, {0, 100}}};
    SegmentGrid single(one);
    EXPECT_EQ(single.nearest({10, 40}, 0.01).best, 0);
    EXPECT_DOUBLE_EQ(single.nearest({10, 40}, 0.01).bestDistance, 10.0);
    EXPECT_EQ(single.nearest({10, 140}, 0.01).best, -1);
}

}  // namespace
}  // namespace corvane
