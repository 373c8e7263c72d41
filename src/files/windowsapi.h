#pragma once

// The Windows system boundary: the program keeps paths and texts in UTF-8, the system
// takes and gives UTF-16. Built only for Windows.

#include <string>

namespace corvane {

/// `utf8` as UTF-16 for the wide system calls; invalid bytes become U+FFFD.
std::wstring widePath(const std::string& utf8);

/// A UTF-16 text of the system in UTF-8.
std::string utf8FromWide(const wchar_t* wide);

/// The errno value closest to a Windows error code (GetLastError), for the messages
/// that explain errno values.
int errnoFromWindows(unsigned long error);

}  // namespace corvane
