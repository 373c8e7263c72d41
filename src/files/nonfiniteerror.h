#pragma once

#include "nonfinite.h"
#include "result.h"

namespace corvane {

/// The data error for a number to be written that is infinite or NaN, naming its cell.
inline Error nonFiniteWriteError(NonFiniteCell cell) {
    Error error = Error::data(nonFiniteWriteMessage(cell));
    error.row = cell.row;
    error.column = cell.column;
    return error;
}

/// The same for a computation's result.
inline Error nonFiniteResultError(NonFiniteCell cell) {
    Error error = Error::data(nonFiniteMessage(cell));
    error.row = cell.row;
    error.column = cell.column;
    return error;
}

}  // namespace corvane
