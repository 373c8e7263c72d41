#pragma once

#include <exception>
#include <string>

namespace corvane {

/// A cell that a computation or a writer cannot fill with a number because the result
/// is infinite or NaN (coordinates or mileages so large that the arithmetic overflows).
/// Row is a row shown, counted from 0; column is the cell's column, or -1 when the
/// number stands for no single column.
struct NonFiniteCell {
    int row = -1;
    int column = -1;
};

/// Thrown by a RowFiller whose result for a cell is not a finite number: fillRows takes
/// back the whole batch and returns the cell.
class NonFiniteResult : public std::exception {
public:
    explicit NonFiniteResult(NonFiniteCell cell) : m_cell(cell) {}
    NonFiniteCell cell() const { return m_cell; }
    const char* what() const noexcept override { return "result is not a finite number"; }

private:
    NonFiniteCell m_cell;
};

/// "第 12 行“累距[m]”列的计算结果不是有限的数（坐标或里程过大）。"
std::string nonFiniteMessage(NonFiniteCell cell);

/// The same for a number a writer was to write: "…列要写出的数不是有限的数…".
std::string nonFiniteWriteMessage(NonFiniteCell cell);

}  // namespace corvane
