#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "columns.h"
#include "result.h"
#include "row.h"
#include "textdecoder.h"
#include "textlines.h"

namespace corvane {

/// The two layouts the import reads.
enum class PointFileFormat {
    Ept,     // the system's own point file: lines of more than ten fields are points
    RawCsv,  // an instrument's survey file: name, code, north, east, elevation
};

/// What an import read, ready to replace the point table.
struct ImportedPoints {
    std::vector<Row> rows;
    TextLines otherLines;
    TextEncoding encoding = TextEncoding::Cp936;
    size_t invalidSequences = 0;  // byte sequences replaced by U+FFFD
    size_t skippedLines = 0;      // raw survey lines of three fields or fewer
};

/// The format an import picks from a file name: ".csv" (any letter case) is a raw
/// survey file, everything else a point file.
PointFileFormat formatForPath(std::string_view path);

/// The cells of a point the raw way: name, north, east and height as given (texts that
/// live as long as the cells), `pointType`, and for every column the instrument does not
/// deliver the fixed text a raw import gives it.
std::array<std::string_view, kColumnCount> rawPointCells(std::string_view name,
                                                         std::string_view north,
                                                         std::string_view east,
                                                         std::string_view height,
                                                         std::string_view pointType);

/// Reads point file bytes. A large file is read in `parts` ranges of whole lines at
/// once (0: as many as the machine's cores, up to four, for a large file; 1: in one
/// go); the result is the same either way.
Result<ImportedPoints> parsePointFile(std::string_view bytes, PointFileFormat format,
                                      int parts = 0);

/// Reads a point file from disk; the error names the path.
Result<ImportedPoints> readPointFile(const std::string& path, PointFileFormat format);

/// A one-line Chinese summary of an import for the status bar and the command line; it
/// names the encoding when that is not code page 936.
std::string importSummary(const ImportedPoints& imported);

}  // namespace corvane
