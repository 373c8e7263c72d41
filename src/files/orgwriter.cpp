#include "orgwriter.h"

#include <array>
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
        if (!stake && !point && !crossedLine && !outline)
            return std::nullopt;  // not a point type: nothing is written

        v.elevation = readNumber(cell[ColHeight]);
        v.distance = readNumber(cell[ColDistance]);
        v.offset = -readNumber(cell[ColOffset]);
        if (stake) {
            m_records.stake(v.name, r, v.offset, v.distance, v.elevation);
            if (v.type == kJStake)
                writeTurn(v);
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
            const OrgNumber c = m_counter;
            m_records.point(c, v.offset, v.distance, v.elevation);
            m_records.height(c + 1, c, v.measuredHeight);
            m_records.crossedLine(c + 1, v.pole, v.code,
                                  PackDms(FoldHalfTurn(v.angle - v.azimuth + kHalfPi)));
            m_counter = c + 2;
        } else {
            writeOutline(m_table, v, m_counter, m_records);
        }
        return std::nullopt;
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
    RowCells m_cells;
    CachedLookup m_starts;
    CachedLookup m_ends;
    int m_azimuthStart = -1;
    int m_azimuthEnd = -1;
    double m_azimuth = 0.0;
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
