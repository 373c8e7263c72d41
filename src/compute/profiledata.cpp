#include "profiledata.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
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
    p.height = static_cast<float>(std::max(0.0, readNumber(cells[ColMeasuredHeight])));
    p.width = static_cast<float>(std::max(0.0, readNumber(cells[ColWidth])));
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
        }
    });
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
    data.turns.assign(stakes.size(), kPi);
    for (size_t k = 1; k + 1 < stakes.size(); ++k) {
        const int a = stakes[k - 1], b = stakes[k], c = stakes[k + 1];
        const double in = DirectionFromEast(north(a), east(a), north(b), east(b));
        const double out = DirectionFromEast(north(b), east(b), north(c), east(c));
        const double turn = std::fabs(std::remainder(out - in, kTwoPi));
        data.turns[k] = std::isfinite(turn) ? turn : 0.0;
    }
}

// The point of row `r`, when its cumulative distance is a number.
std::optional<ProfilePoint> profilePointOf(const PointTable& table, int r) {
    const RowCells cells = table.rowAt(r).cells(ColWidth);
    if (!startsWithNumber(cells[ColDistance]))
        return std::nullopt;
    return pointOf(cells, r, readNumber(cells[ColDistance]));
}

// Ascending distance, rows of equal distance in table order.
bool drawnBefore(const ProfilePoint& a, const ProfilePoint& b) {
    return a.distance < b.distance || (a.distance == b.distance && a.row < b.row);
}

// The lowest and highest elevation of the blocks from the one holding point `from` on,
// after the points from there moved by one place.
void remeasureBlocks(ProfileData& data, size_t from) {
    const size_t n = data.points.size();
    data.blockRanges.resize((n + ProfileData::kBlock - 1) / ProfileData::kBlock);
    for (size_t b = from / ProfileData::kBlock; b < data.blockRanges.size(); ++b) {
        const size_t end = std::min((b + 1) * ProfileData::kBlock, n);
        double low = data.points[b * ProfileData::kBlock].elevation;
        double high = low;
        for (size_t i = b * ProfileData::kBlock + 1; i < end; ++i) {
            low = std::min(low, data.points[i].elevation);
            high = std::max(high, data.points[i].elevation);
        }
        data.blockRanges[b] = {low, high};
    }
}

// Everything derived from the sorted points: the compact columns, the blocks, the
// extents, the turns and the points of the rows.
void reindex(ProfileData& data, const PointTable& table, int rowCount) {
    data.stakes.clear();
    data.marks.clear();
    data.markKinds.clear();
    data.markTops.clear();
    data.blockRanges.clear();
    assignLarge(data.pointOfRow, static_cast<size_t>(std::max(rowCount, 0)), -1);
    data.minDistance = data.maxDistance = data.minElevation = data.maxElevation = 0.0;
    if (data.points.empty())
        return;
    data.minElevation = data.maxElevation = data.points.front().elevation;
    for (size_t i = 0; i < data.points.size(); ++i) {
        const ProfilePoint& p = data.points[i];
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
    remeasureBlocks(data, 0);
    data.minDistance = data.points.front().distance;
    data.maxDistance = data.points.back().distance;
    measureTurns(table, data);
}

void remeasureExtents(ProfileData& data) {
    if (data.points.empty()) {
        data.minDistance = data.maxDistance = data.minElevation = data.maxElevation = 0.0;
        return;
    }
    data.minDistance = data.points.front().distance;
    data.maxDistance = data.points.back().distance;
    data.minElevation = data.maxElevation = data.points.front().elevation;
    for (const ProfilePoint& p : data.points) {
        data.minElevation = std::min(data.minElevation, p.elevation);
        data.maxElevation = std::max(data.maxElevation, p.elevation + p.height);
    }
}

// The place of point `index` in a list of ascending point indices.
std::vector<int>::iterator placeIn(std::vector<int>& list, int index) {
    return std::lower_bound(list.begin(), list.end(), index);
}

// The derived columns after point `index` (of row `row`) left: everything after it
// moves down by one place.
void followRemoval(ProfileData& data, const PointTable& table, int index, int row,
                   const ProfilePoint& removed) {
    const auto shift = [index](std::vector<int>& list) {
        for (auto it = placeIn(list, index); it != list.end(); ++it)
            --*it;
    };
    if (removed.kind == ProfilePoint::Kind::JStake) {
        data.stakes.erase(placeIn(data.stakes, index));
    } else if (removed.kind != ProfilePoint::Kind::Ground) {
        const auto mark = placeIn(data.marks, index);
        const auto m = mark - data.marks.begin();
        data.markKinds.erase(data.markKinds.begin() + m);
        data.markTops.erase(data.markTops.begin() + m);
        data.marks.erase(mark);
    }
    shift(data.stakes);
    shift(data.marks);
    data.pointOfRow.erase(data.pointOfRow.begin() + row);
    for (int& p : data.pointOfRow)
        if (p > index)
            --p;
    remeasureBlocks(data, static_cast<size_t>(index));
    // Only a point at an edge of the extents moves them.
    if (removed.distance <= data.minDistance || removed.distance >= data.maxDistance ||
        removed.elevation <= data.minElevation ||
        removed.elevation + removed.height >= data.maxElevation)
        remeasureExtents(data);
    if (removed.kind == ProfilePoint::Kind::JStake)
        measureTurns(table, data);
}

// The derived columns after point `index` (of row `row`) came in.
void followInsertion(ProfileData& data, const PointTable& table, int index, int row) {
    const ProfilePoint& added = data.points[static_cast<size_t>(index)];
    for (std::vector<int>* list : {&data.stakes, &data.marks})
        for (auto it = placeIn(*list, index); it != list->end(); ++it)
            ++*it;
    if (added.kind == ProfilePoint::Kind::JStake) {
        data.stakes.insert(placeIn(data.stakes, index), index);
    } else if (added.kind != ProfilePoint::Kind::Ground) {
        const auto mark = placeIn(data.marks, index);
        const auto m = mark - data.marks.begin();
        data.markKinds.insert(data.markKinds.begin() + m, added.kind);
        data.markTops.insert(data.markTops.begin() + m, added.elevation + added.height);
        data.marks.insert(mark, index);
    }
    for (int& p : data.pointOfRow)
        if (p >= index)
            ++p;
    data.pointOfRow.insert(data.pointOfRow.begin() + row, index);
    remeasureBlocks(data, static_cast<size_t>(index));
    if (data.points.size() == 1) {
        remeasureExtents(data);
    } else {
        data.minDistance = std::min(data.minDistance, added.distance);
        data.maxDistance = std::max(data.maxDistance, added.distance);
        data.minElevation = std::min(data.minElevation, added.elevation);
        data.maxElevation = std::max(data.maxElevation, added.elevation + added.height);
    }
    if (added.kind == ProfilePoint::Kind::JStake)
        measureTurns(table, data);
}

}  // namespace

