#include "surveygenerator.h"

#include <cmath>
#include <random>
#include <string_view>

#include "cellnumber.h"
#include "codepage.h"
#include "vocabularies.h"

namespace corvane {
namespace {

struct Point {
    double north;
    double east;
};

std::string fixed(double v, int decimals) {
    return formatFixed(v, decimals);
}

}  // namespace

Survey generateSurvey(const SurveyShape& shape) {
    std::mt19937_64 rng(shape.seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const size_t stakes = std::max<size_t>(2, std::min(shape.jStakes, shape.points));
    const size_t others = shape.points > stakes ? shape.points - stakes : 0;

    // The line: legs of 150 m to 450 m, turning up to 35 degrees either way.
    std::vector<Point> line;
    Point p{3456000.0, 512000.0};
    double heading = 0.6;
    for (size_t i = 0; i < stakes; ++i) {
        line.push_back(p);
        heading += (unit(rng) - 0.5) * 1.2;
        double leg = 150.0 + unit(rng) * 300.0;
        p.north += std::sin(heading) * leg;
        p.east += std::cos(heading) * leg;
    }
    std::vector<double> mileage(stakes, 0.0);
    for (size_t i = 1; i < stakes; ++i)
        mileage[i] = mileage[i - 1] +
                     std::hypot(line[i].north - line[i - 1].north, line[i].east - line[i - 1].east);

    Survey survey;
    survey.rows.reserve(shape.points);
    const size_t perLeg = others / (stakes - 1) + 1;
    size_t made = 0;
    size_t pointNo = 1;
    for (size_t leg = 0; leg < stakes; ++leg) {
        std::string jName = "J" + std::to_string(leg + 1);
        survey.linePoints.push_back(jName);
        std::string next = "J" + std::to_string(std::min(leg + 2, stakes));
        std::vector<std::string> cells(kColumnCount);
        cells[ColName] = jName;
        cells[ColNorth] = fixed(line[leg].north, 4);
        cells[ColEast] = fixed(line[leg].east, 4);
        cells[ColHeight] = fixed(100.0 + unit(rng) * 50.0, 3);
        cells[ColRemark] = std::string(kRawRemark);
        cells[ColPointType] = std::string(kJStake);
        cells[ColCrossing] = std::string(kRawCrossing);
        cells[ColMeasuredHeight] = cells[ColAngle] = cells[ColLength] = cells[ColWidth] =
            std::string(kRawMeasure);
        cells[ColPoleType] = std::string(poleTypes()[1 + leg % 38]);
        if (shape.computed) {
            cells[ColSegmentStart] = jName;
            cells[ColSegmentEnd] = next;
            cells[ColDistance] = fixed(mileage[leg], 3);
            cells[ColOffset] = "0.0000";
        } else {
            cells[ColDistance] = cells[ColOffset] = "0";
        }
        std::vector<std::string_view> views(cells.begin(), cells.end());
        survey.rows.emplace_back(views);
        if (leg + 1 == stakes)
            break;

        const Point a = line[leg];
        const Point b = line[leg + 1];
        const double length = mileage[leg + 1] - mileage[leg];
        for (size_t k = 0; k < perLeg && made < others; ++k, ++made) {
            double along = unit(rng) * length;
            double off = (unit(rng) - 0.5) * 80.0;
            double dn = (b.north - a.north) / length;
            double de = (b.east - a.east) / length;
            Point q{a.north + dn * along + de * off, a.east + de * along - dn * off};
            double r = unit(rng);
            std::string_view type = kOrdinaryPoint;
            std::string_view crossing = kRawCrossing;
            if (r < 0.02) {
                type = kZStake;
            } else if (r < 0.04) {
                type = kOnePointCrossedObject;
                crossing = lineClasses()[static_cast<size_t>(unit(rng) * 33) % 33];
            } else if (r < 0.06) {
                type = kOnePointObject;
                crossing = crossingObjects()[1 + static_cast<size_t>(unit(rng) * 27) % 27];
            } else if (r < 0.065) {
                type = kThreePointHouse;
                crossing = "房屋(201)";
            }
            cells.assign(kColumnCount, std::string());
            cells[ColName] = "P" + std::to_string(pointNo++);
            cells[ColNorth] = fixed(q.north, 4);
            cells[ColEast] = fixed(q.east, 4);
            cells[ColHeight] = fixed(100.0 + unit(rng) * 50.0, 3);
            cells[ColRemark] = std::string(kRawRemark);
            cells[ColPointType] = std::string(type);
            cells[ColCrossing] = std::string(crossing);
            cells[ColMeasuredHeight] = fixed(unit(rng) * 12.0, 4);
            cells[ColAngle] = fixed(unit(rng) * 6.28, 4);
            cells[ColPoleType] = std::string(kRawPoleType);
            cells[ColLength] = fixed(unit(rng) * 20.0, 4);
            cells[ColWidth] = fixed(unit(rng) * 10.0, 4);
            if (shape.computed) {
                cells[ColSegmentStart] = jName;
                cells[ColSegmentEnd] = next;
                cells[ColDistance] = fixed(mileage[leg] + along, 3);
                // `off` is to the left looking along the leg; the calculation writes
                // points on the right as positive.
                cells[ColOffset] = fixed(-off, 3);
            } else {
                cells[ColDistance] = cells[ColOffset] = "0";
            }
            std::vector<std::string_view> v(cells.begin(), cells.end());
            survey.rows.emplace_back(v);
        }
    }
    return survey;
}

std::string surveyEptBytes(const Survey& survey) {
    std::string utf8 = "测量数据,生成\r\n";
    for (const Row& row : survey.rows) {
        row.appendJoined(utf8, ',');
        utf8 += "\r\n";
    }
    std::string out;
    out.reserve(utf8.size());
    cp936::encode(utf8, out);
    return out;
}

std::string surveyRawCsvBytes(const Survey& survey) {
    std::string utf8;
    for (const Row& row : survey.rows) {
        utf8.append(row.cell(ColName));
        utf8 += ",1,";
        utf8.append(row.cell(ColNorth));
        utf8 += ',';
        utf8.append(row.cell(ColEast));
        utf8 += ',';
        utf8.append(row.cell(ColHeight));
        utf8 += "\r\n";
    }
    std::string out;
    cp936::encode(utf8, out);
    return out;
}

}  // namespace corvane
