#pragma once

#include <optional>
#include <string_view>

namespace corvane {

/// False in a build without PROJ and GDAL (the Windows build for now): it has no
/// coordinate systems and reads and writes no map or GIS file.
inline constexpr bool kGeoLayerBuilt = CORVANE_GEO_LAYER != 0;

/// What a build without the geographic layer says when one of its files is asked for.
inline constexpr std::string_view kGeoLayerMissing =
    "这个版本没有坐标系和地图文件功能，不能读写 KML、KMZ、GeoJSON、GeoPackage、Shapefile 和 GPX "
    "文件。";

/// The files exchanged with map programs and GIS.
enum class GeoFormat { Kml, Kmz, GeoJson, Gpkg, Shp, Gpx };

/// The format a path's extension names (any letter case), if any.
std::optional<GeoFormat> geoFormatForPath(std::string_view path);

/// ".kml", ".kmz", ".geojson", ".gpkg", ".shp" or ".gpx".
std::string_view extensionOf(GeoFormat format);

/// True for the formats the export writes (all but GPX, which is only read).
bool exportable(GeoFormat format);

}  // namespace corvane
