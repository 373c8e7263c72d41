#pragma once

#include <string>
#include <vector>

namespace corvane {

struct MergeResult;

/// One dropped line of a merge, told in words: which line was dropped for which, and
/// for a conflict what differs (the shifts in north, east and height, the other
/// columns by name).
struct MergeReportEntry {
    bool conflict = false;
    std::string key;   // the point name (or the key fields of an other line)
    std::string text;  // one line of Chinese
};

/// Every duplicate the merge dropped, conflicts first, each group in file order.
std::vector<MergeReportEntry> mergeReport(const MergeResult& result);

}  // namespace corvane
