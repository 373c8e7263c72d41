#include "geoexport.h"

#include <cpl_error.h>
#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>

#include "columns.h"
#include "filesystem.h"
#include "gdalsupport.h"
#include "kmlwriter.h"
#include "pendingfile.h"
#include "pointtable.h"
#include "surveyfeatures.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

std::string stemOf(const std::string& path) {
    return fs::path(path).stem().string();
}

// A folder beside the target for the files being written: renamed from there they
// replace the old ones in one step each, and a failure removes the folder whole.
class PendingFolder {
public:
    explicit PendingFolder(const std::string& target) {
        fs::path folder = fs::path(target).parent_path();
        if (folder.empty())
            folder = ".";
        m_target = folder;
        std::string pattern =
            (folder / ("." + fs::path(target).filename().string() + ".XXXXXX")).string();
        if (::mkdtemp(pattern.data()) != nullptr) {
            m_path = pattern;
            m_removedOnSignal.emplace(m_path);
        }
    }
    ~PendingFolder() {
        if (!m_path.empty()) {
            std::error_code ec;
            fs::remove_all(m_path, ec);
        }
    }
    PendingFolder(const PendingFolder&) = delete;
    PendingFolder& operator=(const PendingFolder&) = delete;

    bool ok() const { return !m_path.empty(); }
    std::string file(const std::string& name) const { return (fs::path(m_path) / name).string(); }
    const std::string& path() const { return m_path; }

    /// Moves every file written into the target's folder.
    Status place(const std::string& shownTarget) {
        std::error_code ec;
        std::vector<fs::path> files;
        for (const fs::directory_entry& entry : fs::directory_iterator(m_path, ec))
            files.push_back(entry.path());
        for (const fs::path& file : files) {
            fs::rename(file, m_target / file.filename(), ec);
            if (ec)
                return Error::io("无法写入“" + shownTarget + "”：" + ec.message());
        }
        return success();
    }

private:
    fs::path m_target;
    std::string m_path;
    // An interrupted export leaves no hidden folder behind either.
    std::optional<FolderRemovedOnSignal> m_removedOnSignal;
};

struct DatasetClose {
    void operator()(GDALDataset* ds) const { GDALClose(ds); }
};
using DatasetPtr = std::unique_ptr<GDALDataset, DatasetClose>;

Error writeError(const std::string& path) {
    std::string detail = lastGdalError();
    return Error::io("无法写入“" + path + "”" + (detail.empty() ? "。" : "：" + detail));
}

std::string sqlText(std::string_view text) {
    std::string out = "'";
    for (char c : text) {
        out += c;
        if (c == '\'')
            out += '\'';
    }
    return out + "'";
}

// The Chinese column headers as the fields' titles: GeoPackage keeps them in its schema
// extension (this GDAL does not write the alternative names there itself).
Status writeGpkgTitles(GDALDataset& ds, const std::string& layer, const std::string& shownPath) {
    std::string sql =
        "CREATE TABLE IF NOT EXISTS gpkg_data_columns (table_name TEXT NOT NULL, column_name "
        "TEXT NOT NULL, name TEXT, title TEXT, description TEXT, mime_type TEXT, constraint_name "
        "TEXT, CONSTRAINT pk_gdc PRIMARY KEY (table_name, column_name), CONSTRAINT gdc_tn UNIQUE "
        "(table_name, name));"
        "CREATE TABLE IF NOT EXISTS gpkg_extensions (table_name TEXT, column_name TEXT, "
        "extension_name TEXT NOT NULL, definition TEXT NOT NULL, scope TEXT NOT NULL, "
        "CONSTRAINT ge_tce UNIQUE (table_name, column_name, extension_name));"
        "INSERT OR IGNORE INTO gpkg_extensions VALUES ('gpkg_data_columns', NULL, 'gpkg_schema', "
        "'http://www.geopackage.org/spec121/#extension_schema', 'read-write');";
    for (int c = 0; c < kColumnCount; ++c) {
        const std::string_view header = kColumns[static_cast<size_t>(c)].header;
        sql += "INSERT INTO gpkg_data_columns (table_name, column_name, name, title) VALUES (" +
               sqlText(layer) + ", " + sqlText(kFieldNames[c]) + ", " + sqlText(header) + ", " +
               sqlText(header) + ");";
    }
    // One statement at a time: GDAL runs only the first of a list.
    size_t from = 0;
    while (from < sql.size()) {
        const size_t end = sql.find(';', from);
        const std::string statement = sql.substr(from, end - from);
        from = end + 1;
        CPLErrorReset();
        OGRLayer* result = ds.ExecuteSQL(statement.c_str(), nullptr, nullptr);
        if (result != nullptr)
            ds.ReleaseResultSet(result);
        if (CPLGetLastErrorType() >= CE_Failure)
            return writeError(shownPath);
    }
    return success();
}

