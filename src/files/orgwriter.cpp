#include "orgwriter.h"

#include <optional>
#include <unordered_map>

#include "angles.h"
#include "cellnumber.h"
#include "orgoutlines.h"
#include "orgrecords.h"
#include "pointtable.h"
#include "vocabularies.h"

namespace corvane {
namespace {

constexpr std::string_view kDirectionStake = "方向桩";
constexpr std::string_view kWindDeviationPoint = "风偏点";

struct PlanPoint {
    double north = 0.0;
    double east = 0.0;
};

// A name that matches no row stands at (0, 0).
PlanPoint planPoint(const PointTable& table, int row) {
    if (row < 0)
        return {};
    const Row& r = table.rowAt(row);
    return {readNumber(r.cell(ColNorth)), readNumber(r.cell(ColEast))};
}

PlanPoint namedPoint(const PointTable& table, std::string_view name) {
    return planPoint(table, table.FindPointRow(name));
}

// The turning angle at entry k of the line: negative when the line turns clockwise.
double turningAngle(const PointTable& table, const std::vector<std::string>& line, size_t k) {
    const PlanPoint p = namedPoint(table, line[k - 1]);
    const PlanPoint c = namedPoint(table, line[k]);
    const PlanPoint n = namedPoint(table, line[k + 1]);
    const double a1 = Azimuth(p.north, p.east, c.north, c.east);
    const double a2 = Azimuth(c.north, c.east, n.north, n.east);
    double t = a1 - a2;
    if (t > kPi)
        t -= kTwoPi;
    else if (t <= -kPi)
        t += kTwoPi;
    return t;
}

class OrgWriter {
public:
    explicit OrgWriter(const PointTable& table) : m_table(table), m_records(m_out) {
        const std::vector<std::string>& line = table.linePoints();
        m_lineIndex.reserve(line.size());
        for (size_t k = 0; k < line.size(); ++k)
            m_lineIndex.emplace(line[k], k);  // the first entry of a name counts
        m_out.reserve(static_cast<size_t>(table.rowCount()) * 64);
    }

    Result<std::string> run() {
        for (int r = 0; r < m_table.rowCount(); ++r) {
            if (std::optional<Error> error = writeRow(r))
                return *error;
            if (!m_out.ok())
                return m_out.error();
        }
        return std::move(m_out.bytes());
    }

private:
    std::optional<Error> writeRow(int r) {
        const Row& row = m_table.rowAt(r);
        OrgRowValues v;
        v.row = r;
        v.name = row.cell(ColName);
        const int s = m_table.FindPointRow(row.cell(ColSegmentStart));
        const int e = m_table.FindPointRow(row.cell(ColSegmentEnd));
        if (s < 0 || e < 0)
            return unresolvedSegmentError(v.name, r, s < 0 ? ColSegmentStart : ColSegmentEnd);
        const PlanPoint start = planPoint(m_table, s);
        const PlanPoint end = planPoint(m_table, e);
        v.azimuth = Azimuth(start.north, start.east, end.north, end.east);
        v.elevation = readNumber(row.cell(ColHeight));
        v.distance = readNumber(row.cell(ColDistance));
        v.offset = -readNumber(row.cell(ColOffset));
        v.type = row.cell(ColPointType);
        v.code = crossingCode(row.cell(ColCrossing));
        v.measuredHeight = readNumber(row.cell(ColMeasuredHeight));
        v.angle = readNumber(row.cell(ColAngle));
        v.pole = poleTypeCode(row.cell(ColPoleType));
        v.length = readInteger(row.cell(ColLength));
        v.width = readNumber(row.cell(ColWidth));

        if (v.type == kJStake) {
            m_records.stake(v.name, r, v.offset, v.distance, v.elevation);
            writeTurn(v);
        } else if (v.type == kZStake) {
            m_records.stake(v.name, r, v.offset, v.distance, v.elevation);
        } else if (v.type == kOrdinaryPoint || v.type == kDirectionStake ||
                   v.type == kWindDeviationPoint) {
            m_records.point(m_counter, v.offset, v.distance, v.elevation);
            m_counter += 1;
        } else if (v.type == kOnePointCrossedObject) {
            const OrgNumber c = m_counter;
            m_records.point(c, v.offset, v.distance, v.elevation);
            m_records.height(c + 1, c, v.measuredHeight);
            m_records.crossedLine(c + 1, v.pole, v.code,
                                  PackDms(FoldHalfTurn(v.angle - v.azimuth + kHalfPi)));
            m_counter = c + 2;
        } else if (v.type == kOnePointObject || v.type == kTwoPointObject ||
                   v.type == kThreePointHouse) {
            writeOutline(m_table, v, m_counter, m_records);
        }
        return std::nullopt;
    }

    // Interior stakes of the line get their turning angle after the stake record.
    void writeTurn(const OrgRowValues& v) {
        const std::vector<std::string>& line = m_table.linePoints();
        auto found = m_lineIndex.find(v.name);
        if (found == m_lineIndex.end() || found->second == 0 || found->second + 1 >= line.size())
            return;
        const double t = turningAngle(m_table, line, found->second);
        if (t < 0.0)
            m_records.turnRight(v.name, v.row, PackDms(t));
        else
            m_records.turnLeft(v.name, v.row, PackDms(t));
    }

    const PointTable& m_table;
    EncodedText m_out;
    OrgRecords m_records;
    std::unordered_map<std::string_view, size_t> m_lineIndex;
    OrgNumber m_counter = 1;
};

}  // namespace

Error unresolvedSegmentError(std::string_view name, int row, int column) {
    Error e = Error::data("测量点 [ " + std::string(name) + " ] 没有找到所属的电力线点，请检查！");
    e.row = row;
    e.column = column;
    return e;
}

Result<std::string> buildOrgFile(const PointTable& table) {
    return OrgWriter(table).run();
}

}  // namespace corvane
