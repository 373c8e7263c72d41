#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "columns.h"
#include "row.h"
#include "vocabularies.h"

namespace corvane {

/// A point of a small plan fixture: name, coordinates, type and the segment it is on.
struct PlanPoint {
    std::string name;
    double north;
    double east;
    std::string_view type = kOrdinaryPoint;
    std::string start = {};
    std::string end = {};
};

inline Row planRow(const PlanPoint& p) {
    const std::string north = std::to_string(p.north);
    const std::string east = std::to_string(p.east);
    std::vector<std::string_view> cells(kColumnCount);
    cells[ColName] = p.name;
    cells[ColNorth] = north;
    cells[ColEast] = east;
    cells[ColPointType] = p.type;
    cells[ColSegmentStart] = p.start;
    cells[ColSegmentEnd] = p.end;
    return Row(cells);
}

}  // namespace corvane
