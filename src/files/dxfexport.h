#pragma once

#include <string>

#include "result.h"

namespace corvane {

class PointTable;

/// The DXF drawing of the rows shown: an ENTITIES section with a POINT at (column 1,
/// column 2) and a TEXT of the name beside it per row, handles 1, 2, … in that order.
Result<std::string> buildDxfFile(const PointTable& table);

}  // namespace corvane
