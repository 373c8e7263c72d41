#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "crs.h"
#include "geoexport.h"
#include "geoformat.h"
#include "geoimport.h"
#include "result.h"

namespace corvane {

class PointTable;

/// Moves a point from one coordinate system to another (see CrsTransform).
class PointTransform {
public:
    virtual ~PointTransform() = default;
    /// In place; false when the point lies outside what the systems cover.
    virtual bool apply(double& north, double& east) const = 0;
};

/// The geographic layer as the editor reaches it. PROJ and GDAL cost tens of megabytes
/// of memory the moment they are loaded, so the editor keeps them in a module opened
/// on first use and calls them only through this interface; the command line links
/// the functions directly. Each call does what the free function of the same name does.
class GeoLayer {
public:
    virtual ~GeoLayer() = default;

    virtual Result<Crs> crsFromUserText(std::string_view text) const = 0;
    /// From `from` to WGS 84 latitude and longitude.
    virtual Result<std::unique_ptr<PointTransform>> toWgs84(const Crs& from) const = 0;
    virtual const std::vector<UsualCrs>& usualCrsList() const = 0;
    virtual std::optional<std::string> zoneWarning(const Crs& crs,
                                                   const std::vector<double>& eastings) const = 0;
    virtual Result<GeoExportReport> exportGeo(const PointTable& table, GeoFormat format,
                                              const Crs& crs, const std::string& path) const = 0;
    virtual Result<GeoImport> importGeo(const std::string& path, const Crs& crs) const = 0;
};

/// The module's entry, `extern "C" const GeoLayer* corvaneGeoLayer(int version)`: the
/// layer, or null when the module was built for another version of the interface.
inline constexpr char kGeoLayerEntry[] = "corvaneGeoLayer";
/// Raised with every change of GeoLayer, so that an editor never calls into a module
/// left from another build.
inline constexpr int kGeoLayerVersion = 1;
using GeoLayerEntry = const GeoLayer* (*)(int version);

}  // namespace corvane
