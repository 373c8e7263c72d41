#pragma once

#include <string>

namespace corvane {

/// The extended-length form of a full Windows path ("\\?\C:\...", or
/// "\\?\UNC\server\share\..." for a share), in which the system takes paths past the
/// 260 characters of MAX_PATH. It is read without the usual clean-up, so slashes become
/// backslashes here; "." and ".." must be gone already. A path in that form already, a
/// device path or one that is not full comes back as it is.
std::wstring extendedLengthPath(const std::wstring& full);

}  // namespace corvane
