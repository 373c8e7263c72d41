// A build without the geographic layer (the Windows build, which has no PROJ or GDAL):
// a map or GIS file, read or written, is refused as a usage error in one sentence.

#include "geoprocess.h"

#include <iostream>

#include "exitcodes.h"
#include "geoformat.h"
#include "processcommand.h"

namespace corvane {

bool geoInput(const ProcessOptions& options) {
    return !options.inputFormat && geoFormatForPath(options.input).has_value();
}

bool geoOutput(const ProcessOptions& options) {
    return !options.type && geoFormatForPath(options.output).has_value();
}

std::optional<int> checkGeoUsage(const ProcessOptions& options) {
    if (!geoInput(options) && !geoOutput(options))
        return std::nullopt;
    std::cerr << "corvane-cli: " << kGeoLayerMissing << '\n';
    return ExitUsage;
}

Status loadGeoInput(const ProcessOptions&, PointTable&) {
    return Error::data(std::string(kGeoLayerMissing));
}

int writeGeoOutput(const PointTable&, const ProcessOptions&) {
    std::cerr << "corvane-cli: " << kGeoLayerMissing << '\n';
    return ExitUsage;
}

}  // namespace corvane
