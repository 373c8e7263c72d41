#pragma once

#include <optional>
#include <string_view>

#include "pointfilereader.h"

namespace CLI {
class App;
}

namespace corvane {

/// The layout an --input-format value names: "ept" or "csv" in any letter case.
std::optional<PointFileFormat> inputFormatByName(std::string_view name);

/// Adds --input-format to a subcommand; a given value is read into `format`, and one
/// that names no layout is a usage error.
void addInputFormatOption(CLI::App& command, std::optional<PointFileFormat>& format);

}  // namespace corvane
