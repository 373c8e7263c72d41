// Map and GIS files: what the exports write, read back with GDAL's ogrinfo and with
// the import; the import's rows and its errors.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <regex>
#include <sstream>

#include "bytefiles.h"
#include "columns.h"
#include "crs.h"
#include "geoexport.h"
#include "geoimport.h"
#include "geotools.h"
#include "pointtable.h"
#include "rowbuilder.h"
#include "surveyfeatures.h"
#include "tempdir.h"

namespace corvane {
namespace {

using test::Cells;
using test::folderEntries;
using test::readFile;
using test::rowsOf;
using test::runProgram;
using test::TempFolder;
using test::writeFile;

const char* kZone38 = "EPSG:4526";  // CGCS2000 3-degree zone 38, the zone number in front

// A line of two J stakes in zone 38 with a Z stake, a house and a point between, and
// a row whose X is not a number.
void fillSurvey(PointTable& table) {
    table.replaceAll(
        rowsOf({
            {.name = "J1",
             .north = "3380000.125",
             .east = "38500000.250",
             .height = "12.5",
             .type = kJStake},
            {.name = "点1",
             .north = "3380010.5",
             .east = "38500020.25",
             .height = "13",
             .remark = "田边"},
            {.name = "Z1", .north = "3380500", .east = "38500250", .height = "12", .type = kZStake},
            {.name = "房1",
             .north = "3380600.75",
             .east = "38500310.5",
             .height = "14",
             .type = kOnePointObject,
             .crossing = "房屋(201)"},
            {.name = "坏点", .north = "abc", .east = "38500000", .height = "1"},
            {.name = "J2", .north = "3381000", .east = "38500500", .height = "11", .type = kJStake},
        }),
        {});
}

Crs zone38() {
    return Crs::fromUserText(kZone38).value();
}

std::string ogrinfo(const std::string& path, std::vector<std::string> extra = {}) {
    std::vector<std::string> args = {"-ro", "-al"};
    args.insert(args.end(), extra.begin(), extra.end());
    args.push_back(path);
    const test::CliRun run = runProgram("ogrinfo", args);
    EXPECT_EQ(run.status, 0) << run.err;
    return run.out;
}

// "Layer name: X" followed by "Feature Count: N", for every layer.
std::map<std::string, int> featureCounts(const std::string& summary) {
    std::map<std::string, int> counts;
    std::regex layer("Layer name: ([^\\n]*)\\n(?:[^\\n]*\\n)*?Feature Count: (\\d+)");
    for (std::sregex_iterator it(summary.begin(), summary.end(), layer), end; it != end; ++it)
        counts[(*it)[1]] = std::stoi((*it)[2]);
    return counts;
}

TEST(GeoExport, FilesReadBackWithOgrinfo) {
    CORVANE_NEEDS_TOOL("ogrinfo");
    TempFolder dir;
    PointTable table;
    fillSurvey(table);
    const struct {
        const char* file;
        GeoFormat format;
        std::map<std::string, int> counts;
        std::vector<std::string> texts;  // in ogrinfo's full listing
    } cases[] = {
        {"s.kml",
         GeoFormat::Kml,
         {{"J桩", 2}, {"Z桩", 1}, {"普通点", 1}, {"1点测路河塘房等", 1}, {"s", 1}},
         {"Name (String) = 电力线", "房屋(201)", "田边", "ID[\"EPSG\",4326]"}},
        {"s.kmz",
         GeoFormat::Kmz,
         {{"J桩", 2}, {"Z桩", 1}, {"普通点", 1}, {"1点测路河塘房等", 1}, {"s", 1}},
         {"Name (String) = 电力线", "房屋(201)"}},
        {"s.geojson",
         GeoFormat::GeoJson,
         {{"points", 6}},
         {"remark (String) = 田边", "crossing (String) = 房屋(201)", "name (String) = 电力线",
          "ID[\"EPSG\",4326]"}},
        {"s.gpkg",
         GeoFormat::Gpkg,
         {{"points", 5}, {"line", 1}},
         {"name (String) = 房1", "remark (String) = 田边", "ID[\"EPSG\",4526]",
          "POINT Z (38500020.25 3380010.5 13)"}},
        {"s.shp",
         GeoFormat::Shp,
         {{"s", 5}},
         {"remark (String) = 田边", "old_name (String)", "CGCS2000",
          "POINT Z (38500020.25 3380010.5 13)"}},
    };
    for (const auto& c : cases) {
        const std::string path = dir.file(c.file);
        Result<GeoExportReport> report = exportGeo(table, c.format, zone38(), path);
        ASSERT_TRUE(report) << c.file << ": " << report.error().message;
        EXPECT_EQ(report->points, 5u);
        EXPECT_EQ(report->skippedRows, 1u);
        EXPECT_EQ(report->lineStakes, 2u);
        const std::string listing = ogrinfo(path);
        EXPECT_EQ(featureCounts(listing), c.counts) << c.file;
        for (const std::string& text : c.texts)
            EXPECT_NE(listing.find(text), std::string::npos) << c.file << " lacks " << text;
    }
    // A Shapefile's line is a file of its own; both say UTF-8.
    EXPECT_EQ(featureCounts(ogrinfo(dir.file("s_line.shp"))),
              (std::map<std::string, int>{{"s_line", 1}}));
    EXPECT_EQ(readFile(dir / "s.cpg"), "UTF-8");
    EXPECT_EQ(readFile(dir / "s_line.cpg"), "UTF-8");
    // Exported again without J stakes: no line, and the old line's files are gone.
    PointTable noLine;
    noLine.replaceAll(rowsOf({{.name = "A", .north = "3380000", .east = "38500000"}}), {});
    ASSERT_TRUE(exportGeo(noLine, GeoFormat::Shp, zone38(), dir.file("s.shp")));
    EXPECT_FALSE(std::filesystem::exists(dir / "s_line.shp"));
    EXPECT_FALSE(std::filesystem::exists(dir / "s_line.dbf"));
    // GeoPackage keeps the Chinese headers as the fields' titles.
    EXPECT_NE(readFile(dir / "s.gpkg").find("北坐标X[m]"), std::string::npos);
    // Nothing but the files themselves is left in the folder.
    for (const std::string& name : folderEntries(dir.path()))
        EXPECT_NE(name[0], '.') << name;
}

// What the KML says of a point is what PROJ's cs2cs says, to 1e-9 degree.
TEST(GeoExport, KmlCoordinatesAgreeWithCs2cs) {
    CORVANE_NEEDS_TOOL("cs2cs");
    TempFolder dir;
    PointTable table;
    fillSurvey(table);
    ASSERT_TRUE(exportGeo(table, GeoFormat::Kml, zone38(), dir.file("s.kml")));
    const std::string kml = readFile(dir / "s.kml");

    std::string input;
    std::vector<std::string> names;
    for (const SurveyPoint& p : gatherFeatures(table).points) {
        std::ostringstream line;
        line.precision(15);
        line << p.north << ' ' << p.east << '\n';
        input += line.str();
        names.emplace_back(table.text(p.row, ColName));
    }
    writeFile(dir.file("in.txt"), input);
    const test::CliRun run =
        runProgram("cs2cs", {"-f", "%.12f", kZone38, "EPSG:4326", dir.file("in.txt")});
    ASSERT_EQ(run.status, 0) << run.err;
    std::istringstream expected(run.out);
    for (const std::string& name : names) {
        double lat = 0, lon = 0, z = 0;
        ASSERT_TRUE(expected >> lat >> lon >> z);
        const size_t at = kml.find("<name>" + name + "</name>");
        ASSERT_NE(at, std::string::npos) << name;
        const size_t open = kml.find("<coordinates>", at) + 13;
        double kmlLon = 0, kmlLat = 0;
        ASSERT_EQ(std::sscanf(kml.c_str() + open, "%lf,%lf", &kmlLon, &kmlLat), 2);
        EXPECT_NEAR(kmlLon, lon, 1e-9) << name;
        EXPECT_NEAR(kmlLat, lat, 1e-9) << name;
    }
}

// Export then import: X and Y back within a millimetre; the files with the table's
// own fields give back every cell.
TEST(GeoExport, ImportGivesBackTheTable) {
    TempFolder dir;
    PointTable table;
    fillSurvey(table);
    const struct {
        const char* file;
        GeoFormat format;
        bool allCells;
    } cases[] = {
        {"r.kml", GeoFormat::Kml, false},        {"r.kmz", GeoFormat::Kmz, false},
        {"r.geojson", GeoFormat::GeoJson, true}, {"r.gpkg", GeoFormat::Gpkg, true},
        {"r.shp", GeoFormat::Shp, true},
    };
    for (const auto& c : cases) {
        const std::string path = dir.file(c.file);
        ASSERT_TRUE(exportGeo(table, c.format, zone38(), path)) << c.file;
        Result<GeoImport> back = importGeo(path, zone38());
        ASSERT_TRUE(back) << c.file << ": " << back.error().message;
        EXPECT_FALSE(back->fromLine);
        const SurveyFeatures original = gatherFeatures(table);
        ASSERT_EQ(back->rows.size(), original.points.size()) << c.file;
        for (size_t i = 0; i < original.points.size(); ++i) {
            const Row& row = back->rows[i];
            // KML's folders gather the points by type; the other files keep table order.
            const int from =
                c.allCells ? original.points[i].row : table.FindPointRow(row.cell(ColName));
            ASSERT_GE(from, 0) << c.file << " " << row.cell(ColName);
            EXPECT_EQ(row.cell(ColName), table.text(from, ColName)) << c.file;
            EXPECT_NEAR(*cellNumber(row.cell(ColNorth)), *cellNumber(table.text(from, ColNorth)),
                        1e-3);
            EXPECT_NEAR(*cellNumber(row.cell(ColEast)), *cellNumber(table.text(from, ColEast)),
                        1e-3);
            EXPECT_NEAR(*cellNumber(row.cell(ColHeight)), *cellNumber(table.text(from, ColHeight)),
                        1e-3);
            if (c.allCells)
                EXPECT_EQ(row, table.rowAt(from)) << c.file << " row " << i;
            else
                EXPECT_EQ(row.cell(ColPointType), kOrdinaryPoint);
        }
    }
}

TEST(GeoExport, NothingToWriteKeepsTheOldFile) {
    TempFolder dir;
    PointTable table;
    table.replaceAll(rowsOf({{.name = "A", .north = "", .east = "1"},
                             {.name = "B", .north = "1", .east = "x1"}}),
                     {});
    for (const char* file : {"old.kml", "old.gpkg", "old.shp"}) {
        writeFile(dir / file, "old");
        Result<GeoExportReport> report =
            exportGeo(table, *geoFormatForPath(file), zone38(), dir.file(file));
        ASSERT_FALSE(report);
        EXPECT_EQ(report.error().kind, Error::Kind::Data);
        EXPECT_EQ(readFile(dir / file), "old");
    }
    EXPECT_EQ(folderEntries(dir.path()).size(), 3u);
    // A folder that does not exist is a file error.
    fillSurvey(table);
    for (const char* file : {"none/x.kml", "none/x.gpkg", "none/x.shp"}) {
        Result<GeoExportReport> report =
            exportGeo(table, *geoFormatForPath(file), zone38(), dir.file(file));
        ASSERT_FALSE(report) << file;
        EXPECT_EQ(report.error().kind, Error::Kind::Io) << file;
    }
}

TEST(GeoExport, NoticeCountsRowsLeftOut) {
    GeoExportReport report;
    EXPECT_EQ(geoExportNotice(report), "");
    report.skippedRows = 3;
    EXPECT_EQ(geoExportNotice(report), "3 行的北坐标X或东坐标Y不是数字，未导出");
}

TEST(GeoImport, PointsOfMapFilesBecomeRawRows) {
    TempFolder dir;
    // WGS 84 points from a map program: one named, one not, one with a height.
    writeFile(dir / "p.geojson",
              R"({"type":"FeatureCollection","features":[
{"type":"Feature","properties":{"name":"塔1"},"geometry":{"type":"Point","coordinates":[114.0,30.5]}},
{"type":"Feature","properties":{},"geometry":{"type":"Point","coordinates":[114.001,30.501,25.5]}},
{"type":"Feature","properties":{"name":"route"},"geometry":{"type":"LineString","coordinates":[[114,30],[115,31]]}}]})");
    writeFile(
        dir / "w.gpx",
        R"(<?xml version="1.0"?><gpx version="1.1" creator="t" xmlns="http://www.topografix.com/GPX/1/1">
<wpt lat="30.5" lon="114.0"><ele>10</ele><name>WP一</name></wpt>
<wpt lat="30.6" lon="114.1"></wpt></gpx>)");
    const Crs cm114 = Crs::fromUserText("EPSG:4547").value();
    Result<GeoImport> points = importGeo(dir.file("p.geojson"), cm114);
    ASSERT_TRUE(points) << points.error().message;
    ASSERT_EQ(points->rows.size(), 2u);  // the line is not taken when there are points
    EXPECT_EQ(points->rows[0].cell(ColName), "塔1");
    EXPECT_EQ(points->rows[1].cell(ColName), "P2");
    EXPECT_EQ(points->rows[0].cell(ColEast), "500000.0000");  // on the central meridian
    EXPECT_EQ(points->rows[0].cell(ColHeight), "");
    EXPECT_EQ(points->rows[1].cell(ColHeight), "25.500");
    // The fixed texts of a raw survey row.
    const Row& r = points->rows[0];
    EXPECT_EQ(r.cell(ColRemark), kRawRemark);
    EXPECT_EQ(r.cell(ColDistance), kRawZero);
    EXPECT_EQ(r.cell(ColPointType), kOrdinaryPoint);
    EXPECT_EQ(r.cell(ColCrossing), kRawCrossing);
    EXPECT_EQ(r.cell(ColPoleType), kRawPoleType);
    EXPECT_EQ(r.cell(ColWidth), kRawMeasure);

