#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "result.h"

namespace corvane {

class PointTable;

/// What the ".org" file leaves out by its rules, for the user to be told.
struct OrgReport {
    /// Rows whose point type is none the file knows (empty, or another text).
    int unknownType = 0;
    /// Rows of a run of "2点测路河塘房等" or "3点测房" rows that write no object and are
    /// no partner of a row that does.
    int unusedGroupRows = 0;
    /// J stakes whose name is not in the line point list (while there is one): no turn.
    int stakesOffLine = 0;
    /// There is no line point list, so no turn record at all.
    bool noLinePoints = false;
};

/// The report as lines to show, e.g. "12 行未写出：点类型不是已知的类型"; none when
/// nothing was left out.
std::vector<std::string> orgReportLines(const OrgReport& report);

/// The Daoheng ".org" file of the rows shown: stakes with their turning angles,
/// numbered ground points, crossed lines and object outlines, CR LF, code page 936.
/// A row whose segment does not resolve, or a number to write that is not finite, ends
/// the export with an error naming the row. `report`, when given, receives what the
/// file leaves out.
Result<std::string> buildOrgFile(const PointTable& table, OrgReport* report = nullptr);

/// The message for a row whose segment start or end names no row.
Error unresolvedSegmentError(std::string_view name, int row, int column);

}  // namespace corvane
