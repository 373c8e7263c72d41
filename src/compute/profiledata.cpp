#include "profiledata.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "angles.h"
#include "cellnumber.h"
#include "columns.h"
#include "pointtable.h"
#include "vocabularies.h"

namespace corvane {
namespace {

ProfilePoint::Kind kindOf(const PointTable& table, int row) {
    std::string_view type = table.text(row, ColPointType);
    if (type == kJStake)
        return ProfilePoint::Kind::JStake;
    if (type == kZStake)
        return ProfilePoint::Kind::ZStake;
    if (type == kOnePointCrossedObject)
        return ProfilePoint::Kind::CrossedLine;
    if (type == kThreePointHouse)
        return ProfilePoint::Kind::House;
    if (type == kOnePointObject || type == kTwoPointObject)
        return isHouseCode(crossingCode(table.text(row, ColCrossing))) ? ProfilePoint::Kind::House
                                                                       : ProfilePoint::Kind::Object;
    return ProfilePoint::Kind::Ground;
}

// How sharply the line turns at each J stake, from the stakes' plane positions in
// distance order, so that the section can label the turning points first.
void measureTurns(const PointTable& table, ProfileData& data) {
    const std::vector<int>& stakes = data.stakes;
    auto& points = data.points;
    const auto north = [&](int i) {
        return readNumber(table.text(points[static_cast<size_t>(i)].row, ColNorth));
    };
    const auto east = [&](int i) {
        return readNumber(table.text(points[static_cast<size_t>(i)].row, ColEast));
    };
    for (size_t k = 0; k < stakes.size(); ++k) {
        ProfilePoint& p = points[static_cast<size_t>(stakes[k])];
        if (k == 0 || k + 1 == stakes.size()) {
            p.turn = kPi;
            continue;
        }
        const int a = stakes[k - 1], b = stakes[k], c = stakes[k + 1];
        const double in = DirectionFromEast(north(a), east(a), north(b), east(b));
        const double out = DirectionFromEast(north(b), east(b), north(c), east(c));
        const double turn = std::fabs(std::remainder(out - in, kTwoPi));
        p.turn = std::isfinite(turn) ? turn : 0.0;
    }
}

// The point of row `row`, when its cumulative distance is a number.
std::optional<ProfilePoint> profilePointOf(const PointTable& table, int r) {
    std::string_view distance = table.text(r, ColDistance);
    if (!startsWithNumber(distance))
        return std::nullopt;
    ProfilePoint p;
    p.kind = kindOf(table, r);
    p.row = r;
    p.distance = readNumber(distance);
    p.elevation = readNumber(table.text(r, ColHeight));
    p.height = std::max(0.0, readNumber(table.text(r, ColMeasuredHeight)));
    p.width = std::max(0.0, readNumber(table.text(r, ColWidth)));
    p.label = p.kind == ProfilePoint::Kind::CrossedLine || p.kind == ProfilePoint::Kind::Object
                  ? std::string(table.text(r, ColCrossing))
                  : std::string(table.text(r, ColName));
    return p;
}

// Ascending distance, rows of equal distance in table order.
bool drawnBefore(const ProfilePoint& a, const ProfilePoint& b) {
    return a.distance < b.distance || (a.distance == b.distance && a.row < b.row);
}

// Everything derived from the sorted points: the compact columns, the blocks, the
// extents, the turns and the points of the rows.
void reindex(ProfileData& data, const PointTable& table, int rowCount) {
    data.distances.clear();
    data.elevations.clear();
    data.stakes.clear();
    data.marks.clear();
    data.markKinds.clear();
    data.markTops.clear();
    data.blockRanges.clear();
    data.pointOfRow.assign(static_cast<size_t>(std::max(rowCount, 0)), -1);
    data.distances.reserve(data.points.size());
    data.elevations.reserve(data.points.size());
    data.minDistance = data.maxDistance = data.minElevation = data.maxElevation = 0.0;
    if (data.points.empty())
        return;
    data.minElevation = data.maxElevation = data.points.front().elevation;
    for (size_t i = 0; i < data.points.size(); ++i) {
        const ProfilePoint& p = data.points[i];
        data.distances.push_back(p.distance);
        data.elevations.push_back(p.elevation);
        if (p.row >= 0 && p.row < rowCount)
            data.pointOfRow[static_cast<size_t>(p.row)] = static_cast<int>(i);
        data.minElevation = std::min(data.minElevation, p.elevation);
        data.maxElevation = std::max(data.maxElevation, p.elevation + p.height);
        if (p.kind == ProfilePoint::Kind::JStake) {
            data.stakes.push_back(static_cast<int>(i));
        } else if (p.kind != ProfilePoint::Kind::Ground) {
            data.marks.push_back(static_cast<int>(i));
            data.markKinds.push_back(p.kind);
            data.markTops.push_back(p.elevation + p.height);
        }
    }
    for (size_t b = 0; b < data.elevations.size(); b += ProfileData::kBlock) {
        const auto begin = data.elevations.begin() + static_cast<std::ptrdiff_t>(b);
        const auto end =
            data.elevations.begin() +
            static_cast<std::ptrdiff_t>(std::min(b + ProfileData::kBlock, data.elevations.size()));
        const auto [low, high] = std::minmax_element(begin, end);
        data.blockRanges.emplace_back(*low, *high);
    }
    data.minDistance = data.points.front().distance;
    data.maxDistance = data.points.back().distance;
    measureTurns(table, data);
}

}  // namespace

ProfileData buildProfile(const PointTable& table) {
    ProfileData data;
    const int rows = table.rowCount();
    for (int r = 0; r < rows; ++r)
        if (std::optional<ProfilePoint> p = profilePointOf(table, r))
            data.points.push_back(std::move(*p));
    std::stable_sort(data.points.begin(), data.points.end(), drawnBefore);
    reindex(data, table, rows);
    return data;
}

void removeProfileRows(ProfileData& data, const PointTable& table, int first, int last) {
    const int count = last - first + 1;
    std::vector<int> gone;
    for (int r = std::max(first, 0); r <= last && r < static_cast<int>(data.pointOfRow.size()); ++r)
        if (data.pointOfRow[static_cast<size_t>(r)] >= 0)
            gone.push_back(data.pointOfRow[static_cast<size_t>(r)]);
    std::sort(gone.begin(), gone.end());
    // Close the gaps in one sweep, renumbering the rows after the removed ones.
    size_t kept = 0;
    auto next = gone.begin();
    for (size_t i = 0; i < data.points.size(); ++i) {
        if (next != gone.end() && static_cast<size_t>(*next) == i) {
            ++next;
            continue;
        }
        ProfilePoint& p = data.points[i];
        if (p.row > last)
            p.row -= count;
        if (kept != i)
            data.points[kept] = std::move(p);
        ++kept;
    }
    data.points.resize(kept);
    reindex(data, table, table.rowCount());
}

void insertProfileRow(ProfileData& data, const PointTable& table, int row) {
    for (ProfilePoint& p : data.points)
        if (p.row >= row)
            ++p.row;
    if (std::optional<ProfilePoint> p = profilePointOf(table, row)) {
        const auto at = std::upper_bound(data.points.begin(), data.points.end(), *p, drawnBefore);
        data.points.insert(at, std::move(*p));
    }
    reindex(data, table, table.rowCount());
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
