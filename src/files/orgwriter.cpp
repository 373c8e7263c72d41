#include "orgwriter.h"

#include <array>
#include <cmath>
#include <optional>
#include <unordered_map>

#include "angles.h"
#include "cellnumber.h"
#include "nonfiniteerror.h"
#include "orgoutlines.h"
#include "orgrecords.h"
#include "pointtable.h"
#include "vocabularies.h"

namespace corvane {
namespace {

constexpr std::string_view kDirectionStake = "方向桩";
constexpr std::string_view kWindDeviationPoint = "风偏点";

OrgPlanPoint namedPoint(const PointTable& table, std::string_view name) {
    return orgPlanPoint(table, table.FindPointRow(name));
}

// The turning angle at entry k of the line: negative when the line turns clockwise.
double turningAngle(const PointTable& table, const std::vector<std::string>& line, size_t k) {
    const OrgPlanPoint p = namedPoint(table, line[k - 1]);
    const OrgPlanPoint c = namedPoint(table, line[k]);
    const OrgPlanPoint n = namedPoint(table, line[k + 1]);
    const double a1 = Azimuth(p.north, p.east, c.north, c.east);
    const double a2 = Azimuth(c.north, c.east, n.north, n.east);
    double t = a1 - a2;
    if (t > kPi)
        t -= kTwoPi;
    else if (t <= -kPi)
        t += kTwoPi;
    return t;
}

// The seventeen cells of a row, split in one pass (reading cells one by one would
// walk the row from its start for each of them).
class RowCells {
public:
    void load(const Row& row) {
        m_raw.clear();
        row.appendJoined(m_raw, '\0');
        size_t start = 0;
        for (int c = 0; c < kColumnCount; ++c) {
            size_t end = c + 1 < kColumnCount ? m_raw.find('\0', start) : m_raw.size();
            m_cells[c] = std::string_view(m_raw).substr(start, end - start);
            start = end + 1;
        }
    }
    std::string_view operator[](int column) const { return m_cells[column]; }

private:
    std::string m_raw;
    std::array<std::string_view, kColumnCount> m_cells;
};

// Finds the row of a name, remembering the last one asked: consecutive rows mostly
// name the same segment.
class CachedLookup {
public:
    explicit CachedLookup(const PointTable& table) : m_table(table) {}
    int find(std::string_view name) {
        if (!m_valid || name != m_name) {
            m_name.assign(name);
            m_row = m_table.FindPointRow(name);
            m_valid = true;
        }
        return m_row;
    }

private:
    const PointTable& m_table;
    std::string m_name;
    int m_row = -1;
    bool m_valid = false;
};

class OrgWriter {
public:
    explicit OrgWriter(const PointTable& table)
        : m_table(table), m_records(m_out), m_starts(table), m_ends(table) {
        const std::vector<std::string>& line = table.linePoints();
        m_lineIndex.reserve(line.size());
        for (size_t k = 0; k < line.size(); ++k)
            m_lineIndex.emplace(line[k], k);  // the first entry of a name counts
        m_out.reserve(static_cast<size_t>(table.rowCount()) * 64);
    }

    Result<std::string> run(OrgReport* report) {
        for (int r = 0; r < m_table.rowCount(); ++r) {
            if (std::optional<Error> error = writeRow(r))
                return *error;
            if (!m_out.ok())
                return m_out.error();
            if (!m_records.allFinite())  // the checks above should have caught it
                return nonFiniteWriteError({r, -1});
        }
        if (report) {
            m_report.unusedGroupRows = static_cast<int>(m_unusedGroupRows.size());
            m_report.noLinePoints = m_table.linePoints().empty();
            *report = m_report;
        }
        return std::move(m_out.bytes());
    }

private:
    std::optional<Error> writeRow(int r) {
        m_cells.load(m_table.rowAt(r));
        const RowCells& cell = m_cells;
        OrgRowValues v;
        v.row = r;
        v.name = cell[ColName];
        const int s = m_starts.find(cell[ColSegmentStart]);
        const int e = m_ends.find(cell[ColSegmentEnd]);
        if (s < 0 || e < 0)
            return unresolvedSegmentError(v.name, r, s < 0 ? ColSegmentStart : ColSegmentEnd);
        v.type = cell[ColPointType];
        const bool stake = v.type == kJStake || v.type == kZStake;
        const bool point =
            v.type == kOrdinaryPoint || v.type == kDirectionStake || v.type == kWindDeviationPoint;
        const bool crossedLine = v.type == kOnePointCrossedObject;
        const bool outline =
            v.type == kOnePointObject || v.type == kTwoPointObject || v.type == kThreePointHouse;
        if (!stake && !point && !crossedLine && !outline) {
            ++m_report.unknownType;  // not a point type: nothing is written
            return std::nullopt;
        }

        v.elevation = readNumber(cell[ColHeight]);
        v.distance = readNumber(cell[ColDistance]);
        v.offset = -readNumber(cell[ColOffset]);
        if (stake) {
            m_records.stake(v.name, r, v.offset, v.distance, v.elevation);
            if (v.type == kJStake)
                return writeTurn(v);
            return std::nullopt;
        }
        if (point) {
            m_records.point(m_counter, v.offset, v.distance, v.elevation);
            m_counter += 1;
            return std::nullopt;
        }

        v.azimuth = segmentAzimuth(s, e);
        v.code = crossingCode(cell[ColCrossing]);
        v.measuredHeight = readNumber(cell[ColMeasuredHeight]);
        v.angle = readNumber(cell[ColAngle]);
        v.pole = poleTypeCode(cell[ColPoleType]);
        v.length = readInteger(cell[ColLength]);
        v.width = readNumber(cell[ColWidth]);
        if (crossedLine) {
            const double packedAngle = PackDms(FoldHalfTurn(v.angle - v.azimuth + kHalfPi));
            if (!std::isfinite(packedAngle))
                return nonFiniteWriteError({r, ColAngle});
            const OrgNumber c = m_counter;
            m_records.point(c, v.offset, v.distance, v.elevation);
            m_records.height(c + 1, c, v.measuredHeight);
            m_records.crossedLine(c + 1, v.pole, v.code, packedAngle);
            m_counter = c + 2;
            return std::nullopt;
        }
        const OutlineOutcome outcome = writeOutline(m_table, v, m_counter, m_records);
        if (outcome.nonFiniteColumn >= 0)
            return nonFiniteWriteError({r, outcome.nonFiniteColumn});
        noteGroupRow(r, v.type, outcome.written);
        return std::nullopt;
    }