// The point layer with its seventeen text fields and, beside it, the power line.
Status writeLayers(GDALDataset& ds, GeoFormat format, const PointTable& table,
                   const SurveyFeatures& features, const std::vector<LonLat>* where,
                   OGRSpatialReference& srs, const std::string& pointLayer,
                   const std::string& lineLayer, const std::string& shownPath) {
    bool allHeights = true;
    for (const SurveyPoint& p : features.points)
        allHeights = allHeights && p.height.has_value();
    const OGRwkbGeometryType pointType = allHeights ? wkbPoint25D : wkbPoint;
    char** options = nullptr;
    if (format == GeoFormat::GeoJson) {
        options = CSLSetNameValue(options, "RFC7946", "YES");
        // Ten decimals of a degree: about 0.01 mm.
        options = CSLSetNameValue(options, "COORDINATE_PRECISION", "10");
    } else if (format == GeoFormat::Shp) {
        options = CSLSetNameValue(options, "ENCODING", "UTF-8");
        options = CSLSetNameValue(options, "RESIZE", "YES");
    }
    OGRLayer* layer = ds.CreateLayer(
        pointLayer.c_str(), &srs, format == GeoFormat::GeoJson ? wkbUnknown : pointType, options);
    CSLDestroy(options);
    if (layer == nullptr)
        return writeError(shownPath);
    for (int c = 0; c < kColumnCount; ++c) {
        OGRFieldDefn field(kFieldNames[c], OFTString);
        if (format == GeoFormat::Shp)
            field.SetWidth(254);
        field.SetAlternativeName(std::string(kColumns[static_cast<size_t>(c)].header).c_str());
        if (layer->CreateField(&field) != OGRERR_NONE)
            return writeError(shownPath);
    }
    const bool transaction = format == GeoFormat::Gpkg && ds.StartTransaction() == OGRERR_NONE;
    OGRFeatureDefn* definition = layer->GetLayerDefn();
    for (size_t i = 0; i < features.points.size(); ++i) {
        const SurveyPoint& p = features.points[i];
        OGRFeature feature(definition);
        for (int c = 0; c < kColumnCount; ++c)
            feature.SetField(c, std::string(table.text(p.row, c)).c_str());
        const double x = where ? (*where)[i].lon : p.east;
        const double y = where ? (*where)[i].lat : p.north;
        OGRPoint point = allHeights ? OGRPoint(x, y, *p.height) : OGRPoint(x, y);
        feature.SetGeometry(&point);
        if (layer->CreateFeature(&feature) != OGRERR_NONE)
            return writeError(shownPath);
    }
    if (features.line.size() >= 2) {
        OGRLineString line;
        for (size_t k : features.line) {
            const SurveyPoint& p = features.points[k];
            const double x = where ? (*where)[k].lon : p.east;
            const double y = where ? (*where)[k].lat : p.north;
            if (allHeights)
                line.addPoint(x, y, *p.height);
            else
                line.addPoint(x, y);
        }
        // GeoJSON holds one collection: the line joins the points there.
        OGRLayer* target = layer;
        if (format != GeoFormat::GeoJson) {
            char** lineOptions = nullptr;
            if (format == GeoFormat::Shp)
                lineOptions = CSLSetNameValue(lineOptions, "ENCODING", "UTF-8");
            target = ds.CreateLayer(lineLayer.c_str(), &srs,
                                    allHeights ? wkbLineString25D : wkbLineString, lineOptions);
            CSLDestroy(lineOptions);
            OGRFieldDefn field("name", OFTString);
            if (format == GeoFormat::Shp)
                field.SetWidth(80);
            if (target == nullptr || target->CreateField(&field) != OGRERR_NONE)
                return writeError(shownPath);
        }
        OGRFeature feature(target->GetLayerDefn());
        feature.SetField("name", "电力线");
        if (format == GeoFormat::GeoJson)
            feature.SetField("type", "电力线");
        feature.SetGeometry(&line);
        if (target->CreateFeature(&feature) != OGRERR_NONE)
            return writeError(shownPath);
    }
    if (transaction && ds.CommitTransaction() != OGRERR_NONE)
        return writeError(shownPath);
    if (format == GeoFormat::Gpkg)
        return writeGpkgTitles(ds, pointLayer, shownPath);
    return success();
}

