#include "profiledata.h"

#include <algorithm>
#include <cmath>

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

}  // namespace

ProfileData buildProfile(const PointTable& table) {
    ProfileData data;
    const int rows = table.rowCount();
    for (int r = 0; r < rows; ++r) {
        std::string_view distance = table.text(r, ColDistance);
        if (!startsWithNumber(distance))
            continue;
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
        data.points.push_back(std::move(p));
    }
    std::stable_sort(
        data.points.begin(), data.points.end(),
        [](const ProfilePoint& a, const ProfilePoint& b) { return a.distance < b.distance; });
    if (data.points.empty())
        return data;
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
