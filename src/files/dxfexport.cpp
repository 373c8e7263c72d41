#include "dxfexport.h"

#include <cmath>

#include "cellnumber.h"
#include "dxfwriter.h"
#include "nonfiniteerror.h"
#include "pointtable.h"

namespace corvane {
namespace {

constexpr std::string_view kLayer = "Point";
constexpr int kColour = 66;
constexpr std::string_view kTextStyle = "STANDARD";
constexpr double kTextHeight = 30.0;

}  // namespace

Result<std::string> buildDxfFile(const PointTable& table) {
    CDataToDxf dxf(1);
    const int rows = table.rowCount();
    dxf.reserve(static_cast<size_t>(rows) * 300 + 64);
    dxf.begin();
    for (int r = 0; r < rows; ++r) {
        const Row& row = table.rowAt(r);
        const double x = readNumber(row.cell(ColNorth));
        const double y = readNumber(row.cell(ColEast));
        if (!std::isfinite(x) || !std::isfinite(y))
            return nonFiniteWriteError({r, std::isfinite(x) ? ColEast : ColNorth});
        dxf.point(kLayer, kColour, x, y);
        dxf.text(row.cell(ColName), kLayer, kColour, kTextStyle, 0, 0, x, y, kTextHeight);
    }
    dxf.end();
    return dxf.take();
}

}  // namespace corvane
