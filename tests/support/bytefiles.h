#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::test {

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeFile(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

/// The names in a folder, sorted, hidden files included.
inline std::vector<std::string> folderEntries(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

/// The lines of a CR LF file; a line end that is not CR LF shows up as a line
/// holding "<not CR LF>" so the comparison fails visibly.
inline std::vector<std::string> crlfLines(std::string_view bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t lf = bytes.find('\n', start);
        if (lf == std::string_view::npos) {
            lines.emplace_back(bytes.substr(start));
            lines.emplace_back("<no line end>");
            break;
        }
        if (lf == start || bytes[lf - 1] != '\r') {
            lines.emplace_back(bytes.substr(start, lf - start));
            lines.emplace_back("<not CR LF>");
        } else {
            lines.emplace_back(bytes.substr(start, lf - 1 - start));
        }
        start = lf + 1;
    }
    return lines;
}

/// The lines written as a CR LF file.
inline std::string joinLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines)
        out += l + "\r\n";
    return out;
}

}  // namespace corvane::test
