// The module the editor opens on first use of a coordinate system or a map file.

#include "geolayer.h"

namespace corvane {
namespace {

class ProjTransform final : public PointTransform {
public:
    explicit ProjTransform(CrsTransform transform) : m_transform(std::move(transform)) {}
    bool apply(double& north, double& east) const override {
        return m_transform.apply(north, east);
    }

private:
    CrsTransform m_transform;
};

class LinkedGeoLayer final : public GeoLayer {
public:
    Result<Crs> crsFromUserText(std::string_view text) const override {
        return Crs::fromUserText(text);
    }
    Result<std::unique_ptr<PointTransform>> toWgs84(const Crs& from) const override {
        Result<CrsTransform> transform = CrsTransform::create(from, Crs::wgs84());
        if (!transform)
            return transform.error();
        return std::unique_ptr<PointTransform>(
            std::make_unique<ProjTransform>(std::move(transform.value())));
    }
    const std::vector<UsualCrs>& usualCrsList() const override { return corvane::usualCrsList(); }
    std::optional<std::string> zoneWarning(const Crs& crs,
                                           const std::vector<double>& eastings) const override {
        return corvane::zoneWarning(crs, eastings);
    }
    Result<GeoExportReport> exportGeo(const PointTable& table, GeoFormat format, const Crs& crs,
                                      const std::string& path) const override {
        return corvane::exportGeo(table, format, crs, path);
    }
    Result<GeoImport> importGeo(const std::string& path, const Crs& crs) const override {
        return corvane::importGeo(path, crs);
    }
};

}  // namespace
}  // namespace corvane

extern "C" __attribute__((visibility("default"))) const corvane::GeoLayer* corvaneGeoLayer(
    int version) {
    static const corvane::LinkedGeoLayer layer;
    return version == corvane::kGeoLayerVersion ? &layer : nullptr;
}
