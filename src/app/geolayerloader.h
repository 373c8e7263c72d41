#pragma once

#include <QString>

class QWidget;

namespace corvane {

class GeoLayer;

/// The geographic layer (coordinate systems, map and GIS files). Its module is opened
/// on the first call and stays open; null when it cannot be opened, with `problem` set
/// to a Chinese sentence and `details` to the system's reason.
const GeoLayer* geoLayer(QString* problem = nullptr, QString* details = nullptr);
/// The same, saying in a message box over `parent` why it cannot be opened.
const GeoLayer* geoLayerOrSay(QWidget* parent);

}  // namespace corvane
