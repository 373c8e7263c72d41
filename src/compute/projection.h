#pragma once

namespace corvane {

class PointTable;

/// "测点投影到电力线": moves every row shown whose offset (column 8) is smaller than
/// `limit` in magnitude (strictly) onto its segment's line, by that offset along the
/// segment's normal, and writes the new coordinates "%.4f" into columns 2 and 1. The
/// offset is the one the last data calculation wrote ("-.-" and empty read 0, so such a
/// row qualifies and is rewritten in place); rows whose segment does not resolve are
/// left alone, and column 8 is not changed. Rows are done from the top down, so a
/// segment end moved earlier in the run counts with its new place. One undoable step.
/// Returns the number of rows whose coordinates were rewritten.
int projectPoints(PointTable& table, double limit);

}  // namespace corvane
