#pragma once

#include <QString>

namespace corvane {

class GeoLayer;

/// The geographic layer (coordinate systems, map and GIS files). Its module is opened
/// on the first call and stays open; null when it cannot be opened, with `problem` set
/// to a Chinese sentence and `details` to the system's reason.
const GeoLayer* geoLayer(QString* problem = nullptr, QString* details = nullptr);

}  // namespace corvane
