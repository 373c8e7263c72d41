#pragma once

#include <QString>

#include <string>

namespace corvane {

/// A file name as the file layer takes it: UTF-8 on Windows, where that layer speaks
/// UTF-16 to the system; the file system's own bytes elsewhere. Every name the window
/// passes down goes through here, never through the ANSI code page.
std::string localPath(const QString& path);

/// The same name as the user sees it in messages: with the system's separators.
QString shownPath(const QString& path);

}  // namespace corvane
