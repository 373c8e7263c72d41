#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "clirunner.h"

namespace corvane::test {

/// True when `name` is a program on the PATH (PROJ's and GDAL's tools come with
/// proj-bin and gdal-bin, which scripts/setup installs).
inline bool hasTool(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/bin:/bin";
    size_t from = 0;
    while (from <= folders.size()) {
        size_t colon = folders.find(':', from);
        if (colon == std::string::npos)
            colon = folders.size();
        const std::filesystem::path candidate =
            std::filesystem::path(folders.substr(from, colon - from)) / name;
        if (::access(candidate.c_str(), X_OK) == 0)
            return true;
        from = colon + 1;
    }
    return false;
}

#define CORVANE_NEEDS_TOOL(name)                                                      \
    do {                                                                              \
        if (!corvane::test::hasTool(name))                                            \
            GTEST_SKIP() << name << " is not installed (Debian proj-bin / gdal-bin)"; \
    } while (0)

}  // namespace corvane::test
