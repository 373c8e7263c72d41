#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "orgwriter.h"
#include "result.h"

namespace corvane {

class PointTable;

/// The export file types, numbered as the export dialog lists them.
enum class ExportType : int { Org = 1, Ept = 2, Csv = 3, Dxf = 4 };

/// ".org", ".ept", ".csv" or ".dxf".
std::string_view extensionOf(ExportType type);

/// The export type named by a path's extension (any letter case), if any.
std::optional<ExportType> exportTypeForPath(std::string_view path);

/// The export type named by "org", "ept", "csv" or "dxf".
std::optional<ExportType> exportTypeByName(std::string_view name);

/// Builds the whole file for the rows shown, then writes it atomically to `path`
/// exactly as given. Nothing is written when any part fails. For a ".org" file,
/// `orgReport` (when given) receives the rows and records the file leaves out.
Status exportTable(const PointTable& table, ExportType type, const std::string& path,
                   OrgReport* orgReport = nullptr);

/// The file's bytes without writing them.
Result<std::string> buildExport(const PointTable& table, ExportType type);

}  // namespace corvane
