#pragma once

#include <string_view>
#include <vector>

namespace corvane {

/// Trims ASCII white space and the ideographic space U+3000 from both ends.
std::string_view trimField(std::string_view text);

/// Splits `line` at every `delimiter` into `fields` (cleared first), each trimmed;
/// an empty line gives no field, a non-empty one a field more than it has delimiters.
/// The views point into `line`.
int SplitFields(std::string_view line, char delimiter, std::vector<std::string_view>& fields);

}  // namespace corvane
