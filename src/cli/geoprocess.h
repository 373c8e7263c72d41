#pragma once

#include <optional>
#include <string>

#include "result.h"

namespace corvane {

class PointTable;
struct ProcessOptions;

/// True when the input is a map or GIS file (by its extension, unless --input-format
/// names a point file layout).
bool geoInput(const ProcessOptions& options);

/// True when the output is a map or GIS file (by its extension, unless --type names
/// one of the point file types).
bool geoOutput(const ProcessOptions& options);

/// Checks --crs when the input or the output needs it: a missing or unknown system,
/// or an output type that is only read, is a usage error said on stderr. Returns the
/// exit status to end with, or nothing to go on.
std::optional<int> checkGeoUsage(const ProcessOptions& options);

/// Reads a map or GIS input into `table` (no undo history).
Status loadGeoInput(const ProcessOptions& options, PointTable& table);

/// Writes the table as the map or GIS output; what was left out goes to stderr, and
/// so does a warning when the eastings do not fit the system's zone numbering.
int writeGeoOutput(const PointTable& table, const ProcessOptions& options);

}  // namespace corvane
