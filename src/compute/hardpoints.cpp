#include "hardpoints.h"

#include <boost/geometry.hpp>
#include <boost/geometry/index/rtree.hpp>

#include <cmath>

#include "cellnumber.h"
#include "columns.h"
#include "pointtable.h"

namespace corvane {
namespace {

namespace bg = boost::geometry;
namespace bgi = boost::geometry::index;
using BPoint = bg::model::point<double, 2, bg::cs::cartesian>;

struct Stake {
    std::string name;
    double north;
    double east;
};

// Where the foot of `p` falls on the line a->b: 0 at a, 1 at b.
double footParameter(const Stake& a, const Stake& b, double north, double east) {
    double dn = b.north - a.north;
    double de = b.east - a.east;
    double length2 = dn * dn + de * de;
    if (length2 == 0.0)
        return 0.0;
    return ((north - a.north) * dn + (east - a.east) * de) / length2;
}

}  // namespace

std::string describe(HardPoint::Where where) {
    switch (where) {
        case HardPoint::Where::BeforeStart:
            return "在线路起点之前";
        case HardPoint::Where::AfterEnd:
            return "在线路终点之后";
        case HardPoint::Where::OutsideTurn:
            return "在转角外侧";
        case HardPoint::Where::TooFar:
            return "离线路超过最大距离";
        case HardPoint::Where::NoLine:
            return "线路不足两个 J桩";
    }
    return {};
}

std::vector<HardPoint> classifyHardPoints(const PointTable& table, const std::vector<int>& rows) {
    std::vector<Stake> stakes;
    for (const std::string& name : table.linePoints()) {
        int r = table.findFullRow(name);
        if (r < 0)
            continue;
        stakes.push_back({name, readNumber(table.fullText(r, ColNorth)),
                          readNumber(table.fullText(r, ColEast))});
    }
    std::vector<std::pair<BPoint, size_t>> entries;
    entries.reserve(stakes.size());
    for (size_t i = 0; i < stakes.size(); ++i)
        entries.push_back({BPoint(stakes[i].north, stakes[i].east), i});
    bgi::rtree<std::pair<BPoint, size_t>, bgi::quadratic<16>> index(entries.begin(), entries.end());
    std::vector<HardPoint> out;
    out.reserve(rows.size());
    for (int row : rows) {
        HardPoint h;
        h.row = row;
        double north = readNumber(table.text(row, ColNorth));
        double east = readNumber(table.text(row, ColEast));
        if (stakes.empty()) {
            out.push_back(h);
            continue;
        }
        std::vector<std::pair<BPoint, size_t>> nearest;
        index.query(bgi::nearest(BPoint(north, east), 1), std::back_inserter(nearest));
        size_t k = nearest.front().second;
        // A foot inside a leg that starts or ends at the nearest stake.
        auto onLeg = [&](size_t stake) {
            for (size_t leg : {stake - 1, stake}) {
                if (leg + 1 >= stakes.size() || (stake == 0 && leg != 0))
                    continue;
                double t = footParameter(stakes[leg], stakes[leg + 1], north, east);
                if (t >= 0.0 && t <= 1.0)
                    return true;
            }
            return false;
        };
        h.nearestStake = stakes[k].name;
        h.distance = std::hypot(north - stakes[k].north, east - stakes[k].east);
        if (stakes.size() < 2)
            h.where = HardPoint::Where::NoLine;
        else if (k == 0 && footParameter(stakes[0], stakes[1], north, east) < 0.0)
            h.where = HardPoint::Where::BeforeStart;
        else if (k + 1 == stakes.size() &&
                 footParameter(stakes[k - 1], stakes[k], north, east) > 1.0)
            h.where = HardPoint::Where::AfterEnd;
        else if (onLeg(k))
            h.where = HardPoint::Where::TooFar;
        else
            h.where = HardPoint::Where::OutsideTurn;
        out.push_back(std::move(h));
    }
    return out;
}

}  // namespace corvane
