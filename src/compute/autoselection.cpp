#include "autoselection.h"

#include <algorithm>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_set>

#include "cellnumber.h"
#include "columns.h"
#include "pointtable.h"
#include "rowpoint.h"
#include "segmentgrid.h"

namespace corvane {
namespace {

struct NamedSegment {
    std::string start;
    std::string end;
};

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
    const SegmentGrid grid(geometry);

    // Each open row reads only its own coordinates, so the rows are searched on every
    // core; each thread asks its own copy of the grid, which keeps per-search marks.
    struct Found {
        int assigned = 0;
        std::vector<int> unassigned;
        std::vector<int> ambiguous;
    };
    std::mutex mutex;
    std::deque<Found> found;  // one a thread, in no particular order
    auto makeFiller = [&]() -> RowFiller {
        Found* mine = nullptr;
        {
            const std::lock_guard lock(mutex);
            mine = &found.emplace_back();
        }
        auto search = std::make_shared<SegmentGrid>(grid);
        return [&, mine, search](int r, std::vector<CellText>& cells) {
            const NearestSegments nearest =
                search->nearest(pointOf(table, r), kAmbiguousWithin, options.maxDistance);
            if (nearest.best < 0) {
                mine->unassigned.push_back(r);
                return;
            }
            const NamedSegment& segment = named[namedOf[nearest.best]];
            cells.assign({{ColSegmentStart, segment.start}, {ColSegmentEnd, segment.end}});
            ++mine->assigned;
            if (nearest.closeRunnerUp)
                mine->ambiguous.push_back(r);
        };
    };
    table.fillRows(open, makeFiller);

    for (const Found& part : found) {
        result.assigned += part.assigned;
        result.unassignedRows.insert(result.unassignedRows.end(), part.unassigned.begin(),
                                     part.unassigned.end());
        result.ambiguousRows.insert(result.ambiguousRows.end(), part.ambiguous.begin(),
                                    part.ambiguous.end());
    }
    std::sort(result.unassignedRows.begin(), result.unassignedRows.end());
    std::sort(result.ambiguousRows.begin(), result.ambiguousRows.end());
    return result;
}

}  // namespace corvane
