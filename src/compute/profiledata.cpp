#include "profiledata.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string_view>

#include "angles.h"
#include "cellnumber.h"
#include "columns.h"
#include "largebuffer.h"
#include "parallelparts.h"
#include "pointtable.h"
#include "vocabularies.h"

namespace corvane {
namespace {

using RowCells = std::array<std::string_view, kColumnCount>;

ProfilePoint::Kind kindOf(const RowCells& cells) {
    std::string_view type = cells[ColPointType];
    if (type == kJStake)
        return ProfilePoint::Kind::JStake;
    if (type == kZStake)
        return ProfilePoint::Kind::ZStake;
    if (type == kOnePointCrossedObject)
        return ProfilePoint::Kind::CrossedLine;
    if (type == kThreePointHouse)
        return ProfilePoint::Kind::House;
    if (type == kOnePointObject || type == kTwoPointObject)
        return isHouseCode(crossingCode(cells[ColCrossing])) ? ProfilePoint::Kind::House
                                                             : ProfilePoint::Kind::Object;
    return ProfilePoint::Kind::Ground;
}

// The point of a row whose distance has been read already.
ProfilePoint pointOf(const RowCells& cells, int row, double distance) {
    ProfilePoint p;
    p.kind = kindOf(cells);
    p.row = row;
    p.distance = distance;
    p.elevation = readNumber(cells[ColHeight]);
    p.height = std::max(0.0, readNumber(cells[ColMeasuredHeight]));
    p.width = std::max(0.0, readNumber(cells[ColWidth]));
    p.label = p.kind == ProfilePoint::Kind::CrossedLine || p.kind == ProfilePoint::Kind::Object
                  ? std::string(cells[ColCrossing])
                  : std::string(cells[ColName]);
    return p;
}

// A row with a numeric distance, by its distance and its place in the table.
using DistanceKey = std::pair<double, uint32_t>;

// The rows with a numeric distance in ascending distance, rows of equal distance in
// table order. The distances are read on every core; a survey's cumulative distances
// mostly are in order already, and when they are not, only these compact keys are
// sorted (the row breaks ties, so the order is the stable one; readNumber gives finite
// numbers only, so the keys order strictly).
std::vector<DistanceKey> distanceOrder(const PointTable& table) {
    const size_t rows = static_cast<size_t>(table.rowCount());
    const size_t parts = partsFor(rows);
    // Each part writes its keys from the start of its stretch of rows; the stretches
    // are then closed up.
    std::vector<DistanceKey> keys;
    assignLarge(keys, rows);
    std::vector<size_t> found(parts, 0);
    runInParts(rows, parts, [&](size_t part, size_t begin, size_t end) {
        size_t at = begin;
        for (size_t r = begin; r < end; ++r) {
            const std::string_view distance = table.rowAt(static_cast<int>(r)).cell(ColDistance);
            if (startsWithNumber(distance))
                keys[at++] = {readNumber(distance), static_cast<uint32_t>(r)};
        }
        found[part] = at - begin;
    });
    size_t kept = found[0];
    for (size_t k = 1; k < parts; ++k) {
        const size_t from = rows * k / parts;
        if (from != kept)
            std::copy(keys.begin() + static_cast<std::ptrdiff_t>(from),
                      keys.begin() + static_cast<std::ptrdiff_t>(from + found[k]),
                      keys.begin() + static_cast<std::ptrdiff_t>(kept));
        kept += found[k];
    }
    keys.resize(kept);
    const auto nearer = [](const DistanceKey& a, const DistanceKey& b) {
        return a.first < b.first;
    };
    if (std::is_sorted(keys.begin(), keys.end(), nearer))
        return keys;
    const auto cut = [&](size_t k) {
        return keys.begin() + static_cast<std::ptrdiff_t>(keys.size() * k / parts);
    };
    runInParts(keys.size(), parts,
               [&](size_t part, size_t, size_t) { std::sort(cut(part), cut(part + 1)); });
    for (size_t k = 1; k < parts; ++k)
        std::inplace_merge(keys.begin(), cut(k), cut(k + 1));
    return keys;
}

// The points of the rows `order` names, in that order, with their distances and
// elevations beside them; made on every core, each straight into its place.
void collectPoints(const PointTable& table, const std::vector<DistanceKey>& order,
                   ProfileData& data) {
    const size_t n = order.size();
    assignLarge(data.points, n);
    assignLarge(data.distances, n);
    assignLarge(data.elevations, n);
    runInParts(n, partsFor(n), [&](size_t, size_t begin, size_t end) {
        // Rows are taken in distance order, which strays about the table where the
        // distances are not in order; their texts are asked for a few rows ahead.
        constexpr size_t kAhead = 8;
        for (size_t i = begin; i < std::min(begin + kAhead, end); ++i)
            table.rowAt(static_cast<int>(order[i].second)).prefetch();
        for (size_t i = begin; i < end; ++i) {
            if (i + kAhead < end)
                table.rowAt(static_cast<int>(order[i + kAhead].second)).prefetch();
            const int row = static_cast<int>(order[i].second);
            ProfilePoint& p = data.points[i];
            p = pointOf(table.rowAt(row).cells(ColWidth), row, order[i].first);
            data.distances[i] = p.distance;
            data.elevations[i] = p.elevation;
        }
    });
}

// How sharply the line turns at each J stake, from the stakes' plane positions in
// distance order, so that the section can label the turning points first.
void measureTurns(const PointTable& table, std::vector<ProfilePoint>& points) {
    std::vector<size_t> stakes;
    for (size_t i = 0; i < points.size(); ++i)
        if (points[i].kind == ProfilePoint::Kind::JStake)
            stakes.push_back(i);
    const auto north = [&](size_t i) { return readNumber(table.text(points[i].row, ColNorth)); };
    const auto east = [&](size_t i) { return readNumber(table.text(points[i].row, ColEast)); };
    for (size_t k = 0; k < stakes.size(); ++k) {
        ProfilePoint& p = points[stakes[k]];
        if (k == 0 || k + 1 == stakes.size()) {
            p.turn = kPi;
            continue;
        }
        const size_t a = stakes[k - 1], b = stakes[k], c = stakes[k + 1];
        const double in = DirectionFromEast(north(a), east(a), north(b), east(b));
        const double out = DirectionFromEast(north(b), east(b), north(c), east(c));
        const double turn = std::fabs(std::remainder(out - in, kTwoPi));
        p.turn = std::isfinite(turn) ? turn : 0.0;
    }
}

}  // namespace

ProfileData buildProfile(const PointTable& table) {
    ProfileData data;
    collectPoints(table, distanceOrder(table), data);
    if (data.points.empty())
        return data;
    measureTurns(table, data.points);
    for (size_t i = 0; i < data.points.size(); ++i) {
        const ProfilePoint& p = data.points[i];
        if (p.kind == ProfilePoint::Kind::JStake)
            data.stakes.push_back(static_cast<int>(i));
        else if (p.kind != ProfilePoint::Kind::Ground) {
            data.marks.push_back(static_cast<int>(i));
            data.markKinds.push_back(p.kind);
            data.markTops.push_back(p.elevation + p.height);
        }
    }
    for (size_t b = 0; b < data.elevations.size(); b += ProfileData::kBlock) {
        const auto end =
            data.elevations.begin() +
            static_cast<std::ptrdiff_t>(std::min(b + ProfileData::kBlock, data.elevations.size()));
        const auto [low, high] =
            std::minmax_element(data.elevations.begin() + static_cast<std::ptrdiff_t>(b), end);
        data.blockRanges.emplace_back(*low, *high);
    }
    data.minDistance = data.points.front().distance;
    data.maxDistance = data.points.back().distance;
    data.minElevation = data.maxElevation = data.points.front().elevation;
    for (const ProfilePoint& p : data.points) {
        data.minElevation = std::min(data.minElevation, p.elevation);
        data.maxElevation = std::max(data.maxElevation, p.elevation + p.height);
    }
    return data;
}

std::vector<double> niceTicks(double low, double high, int count) {
    std::vector<double> ticks;
    if (!(high > low) || count < 1 || !std::isfinite(low) || !std::isfinite(high))
        return ticks;
    double raw = (high - low) / count;
    double power = std::pow(10.0, std::floor(std::log10(raw)));
    double step = power;
    for (double m : {1.0, 2.0, 5.0, 10.0}) {
        step = m * power;
        if (step >= raw)
            break;
    }
    double first = std::ceil(low / step - 1e-9) * step;
    for (double t = first; t <= high + step * 1e-9; t += step) {
        double rounded = std::round(t / step) * step;
        ticks.push_back(rounded == 0.0 ? 0.0 : rounded);
        if (ticks.size() > 1000)
            break;
    }
    return ticks;
}

}  // namespace corvane
