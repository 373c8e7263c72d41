// What the geographic import and export tell the user; plain text, so the editor has
// it without loading the geographic libraries.

#include <string>

#include "geoexport.h"
#include "geoimport.h"

namespace corvane {

std::string geoExportNotice(const GeoExportReport& report) {
    if (report.skippedRows == 0)
        return {};
    return std::to_string(report.skippedRows) + " 行的北坐标X或东坐标Y不是数字，未导出";
}

std::string geoImportSummary(const GeoImport& imported) {
    std::string text = imported.fromLine
                           ? "文件中没有点，导入了线的 " + std::to_string(imported.rows.size()) +
                                 " 个拐点作为 J 桩"
                           : "导入了 " + std::to_string(imported.rows.size()) + " 个点";
    if (imported.unplacedFeatures > 0)
        text += "；" + std::to_string(imported.unplacedFeatures) +
                " 个坐标无法转换到所选坐标系，未导入";
    return text + "。";
}

}  // namespace corvane
