#include "sorting.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include "cellnumber.h"
#include "columns.h"
#include "pointtable.h"

namespace corvane {

void sortByDistance(PointTable& table) {
    const int n = table.rowCount();
    std::vector<double> distance(n);
    for (int r = 0; r < n; ++r)
        distance[r] = readNumber(table.text(r, ColDistance));
    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return distance[a] < distance[b]; });
    PointTable::Command command(table, "按累距排序");
    table.reorderRows(order);
}

}  // namespace corvane
