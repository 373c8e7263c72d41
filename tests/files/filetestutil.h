#pragma once

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "codepage.h"

namespace corvane::filetest {

/// The UTF-8 text in code page 936; the test fails when a character has no code.
inline std::string gbk(std::string_view utf8) {
    std::string out;
    EXPECT_EQ(cp936::encode(utf8, out), std::string_view::npos) << utf8;
    return out;
}

/// The UTF-8 text (BMP and beyond) as UTF-16 with a byte order mark.
inline std::string utf16(std::string_view utf8, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    auto put = [&](char16_t u) {
        const char hi = static_cast<char>(u >> 8);
        const char lo = static_cast<char>(u & 0xFF);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    };
    size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t cp = nextUtf8(utf8, pos);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            put(static_cast<char16_t>(0xD800 + (cp >> 10)));
            put(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            put(static_cast<char16_t>(cp));
        }
    }
    return out;
}

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

/// A fresh folder under the temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder() {
        std::string tmpl =
            (std::filesystem::temp_directory_path() / "corvane-test-XXXXXX").string();
        m_path = ::mkdtemp(tmpl.data());
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(std::string_view name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

/// A small tmpfs mounted for one test, when the test may mount (root in a machine or
/// container that allows it); unmounted at the end.
class SmallTmpfs {
public:
    explicit SmallTmpfs(const std::filesystem::path& where, size_t bytes) : m_path(where) {
        std::filesystem::create_directories(where);
        const std::string options = "size=" + std::to_string(bytes) + ",mode=0777";
        m_mounted = ::mount("tmpfs", where.c_str(), "tmpfs", 0, options.c_str()) == 0;
    }
    ~SmallTmpfs() {
        if (m_mounted)
            ::umount2(m_path.c_str(), MNT_DETACH);
    }
    SmallTmpfs(const SmallTmpfs&) = delete;
    SmallTmpfs& operator=(const SmallTmpfs&) = delete;
    bool mounted() const { return m_mounted; }
    /// Makes the mount read-only (its files stay as they are).
    bool makeReadOnly() {
        return m_mounted &&
               ::mount(nullptr, m_path.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

private:
    std::filesystem::path m_path;
    bool m_mounted = false;
};

}  // namespace corvane::filetest
