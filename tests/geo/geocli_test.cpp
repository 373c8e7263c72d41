// corvane-cli process with map and GIS files, run as the user runs it.
#include <gtest/gtest.h>

#include "bytefiles.h"
#include "clirunner.h"
#include "tempdir.h"

namespace corvane {
namespace {

using test::CliRun;
using test::folderEntries;
using test::readFile;
using test::runCli;
using test::TempFolder;
using test::writeFile;

// A raw survey file in CGCS2000 3-degree zone 38 (zone number in front of Y).
const char* kRawSurvey =
    "J1,1,3380000.000,38500000.000,12.5\n"
    "P1,1,3380010.5,38500020.25,13\n"
    "J2,1,3381000,38500500,11\n";

TEST(GeoCli, ExportAndImportByExtension) {
    TempFolder dir;
    writeFile(dir / "raw.csv", kRawSurvey);
    for (const char* ext : {".kml", ".kmz", ".geojson", ".gpkg", ".shp"}) {
        const std::string out = dir.file(std::string("s") + ext);
        const CliRun exported =
            runCli({"process", dir.file("raw.csv"), "-o", out, "--crs", "EPSG:4526"});
        ASSERT_EQ(exported.status, 0) << ext << exported.err;
        const std::string back = dir.file(std::string("back") + ext + ".ept");
        const CliRun imported = runCli({"process", out, "--crs", "EPSG:4526", "-o", back});
        ASSERT_EQ(imported.status, 0) << ext << imported.err;
        EXPECT_NE(imported.err.find("导入了 3 个点"), std::string::npos) << imported.err;
        const std::string ept = readFile(back);
        EXPECT_NE(ept.find("P1,3380010.5"), std::string::npos) << ext << ept;
    }
}

TEST(GeoCli, UsageErrorsSayWhatIsMissing) {
    TempFolder dir;
    writeFile(dir / "raw.csv", kRawSurvey);
    writeFile(dir / "old.kml", "old");
    const struct {
        std::vector<std::string> args;
        const char* says;
    } cases[] = {
        {{"-o", dir.file("old.kml")}, "需要坐标系"},
        {{"-o", dir.file("old.kml"), "--crs", "北京"}, "无法识别的坐标系“北京”"},
        {{"-o", dir.file("x.gpx"), "--crs", "4526"}, "不能导出为“.gpx”"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"process", dir.file("raw.csv")};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CliRun run = runCli(args);
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    }
    EXPECT_EQ(readFile(dir / "old.kml"), "old");
    // An input map file needs the system as well.
    writeFile(dir / "in.geojson", R"({"type":"FeatureCollection","features":[]})");
    const CliRun noCrs = runCli({"process", dir.file("in.geojson"), "-o", dir.file("o.ept")});
    EXPECT_EQ(noCrs.status, 2);
    EXPECT_NE(noCrs.err.find("导入"), std::string::npos) << noCrs.err;
    const CliRun check = runCli({"check", dir.file("in.geojson")});
    EXPECT_EQ(check.status, 2);
    EXPECT_NE(check.err.find("需要坐标系"), std::string::npos) << check.err;
}

TEST(GeoCli, DataAndFileProblems) {
    TempFolder dir;
    writeFile(dir / "raw.csv", std::string(kRawSurvey) + "坏,1,x,38500000,1\n");
    writeFile(dir / "junk.kml", "not a map");
    writeFile(dir / "empty.geojson", R"({"type":"FeatureCollection","features":[]})");
    writeFile(dir / "old.ept", "old");
    // Rows whose X or Y is not a number are counted, the rest written.
    const CliRun skipped =
        runCli({"process", dir.file("raw.csv"), "-o", dir.file("s.gpkg"), "--crs", "4526"});
    EXPECT_EQ(skipped.status, 0) << skipped.err;
    EXPECT_NE(skipped.err.find("1 行的北坐标X或东坐标Y不是数字"), std::string::npos) << skipped.err;
    // Y with a zone number in a system without one: warned, and outside its area.
    const CliRun zone =
        runCli({"process", dir.file("raw.csv"), "-o", dir.file("z.kml"), "--crs", "4547"});
    EXPECT_EQ(zone.status, 1);
    EXPECT_NE(zone.err.find("EPSG:4526"), std::string::npos) << zone.err;
    const CliRun junk =
        runCli({"process", dir.file("junk.kml"), "-o", dir.file("old.ept"), "--crs", "4526"});
    EXPECT_EQ(junk.status, 3) << junk.err;
    const CliRun empty =
        runCli({"process", dir.file("empty.geojson"), "-o", dir.file("old.ept"), "--crs", "4526"});
    EXPECT_EQ(empty.status, 1) << empty.err;
    EXPECT_NE(empty.err.find("没有可导入的点或线"), std::string::npos) << empty.err;
    EXPECT_EQ(readFile(dir / "old.ept"), "old");
}

}  // namespace
}  // namespace corvane
