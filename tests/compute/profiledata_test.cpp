#include "profiledata.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "angles.h"
#include "cellnumber.h"
#include "columns.h"
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
        labels.emplace_back(profileLabel(table, p));
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

// Tables large enough to be read in parts and sorted in parts: the points must come
// in ascending distance, equal distances in table order, whatever order the table
// holds them in, with rows without a numeric distance left out.
TEST(Profile, LargeTablesComeInStableDistanceOrder) {
    struct Case {
        const char* what;
        std::string (*distance)(int row);
    } cases[] = {
        {"ascending, runs of equal distances", [](int r) { return std::to_string(r / 7) + ".5"; }},
        {"descending", [](int r) { return std::to_string(50000 - r) + ".25"; }},
        {"shuffled within legs, ties, gaps and signs",
         [](int r) -> std::string {
             if (r % 13 == 0)
                 return r % 2 ? "-.-" : "";
             const int leg = r / 100;
             const int along = (r * 37) % 100 / 3;  // ties within a leg
             return (r % 29 == 0 ? "-" : "") + std::to_string(leg * 40 + along) + "." +
                    std::to_string(r % 3);
         }},
    };
    constexpr int kRows = 40000;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<Row> rows;
        for (int r = 0; r < kRows; ++r) {
            const std::string_view type = r % 50 == 0   ? kJStake
                                          : r % 17 == 0 ? kOnePointCrossedObject
                                                        : kOrdinaryPoint;
            rows.push_back(rowOf({.name = "P" + std::to_string(r),
                                  .north = std::to_string(r % 91),
                                  .east = std::to_string(r % 89),
                                  .height = std::to_string(r % 113) + ".125",
                                  .distance = c.distance(r),
                                  .type = type,
                                  .crossing = "10KV----------32",
                                  .measuredHeight = std::to_string(r % 7)}));
        }
        PointTable table;
        table.replaceAll(std::move(rows), {});

        // The expected order, worked out the plain way.
        std::vector<std::pair<double, int>> expected;
        for (int r = 0; r < kRows; ++r)
            if (startsWithNumber(table.text(r, ColDistance)))
                expected.emplace_back(readNumber(table.text(r, ColDistance)), r);
        std::stable_sort(expected.begin(), expected.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });

        const ProfileData data = buildProfile(table);
        ASSERT_EQ(data.points.size(), expected.size());
        std::vector<int> stakes;
        std::vector<int> marks;
        for (size_t i = 0; i < expected.size(); ++i) {
            const ProfilePoint& p = data.points[i];
            const int r = expected[i].second;
            ASSERT_EQ(p.row, r) << "point " << i;
            EXPECT_EQ(p.distance, expected[i].first);
            EXPECT_EQ(p.elevation, readNumber(table.text(r, ColHeight)));
            EXPECT_EQ(p.height, static_cast<float>(readNumber(table.text(r, ColMeasuredHeight))));
            const bool crossed = table.text(r, ColPointType) == kOnePointCrossedObject;
            EXPECT_EQ(profileLabel(table, p),
                      crossed ? table.text(r, ColCrossing) : table.text(r, ColName));
            if (p.kind == ProfilePoint::Kind::JStake)
                stakes.push_back(static_cast<int>(i));
            else if (p.kind != ProfilePoint::Kind::Ground)
                marks.push_back(static_cast<int>(i));
        }
        EXPECT_EQ(data.stakes, stakes);
        EXPECT_EQ(data.marks, marks);
        EXPECT_EQ(data.minDistance, expected.front().first);
        EXPECT_EQ(data.maxDistance, expected.back().first);
    }
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

