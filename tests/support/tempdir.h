#pragma once

#ifdef __linux__
#include <sys/mount.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>

namespace corvane::test {

/// A fresh folder under the temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder() {
        // A new name until one is free: create_directory fails on a folder that exists.
        std::random_device seed;
        std::mt19937_64 random(seed());
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        do
            m_path = base / ("corvane-test-" + std::to_string(random() % 1000000000000u));
        while (!std::filesystem::create_directory(m_path));
    }
    ~TempFolder() {
        // A test may have taken its own permissions away to make writing fail.
        std::error_code ignored;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(std::string_view name) const { return m_path / name; }
    /// The path of a file in the folder, as a string.
    std::string file(std::string_view name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

/// A small tmpfs mounted for one test, when the test may mount (root in a machine or
/// container that allows it); unmounted at the end.
class SmallTmpfs {
public:
    explicit SmallTmpfs(const std::filesystem::path& where, size_t bytes) : m_path(where) {
        std::filesystem::create_directories(where);
#ifdef __linux__
        const std::string options = "size=" + std::to_string(bytes) + ",mode=0777";
        m_mounted = ::mount("tmpfs", where.c_str(), "tmpfs", 0, options.c_str()) == 0;
#else
        (void)bytes;  // no such mount elsewhere: the tests that need it skip
#endif
    }
    ~SmallTmpfs() {
#ifdef __linux__
        if (m_mounted)
            ::umount2(m_path.c_str(), MNT_DETACH);
#endif
    }
    SmallTmpfs(const SmallTmpfs&) = delete;
    SmallTmpfs& operator=(const SmallTmpfs&) = delete;
    bool mounted() const {
        return m_mounted;
    }
    /// Makes the mount read-only (its files stay as they are).
    bool makeReadOnly() {
#ifdef __linux__
        return m_mounted &&
               ::mount(nullptr, m_path.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
#else
        return false;
#endif
    }

private:
    std::filesystem::path m_path;
    bool m_mounted = false;
};

}  // namespace corvane::test