    // A row of a two- or three-point run that writes nothing waits to be taken as a
    // partner by the row that writes the object: one row above for two points, two for
    // a house of three.
    void noteGroupRow(int r, std::string_view type, bool written) {
        if (!written) {
            if (type == kTwoPointObject || type == kThreePointHouse)
                m_unusedGroupRows.push_back(r);
            return;
        }
        const int partners = type == kThreePointHouse ? 2 : type == kTwoPointObject ? 1 : 0;
        while (!m_unusedGroupRows.empty() && m_unusedGroupRows.back() >= r - partners)
            m_unusedGroupRows.pop_back();
    }

    double segmentAzimuth(int s, int e) {
        if (s != m_azimuthStart || e != m_azimuthEnd) {
            const OrgPlanPoint start = orgPlanPoint(m_table, s);
            const OrgPlanPoint end = orgPlanPoint(m_table, e);
            m_azimuth = Azimuth(start.north, start.east, end.north, end.east);
            m_azimuthStart = s;
            m_azimuthEnd = e;
        }
        return m_azimuth;
    }

    // Interior stakes of the line get their turning angle after the stake record.
    std::optional<Error> writeTurn(const OrgRowValues& v) {
        const std::vector<std::string>& line = m_table.linePoints();
        auto found = m_lineIndex.find(v.name);
        if (found == m_lineIndex.end() && !line.empty())
            ++m_report.stakesOffLine;
        if (found == m_lineIndex.end() || found->second == 0 || found->second + 1 >= line.size())
            return std::nullopt;
        const double t = turningAngle(m_table, line, found->second);
        const double packed = PackDms(t);
        if (!std::isfinite(packed))
            return nonFiniteWriteError({v.row, ColNorth});
        if (t < 0.0)
            m_records.turnRight(v.name, v.row, packed);
        else
            m_records.turnLeft(v.name, v.row, packed);
        return std::nullopt;
    }

    const PointTable& m_table;
    EncodedText m_out;
    OrgRecords m_records;
    RowCells m_cells;
    CachedLookup m_starts;
    CachedLookup m_ends;
    int m_azimuthStart = -1;
    int m_azimuthEnd = -1;
    double m_azimuth = 0.0;
    std::unordered_map<std::string_view, size_t> m_lineIndex;
    OrgNumber m_counter = 1;
    OrgReport m_report;
    std::vector<int> m_unusedGroupRows;  // ascending; the last two may still be taken
};

}  // namespace

Error unresolvedSegmentError(std::string_view name, int row, int column) {
    Error e = Error::data("测量点 [ " + std::string(name) + " ] 没有找到所属的电力线点，请检查！");
    e.row = row;
    e.column = column;
    return e;
}

Result<std::string> buildOrgFile(const PointTable& table, OrgReport* report) {
    return OrgWriter(table).run(report);
}

std::vector<std::string> orgReportLines(const OrgReport& report) {
    std::vector<std::string> lines;
    if (report.unknownType > 0)
        lines.push_back(std::to_string(report.unknownType) + " 行未写出：点类型不是已知的类型");
    if (report.unusedGroupRows > 0)
        lines.push_back(std::to_string(report.unusedGroupRows) +
                        " 行未写出：“2点测路河塘房等”或“3点测房”的点没有用在任何对象中");
    if (report.noLinePoints)
        lines.push_back("没有电力线点列表，没有写出转角记录");
    else if (report.stakesOffLine > 0)
        lines.push_back(std::to_string(report.stakesOffLine) +
                        " 个 J 桩不在电力线点列表中，没有写出转角记录");
    return lines;
}

}  // namespace corvane
