#pragma once

#include <string>
#include <vector>

#include "crs.h"
#include "result.h"
#include "row.h"

namespace corvane {

/// What an import from a map or GIS file read, ready to replace the point table.
struct GeoImport {
    std::vector<Row> rows;
    bool fromLine = false;        // the rows are the vertices of line features (J stakes)
    size_t unplacedFeatures = 0;  // features whose coordinates PROJ could not transform
};

/// Reads the point features of a file GDAL opens (KML, KMZ, GeoJSON, GeoPackage,
/// Shapefile, GPX) as rows like a raw survey file's, X and Y in `crs`: the name from a
/// field "name", "Name" or "点名", else "P1", "P2", … by the point's place in the file;
/// H from the third coordinate. A file without points gives the vertices of its lines
/// as J stakes J1, J2, …. Rows written by the geographic export come back with all
/// their cells. A file GDAL cannot open is a file error, one with nothing to import a
/// data error.
Result<GeoImport> importGeo(const std::string& path, const Crs& crs);

/// A one-line Chinese summary of an import.
std::string geoImportSummary(const GeoImport& imported);

}  // namespace corvane
