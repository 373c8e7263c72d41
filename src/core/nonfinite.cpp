#include "nonfinite.h"

#include "columns.h"

namespace corvane {
namespace {

std::string cellName(NonFiniteCell cell) {
    std::string text = "第 " + std::to_string(cell.row + 1) + " 行";
    if (cell.column >= 0 && cell.column < kColumnCount)
        text += "“" + std::string(kColumns[static_cast<size_t>(cell.column)].header) + "”列";
    return text;
}

}  // namespace

std::string nonFiniteMessage(NonFiniteCell cell) {
    return cellName(cell) + "的计算结果不是有限的数（坐标或里程过大）。";
}

std::string nonFiniteWriteMessage(NonFiniteCell cell) {
    return cellName(cell) + "要写出的数不是有限的数（坐标或数值过大）。";
}

}  // namespace corvane
