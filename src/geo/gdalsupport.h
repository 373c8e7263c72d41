#pragma once

#include <string>

class OGRSpatialReference;

namespace corvane {

class Crs;

/// Registers GDAL's drivers once.
void registerGdal();

/// The last GDAL error message of this thread, or "" when none.
std::string lastGdalError();

/// Keeps GDAL's messages off stderr while alive (this thread only); they are read
/// with lastGdalError instead.
class QuietGdal {
public:
    QuietGdal();
    ~QuietGdal();
    QuietGdal(const QuietGdal&) = delete;
    QuietGdal& operator=(const QuietGdal&) = delete;
};

/// GDAL's reference for `crs`, easting (or longitude) first in geometries.
OGRSpatialReference spatialReferenceOf(const Crs& crs);

/// The short ASCII field names of the seventeen columns, in column order.
extern const char* const kFieldNames[17];

}  // namespace corvane