std::string_view profileLabel(const PointTable& table, const ProfilePoint& p) {
    const bool object =
        p.kind == ProfilePoint::Kind::CrossedLine || p.kind == ProfilePoint::Kind::Object;
    return table.text(p.row, object ? ColCrossing : ColName);
}

ProfileData buildProfile(const PointTable& table) {
    ProfileData data;
    collectPoints(table, distanceOrder(table), data);
    reindex(data, table, table.rowCount());
    return data;
}

void removeProfileRows(ProfileData& data, const PointTable& table, int first, int last) {
    const int count = last - first + 1;
    std::vector<int> gone;
    for (int r = std::max(first, 0); r <= last && r < static_cast<int>(data.pointOfRow.size()); ++r)
        if (data.pointOfRow[static_cast<size_t>(r)] >= 0)
            gone.push_back(data.pointOfRow[static_cast<size_t>(r)]);
    std::sort(gone.begin(), gone.end());
    const bool single = gone.size() == 1 && count == 1;
    const ProfilePoint removed =
        single ? data.points[static_cast<size_t>(gone[0])] : ProfilePoint{};
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
    if (gone.empty() && data.pointOfRow.size() == table.rowCount() + static_cast<size_t>(count)) {
        // Rows without a point: only the rows' index moves.
        data.pointOfRow.erase(data.pointOfRow.begin() + first, data.pointOfRow.begin() + last + 1);
        return;
    }
    if (single && data.pointOfRow.size() == table.rowCount() + 1u)
        followRemoval(data, table, gone[0], first, removed);
    else
        reindex(data, table, table.rowCount());
}

void insertProfileRow(ProfileData& data, const PointTable& table, int row) {
    for (ProfilePoint& p : data.points)
        if (p.row >= row)
            ++p.row;
    const bool followed = data.pointOfRow.size() + 1 == static_cast<size_t>(table.rowCount());
    std::optional<ProfilePoint> p = profilePointOf(table, row);
    if (!p) {
        if (followed)
            data.pointOfRow.insert(data.pointOfRow.begin() + row, -1);
        else
            reindex(data, table, table.rowCount());
        return;
    }
    const auto at = std::upper_bound(data.points.begin(), data.points.end(), *p, drawnBefore);
    const auto index = static_cast<int>(at - data.points.begin());
    data.points.insert(at, std::move(*p));
    if (followed)
        followInsertion(data, table, index, row);
    else
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