namespace corvane {
namespace {

// Every field the drawing reads, so that an updated section can be compared with one
// built afresh.
void expectSameProfile(const ProfileData& updated, const ProfileData& built) {
    ASSERT_EQ(updated.points.size(), built.points.size());
    for (size_t i = 0; i < built.points.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(updated.points[i].row, built.points[i].row);
        EXPECT_EQ(updated.points[i].kind, built.points[i].kind);
        EXPECT_EQ(updated.points[i].distance, built.points[i].distance);
    }
    for (size_t i = 0; i < built.points.size(); ++i)
        EXPECT_EQ(updated.points[i].elevation, built.points[i].elevation) << i;
    EXPECT_EQ(updated.stakes, built.stakes);
    EXPECT_EQ(updated.turns, built.turns);
    EXPECT_EQ(updated.marks, built.marks);
    EXPECT_EQ(updated.markKinds, built.markKinds);
    EXPECT_EQ(updated.markTops, built.markTops);
    EXPECT_EQ(updated.blockRanges, built.blockRanges);
    EXPECT_EQ(updated.pointOfRow, built.pointOfRow);
    EXPECT_EQ(updated.minDistance, built.minDistance);
    EXPECT_EQ(updated.maxDistance, built.maxDistance);
    EXPECT_EQ(updated.minElevation, built.minElevation);
    EXPECT_EQ(updated.maxElevation, built.maxElevation);
}

// A line of four J stakes turning at J2 and J3, with points of equal distance (kept
// in table order), points without a distance, a crossing that is the highest top, and
// enough ground points to fill more than one elevation block.
void loadSectionFixture(PointTable& table) {
    std::vector<Row> rows;
    rows.push_back(test::rowOf({.name = "J1",
                                .north = "0",
                                .east = "0",
                                .height = "50",
                                .distance = "0",
                                .type = kJStake}));
    for (int i = 0; i < 150; ++i) {
        const std::string d = std::to_string(i % 7 == 0 ? 40 : i);  // ties at 40
        const std::string h = std::to_string(40 + (i * 37) % 23);
        rows.push_back(test::rowOf(
            {.name = "P" + std::to_string(i), .height = h, .distance = i % 11 == 5 ? "-.-" : d}));
    }
    rows.push_back(test::rowOf({.name = "J2",
                                .north = "100",
                                .east = "0",
                                .height = "51",
                                .distance = "100",
                                .type = kJStake}));
    rows.push_back(test::rowOf({.name = "X",
                                .height = "49",
                                .distance = "120",
                                .type = kOnePointCrossedObject,
                                .crossing = "10KV----------32",
                                .measuredHeight = "30"}));
    rows.push_back(test::rowOf({.name = "J3",
                                .north = "100",
                                .east = "100",
                                .height = "48",
                                .distance = "200",
                                .type = kJStake}));
    rows.push_back(test::rowOf({.name = "Z", .height = "47", .distance = "40", .type = kZStake}));
    rows.push_back(test::rowOf({.name = "J4",
                                .north = "200",
                                .east = "200",
                                .height = "46",
                                .distance = "341.421",
                                .type = kJStake}));
    table.replaceAll(std::move(rows), {});
}

TEST(ProfileUpdate, FollowsEachRowTakenOutAndPutBack) {
    PointTable table;
    loadSectionFixture(table);
    const int rows = table.rowCount();
    // Every row in turn: the first and last stakes, a turn, ties, rows without distance.
    for (int r = 0; r < rows; ++r) {
        SCOPED_TRACE(r);
        ProfileData data = buildProfile(table);
        table.removeRows({r});
        removeProfileRows(data, table, r, r);
        expectSameProfile(data, buildProfile(table));
        table.undo();
        insertProfileRow(data, table, r);
        expectSameProfile(data, buildProfile(table));
    }
}

TEST(ProfileUpdate, StakesTurnAsTheLineDoes) {
    // J1 (0, 0) -> J2 (100, 0) -> J3 (100, 100) -> J4 (200, 200): a right angle at J2,
    // half of one at J3; the ends count as the sharpest.
    PointTable table;
    loadSectionFixture(table);
    const ProfileData data = buildProfile(table);
    ASSERT_EQ(data.turns.size(), 4u);
    EXPECT_DOUBLE_EQ(data.turns[0], kPi);
    EXPECT_NEAR(data.turns[1], kPi / 2, 1e-12);
    EXPECT_NEAR(data.turns[2], kPi / 4, 1e-12);
    EXPECT_DOUBLE_EQ(data.turns[3], kPi);
}

TEST(ProfileUpdate, FollowsARangeTakenOut) {
    PointTable table;
    loadSectionFixture(table);
    ProfileData data = buildProfile(table);
    table.removeRows({3, 4, 5, 6});
    removeProfileRows(data, table, 3, 6);
    expectSameProfile(data, buildProfile(table));
}

TEST(ProfileUpdate, AnEmptyRowPutInMovesTheRowsAfterIt) {
    PointTable table;
    loadSectionFixture(table);
    ProfileData data = buildProfile(table);
    table.insertRow(2);
    insertProfileRow(data, table, 2);
    expectSameProfile(data, buildProfile(table));
}

}  // namespace
}  // namespace corvane
