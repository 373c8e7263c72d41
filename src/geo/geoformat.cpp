#include "geoformat.h"

#include <array>
#include <cctype>
#include <string>

namespace corvane {
namespace {

constexpr std::array<GeoFormat, 6> kFormats = {GeoFormat::Kml,  GeoFormat::Kmz, GeoFormat::GeoJson,
                                               GeoFormat::Gpkg, GeoFormat::Shp, GeoFormat::Gpx};

}  // namespace

std::string_view extensionOf(GeoFormat format) {
    switch (format) {
        case GeoFormat::Kml:
            return ".kml";
        case GeoFormat::Kmz:
            return ".kmz";
        case GeoFormat::GeoJson:
            return ".geojson";
        case GeoFormat::Gpkg:
            return ".gpkg";
        case GeoFormat::Shp:
            return ".shp";
        case GeoFormat::Gpx:
            return ".gpx";
    }
    return "";
}

std::optional<GeoFormat> geoFormatForPath(std::string_view path) {
    const size_t dot = path.rfind('.');
    const size_t slash = path.find_last_of("/\\");
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return std::nullopt;
    std::string ext(path.substr(dot));
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (GeoFormat f : kFormats)
        if (ext == extensionOf(f))
            return f;
    return std::nullopt;
}

bool exportable(GeoFormat format) {
    return format != GeoFormat::Gpx;
}

}  // namespace corvane
