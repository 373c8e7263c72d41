#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

class PointTable;

/// One problem of the point table found by checkTable.
struct CheckEntry {
    enum class Severity {
        Error,    // the ".org" export would fail or write wrong data
        Warning,  // worth a look, the files come out as the table says
    };
    Severity severity = Severity::Warning;
    std::string code;     // stable key of the rule, e.g. "unresolved-segment"
    int row = -1;         // row shown, -1 when the entry is about the table as a whole
    int column = -1;      // column, -1 when none
    std::string message;  // what is wrong, in Chinese
    std::string fix;      // how to put it right, in Chinese
};

struct CheckOptions {
    /// Byte offset of the first character the output code page cannot hold, or npos.
    /// The file layer supplies it; without it no text is checked for that. Text of
    /// ASCII alone is taken as encodable without asking.
    std::function<size_t(std::string_view)> firstUnencodable;
};

/// Every problem of the rows shown, in one pass over the table: unresolved or missing
/// segments, duplicate names and the lookups they shadow, numbers that read as 0,
/// texts outside their vocabulary, two- and three-point objects without proper
/// partners, J stakes and line point entries that do not match, mileages that decrease
/// along the line, and characters code page 936 cannot hold. Entries come in row order,
/// table-wide entries last.
std::vector<CheckEntry> checkTable(const PointTable& table, const CheckOptions& options = {});

struct AutoSelectionResult;

/// Adds what an automatic line selection left (the points it could not place, with
/// the nearest J stake and why; the near ties) to `entries` of the same table, in
/// place of the plain "no segment" entry of such a point, and keeps the row order.
void addSelectionEntries(const PointTable& table, const AutoSelectionResult& selection,
                         std::vector<CheckEntry>& entries);

/// Number of entries of the given severity.
int countSeverity(const std::vector<CheckEntry>& entries, CheckEntry::Severity severity);

/// The entries as a JSON document (UTF-8).
std::string checkEntriesToJson(const std::vector<CheckEntry>& entries);

}  // namespace corvane
