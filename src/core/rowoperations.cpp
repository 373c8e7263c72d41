#include "rowoperations.h"

#include <string>
#include <vector>

#include "pointtable.h"

namespace corvane {

int insertRowAfter(PointTable& table, int mark) {
    const int at = mark < 0 || mark >= table.rowCount() ? table.rowCount() : mark + 1;
    PointTable::Command command(table, "插入一行");
    table.insertRow(at, Row(), true);
    return at;
}

int deleteCheckedRows(PointTable& table) {
    std::vector<int> rows = table.checkedRows();
    if (rows.empty())
        return 0;
    PointTable::Command command(table, "删除勾选行");
    table.removeRows(rows);
    return static_cast<int>(rows.size());
}

int moveTarget(RowMove move, int mark, int rowCount) {
    if (mark < 0 || mark >= rowCount)
        return -1;
    switch (move) {
        case RowMove::Up:
            return mark > 0 ? mark - 1 : -1;
        case RowMove::First:
            return mark > 0 ? 0 : -1;
        case RowMove::Down:
            return mark < rowCount - 1 ? mark + 1 : -1;
        case RowMove::Last:
            return mark < rowCount - 1 ? rowCount - 1 : -1;
    }
    return -1;
}

int moveRow(PointTable& table, RowMove move, int mark) {
    const int target = moveTarget(move, mark, table.rowCount());
    if (target < 0)
        return -1;
    static constexpr const char* kLabels[] = {"上移一行", "下移一行", "移到首行", "移到末行"};
    PointTable::Command command(table, kLabels[static_cast<int>(move)]);
    table.swapRowTexts(mark, target);
    return target;
}

int copyLineToChecked(PointTable& table, int mark) {
    if (mark < 0 || mark >= table.rowCount())
        return 0;
    // Read once: the marked row may itself be checked and be written below.
    const std::string start(table.text(mark, ColSegmentStart));
    const std::string end(table.text(mark, ColSegmentEnd));
    const std::vector<int> rows = table.checkedRows();
    PointTable::Command command(table, "勾选点的电力线为所选点的电力线");
    const CellText cells[] = {{ColSegmentStart, start}, {ColSegmentEnd, end}};
    for (int r : rows)
        table.setTexts(r, cells);
    return static_cast<int>(rows.size());
}

}  // namespace corvane
