#pragma once

#include <string>
#include <vector>

#include "result.h"
#include "surveyfeatures.h"

namespace corvane {

class PointTable;

/// Longitude and latitude in degrees of each point of `features.points`.
struct LonLat {
    double lon = 0.0;
    double lat = 0.0;
};

/// The KML document: placemarks named by column 0 in folders by point type (J stakes,
/// Z stakes and the other points styled apart), each with its row's cells under the
/// column headers, and the power line as a red LineString.
std::string buildKml(const PointTable& table, const SurveyFeatures& features,
                     const std::vector<LonLat>& where, const std::string& title);

/// The KMZ archive holding `kml` as doc.kml.
Result<std::string> zipKmz(const std::string& kml);

}  // namespace corvane
