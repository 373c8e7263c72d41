#pragma once

namespace corvane {

/// Change notifications of the point table, in row indices of the rows shown.
/// Cell changes of one command arrive merged into one rectangle.
class TableListener {
public:
    virtual ~TableListener() = default;
    virtual void cellsChanged(int firstRow, int lastRow, int firstColumn, int lastColumn) = 0;
    /// Check marks of rows [firstRow, lastRow] changed; they are not data, and nothing
    /// drawn from the cells needs them.
    virtual void checksChanged(int /*firstRow*/, int /*lastRow*/) {}
    virtual void rowsAboutToBeInserted(int first, int last) = 0;
    virtual void rowsInserted() = 0;
    virtual void rowsAboutToBeRemoved(int first, int last) = 0;
    virtual void rowsRemoved() = 0;
    virtual void aboutToReset() = 0;
    virtual void resetDone() = 0;
    /// The line point list, the other lines, the display mode or the history changed.
    virtual void stateChanged() {}
};

}  // namespace corvane
