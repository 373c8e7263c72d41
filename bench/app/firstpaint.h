#pragma once

#include <QtGlobal>

namespace corvane {

/// The editor's start as its main() makes it, to the first paint of the main window:
/// the application object (identity, icon, interface font, Qt's Chinese texts), settings
/// of its own, the main window shown maximised and its recovery copy started. Prints the
/// wall-clock times in ms since the epoch of `entered` (main() reached) and of the first
/// paint, for a launcher to subtract the time it started the process at; then quits.
int startToFirstPaint(int& argc, char** argv, qint64 entered);

}  // namespace corvane
