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

/// The same files written to `path` as they are encoded, whole or not at all, without
/// holding the whole text in memory.
Status writeEptFile(const PointTable& table, const std::string& path);
Status writeCsvTable(const PointTable& table, const std::string& path);

}  // namespace corvane
