#include "linepointselection.h"

#include <cmath>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "cellnumber.h"
#include "columns.h"
#include "pointtable.h"
#include "vocabularies.h"

namespace corvane {

std::vector<std::string> gatherJStakes(const PointTable& table) {
    std::vector<std::string> names;
    std::unordered_set<std::string_view> gathered;
    for (int r = 0; r < table.rowCount(); ++r) {
        const std::string_view name = table.text(r, ColName);
        if (name.empty() || table.text(r, ColPointType) != kJStake)
            continue;
        if (gathered.insert(name).second)
            names.emplace_back(name);
    }
    return names;
}

std::vector<double> lineMileages(const PointTable& table, const std::vector<std::string>& names,
                                 double startMileage) {
    std::vector<double> mileages;
    mileages.reserve(names.size());
    double mileage = startMileage;
    bool havePrevious = false;
    double previousX = 0.0;
    double previousY = 0.0;
    for (const std::string& name : names) {
        const int row = table.findFullRow(name);
        if (row >= 0) {
            const double x = readNumber(table.fullText(row, ColNorth));
            const double y = readNumber(table.fullText(row, ColEast));
            if (havePrevious) {
                const double dx = x - previousX;
                const double dy = y - previousY;
                mileage = mileage + std::sqrt(dx * dx + dy * dy);
            }
            previousX = x;
            previousY = y;
            havePrevious = true;
        }
        mileages.push_back(mileage);
    }
    return mileages;
}

std::optional<NonFiniteCell> nonFiniteMileage(const PointTable& table,
                                              const std::vector<std::string>& names,
                                              const std::vector<double>& mileages) {
    for (size_t i = 0; i < mileages.size() && i < names.size(); ++i) {
        if (std::isfinite(mileages[i]))
            continue;
        int row = table.FindPointRow(names[i]);
        if (row < 0)  // hidden by a filter: its place in the whole table
            row = table.findFullRow(names[i]);
        return NonFiniteCell{row, ColDistance};
    }
    return std::nullopt;
}

void applyLinePointSelection(
    PointTable& table, const std::vector<std::pair<std::string, std::string>>& nameAndMileageText) {
    PointTable::Command command(table, "电力线点选择");
    const size_t count = nameAndMileageText.size();
    // Name -> its last place in the chain: a later entry of a name overwrites an earlier.
    std::unordered_map<std::string_view, size_t> placeOf;
    placeOf.reserve(count);
    std::vector<std::string> linePoints;
    linePoints.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        placeOf[nameAndMileageText[i].first] = i;
        linePoints.push_back(nameAndMileageText[i].first);
    }
    constexpr std::string_view kZeroOffset = "0.0000";
    // Each row reads only its own name, so the rows are filled in any order.
    auto fill = [&](int r, std::vector<CellText>& cells) {
        const auto found = placeOf.find(table.text(r, ColName));
        if (found == placeOf.end()) {
            cells.assign(
                {{ColSegmentStart, {}}, {ColSegmentEnd, {}}, {ColDistance, {}}, {ColOffset, {}}});
            return;
        }
        const size_t i = found->second;
        const std::string& name = nameAndMileageText[i].first;
        const std::string& next = i + 1 < count ? nameAndMileageText[i + 1].first : name;
        cells.assign({{ColSegmentStart, name},
                      {ColSegmentEnd, next},
                      {ColDistance, nameAndMileageText[i].second},
                      {ColOffset, kZeroOffset}});
    };
    table.fillRows([&]() -> RowFiller { return fill; });
    table.setLinePoints(std::move(linePoints));
}

}  // namespace corvane
