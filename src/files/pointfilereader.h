#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

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
