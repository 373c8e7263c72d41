#pragma once

namespace corvane {

class PointTable;

/// "按累距排序": puts the rows shown in ascending order of their cumulative distance
/// (column 7, read leniently, so empty and "-.-" count as 0). Rows with equal numbers
/// keep their order; each row moves with its cells and its check mark. Under a display
/// filter the rows shown trade places among themselves. One undoable step.
void sortByDistance(PointTable& table);

}  // namespace corvane
