#include "orgoutlines.h"

#include <cmath>
#include <initializer_list>

#include "angles.h"
#include "cellnumber.h"
#include "pointtable.h"
#include "vocabularies.h"

namespace corvane {
namespace {

enum class OutlineKind { Band, Pond, House };

struct Corner {
    double x = 0.0;  // O, across the line
    double y = 0.0;  // D, along it
};

std::string_view cellOrEmpty(const PointTable& table, int row, int column) {
    if (row < 0 || row >= table.rowCount())
        return {};
    return table.rowAt(row).cell(column);
}

// A partner point is the first row of the name that `row` (the row itself or one above
// it) holds.
OrgPlanPoint partner(const PointTable& table, int row) {
    return orgPlanPoint(table, table.FindPointRow(cellOrEmpty(table, row, ColName)));
}

double azimuth(OrgPlanPoint from, OrgPlanPoint to) {
    return Azimuth(from.north, from.east, to.north, to.east);
}

double distance(OrgPlanPoint a, OrgPlanPoint b) {
    const double dn = b.north - a.north;
    const double de = b.east - a.east;
    return std::sqrt(dn * dn + de * de);
}

OutlineKind kindOf(const OrgRowValues& v) {
    if (v.type == kThreePointHouse || isHouseCode(v.code))
        return OutlineKind::House;
    if (v.code == kPondCode)
        return OutlineKind::Pond;
    return OutlineKind::Band;
}

struct Outline {
    double theta = 0.0;  // direction of the length side, in the line frame
    double length = 0.0;
    double width = 0.0;
};

Outline outlineOf(const PointTable& table, const OrgRowValues& v, OutlineKind kind) {
    const int r = v.row;
    Outline o;
    if (v.type == kThreePointHouse) {
        const OrgPlanPoint r1 = partner(table, r - 2);
        const OrgPlanPoint r2 = partner(table, r - 1);
        const OrgPlanPoint r3 = partner(table, r);
        o.theta = azimuth(r1, r2) - v.azimuth;
        o.length = distance(r2, r3);
        o.width = distance(r1, r2);
        return o;
    }
    if (v.type == kTwoPointObject) {
        const OrgPlanPoint q1 = partner(table, r - 1);
        const OrgPlanPoint q2 = partner(table, r);
        o.width = distance(q1, q2);
        if (kind == OutlineKind::Band) {
            o.theta = v.angle - v.azimuth;
        } else {
            o.theta = azimuth(q1, q2) - v.azimuth;
            o.length = v.length;
        }
        return o;
    }
    o.theta = v.angle - v.azimuth;
    o.length = kind == OutlineKind::Band ? 0.0 : v.length;
    o.width = v.width;
    return o;
}

}  // namespace

OrgPlanPoint orgPlanPoint(const PointTable& table, int row) {
    if (row < 0)
        return {};
    const Row& r = table.rowAt(row);
    return {readNumber(r.cell(ColNorth)), readNumber(r.cell(ColEast))};
}

namespace {

// The column behind the first number of the outline that is not finite, or -1. Sizes
// measured between points come from their coordinates.
int nonFiniteColumn(const OrgRowValues& v, const Outline& outline, double packedBandAngle,
                    std::initializer_list<Corner> corners) {
    const bool measured = v.type == kTwoPointObject || v.type == kThreePointHouse;
    if (!std::isfinite(outline.width))
        return measured ? ColNorth : ColWidth;
    if (!std::isfinite(outline.length))
        return v.type == kThreePointHouse ? ColNorth : ColLength;
    if (!std::isfinite(packedBandAngle))
        return ColAngle;
    for (const Corner& p : corners)
        if (!std::isfinite(p.x) || !std::isfinite(p.y))
            return ColWidth;
    return -1;
}

}  // namespace

OutlineOutcome writeOutline(const PointTable& table, const OrgRowValues& v, OrgNumber& counter,
                            OrgRecords& records) {
    const int r = v.row;
    // Of a group of two- or three-point rows only those that carry a crossing object,
    // and the last row of the group, describe an object.
    if ((v.type == kTwoPointObject || v.type == kThreePointHouse) &&
        cellOrEmpty(table, r + 1, ColPointType) == v.type && v.code == 0)
        return {};

    const OrgNumber c = counter;
    const OutlineKind kind = kindOf(v);
    const Outline outline = outlineOf(table, v, kind);

    const double o = v.offset;
    const double d = v.distance;
    const double theta = outline.theta;
    const Corner p0{o, d};
    const Corner p1{o - std::sin(theta) * outline.length, d + std::cos(theta) * outline.length};
    const double theta2 = std::sin(theta) >= 0.0 ? theta - kHalfPi : theta + kHalfPi;
    const Corner p3{o - std::sin(theta2) * outline.width, d + std::cos(theta2) * outline.width};
    const Corner p2{p1.x + p3.x - o, p1.y + p3.y - d};

    // The corner closest to the centre line; a later one of the same distance wins.
    double nearest = p0.x;
    for (const Corner& p : {p1, p2, p3})
        if (std::fabs(p.x) <= std::fabs(nearest))
            nearest = p.x;

    const double bandAngle =
        kind == OutlineKind::Band ? PackDms(FoldHalfTurn(theta + kHalfPi)) : 0.0;
    // A pond's corners are written relative to the measured point; a band writes none.
    const Corner rel1{p1.x - o, p1.y - d};
    const Corner rel2{p2.x - o, p2.y - d};
    const Corner rel3{p3.x - o, p3.y - d};
    const int column = kind == OutlineKind::Band
                           ? nonFiniteColumn(v, outline, bandAngle, {})
                           : nonFiniteColumn(v, outline, bandAngle, {p1, p2, p3, rel1, rel2, rel3});
    if (column >= 0)
        return {true, column};

    counter = kind == OutlineKind::Band ? c + 2 : c + 1;
    records.point(c, o, d, v.elevation);
    switch (kind) {
        case OutlineKind::Band:
            records.band(c, outline.width, bandAngle, v.code);
            break;
        case OutlineKind::Pond:
            records.relativePoint(c + 1, c, rel2.x, rel2.y);
            records.flag70(c);
            records.flag60(c + 1);
            records.relativeChainedPoint(c + 2, c, rel1.x, rel1.y, c);
            records.relativeChainedPoint(c + 3, c, rel3.x, rel3.y, c + 1);
            records.link(c + 1, c + 2);
            records.link(c, c + 3);
            counter = c + 4;
            break;
        case OutlineKind::House:
            records.chainedPoint(c + 1, p1.x, p1.y, v.elevation, c, v.code);
            records.chainedPoint(c + 2, p2.x, p2.y, v.elevation, c + 1, v.code);
            records.chainedPoint(c + 3, p3.x, p3.y, v.elevation, c + 2, v.code);
            records.closingLink(c + 3, c, v.code);
            records.houseHeight(c + 4, c + 2, c, v.measuredHeight, nearest);
            counter = c + 6;
            break;
    }
    return {true, -1};
}

}  // namespace corvane
