#pragma once

#include <QString>

class QWidget;

namespace corvane {

// The application's message boxes, all titled "Corvane".

/// A question with Yes and No, No the default; true on Yes.
bool askYesNo(QWidget* parent, const QString& text, const QString& details = QString());

/// A notice with an information icon and OK.
void showInformation(QWidget* parent, const QString& text, const QString& details = QString());

/// A warning (input that cannot be taken) with OK.
void showWarning(QWidget* parent, const QString& text);

/// An error with an error icon and OK.
void showError(QWidget* parent, const QString& text, const QString& details = QString());

/// The prompt for a field that must hold a number.
QString numberPrompt();

}  // namespace corvane
