#pragma once

namespace corvane {

/// Change notifications of the point table, in row indices of the rows shown.
/// Cell changes of one command arrive merged into one rectangle. A listener overrides
/// the notifications it needs; the others do nothing.
class TableListener {
public:
    virtual ~TableListener() = default;
    virtual void cellsChanged(int /*firstRow*/, int /*lastRow*/, int /*firstColumn*/,
                              int /*lastColumn*/) {}
    /// Check marks of rows [firstRow, lastRow] changed; they are not data, and nothing
    /// drawn from the cells needs them.
    virtual void checksChanged(int /*firstRow*/, int /*lastRow*/) {}
    virtual void rowsAboutToBeInserted(int /*first*/, int /*last*/) {}
    virtual void rowsInserted() {}
    virtual void rowsAboutToBeRemoved(int /*first*/, int /*last*/) {}
    virtual void rowsRemoved() {}
    virtual void aboutToReset() {}
    virtual void resetDone() {}
    /// The line point list, the other lines, the display mode or the history changed.
    virtual void stateChanged() {}
};

}  // namespace corvane
