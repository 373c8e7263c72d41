#pragma once

#include <optional>
#include <string>

#include "autoselection.h"
#include "exportformat.h"
#include "pointfilereader.h"
#include "result.h"

namespace CLI {
class App;
}

namespace corvane {

class PointTable;

/// What `corvane-cli process` was asked to do: import, the steps, export.
struct ProcessOptions {
    std::string input;
    std::string output;
    std::optional<PointFileFormat> inputFormat;
    std::optional<ExportType> type;
    /// --crs: the coordinate system of X and Y, for map and GIS files.
    std::optional<std::string> crs;

    // The steps, always run in this order whatever the order on the command line.
    /// --line: "all" (every J stake, as the line point dialog gathers them) or J stake
    /// names joined by ","; the chain the line point selection's OK writes.
    std::optional<std::string> line;
    double startMileage = 0.0;  // --start-mileage, the first point's mileage
    bool autoSelect = false;    // --auto-select
    bool calculate = false;     // --calculate
    /// --project: the projection with this limit, then the data calculation again.
    std::optional<double> projectLimit;
    bool sort = false;  // --sort
    /// --max-distance: the automatic line selection leaves points farther than this.
    std::optional<double> maxDistance;
};

/// Adds the `process` subcommand to `app`; its callback stores the exit status.
void addProcessCommand(CLI::App& app, int& exitCode);

/// Runs a process request; messages go to stderr. Returns the exit status.
int runProcess(const ProcessOptions& options);

/// Reads the input file of `options` into `table`, which keeps no undo history; a
/// file with invalid bytes is noted on stderr.
Status loadInput(const ProcessOptions& options, PointTable& table);

/// Runs the requested steps on an imported table in their fixed order. A --line name
/// that is not a J stake of the table, or one given twice, is a data error and leaves
/// the table untouched. Notices (points left without a segment) go to stderr.
/// `selection`, when given, receives what the automatic line selection did.
Status runProcessSteps(PointTable& table, const ProcessOptions& options,
                       AutoSelectionResult* selection = nullptr);

}  // namespace corvane
