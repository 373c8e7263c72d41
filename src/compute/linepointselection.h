#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "nonfinite.h"

namespace corvane {

class PointTable;

/// The J stakes the line point dialog offers, in table order: the name of every row
/// shown whose column 9 is "J桩", each name once, at its first J-stake row; rows with an
/// empty name are passed over.
std::vector<std::string> gatherJStakes(const PointTable& table);

/// The running mileage of a chain of points: `startMileage` for the first, then the plan
/// distance from each point to the next added up in list order. Coordinates come from
/// the first row of each name in the full table, whatever a display filter shows. A name
/// that names no row adds no distance (the next distance is measured from the last point
/// that had coordinates).
std::vector<double> lineMileages(const PointTable& table, const std::vector<std::string>& names,
                                 double startMileage);

/// The first mileage of `mileages` (one per name of `names`, as lineMileages gives them)
/// that is not a finite number, as the cell it would go to: column 7 of the first row
/// shown of that name. None when every mileage is a number.
std::optional<NonFiniteCell> nonFiniteMileage(const PointTable& table,
                                              const std::vector<std::string>& names,
                                              const std::vector<double>& mileages);

/// The OK of the line point dialog, "电力线点选择": empties columns 4, 5, 7 and 8 of
/// every row shown, then gives every row named like chain point i (whatever its type) the
/// segment from point i to point i + 1 (the last point names itself twice), the mileage
/// text as given in column 7 and the offset "0.0000"; the chain becomes the line point
/// list. `nameAndMileageText` holds the dialog's rows: name and the text of its mileage
/// column. A name listed twice ends with its later entry. One undoable step.
void applyLinePointSelection(
    PointTable& table, const std::vector<std::pair<std::string, std::string>>& nameAndMileageText);

}  // namespace corvane
