// A build without the geographic formats (the Windows cross build, which has no PROJ
// or GDAL): every input and output is a point file.

#include "geoprocess.h"

namespace corvane {

bool geoInput(const ProcessOptions&) {
    return false;
}

bool geoOutput(const ProcessOptions&) {
    return false;
}

std::optional<int> checkGeoUsage(const ProcessOptions&) {
    return std::nullopt;
}

Status loadGeoInput(const ProcessOptions&, PointTable&) {
    return Error::data("这个版本不能读取地图和 GIS 文件。");
}

int writeGeoOutput(const PointTable&, const ProcessOptions&) {
    return 2;
}

}  // namespace corvane
