#include "largebuffer.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

#include <cstdint>

namespace corvane {

void adviseLargeBuffer(void* data, size_t size) {
#ifdef MADV_HUGEPAGE
    constexpr uintptr_t kHugePage = uintptr_t{2} << 20;
    if (data == nullptr)
        return;
    // Only whole huge pages inside the buffer can be backed so; the advice is a hint,
    // and a refusal changes nothing but the speed.
    const auto begin = (reinterpret_cast<uintptr_t>(data) + kHugePage - 1) & ~(kHugePage - 1);
    const auto end = (reinterpret_cast<uintptr_t>(data) + size) & ~(kHugePage - 1);
    if (end > begin)
        ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)data;
    (void)size;
#endif
}

}  // namespace corvane
