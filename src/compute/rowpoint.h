#pragma once

#include "cellnumber.h"
#include "columns.h"
#include "geometry.h"
#include "pointtable.h"

namespace corvane {

/// The plane point of shown row `row`: its north and east cells, read leniently.
inline PlanePoint pointOf(const PointTable& table, int row) {
    return {readNumber(table.text(row, ColNorth)), readNumber(table.text(row, ColEast))};
}

}  // namespace corvane
