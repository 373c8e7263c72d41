#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace corvane {

class PointTable;

/// A row of the table placed on the map: its table coordinates and height.
struct SurveyPoint {
    int row = 0;
    double north = 0.0;
    double east = 0.0;
    std::optional<double> height;  // when column 3 is a number
};

/// What of the table the geographic exports write.
struct SurveyFeatures {
    std::vector<SurveyPoint> points;  // the rows whose X and Y are numbers, in table order
    size_t skippedRows = 0;           // the rows whose X or Y is not
    /// The power line: indexes into `points` of the J stakes of the line point list in
    /// its order, or without a list of the J-stake rows in table order.
    std::vector<size_t> line;
};

/// The whole text as a number ("12.5", " -3e2 "), else nothing.
std::optional<double> cellNumber(std::string_view text);

SurveyFeatures gatherFeatures(const PointTable& table);

}  // namespace corvane
