#pragma once

#include <optional>
#include <string_view>

namespace corvane {

/// The files exchanged with map programs and GIS.
enum class GeoFormat { Kml, Kmz, GeoJson, Gpkg, Shp, Gpx };

/// The format a path's extension names (any letter case), if any.
std::optional<GeoFormat> geoFormatForPath(std::string_view path);

/// ".kml", ".kmz", ".geojson", ".gpkg", ".shp" or ".gpx".
std::string_view extensionOf(GeoFormat format);

/// True for the formats the export writes (all but GPX, which is only read).
bool exportable(GeoFormat format);

}  // namespace corvane
