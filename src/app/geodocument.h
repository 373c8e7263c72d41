#pragma once

#include <QString>
#include <QStringList>

namespace corvane {

/// The import dialog's point file types come first, then the map and GIS types.
inline constexpr int kPointFileImportTypes = 2;
/// The export dialog's point file types (".org", ".ept", ".csv", ".dxf") come first.
inline constexpr int kPointFileExportTypes = 4;

/// The export dialog's map and GIS types: KML, KMZ, GeoJSON, GeoPackage, Shapefile.
QStringList geoExportFilters();
/// The import dialog's: those and GPX.
QStringList geoImportFilters();
/// The extension of the `geoType`-th (1-based) map or GIS export type, e.g. ".kml".
QString geoExportExtension(int geoType);
/// "EPSG:4547 CGCS2000 / ..." for a system's text, the text itself when PROJ does not
/// know it, "" for "".
QString coordinateSystemLabel(const QString& text);
/// True when the path's extension names a map or GIS file.
bool isGeoPath(const QString& path);

}  // namespace corvane
