#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "row.h"

namespace corvane {

/// What kind of synthetic survey to make.
struct SurveyShape {
    size_t points = 1'000'000;  // rows in all, J stakes included
    size_t jStakes = 2000;
    uint32_t seed = 12345;
    /// Fill the segment, distance and offset columns as the computations would
    /// (segments assigned to the nearest leg, distances and offsets plausible).
    bool computed = false;
};

/// A survey: a line of J stakes running roughly north-east with turns, ordinary
/// points, Z stakes, crossed lines and one-, two- and three-point objects scattered
/// along it, with realistic cell texts (Chinese vocabulary entries included).
struct Survey {
    std::vector<Row> rows;
    std::vector<std::string> linePoints;  // the J stakes' names in line order
};

Survey generateSurvey(const SurveyShape& shape);

/// The survey as an ".ept" file (code page 936, CR LF) with a title line first.
std::string surveyEptBytes(const Survey& survey);

/// The survey as a raw instrument file: name, code, north, east, elevation.
std::string surveyRawCsvBytes(const Survey& survey);

}  // namespace corvane
