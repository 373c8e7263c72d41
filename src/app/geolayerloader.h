#pragma once

#include <QString>

namespace corvane {

class GeoLayer;

/// The geographic layer (coordinate systems, map and GIS files). Its module is opened
/// on the first call and stays open; null, with `problem` set to a Chinese sentence,
/// when it cannot be opened.
const GeoLayer* geoLayer(QString* problem = nullptr);

}  // namespace corvane
