#include "surveyfeatures.h"

#include <charconv>
#include <cmath>
#include <unordered_map>

#include "columns.h"
#include "pointtable.h"
#include "vocabularies.h"

namespace corvane {

std::optional<double> cellNumber(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double value = 0.0;
    const auto [end, ec] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() ||
        !std::isfinite(value))
        return std::nullopt;
    return value;
}

SurveyFeatures gatherFeatures(const PointTable& table) {
    SurveyFeatures features;
    const int rows = table.rowCount();
    features.points.reserve(static_cast<size_t>(rows));
    std::vector<int> pointOfRow(static_cast<size_t>(rows), -1);
    for (int row = 0; row < rows; ++row) {
        const std::optional<double> north = cellNumber(table.text(row, ColNorth));
        const std::optional<double> east = cellNumber(table.text(row, ColEast));
        if (!north || !east) {
            ++features.skippedRows;
            continue;
        }
        pointOfRow[static_cast<size_t>(row)] = static_cast<int>(features.points.size());
        features.points.push_back({row, *north, *east, cellNumber(table.text(row, ColHeight))});
    }
    auto addToLine = [&](int row) {
        if (row >= 0 && row < rows && pointOfRow[static_cast<size_t>(row)] >= 0)
            features.line.push_back(static_cast<size_t>(pointOfRow[static_cast<size_t>(row)]));
    };
    if (!table.linePoints().empty()) {
        for (const std::string& name : table.linePoints())
            addToLine(table.FindPointRow(name));
    } else {
        for (int row = 0; row < rows; ++row)
            if (table.text(row, ColPointType) == kJStake)
                addToLine(row);
    }
    return features;
}

}  // namespace corvane
