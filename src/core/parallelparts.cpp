#include "parallelparts.h"

#include <algorithm>
#include <exception>
#include <thread>
#include <vector>

namespace corvane {

size_t partsFor(size_t count, size_t large) {
    if (count < large)
        return 1;
    return std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
}

void runInParts(size_t count, size_t parts,
                const std::function<void(size_t part, size_t begin, size_t end)>& work) {
    parts = std::max<size_t>(parts, 1);
    std::vector<std::exception_ptr> failures(parts);
    auto run = [&](size_t k) {
        try {
            work(k, count * k / parts, count * (k + 1) / parts);
        } catch (...) {
            failures[k] = std::current_exception();
        }
    };
    {
        std::vector<std::jthread> threads;
        for (size_t k = 1; k < parts; ++k)
            threads.emplace_back(run, k);
        run(0);
    }
    for (const std::exception_ptr& failure : failures)
        if (failure)
            std::rethrow_exception(failure);
}

}  // namespace corvane
