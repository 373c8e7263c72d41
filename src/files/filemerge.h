#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "result.h"
#include "textlines.h"

namespace corvane {

/// Where a line of a merge came from: input 0 or 1, and its index among that
/// input's lines (0-based, in file order).
struct MergeSource {
    int file = 0;
    size_t line = 0;
};

/// A line that the merge dropped because a line with the same key was taken before.
struct MergeDuplicate {
    MergeSource dropped;
    MergeSource kept;
    bool pointLine = false;
    /// Point lines: north, east or elevation read as numbers differ.
    bool coordinatesDiffer = false;
    /// Any other field differs (for other lines: any field at all).
    bool attributesDiffer = false;
    bool conflicts() const { return coordinatesDiffer || attributesDiffer; }
};

/// The lines of one input as read: UTF-8, each without its line end.
struct MergeInput {
    TextLines lines;

    std::string_view line(size_t index) const { return lines[index]; }
};

/// The outcome of merging two point files.
struct MergeResult {
    std::string bytes;  // the merged file: code page 936, CR LF
    std::array<MergeInput, 2> inputs;
    std::array<size_t, 2> linesTaken{};  // written lines that came from each input
    size_t duplicatesDropped = 0;
    size_t emptyKeysDropped = 0;  // lines without a name (or other lines without field 0 or 1)
    std::vector<MergeDuplicate> duplicates;

    std::string_view text(MergeSource source) const {
        return inputs[source.file].line(source.line);
    }
};

/// Merges two point files given as bytes: the other lines of both (first file first),
/// then the point lines of both, each taken only when no line with the same key came
/// before it (point lines: the name; other lines: fields 0 and 1) and no key field is
/// empty. `names` name the inputs in messages.
Result<MergeResult> mergePointData(std::string_view first, std::string_view second,
                                   const std::array<std::string, 2>& names);

/// Reads both files completely, then merges; an input that cannot be read is an
/// error naming it. Nothing is written.
Result<MergeResult> mergePointFiles(const std::string& first, const std::string& second);

/// Merges and writes the result atomically to `output` (which may be an input).
Result<MergeResult> mergeFiles(const std::string& first, const std::string& second,
                               const std::string& output);

/// The closing message: what came from each file and what was dropped.
std::string mergeSummary(const MergeResult& result);

/// The closing message without its opening words, for a message box whose title
/// already says them.
std::string mergeCounts(const MergeResult& result);

}  // namespace corvane
