#pragma once

#include <QString>
#include <QStringList>

namespace corvane {

/// A cell may not hold "," or a line break: every file written from the table would
/// split the row there.
bool isAcceptableCellText(const QString& text);

/// The status bar text shown when a typed or pasted text is refused.
QString refusedCellTextMessage();

/// The choice a drop-down opens with for a cell holding `text`: the first choice that
/// begins with it, ignoring letter case, searching from the second choice to the last
/// and then the first. -1 when `text` is empty or no choice begins with it.
int findInitialChoice(const QStringList& choices, const QString& text);

}  // namespace corvane
