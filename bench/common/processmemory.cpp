#include "processmemory.h"

#ifdef _WIN32
#include <windows.h>

#include <psapi.h>
#else
#include <malloc.h>
#include <fstream>
#include <string>
#endif

namespace corvane {

#ifdef _WIN32

long residentKb() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return 0;
    return static_cast<long>(counters.WorkingSetSize / 1024);
}

// The C runtime's heap has no trim that returns pages; freed blocks stay in the heap.
void releaseFreeHeap() {}

#else

long residentKb() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            long kb = 0;
            status >> kb;
            return kb;
        }
        status.ignore(1 << 12, '\n');
    }
    return 0;
}

void releaseFreeHeap() {
    malloc_trim(0);
}

#endif

}  // namespace corvane
