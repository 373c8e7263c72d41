#include "geoimport.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <array>
#include <cmath>
#include <map>
#include <memory>
#include <optional>

#include "cellnumber.h"
#include "columns.h"
#include "gdalsupport.h"
#include "geoformat.h"
#include "pointfilereader.h"
#include "surveyfeatures.h"
#include "vocabularies.h"

namespace corvane {
namespace {

struct DatasetClose {
    void operator()(GDALDataset* ds) const { GDALClose(ds); }
};

struct Vertex {
    double x = 0.0;  // easting or longitude
    double y = 0.0;
    std::optional<double> z;
};

struct PointFeature {
    Vertex at;
    std::string name;
    std::array<std::string, kColumnCount> cells;  // the export's own fields
    bool hasCells = false;
};

// The system a layer's coordinates are in: its own, or for the formats that have
// none WGS 84, or else the one chosen.
Result<Crs> layerCrs(OGRLayer& layer, const Crs& chosen, GeoFormat format) {
    const OGRSpatialReference* srs = layer.GetSpatialRef();
    if (srs == nullptr) {
        if (format == GeoFormat::Gpkg || format == GeoFormat::Shp)
            return chosen;
        return Crs::wgs84();
    }
    OGRSpatialReference copy(*srs);
    if (copy.GetAuthorityName(nullptr) == nullptr)
        copy.AutoIdentifyEPSG();
    const char* auth = copy.GetAuthorityName(nullptr);
    const char* code = copy.GetAuthorityCode(nullptr);
    if (auth && code) {
        Result<Crs> known = Crs::fromUserText(std::string(auth) + ":" + code);
        if (known)
            return known;
    }
    char* wkt = nullptr;
    const char* options[] = {"FORMAT=WKT2_2019", nullptr};
    copy.exportToWkt(&wkt, options);
    std::string text = wkt ? wkt : "";
    CPLFree(wkt);
    return Crs::fromUserText(text);
}

void addVertices(const OGRGeometry* geometry, std::vector<Vertex>& points,
                 std::vector<Vertex>& lineVertices) {
    if (geometry == nullptr)
        return;
    const OGRwkbGeometryType type = wkbFlatten(geometry->getGeometryType());
    if (type == wkbPoint) {
        const auto* p = geometry->toPoint();
        if (!p->IsEmpty())
            points.push_back({p->getX(), p->getY(),
                              p->Is3D() ? std::optional<double>(p->getZ()) : std::nullopt});
    } else if (type == wkbLineString) {
        const auto* line = geometry->toLineString();
        for (int i = 0; i < line->getNumPoints(); ++i)
            lineVertices.push_back(
                {line->getX(i), line->getY(i),
                 line->Is3D() ? std::optional<double>(line->getZ(i)) : std::nullopt});
    } else if (OGR_GT_IsSubClassOf(type, wkbGeometryCollection)) {
        const auto* collection = geometry->toGeometryCollection();
        for (const OGRGeometry* part : *collection)
            addVertices(part, points, lineVertices);
    }
}

std::string fieldText(OGRFeature& feature, int index) {
    if (index < 0 || !feature.IsFieldSetAndNotNull(index))
        return {};
    return feature.GetFieldAsString(index);
}

Row makeRow(const std::string& name, const std::string& north, const std::string& east,
            const std::string& height, std::string_view type) {
    return Row(rawPointCells(name, north, east, height, type));
}

// The export's texts of X and Y when they are where the geometry is (within a
// millimetre): a file edited in a GIS program gives its moved points.
bool cellsAgree(const std::array<std::string, kColumnCount>& cells, double north, double east) {
    const std::optional<double> x = cellNumber(cells[ColNorth]);
    const std::optional<double> y = cellNumber(cells[ColEast]);
    return x && y && std::fabs(*x - north) <= 1e-3 && std::fabs(*y - east) <= 1e-3;
}

}  // namespace

Result<GeoImport> importGeo(const std::string& path, const Crs& crs) {
    registerGdal();
    QuietGdal quiet;
    std::unique_ptr<GDALDataset, DatasetClose> ds(
        GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY | GDAL_OF_VERBOSE_ERROR));
    if (!ds) {
        const std::string detail = lastGdalError();
        return Error::io("无法读取“" + path + "”：GDAL 不能打开这个文件" +
                         (detail.empty() ? "。" : "（" + detail + "）。"));
    }
    const GeoFormat format = geoFormatForPath(path).value_or(GeoFormat::GeoJson);
    GeoImport imported;
    std::vector<PointFeature> points;
    std::vector<Vertex> lineVertices;
    for (OGRLayer* layer : ds->GetLayers()) {
        Result<Crs> from = layerCrs(*layer, crs, format);
        if (!from)
            return Error::data("“" + path + "”的图层“" + layer->GetName() + "”的坐标系无法识别。");
        Result<CrsTransform> transform = CrsTransform::create(from.value(), crs);
        if (!transform)
            return transform.error();
        OGRFeatureDefn* definition = layer->GetLayerDefn();
        int nameField = -1;
        for (const char* candidate : {"name", "Name", "点名"}) {
            nameField = definition->GetFieldIndex(candidate);
            if (nameField >= 0)
                break;
        }
        std::array<int, kColumnCount> columnFields{};
        bool ownFields = true;
        for (int c = 0; c < kColumnCount; ++c) {
            columnFields[static_cast<size_t>(c)] = definition->GetFieldIndex(kFieldNames[c]);
            ownFields = ownFields && columnFields[static_cast<size_t>(c)] >= 0;
        }
        const size_t firstLineVertex = lineVertices.size();
        layer->ResetReading();
        for (auto& feature : *layer) {
            std::vector<Vertex> found;
            addVertices(feature->GetGeometryRef(), found, lineVertices);
            for (Vertex& v : found) {
                PointFeature point;
                point.at = v;
                point.name = fieldText(*feature, nameField);
                if (ownFields) {
                    for (int c = 0; c < kColumnCount; ++c)
                        point.cells[static_cast<size_t>(c)] =
                            fieldText(*feature, columnFields[static_cast<size_t>(c)]);
                    point.hasCells = true;
                }
                if (transform->apply(point.at.y, point.at.x))
                    points.push_back(std::move(point));
                else
                    ++imported.unplacedFeatures;
            }
        }
        for (size_t i = firstLineVertex; i < lineVertices.size();) {
            if (transform->apply(lineVertices[i].y, lineVertices[i].x)) {
                ++i;
            } else {
                ++imported.unplacedFeatures;
                lineVertices.erase(lineVertices.begin() + static_cast<std::ptrdiff_t>(i));
            }
        }
    }
    if (!points.empty()) {
        imported.rows.reserve(points.size());
        for (size_t i = 0; i < points.size(); ++i) {
            PointFeature& p = points[i];
            if (p.hasCells && cellsAgree(p.cells, p.at.y, p.at.x)) {
                std::array<std::string_view, kColumnCount> cells;
                for (int c = 0; c < kColumnCount; ++c)
                    cells[static_cast<size_t>(c)] = p.cells[static_cast<size_t>(c)];
                imported.rows.emplace_back(cells);
                continue;
            }
            const std::string name = p.name.empty() ? "P" + std::to_string(i + 1) : p.name;
            imported.rows.push_back(makeRow(name, formatFixed(p.at.y, 4), formatFixed(p.at.x, 4),
                                            p.at.z ? formatFixed(*p.at.z, 3) : std::string(),
                                            kOrdinaryPoint));
        }
        return imported;
    }
    // A route drawn in a map program: its turning points become the line's J stakes.
    imported.fromLine = true;
    int number = 0;
    for (size_t i = 0; i < lineVertices.size(); ++i) {
        const Vertex& v = lineVertices[i];
        if (i > 0 && v.x == lineVertices[i - 1].x && v.y == lineVertices[i - 1].y)
            continue;
        imported.rows.push_back(makeRow("J" + std::to_string(++number), formatFixed(v.y, 4),
                                        formatFixed(v.x, 4),
                                        v.z ? formatFixed(*v.z, 3) : std::string(), kJStake));
    }
    if (imported.rows.empty())
        return Error::data("“" + path + "”中没有可导入的点或线。");
    return imported;
}

}  // namespace corvane
