#include "cellcommit.h"

#include <cmath>
#include <string>

#include "angles.h"
#include "cellnumber.h"
#include "pointtable.h"

namespace corvane {
namespace {

// Carries a renamed segment end to the checked rows that named the same segment.
void carrySegmentName(PointTable& table, int row, int column, std::string_view previousText) {
    const int other = column == ColSegmentStart ? ColSegmentEnd : ColSegmentStart;
    const std::string renamed(table.text(row, column));
    const std::string old(previousText);
    const std::string kept(table.text(row, other));
    for (int r : table.checkedRows()) {
        if (table.text(r, column) == old && table.text(r, other) == kept)
            table.setText(r, column, renamed);
    }
}

// Places the point at its typed distance along its segment and offset from it
// (positive to the right of the direction from start to end). The segment's ends are
// looked up in the whole table, so that a filter hiding them does not stop the move.
std::optional<NonFiniteCell> placeFromDistanceAndOffset(PointTable& table, int row) {
    const int a = table.findFullRow(table.text(row, ColSegmentStart));
    const int b = table.findFullRow(table.text(row, ColSegmentEnd));
    if (a < 0 || b < 0)
        return std::nullopt;
    const double ea = readNumber(table.fullText(a, ColEast));
    const double na = readNumber(table.fullText(a, ColNorth));
    const double eb = readNumber(table.fullText(b, ColEast));
    const double nb = readNumber(table.fullText(b, ColNorth));
    const double dist =
        readNumber(table.text(row, ColDistance)) - readNumber(table.fullText(a, ColDistance));
    const double off = readNumber(table.text(row, ColOffset));
    const double theta = DirectionFromEast(na, ea, nb, eb);
    const double east = ea + std::cos(theta) * dist + off * std::sin(theta);
    const double north = na + std::sin(theta) * dist - off * std::cos(theta);
    if (!std::isfinite(north))
        return NonFiniteCell{row, ColNorth};
    if (!std::isfinite(east))
        return NonFiniteCell{row, ColEast};
    table.setText(row, ColEast, formatFixed(east, 4));
    table.setText(row, ColNorth, formatFixed(north, 4));
    return std::nullopt;
}

}  // namespace

std::optional<NonFiniteCell> commitCellChange(PointTable& table, int row, int column,
                                              std::string_view previousText) {
    if (row < 0 || row >= table.rowCount())
        return std::nullopt;
    PointTable::Command command(table, "编辑单元格");
    switch (column) {
        case ColName:
            if (table.text(row, ColOldName).empty())
                table.setText(row, ColOldName, previousText);
            break;
        case ColSegmentStart:
        case ColSegmentEnd:
            carrySegmentName(table, row, column, previousText);
            break;
        case ColDistance:
        case ColOffset:
            return placeFromDistanceAndOffset(table, row);
        default:
            break;
    }
    return std::nullopt;
}

bool editCell(PointTable& table, int row, int column, std::string_view text) {
    if (row < 0 || row >= table.rowCount() || table.text(row, column) == text)
        return false;
    PointTable::Command command(table, "编辑单元格");
    const std::string previous(table.text(row, column));
    table.setText(row, column, text);
    if (commitCellChange(table, row, column, previous)) {
        table.setText(row, column, previous);
        return false;
    }
    return true;
}

}  // namespace corvane
