#pragma once

#include <string_view>

#include "encodedtext.h"

namespace corvane {

/// A number of the ".org" file: a stake's name is a table cell, every other point a
/// running number of the auxiliary point counter.
using OrgNumber = long long;

/// The record formats of the ".org" file, one function each, appended to the output
/// with CR LF. Numbers are "%.4f" without a minus zero; names of stakes come from
/// column 0 of `row`, so a name that code page 936 cannot hold is reported there.
class OrgRecords {
public:
    explicit OrgRecords(EncodedText& out) : m_out(out) {}

    bool ok() const { return m_out.ok(); }
    /// False once a number was not finite (it was left out of its record).
    bool allFinite() const { return m_allFinite; }

    void stake(std::string_view name, int row, double o, double d, double h);
    void turnRight(std::string_view name, int row, double packedAngle);
    void turnLeft(std::string_view name, int row, double packedAngle);
    void point(OrgNumber n, double o, double d, double h);
    void chainedPoint(OrgNumber n, double o, double d, double h, OrgNumber otherEnd, int code);
    void height(OrgNumber n, OrgNumber ground, double measuredHeight);
    void crossedLine(OrgNumber n, int pole, int code, double packedAngle);
    void band(OrgNumber n, double width, double packedAngle, int code);
    void relativePoint(OrgNumber n, OrgNumber base, double dO, double dD);
    void relativeChainedPoint(OrgNumber n, OrgNumber base, double dO, double dD,
                              OrgNumber otherEnd);
    void flag70(OrgNumber n);
    void flag60(OrgNumber n);
    void link(OrgNumber a, OrgNumber b);
    void closingLink(OrgNumber a, OrgNumber b, int code);
    void houseHeight(OrgNumber n, OrgNumber corner, OrgNumber base, double measuredHeight,
                     double nearestOffset);

private:
    void text(std::string_view ascii) { m_out.appendAscii(ascii); }
    void name(std::string_view name, int row);
    void number(long long n);
    void fixed(double value);
    void pointStart(OrgNumber n, double o, double d, double h);
    void end() { m_out.endLine(); }

    EncodedText& m_out;
    bool m_allFinite = true;
};

}  // namespace corvane
