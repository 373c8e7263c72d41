#include "geoprocess.h"

#include <iostream>

#include "crs.h"
#include "exitcodes.h"
#include "geoexport.h"
#include "geoformat.h"
#include "geoimport.h"
#include "pointtable.h"
#include "processcommand.h"
#include "surveyfeatures.h"

namespace corvane {
namespace {

Result<Crs> chosenCrs(const ProcessOptions& options) {
    if (!options.crs)
        return Error::data("没有给出坐标系：请用 --crs 指定，例如 --crs EPSG:4547。");
    return Crs::fromUserText(*options.crs);
}

}  // namespace

bool geoInput(const ProcessOptions& options) {
    return !options.inputFormat && geoFormatForPath(options.input).has_value();
}

bool geoOutput(const ProcessOptions& options) {
    return !options.type && geoFormatForPath(options.output).has_value();
}

std::optional<int> checkGeoUsage(const ProcessOptions& options) {
    const bool in = geoInput(options);
    const bool out = geoOutput(options);
    if (out && !exportable(*geoFormatForPath(options.output))) {
        std::cerr << "corvane-cli: 不能导出为“" << extensionOf(*geoFormatForPath(options.output))
                  << "”文件（只能导入）。\n";
        return ExitUsage;
    }
    if (!in && !out)
        return std::nullopt;
    Result<Crs> crs = chosenCrs(options);
    if (!crs) {
        std::cerr << "corvane-cli: " << (in ? "导入“" + options.input : "导出“" + options.output)
                  << "”需要坐标系。" << crs.error().message << '\n';
        return ExitUsage;
    }
    return std::nullopt;
}

Status loadGeoInput(const ProcessOptions& options, PointTable& table) {
    Result<Crs> crs = chosenCrs(options);
    if (!crs)
        return crs.error();
    Result<GeoImport> imported = importGeo(options.input, crs.value());
    if (!imported)
        return imported.error();
    std::cerr << "corvane-cli: " << geoImportSummary(imported.value()) << '\n';
    table.setHistoryEnabled(false);
    table.replaceAll(std::move(imported->rows), TextLines());
    return success();
}

int writeGeoOutput(const PointTable& table, const ProcessOptions& options) {
    Result<Crs> crs = chosenCrs(options);
    if (!crs)
        return fail(crs.error());
    std::vector<double> eastings;
    for (const SurveyPoint& p : gatherFeatures(table).points)
        eastings.push_back(p.east);
    if (std::optional<std::string> warning = zoneWarning(crs.value(), eastings))
        std::cerr << "corvane-cli: 警告：" << *warning << '\n';
    Result<GeoExportReport> written =
        exportGeo(table, *geoFormatForPath(options.output), crs.value(), options.output);
    if (!written)
        return fail(written.error());
    const std::string notice = geoExportNotice(written.value());
    if (!notice.empty())
        std::cerr << "corvane-cli: " << notice << "。\n";
    return ExitDone;
}

}  // namespace corvane
