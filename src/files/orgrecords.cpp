#include "orgrecords.h"

#include <charconv>

#include "columns.h"
#include "fixednumber.h"

namespace corvane {

void OrgRecords::name(std::string_view name, int row) {
    m_out.appendCell(name, row, ColName);
}

void OrgRecords::number(long long n) {
    char buffer[24];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, n);
    (void)ec;
    m_out.appendAscii(std::string_view(buffer, static_cast<size_t>(end - buffer)));
}

void OrgRecords::fixed(double value) {
    if (!appendFixedNumber(m_out.bytes(), value, 4))
        m_allFinite = false;
}

// "0,%s,%.4f,%.4f,%.4f,96=00+96,0.0000,0.0000"
void OrgRecords::stake(std::string_view stakeName, int row, double o, double d, double h) {
    text("0,");
    name(stakeName, row);
    text(",");
    fixed(o);
    text(",");
    fixed(d);
    text(",");
    fixed(h);
    text(",96=00+96,0.0000,0.0000");
    end();
}

// "q,%s,%.4f,0.0000"
void OrgRecords::turnRight(std::string_view stakeName, int row, double packedAngle) {
    text("q,");
    name(stakeName, row);
    text(",");
    fixed(packedAngle);
    text(",0.0000");
    end();
}

// "q,%s,0.0000,%.4f"
void OrgRecords::turnLeft(std::string_view stakeName, int row, double packedAngle) {
    text("q,");
    name(stakeName, row);
    text(",0.0000,");
    fixed(packedAngle);
    end();
}

// "b,%s,%.4f,%.4f,%.4f,13=00+13,": the part every point record shares.
void OrgRecords::pointStart(OrgNumber n, double o, double d, double h) {
    text("b,");
    number(n);
    text(",");
    fixed(o);
    text(",");
    fixed(d);
    text(",");
    fixed(h);
    text(",13=00+13,");
}

// "b,%s,%.4f,%.4f,%.4f,13=00+13,0,0,0"
void OrgRecords::point(OrgNumber n, double o, double d, double h) {
    pointStart(n, o, d, h);
    text("0,0,0");
    end();
}

// "b,%s,%.4f,%.4f,%.4f,13=00+13,%s,0,%d"
void OrgRecords::chainedPoint(OrgNumber n, double o, double d, double h, OrgNumber otherEnd,
                              int code) {
    pointStart(n, o, d, h);
    number(otherEnd);
    text(",0,");
    number(code);
    end();
}

// "G,%s,%s,%.4f,41=00+41"
void OrgRecords::height(OrgNumber n, OrgNumber ground, double measuredHeight) {
    text("G,");
    number(n);
    text(",");
    number(ground);
    text(",");
    fixed(measuredHeight);
    text(",41=00+41");
    end();
}

// "*,%s,%d,3,0,0,%d,%.4f"
void OrgRecords::crossedLine(OrgNumber n, int pole, int code, double packedAngle) {
    text("*,");
    number(n);
    text(",");
    number(pole);
    text(",3,0,0,");
    number(code);
    text(",");
    fixed(packedAngle);
    end();
}

// "r,%s,13=00+13,0,0,13=00+13,0,%.4f,%.4f,%d"
void OrgRecords::band(OrgNumber n, double width, double packedAngle, int code) {
    text("r,");
    number(n);
    text(",13=00+13,0,0,13=00+13,0,");
    fixed(width);
    text(",");
    fixed(packedAngle);
    text(",");
    number(code);
    end();
}

// "+,%s,%s,0.0000,%.4f,%.4f,24637=11+61,0,0,0"
void OrgRecords::relativePoint(OrgNumber n, OrgNumber base, double dO, double dD) {
    text("+,");
    number(n);
    text(",");
    number(base);
    text(",0.0000,");
    fixed(dO);
    text(",");
    fixed(dD);
    text(",24637=11+61,0,0,0");
    end();
}

// "+,%s,%s,0.0000,%.4f,%.4f,24589=11+13,%s,2,7"
void OrgRecords::relativeChainedPoint(OrgNumber n, OrgNumber base, double dO, double dD,
                                      OrgNumber otherEnd) {
    text("+,");
    number(n);
    text(",");
    number(base);
    text(",0.0000,");
    fixed(dO);
    text(",");
    fixed(dD);
    text(",24589=11+13,");
    number(otherEnd);
    text(",2,7");
    end();
}

// "f,%s,24646=11+70,0,0,0.0000"
void OrgRecords::flag70(OrgNumber n) {
    text("f,");
    number(n);
    text(",24646=11+70,0,0,0.0000");
    end();
}

// "f,%s,24636=11+60,0,0,0.0000"
void OrgRecords::flag60(OrgNumber n) {
    text("f,");
    number(n);
    text(",24636=11+60,0,0,0.0000");
    end();
}

// "c,%s,%s,2,7"
void OrgRecords::link(OrgNumber a, OrgNumber b) {
    text("c,");
    number(a);
    text(",");
    number(b);
    text(",2,7");
    end();
}

// "c,%s,%s,0,%d"
void OrgRecords::closingLink(OrgNumber a, OrgNumber b, int code) {
    text("c,");
    number(a);
    text(",");
    number(b);
    text(",0,");
    number(code);
    end();
}

// "x,%s,%s,0,%s,0,0,%.4f,0,%.4f"
void OrgRecords::houseHeight(OrgNumber n, OrgNumber corner, OrgNumber base, double measuredHeight,
                             double nearestOffset) {
    text("x,");
    number(n);
    text(",");
    number(corner);
    text(",0,");
    number(base);
    text(",0,0,");
    fixed(measuredHeight);
    text(",0,");
    fixed(nearestOffset);
    end();
}

}  // namespace corvane
