#pragma once

#include <cstddef>
#include <vector>

namespace corvane {

/// Asks the system to back the memory of a large buffer with huge pages where it can.
/// Filling a buffer of a hundred megabytes page by page costs tens of thousands of page
/// faults, more time than the copying itself; only the whole huge pages inside the
/// buffer are advised (none in one below 2 MB unless it is one, aligned), and nothing
/// where huge pages are not offered. The one place of this hint.
void adviseLargeBuffer(void* data, size_t size);

/// Makes `v` `n` copies of `value`; memory it has to get for them is advised as above
/// before it is first touched.
template <class T>
void assignLarge(std::vector<T>& v, size_t n, const T& value = T()) {
    if (v.capacity() < n) {
        std::vector<T>().swap(v);
        v.reserve(n);
        adviseLargeBuffer(v.data(), v.capacity() * sizeof(T));
    }
    v.assign(n, value);
}

}  // namespace corvane
