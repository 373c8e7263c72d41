#pragma once

// A hint that memory at `address` is read soon, for walks out of memory order; does
// nothing where the compiler has no such hint.
#if defined(__GNUC__) || defined(__clang__)
#define CORVANE_PREFETCH(address) __builtin_prefetch(address)
#elif defined(_MSC_VER)
#include <intrin.h>
#define CORVANE_PREFETCH(address) _mm_prefetch(reinterpret_cast<const char*>(address), _MM_HINT_T0)
#else
#define CORVANE_PREFETCH(address) ((void)(address))
#endif
