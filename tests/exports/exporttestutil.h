#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "codepage.h"
#include "pointtable.h"

namespace corvane::testing {

/// One row of a fixture table; the defaults are those of a fresh point on the
/// segment J1 -> J2.
struct PointSpec {
    std::string name;
    std::string north = "0";
    std::string east = "0";
    std::string elevation = "0";
    std::string start = "J1";
    std::string end = "J2";
    std::string distance = "0";
    std::string offset = "0";
    std::string type = "普通点";
    std::string crossing = "无跨越物(0)";
    std::string measuredHeight = "0";
    std::string angle = "0";
    std::string pole = "无杆型";
    std::string length = "0";
    std::string width = "0";
};

inline Row makeRow(const PointSpec& p) {
    const std::vector<std::string_view> cells{
        p.name,  p.north,    p.east,   p.elevation, p.start,    p.end,
        "",      p.distance, p.offset, p.type,      p.crossing, p.measuredHeight,
        p.angle, p.pole,     p.length, p.width,     ""};
    return Row(cells);
}

inline void fillTable(PointTable& table, const std::vector<PointSpec>& points,
                      std::vector<std::string> linePoints = {}) {
    std::vector<Row> rows;
    for (const PointSpec& p : points)
        rows.push_back(makeRow(p));
    table.replaceAll(std::move(rows), {});
    if (!linePoints.empty())
        table.setLinePoints(std::move(linePoints));
}

inline std::string gbk(std::string_view utf8) {
    std::string out;
    cp936::encode(utf8, out);
    return out;
}

inline std::string utf8(std::string_view gbkBytes) {
    std::string out;
    size_t invalid = 0;
    cp936::decode(gbkBytes, out, invalid);
    return out;
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

inline std::string joinLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines)
        out += l + "\r\n";
    return out;
}

/// A folder of its own under the system's temporary folder, removed at the end.
class TempDir {
public:
    TempDir() {
        static std::atomic<int> counter{0};
        m_path =
            std::filesystem::temp_directory_path() /
            ("corvane-exports-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(m_path, ec);
    }
    std::string file(std::string_view name) const { return (m_path / name).string(); }
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

inline void writeBytes(const std::string& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

/// What a command printed and its exit status.
struct CommandResult {
    int status = -1;
    std::string out;
    std::string err;
};

/// Runs a shell command line, capturing stdout and stderr through files in `dir`.
inline CommandResult runCommand(const TempDir& dir, const std::string& command) {
    const std::string out = dir.file("stdout.txt");
    const std::string err = dir.file("stderr.txt");
    const int raw = std::system((command + " >'" + out + "' 2>'" + err + "'").c_str());
    CommandResult r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = readBytes(out);
    r.err = readBytes(err);
    return r;
}

inline std::string quote(const std::string& path) {
    return "'" + path + "'";
}

}  // namespace corvane::testing
