#include "memoryroom.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#if defined(__unix__) || defined(__APPLE__)
#include <unistd.h>
#elif defined(_WIN32)
#include <windows.h>
#endif

namespace corvane {
namespace {

#if defined(__linux__)
// "MemAvailable" of /proc/meminfo: free memory plus what the kernel can reclaim
// without swapping.
std::optional<uint64_t> meminfoAvailable() {
    std::ifstream in("/proc/meminfo");
    std::string key;
    uint64_t kib = 0;
    std::string unit;
    while (in >> key >> kib) {
        std::getline(in, unit);
        if (key == "MemAvailable:")
            return kib * 1024;
    }
    return std::nullopt;
}

// The room left under the control group's memory limit (cgroup v2), when one is set.
std::optional<uint64_t> cgroupRoom() {
    std::ifstream maxFile("/sys/fs/cgroup/memory.max");
    std::ifstream currentFile("/sys/fs/cgroup/memory.current");
    std::string max;
    uint64_t current = 0;
    if (!(maxFile >> max) || max == "max" || !(currentFile >> current))
        return std::nullopt;
    uint64_t limit = 0;
    std::istringstream(max) >> limit;
    return limit > current ? limit - current : 0;
}
#endif

}  // namespace

std::optional<uint64_t> availableMemory() {
    std::optional<uint64_t> room;
    auto lower = [&room](std::optional<uint64_t> other) {
        if (other)
            room = room ? std::min(*room, *other) : *other;
    };
#if defined(__linux__)
    lower(meminfoAvailable());
    lower(cgroupRoom());
#endif
#if defined(_WIN32)
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (::GlobalMemoryStatusEx(&status))
        lower(status.ullAvailPhys);
#endif
#if defined(__unix__) || defined(__APPLE__)
#if defined(_SC_AVPHYS_PAGES)
    if (!room) {
        const long pages = ::sysconf(_SC_AVPHYS_PAGES);
        const long pageSize = ::sysconf(_SC_PAGESIZE);
        if (pages > 0 && pageSize > 0)
            lower(static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize));
    }
#endif
#endif
    return room;
}

std::string sizeText(uint64_t bytes) {
    // Tenths counted in whole numbers: the C library's formatting follows the locale.
    const bool gigabytes = bytes >= (uint64_t{1} << 30);
    const uint64_t unit = gigabytes ? uint64_t{1} << 30 : uint64_t{1} << 20;
    const uint64_t tenths = (bytes * 10 + unit / 2) / unit;
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) +
           (gigabytes ? " GB" : " MB");
}

}  // namespace corvane
