#include "gdalsupport.h"

#include <cpl_error.h>
#include <gdal.h>
#include <ogr_spatialref.h>

#include <mutex>

#include "crs.h"

namespace corvane {

const char* const kFieldNames[17] = {"name",   "x",       "y",      "h",     "seg_start", "seg_end",
                                     "remark", "mileage", "offset", "type",  "crossing",  "height",
                                     "angle",  "pole",    "length", "width", "old_name"};

void registerGdal() {
    static std::once_flag once;
    std::call_once(once, [] { GDALAllRegister(); });
}

std::string lastGdalError() {
    const char* message = CPLGetLastErrorMsg();
    return message ? message : "";
}

QuietGdal::QuietGdal() {
    CPLPushErrorHandler(CPLQuietErrorHandler);
    CPLErrorReset();
}

QuietGdal::~QuietGdal() {
    CPLPopErrorHandler();
}

OGRSpatialReference spatialReferenceOf(const Crs& crs) {
    OGRSpatialReference srs;
    if (crs.code().rfind("EPSG:", 0) != 0 ||
        srs.importFromEPSG(std::atoi(crs.code().c_str() + 5)) != OGRERR_NONE)
        srs.importFromWkt(crs.wkt().c_str());
    srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return srs;
}

}  // namespace corvane
