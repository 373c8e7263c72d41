#include "profiledata.h"

#include <gtest/gtest.h>

#include "pointtable.h"
#include "rowbuilder.h"
#include "vocabularies.h"

namespace corvane {
namespace {

using test::rowOf;

TEST(Profile, TakesRowsWithANumericDistanceInMileageOrder) {
    PointTable table;
    std::vector<Row> rows;
    rows.push_back(rowOf({.name = "J1", .height = "50", .distance = "100.000", .type = kJStake}));
    rows.push_back(rowOf({.name = "far", .height = "52", .distance = "300"}));
    rows.push_back(rowOf({.name = "lost", .height = "99", .distance = "-.-"}));
    rows.push_back(rowOf({.name = "empty", .height = "99"}));
    rows.push_back(rowOf({.name = "line",
                          .height = "51",
                          .distance = "200",
                          .type = kOnePointCrossedObject,
                          .crossing = "10KV----------32",
                          .measuredHeight = "12.5"}));
    rows.push_back(rowOf({.name = "house",
                          .height = "49",
                          .distance = "200",
                          .type = kOnePointObject,
                          .crossing = "房屋(201)",
                          .measuredHeight = "6"}));
    rows.push_back(rowOf({.name = "road",
                          .height = "48",
                          .distance = "250",
                          .type = kOnePointObject,
                          .crossing = "公路(184)",
                          .measuredHeight = "0"}));
    rows.push_back(rowOf({.name = "Z", .height = "50", .distance = "150", .type = kZStake}));
    table.replaceAll(std::move(rows), {});

    ProfileData data = buildProfile(table);
    std::vector<std::string> labels;
    std::vector<ProfilePoint::Kind> kinds;
    for (const auto& p : data.points) {
        labels.push_back(p.label);
        kinds.push_back(p.kind);
    }
    using K = ProfilePoint::Kind;
    EXPECT_EQ(labels, (std::vector<std::string>{"J1", "Z", "10KV----------32", "house", "公路(184)",
                                                "far"}));
    EXPECT_EQ(kinds, (std::vector<K>{K::JStake, K::ZStake, K::CrossedLine, K::House, K::Object,
                                     K::Ground}));
    EXPECT_DOUBLE_EQ(data.minDistance, 100.0);
    EXPECT_DOUBLE_EQ(data.maxDistance, 300.0);
    EXPECT_DOUBLE_EQ(data.minElevation, 48.0);
    EXPECT_DOUBLE_EQ(data.maxElevation, 63.5);  // the crossed line's top
}

TEST(Profile, NiceTicksAreRoundNumbers) {
    struct Case {
        double low, high;
        int count;
        std::vector<double> ticks;
    } cases[] = {
        {0, 1000, 5, {0, 200, 400, 600, 800, 1000}},
        {12.3, 57.9, 4, {20, 40}},
        {-3, 3, 3, {-2, 0, 2}},
        {0.01, 0.05, 4, {0.01, 0.02, 0.03, 0.04, 0.05}},
        {5, 5, 4, {}},
        {7, 3, 4, {}},
    };
    for (const auto& c : cases) {
        std::vector<double> ticks = niceTicks(c.low, c.high, c.count);
        ASSERT_EQ(ticks.size(), c.ticks.size()) << c.low << ".." << c.high;
        for (size_t i = 0; i < ticks.size(); ++i)
            EXPECT_NEAR(ticks[i], c.ticks[i], 1e-12);
    }
}

}  // namespace
}  // namespace corvane
