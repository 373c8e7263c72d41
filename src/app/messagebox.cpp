#include "messagebox.h"

#include <QMessageBox>

namespace corvane {
namespace {

QMessageBox::StandardButton run(QWidget* parent, QMessageBox::Icon icon, const QString& text,
                                const QString& details, QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton defaultButton) {
    QMessageBox box(icon, QStringLiteral("Corvane"), text, buttons, parent);
    box.setDefaultButton(defaultButton);
    if (!details.isEmpty())
        box.setInformativeText(details);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

bool askYesNo(QWidget* parent, const QString& text, const QString& details) {
    return run(parent, QMessageBox::Question, text, details, QMessageBox::Yes | QMessageBox::No,
               QMessageBox::No) == QMessageBox::Yes;
}

void showInformation(QWidget* parent, const QString& text, const QString& details) {
    run(parent, QMessageBox::Information, text, details, QMessageBox::Ok, QMessageBox::Ok);
}

void showWarning(QWidget* parent, const QString& text) {
    run(parent, QMessageBox::Warning, text, QString(), QMessageBox::Ok, QMessageBox::Ok);
}

void showError(QWidget* parent, const QString& text, const QString& details) {
    run(parent, QMessageBox::Critical, text, details, QMessageBox::Ok, QMessageBox::Ok);
}

QString numberPrompt() {
    return QStringLiteral("请输入一个数字。");
}

}  // namespace corvane
