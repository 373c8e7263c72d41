#include "autoselection.h"

#include <string>
#include <string_view>
#include <unordered_set>

#include "cellnumber.h"
#include "columns.h"
#include "pointtable.h"
#include "segmentgrid.h"

namespace corvane {
namespace {

struct NamedSegment {
    std::string start;
    std::string end;
};

PlanePoint pointOf(const PointTable& table, int row) {
    return {readNumber(table.text(row, ColNorth)), readNumber(table.text(row, ColEast))};
}

// The distinct segment keys in order of first occurrence. A key is split at its first
// "~", so a start name holding "~" lends its tail to the end name. Also notes the rows
// without any segment, the ones to assign; assigning a row changes no other row's.
std::vector<NamedSegment> collectSegments(const PointTable& table, std::vector<int>& open) {
    std::vector<NamedSegment> segments;
    std::unordered_set<std::string> keys;
    std::string key;
    std::string_view lastStart, lastEnd;
    bool haveLast = false;
    for (int r = 0; r < table.rowCount(); ++r) {
        const std::string_view start = table.text(r, ColSegmentStart);
        const std::string_view end = table.text(r, ColSegmentEnd);
        if (start.empty() && end.empty())
            open.push_back(r);
        if (start.empty() || end.empty())
            continue;
        // Neighbouring rows usually share their segment.
        if (haveLast && start == lastStart && end == lastEnd)
            continue;
        lastStart = start;
        lastEnd = end;
        haveLast = true;
        key.assign(start);
        key += '~';
        key.append(end);
        if (keys.find(key) != keys.end())
            continue;
        keys.insert(key);
        const size_t cut = key.find('~');
        segments.push_back({key.substr(0, cut), key.substr(cut + 1)});
    }
    return segments;
}

}  // namespace

AutoSelectionResult autoSelectLines(PointTable& table, const AutoSelectionOptions& options) {
    AutoSelectionResult result;
    PointTable::Command command(table, "自动选择电力线");

    std::vector<int> open;
    const std::vector<NamedSegment> named = collectSegments(table, open);
    std::vector<LineSegment> geometry;
    std::vector<int> namedOf;  // geometry index -> segment list index
    for (size_t k = 0; k < named.size(); ++k) {
        const int s = table.FindPointRow(named[k].start);
        const int e = table.FindPointRow(named[k].end);
        if (s < 0 || e < 0)
            continue;
        geometry.push_back({pointOf(table, s), pointOf(table, e)});
        namedOf.push_back(static_cast<int>(k));
    }
    SegmentGrid grid(geometry);

    for (int r : open) {
        const NearestSegments nearest =
            grid.nearest(pointOf(table, r), kAmbiguousWithin, options.maxDistance);
        if (nearest.best < 0) {
            result.unassignedRows.push_back(r);
            continue;
        }
        const NamedSegment& segment = named[namedOf[nearest.best]];
        const CellText cells[] = {{ColSegmentStart, segment.start}, {ColSegmentEnd, segment.end}};
        table.setTexts(r, cells);
        ++result.assigned;
        if (nearest.closeRunnerUp)
            result.ambiguousRows.push_back(r);
    }
    return result;
}

}  // namespace corvane
