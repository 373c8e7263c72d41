// Feeds arbitrary bytes through the whole road of a survey: import, the line through
// all J stakes, automatic line selection, calculation, projection, sorting, then every
// writer. Checks what must hold for any input: no crash and no exception, a step whose
// result is not a number changes nothing, a DXF file of ASCII alone, and a written .ept
// file that reads back as the same table.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "autoselection.h"
#include "cellnumber.h"
#include "datacalculation.h"
#include "dxfexport.h"
#include "fuzzsupport.h"
#include "linepointselection.h"
#include "orgwriter.h"
#include "pointfilereader.h"
#include "pointfilewriter.h"
#include "pointtable.h"
#include "projection.h"
#include "sorting.h"

namespace corvane {
namespace {

using fuzz::checkEptRoundTrip;
using fuzz::require;
using fuzz::rowTexts;

// Start mileages a survey may give, the last one too large for any distance after it.
constexpr double kStartMileages[] = {0.0, 1234.567, -50.0, 1e308};

// The line through every J stake; false, with nothing changed, when a mileage is too
// large to be a number.
bool selectLine(PointTable& table, double startMileage) {
    const std::vector<std::string> names = gatherJStakes(table);
    const std::vector<double> mileages = lineMileages(table, names, startMileage);
    if (nonFiniteMileage(table, names, mileages))
        return false;
    std::vector<std::pair<std::string, std::string>> rows;
    for (size_t i = 0; i < names.size(); ++i)
        rows.emplace_back(names[i], formatFixed(mileages[i], 3));
    applyLinePointSelection(table, rows);
    return true;
}

// A computation whose result is not a number leaves every cell as it was.
template <class Step>
bool runStep(PointTable& table, Step&& step) {
    const std::vector<std::string> before = rowTexts(table);
    if (step())
        return true;
    require(rowTexts(table) == before);
    return false;
}

void checkDxf(const PointTable& table) {
    Result<std::string> dxf = buildDxfFile(table);
    if (!dxf)
        return;
    for (char c : dxf.value())
        require(static_cast<unsigned char>(c) < 0x80);
}

void runPipeline(std::string_view bytes) {
    Result<ImportedPoints> imported = parsePointFile(bytes, PointFileFormat::Ept);
    if (!imported)
        return;
    PointTable table;
    table.replaceAll(std::move(imported->rows), std::move(imported->otherLines));
    const double startMileage = kStartMileages[bytes.size() % std::size(kStartMileages)];
    if (!runStep(table, [&] { return selectLine(table, startMileage); }))
        return;
    autoSelectLines(table);
    if (!runStep(table, [&] { return !calculateData(table); }) ||
        !runStep(table, [&] { return !projectPoints(table, 2.0).nonFinite; }) ||
        !runStep(table, [&] { return !calculateData(table); }))
        return;
    sortByDistance(table);

    (void)buildOrgFile(table);
    (void)buildCsvTable(table);
    checkDxf(table);
    checkEptRoundTrip(table);
}

}  // namespace
}  // namespace corvane

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    corvane::runPipeline(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
