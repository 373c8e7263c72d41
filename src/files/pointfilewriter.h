#pragma once

#include <string>

#include "result.h"

namespace corvane {

class PointTable;

/// The point file: the other lines, then one line per row shown, cells joined by ",",
/// CR LF, code page 936.
Result<std::string> buildEptFile(const PointTable& table);

/// The spreadsheet table: the header line, then one line per row shown.
Result<std::string> buildCsvTable(const PointTable& table);

}  // namespace corvane
