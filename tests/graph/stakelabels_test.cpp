#include "stakelabels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <utility>
#include <vector>

namespace corvane {
namespace {

struct Offered {
    int x;
    int width;
};

// Offers the stakes in order and keeps what each was given.
std::vector<StakeLabelPlacer::Placement> place(int left, int right,
                                               const std::vector<Offered>& stakes) {
    StakeLabelPlacer placer(left, right, 20);
    std::vector<StakeLabelPlacer::Placement> out;
    for (const Offered& s : stakes)
        out.push_back(placer.offer(s.x, [&] { return s.width; }));
    return out;
}

TEST(StakeLabels, NamesNeverOverlapAndStayInThePlot) {
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> column(64, 1200);
    std::uniform_int_distribution<int> width(20, 70);
    std::vector<Offered> stakes;
    for (int i = 0; i < 3000; ++i)
        stakes.push_back({column(rng), width(rng)});
    const auto placed = place(64, 1200, stakes);
    std::vector<std::pair<int, int>> spans;
    for (size_t i = 0; i < stakes.size(); ++i) {
        if (!placed[i].labelLeft)
            continue;
        const int from = *placed[i].labelLeft;
        const int to = from + stakes[i].width;
        EXPECT_GE(from, 64);
        EXPECT_LE(to, 1200);
        // Beside its own line, on one side or the other.
        EXPECT_TRUE(from == stakes[i].x + 3 || to == stakes[i].x - 3) << i;
        EXPECT_TRUE(placed[i].line) << "a named stake keeps its line";
        for (const auto& [a, b] : spans)
            EXPECT_TRUE(to < a || from > b) << "stake " << i << " over an earlier name";
        spans.emplace_back(from, to);
    }
    EXPECT_GT(spans.size(), 10u);
    EXPECT_LT(spans.size(), 40u) << "the band holds only so many names";
}

TEST(StakeLabels, TheFirstOfferedWinsAPlace) {
    // Two stakes 10 pixels apart: the one offered first gets its name right of it; the
    // other, with that side taken, goes left.
    const auto placed = place(0, 500, {{210, 40}, {200, 40}});
    EXPECT_EQ(placed[0].labelLeft, 213);
    EXPECT_EQ(placed[1].labelLeft, 200 - 3 - 40);
    // Offered the other way round, the other one wins.
    const auto reversed = place(0, 500, {{200, 40}, {210, 40}});
    EXPECT_EQ(reversed[0].labelLeft, 203);
    EXPECT_EQ(reversed[1].labelLeft, std::nullopt);
}

TEST(StakeLabels, AStakeAtTheRightEdgeIsNamedOnItsLeft) {
    const auto placed = place(0, 500, {{495, 40}});
    EXPECT_EQ(placed[0].labelLeft, 495 - 3 - 40);
}

TEST(StakeLabels, EveryStakeIsNamedWhenThereIsRoom) {
    // Stakes 100 pixels apart with names of 45 fit on either side of each, so every one
    // is named whatever the order they come in, the last one included.
    std::vector<Offered> stakes;
    for (int x = 10; x < 1000; x += 100)
        stakes.push_back({x, 45});
    std::mt19937 rng(2);
    for (int round = 0; round < 5; ++round) {
        std::shuffle(stakes.begin(), stakes.end(), rng);
        for (const auto& p : place(0, 1000, stakes))
            EXPECT_TRUE(p.labelLeft && p.line);
    }
}

TEST(StakeLabels, UnnamedLinesAreThinnedToThreePixels) {
    // A dense run of stakes whose names cannot all fit: every column from 100 to 199.
    std::vector<Offered> stakes;
    for (int x = 100; x < 200; ++x)
        stakes.push_back({x, 60});
    const auto placed = place(0, 1000, stakes);
    std::vector<int> drawn;
    for (size_t i = 0; i < stakes.size(); ++i) {
        if (!placed[i].line)
            continue;
        if (!placed[i].labelLeft) {
            for (int x : drawn)
                EXPECT_GT(std::abs(stakes[i].x - x), 3) << "an unnamed line beside another";
        }
        drawn.push_back(stakes[i].x);
    }
    EXPECT_GE(drawn.size(), 100u / 8);
}

TEST(StakeLabels, NoRoomIsSeenWithoutMeasuring) {
    StakeLabelPlacer placer(0, 300, 20);
    ASSERT_TRUE(placer.offer(100, [] { return 150; }).labelLeft);  // 103 to 253
    int measured = 0;
    placer.offer(150, [&] {
        ++measured;
        return 30;
    });
    EXPECT_EQ(measured, 0);
}

}  // namespace
}  // namespace corvane
