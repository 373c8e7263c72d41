#pragma once

class QDialog;
class QHBoxLayout;

namespace corvane {

/// The "确定(&O)" (default) and "取消(&C)" buttons of a small dialog, right-aligned, tied
/// to the dialog's accept() and reject().
QHBoxLayout* okCancelRow(QDialog* dialog);

}  // namespace corvane