Status writeWithGdal(GeoFormat format, const PointTable& table, const SurveyFeatures& features,
                     const std::vector<LonLat>* where, const Crs& crs, const std::string& path) {
    registerGdal();
    QuietGdal quiet;
    const char* driverName = format == GeoFormat::GeoJson ? "GeoJSON"
                             : format == GeoFormat::Gpkg  ? "GPKG"
                                                          : "ESRI Shapefile";
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(driverName);
    if (driver == nullptr)
        return Error::io(std::string("GDAL 缺少“") + driverName + "”驱动，无法写入“" + path +
                         "”。");
    PendingFolder pending(path);
    if (!pending.ok())
        return Error::io("无法在“" + path + "”所在的文件夹中写入临时文件。");
    const std::string name = fs::path(path).filename().string();
    const std::string stem = stemOf(path);
    // A Shapefile's dataset is its folder: the points and the line are files in it.
    const std::string datasetPath = format == GeoFormat::Shp ? pending.path() : pending.file(name);
    Status written = success();
    {
        DatasetPtr ds(driver->Create(datasetPath.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
        if (!ds)
            return writeError(path);
        OGRSpatialReference srs =
            where ? spatialReferenceOf(Crs::wgs84()) : spatialReferenceOf(crs);
        const bool shp = format == GeoFormat::Shp;
        written = writeLayers(*ds, format, table, features, where, srs, shp ? stem : "points",
                              shp ? stem + "_line" : "line", path);
        // Closing writes what is still buffered; a failure there shows as the
        // thread's last error.
        CPLErrorReset();
        ds.reset();
        if (written && CPLGetLastErrorType() >= CE_Failure)
            written = writeError(path);
    }
    if (!written)
        return written;
    Status placed = pending.place(path);
    // A line of an earlier export must not stay beside points that have none now.
    if (placed && format == GeoFormat::Shp && features.line.size() < 2) {
        const fs::path folder = fs::path(path).parent_path();
        std::error_code ignored;
        for (const char* ext : {".shp", ".shx", ".dbf", ".prj", ".cpg"})
            fs::remove(folder / (stem + "_line" + ext), ignored);
    }
    return placed;
}

}  // namespace

Result<GeoExportReport> exportGeo(const PointTable& table, GeoFormat format, const Crs& crs,
                                  const std::string& path) {
    if (!exportable(format))
        return Error::data("不能导出为“" + std::string(extensionOf(format)) + "”文件。");
    const SurveyFeatures features = gatherFeatures(table);
    if (features.points.empty())
        return Error::data("没有北坐标X和东坐标Y都是数字的行，未写出“" + path + "”。");
    GeoExportReport report;
    report.points = features.points.size();
    report.skippedRows = features.skippedRows;
    report.lineStakes = features.line.size() >= 2 ? features.line.size() : 0;

    std::vector<LonLat> where;
    const bool lonLat =
        format == GeoFormat::Kml || format == GeoFormat::Kmz || format == GeoFormat::GeoJson;
    if (lonLat) {
        Result<CrsTransform> toWgs84 = CrsTransform::create(crs, Crs::wgs84());
        if (!toWgs84)
            return toWgs84.error();
        where.reserve(features.points.size());
        for (const SurveyPoint& p : features.points) {
            double north = p.north;
            double east = p.east;
            if (!toWgs84->apply(north, east))
                return Error::data("点“" + std::string(table.text(p.row, ColName)) +
                                   "”的坐标无法从“" + crs.label() + "”转换为经纬度。");
            where.push_back({east, north});
        }
    }
    if (format == GeoFormat::Kml || format == GeoFormat::Kmz) {
        std::string kml = buildKml(table, features, where, stemOf(path));
        if (format == GeoFormat::Kmz) {
            Result<std::string> zipped = zipKmz(kml);
            if (!zipped)
                return zipped.error();
            kml = std::move(zipped.value());
        }
        Status written = writeFileAtomically(path, kml);
        if (!written)
            return written.error();
        return report;
    }
    Status written = writeWithGdal(format, table, features, lonLat ? &where : nullptr, crs, path);
    if (!written)
        return written.error();
    return report;
}

}  // namespace corvane
