#include "sp/core/spMemory.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "sp/core/spDispatch.h"

namespace {

std::atomic<long> g_failAfter{-1};
std::atomic<long> g_liveBlocks{0};
std::atomic<long> g_zeroFills[spDispatchColumns];

bool InjectedFailure()
{
    long left = g_failAfter.load(std::memory_order_relaxed);
    if (left < 0)
        return false;
    if (left == 0)
        return true;
    g_failAfter.store(left - 1, std::memory_order_relaxed);
    return false;
}

} // namespace

void* spMallocSize(std::size_t n)
{
    // No object may be larger than PTRDIFF_MAX bytes: pointer differences inside it must fit.
    if (n == 0 || n > static_cast<std::size_t>(PTRDIFF_MAX) || InjectedFailure())
        return nullptr;
    // posix_memalign keeps the heap address itself, so nothing is stored before the block
    // and 64-bit pointers need no header word.
    void* block = nullptr;
    if (posix_memalign(&block, spAlignment, n) != 0)
        return nullptr;
    g_liveBlocks.fetch_add(1, std::memory_order_relaxed);
    return block;
}

void* spMalloc(int n)
{
    if (n < 1)
        return nullptr;
    return spMallocSize(static_cast<std::size_t>(n));
}

float* spMallocFloat(int count)
{
    if (count < 1)
        return nullptr;
    return static_cast<float*>(spMallocSize(static_cast<std::size_t>(count) * sizeof(float)));
}

void spFree(void* block)
{
    if (block == nullptr)
        return;
    g_liveBlocks.fetch_sub(1, std::memory_order_relaxed);
    std::free(block);
}

spStatus spZero(void* dst, int len)
{
    if (dst == nullptr)
        return spStsNullPtrErr;
    if (len < 1)
        return spStsSizeErr;
    spCountZeroFill(0);
    std::memset(dst, 0, static_cast<std::size_t>(len));
    return spStsNoErr;
}

void spDebugFailAllocationsAfter(long allowed)
{
    g_failAfter.store(allowed < 0 ? -1 : allowed, std::memory_order_relaxed);
}

long spDebugLiveBlocks()
{
    return g_liveBlocks.load(std::memory_order_relaxed);
}

namespace {

bool IsColumn(int column)
{
    return column >= 0 && column < spDispatchColumns;
}

} // namespace

void spCountZeroFill(int column)
{
    if (IsColumn(column))
        g_zeroFills[column].fetch_add(1, std::memory_order_relaxed);
}

long spDebugZeroFills(int column)
{
    return IsColumn(column) ? g_zeroFills[column].load(std::memory_order_relaxed) : -1;
}
