// Measures the GeoPackage export of a synthetic survey (in EPSG:4547, the system its
// coordinates are made for) against `ogr2ogr -f GPKG -s_srs -t_srs` writing the same
// points with the same seventeen text fields from a CSV file, and `corvane-cli process
// survey.ept -o out.gpkg --crs` (import included) beside it. Runs alternate; the best
// of each is reported, with the feature counts GDAL reads back.

#include <CLI/CLI.hpp>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "columns.h"
#include "crs.h"
#include "filesystem.h"
#include "gdalsupport.h"
#include "geoexport.h"
#include "pointtable.h"
#include "surveygenerator.h"

namespace corvane {
namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

double seconds(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

double runCommand(const std::string& command) {
    const Clock::time_point start = Clock::now();
    const int status = std::system(command.c_str());
    const double took = seconds(start);
    if (status != 0) {
        std::cerr << "failed (" << status << "): " << command << '\n';
        std::exit(1);
    }
    return took;
}

std::string csvOf(const Survey& survey) {
    std::string out;
    for (int c = 0; c < kColumnCount; ++c)
        out += std::string(c ? "," : "") + kFieldNames[c];
    out += '\n';
    for (const Row& row : survey.rows) {
        row.appendJoined(out, ',');
        out += '\n';
    }
    return out;
}

}  // namespace
}  // namespace corvane

int main(int argc, char** argv) {
    using namespace corvane;
    CLI::App app("GeoPackage export against ogr2ogr");
    SurveyShape shape;
    int runs = 3;
    std::string dir = (fs::temp_directory_path() / "corvane-geobench").string();
    std::string crsText = "EPSG:4547";
    app.add_option("--points", shape.points, "rows in all");
    app.add_option("--runs", runs, "runs of each");
    app.add_option("--dir", dir, "working folder");
    app.add_option("--crs", crsText, "coordinate system of the survey");
    CLI11_PARSE(app, argc, argv);

    fs::create_directories(dir);
    const Survey survey = generateSurvey(shape);
    const std::string csv = (fs::path(dir) / "survey.csv").string();
    const std::string ept = (fs::path(dir) / "survey.ept").string();
    writeFileAtomically(csv, csvOf(survey));
    writeFileAtomically(ept, surveyEptBytes(survey));
    PointTable table;
    table.setHistoryEnabled(false);
    table.replaceAll(std::vector<Row>(survey.rows), {});
    table.setLinePoints(survey.linePoints);
    const Crs crs = Crs::fromUserText(crsText).value();

    const std::string ours = (fs::path(dir) / "ours.gpkg").string();
    const std::string cli = (fs::path(dir) / "cli.gpkg").string();
    const std::string theirs = (fs::path(dir) / "ogr2ogr.gpkg").string();
    const std::string ogr2ogr =
        "ogr2ogr -f GPKG -s_srs " + crsText + " -t_srs " + crsText +
        " -oo X_POSSIBLE_NAMES=y -oo Y_POSSIBLE_NAMES=x -oo Z_POSSIBLE_NAMES=h"
        " -oo KEEP_GEOM_COLUMNS=YES -nln points " +
        theirs + " " + csv;
    const std::string process = std::string(CORVANE_CLI) + " process " + ept + " -o " + cli +
                                " --crs " + crsText + " 2>/dev/null";
    std::vector<double> exportTimes, cliTimes, ogrTimes;
    for (int run = 0; run < runs; ++run) {
        fs::remove(ours);
        const Clock::time_point start = Clock::now();
        Result<GeoExportReport> report = exportGeo(table, GeoFormat::Gpkg, crs, ours);
        exportTimes.push_back(seconds(start));
        if (!report) {
            std::cerr << report.error().message << '\n';
            return 1;
        }
        fs::remove(cli);
        cliTimes.push_back(runCommand(process));
        fs::remove(theirs);
        ogrTimes.push_back(runCommand(ogr2ogr));
    }
    auto best = [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); };
    std::printf("points %zu, runs %d\n", survey.rows.size(), runs);
    std::printf("exportGeo GPKG (table loaded)        %.2f s\n", best(exportTimes));
    std::printf("corvane-cli process .ept -> .gpkg    %.2f s\n", best(cliTimes));
    std::printf("ogr2ogr -f GPKG from CSV             %.2f s\n", best(ogrTimes));
    std::printf("ratio export / ogr2ogr               %.2f x\n",
                best(exportTimes) / best(ogrTimes));
    std::printf("ratio cli / ogr2ogr                  %.2f x\n", best(cliTimes) / best(ogrTimes));
    std::printf("sizes: ours %.1f MB, ogr2ogr %.1f MB\n",
                static_cast<double>(fs::file_size(ours)) / 1e6,
                static_cast<double>(fs::file_size(theirs)) / 1e6);
    std::fflush(stdout);
    std::system(("ogrinfo -ro -so " + ours + " points | grep 'Feature Count'; ogrinfo -ro -so " +
                 theirs + " points | grep 'Feature Count'")
                    .c_str());
    return 0;
}