    Result<GeoImport> gpx = importGeo(dir.file("w.gpx"), cm114);
    ASSERT_TRUE(gpx) << gpx.error().message;
    ASSERT_EQ(gpx->rows.size(), 2u);
    EXPECT_EQ(gpx->rows[0].cell(ColName), "WP一");
    EXPECT_EQ(gpx->rows[1].cell(ColName), "P2");
}

TEST(GeoImport, ARouteWithoutPointsBecomesJStakes) {
    TempFolder dir;
    writeFile(dir / "route.kml", R"(<?xml version="1.0" encoding="UTF-8"?>
<kml xmlns="http://www.opengis.net/kml/2.2"><Document><Placemark><name>线路</name>
<LineString><coordinates>114.0,30.5,0 114.01,30.51,0 114.01,30.51,0 114.02,30.5,0</coordinates></LineString>
</Placemark></Document></kml>)");
    Result<GeoImport> route = importGeo(dir.file("route.kml"), Crs::fromUserText("4547").value());
    ASSERT_TRUE(route) << route.error().message;
    EXPECT_TRUE(route->fromLine);
    ASSERT_EQ(route->rows.size(), 3u);  // the repeated vertex once
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(route->rows[i].cell(ColName), "J" + std::to_string(i + 1));
        EXPECT_EQ(route->rows[i].cell(ColPointType), kJStake);
    }
    EXPECT_EQ(route->rows[0].cell(ColEast), "500000.0000");
}

TEST(GeoImport, UnreadableAndEmptyFilesAreErrors) {
    TempFolder dir;
    writeFile(dir / "junk.kml", "this is not a map");
    writeFile(dir / "empty.geojson", R"({"type":"FeatureCollection","features":[]})");
    const Crs crs = zone38();
    const struct {
        std::string file;
        Error::Kind kind;
        const char* says;
    } cases[] = {
        {"junk.kml", Error::Kind::Io, "GDAL 不能打开"},
        {"missing.gpkg", Error::Kind::Io, "GDAL 不能打开"},
        {"empty.geojson", Error::Kind::Data, "没有可导入的点或线"},
    };
    for (const auto& c : cases) {
        Result<GeoImport> imported = importGeo(dir.file(c.file), crs);
        ASSERT_FALSE(imported) << c.file;
        EXPECT_EQ(imported.error().kind, c.kind) << c.file;
        EXPECT_NE(imported.error().message.find(c.says), std::string::npos)
            << imported.error().message;
    }
}

}  // namespace
}  // namespace corvane
