#pragma once

#include <string>
#include <string_view>

#include "result.h"

namespace corvane {

class PointTable;

/// The Daoheng ".org" file of the rows shown: stakes with their turning angles,
/// numbered ground points, crossed lines and object outlines, CR LF, code page 936.
/// A row whose segment does not resolve ends the export with an error naming it.
Result<std::string> buildOrgFile(const PointTable& table);

/// The message for a row whose segment start or end names no row.
Error unresolvedSegmentError(std::string_view name, int row, int column);

}  // namespace corvane
