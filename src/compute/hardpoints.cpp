#include "hardpoints.h"

#include <boost/geometry.hpp>
#include <boost/geometry/index/rtree.hpp>

#include <cmath>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "cellnumber.h"
#include "columns.h"
#include "pointtable.h"
#include "vocabularies.h"

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

// The longest chain of stakes the J-stake rows' segments link from a first stake (one
// that no segment ends at) onwards; each J stake carries the segment that starts at it.
std::vector<std::string> chainOfSegments(const PointTable& table) {
    std::unordered_map<std::string_view, std::string_view> next;
    std::vector<std::string_view> starts;  // in table order
    std::unordered_set<std::string_view> ends;
    for (int r = 0; r < table.fullRowCount(); ++r) {
        if (table.fullText(r, ColPointType) != kJStake)
            continue;
        const std::string_view start = table.fullText(r, ColSegmentStart);
        const std::string_view end = table.fullText(r, ColSegmentEnd);
        if (start.empty() || end.empty() || start == end)
            continue;
        if (next.emplace(start, end).second)
            starts.push_back(start);
        ends.insert(end);
    }
    std::vector<std::string> best;
    for (std::string_view head : starts) {
        if (ends.count(head) != 0)
            continue;
        std::vector<std::string> chain{std::string(head)};
        std::unordered_set<std::string_view> seen{head};
        for (auto link = next.find(head); link != next.end() && seen.insert(link->second).second;
             link = next.find(link->second))
            chain.emplace_back(link->second);
        if (chain.size() > best.size())
            best = std::move(chain);
    }
    return best;
}

// The J stakes of the line, in order. Only the power line point selection writes the
// line point list, so a file opened as it is has none: the line is then read from the
// J-stake rows' segments, and failing those it is the J stakes in table order.
std::vector<Stake> lineStakes(const PointTable& table) {
    auto resolve = [&](const std::vector<std::string>& names) {
        std::vector<Stake> stakes;
        for (const std::string& name : names) {
            const int r = table.findFullRow(name);
            if (r >= 0)
                stakes.push_back({name, readNumber(table.fullText(r, ColNorth)),
                                  readNumber(table.fullText(r, ColEast))});
        }
        return stakes;
    };
    std::vector<Stake> stakes = resolve(table.linePoints());
    if (stakes.size() >= 2)
        return stakes;
    if (std::vector<Stake> chained = resolve(chainOfSegments(table)); chained.size() >= 2)
        return chained;
    std::vector<std::string> names;
    std::unordered_set<std::string_view> gathered;
    for (int r = 0; r < table.fullRowCount(); ++r) {
        const std::string_view name = table.fullText(r, ColName);
        if (!name.empty() && table.fullText(r, ColPointType) == kJStake &&
            gathered.insert(name).second)
            names.emplace_back(name);
    }
    return names.size() >= 2 ? resolve(names) : stakes;
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
    const std::vector<Stake> stakes = lineStakes(table);
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
