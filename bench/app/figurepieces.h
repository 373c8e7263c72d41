#pragma once

#include <QString>

namespace corvane {

/// The pieces of opening `file` and calculating it, each timed on its own without the
/// window, to compare one build with another: reading the file, reading the survey
/// from it, putting it into a table, the plan's geometry and the section's data, the data
/// calculation, its undo; and a bare touch of fresh memory. Prints "piece NAME MS" lines.
int timeFigurePieces(const QString& file);

}  // namespace corvane
