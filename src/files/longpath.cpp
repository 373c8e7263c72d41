#include "longpath.h"

#include <algorithm>

namespace corvane {

std::wstring extendedLengthPath(const std::wstring& full) {
    std::wstring path = full;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    if (path.rfind(L"\\\\?\\", 0) == 0 || path.rfind(L"\\\\.\\", 0) == 0)
        return full;
    if (path.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + path.substr(2);
    const bool drive =
        path.size() >= 3 && path[1] == L':' && path[2] == L'\\' &&
        ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
    return drive ? L"\\\\?\\" + path : full;
}

}  // namespace corvane
