#pragma once

#include <string>

#include "crs.h"
#include "geoformat.h"
#include "result.h"

namespace corvane {

class PointTable;

/// What a geographic export wrote.
struct GeoExportReport {
    size_t points = 0;       // point features written
    size_t skippedRows = 0;  // rows left out because X or Y is not a number
    size_t lineStakes = 0;   // vertices of the power line (0: no line written)
};

/// Writes the table's rows as `format` (not GPX) to `path`, the table's X and Y read in
/// `crs`: KML, KMZ and GeoJSON in WGS 84 longitude/latitude, GeoPackage and Shapefile
/// in `crs` itself. Atomic: the files are written under temporary names in the
/// target's folder and renamed into place only when complete. A table without a single
/// row whose X and Y are numbers is a data error and writes nothing.
Result<GeoExportReport> exportGeo(const PointTable& table, GeoFormat format, const Crs& crs,
                                  const std::string& path);

/// A Chinese sentence on what was left out, empty when nothing was.
std::string geoExportNotice(const GeoExportReport& report);

}  // namespace corvane
