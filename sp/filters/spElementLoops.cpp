#include "sp/filters/spElementLoops.h"

#include <atomic>

namespace {

std::atomic<bool> g_plainOnly{false};

bool HasAvx2()
{
    // The check includes the operating system's saving of the AVX registers.
    static const bool hasAvx2 = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return hasAvx2;
}

} // namespace

bool spUseAvx2Loops()
{
    return HasAvx2() && !g_plainOnly.load(std::memory_order_relaxed);
}

void spDebugUsePlainLoops(bool plain)
{
    g_plainOnly.store(plain, std::memory_order_relaxed);
}
