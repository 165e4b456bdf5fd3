// Core pieces of the processor columns: the zero fill of each column, the prefetching twin of
// spMalloc that column 3 allocates with, and the routine every column's filter worker ends with.
#pragma once

#include <immintrin.h>

#include <cstdint>

#include "sp/core/spDispatch.h"
#include "sp/core/spTypes.h"

// As spMalloc, and the cache line 128 bytes into the block is requested before it returns.
void* spMallocPrefetch(int n);

// Completes the streaming stores of a worker's kernels; the columns whose kernels may leave
// MMX state behind (all but column 2) also clear it, so x87 code can run afterwards.
template <int Column>
inline void spKernelExit()
{
    _mm_sfence();
    if constexpr (Column != 2)
        _mm_empty();
}

// The zero fill of every column: -8 for a null dst, -6 for len < 1 (in that order), else
// len bytes cleared and 0. Column 0 is spZero itself.
using spZeroFn = spStatus(void* dst, int len);
extern const spDispatchRow<spZeroFn> spZeroRow;

// Column 1 clears this many bytes and more with streaming stores.
inline constexpr int spZeroStreamingFrom1 = 20480;
// Columns 2 to 4 consider streaming stores only above this many bytes.
inline constexpr int spZeroLargeFrom = 524288;

// The cache size in bytes of the first descriptor of the table (largest caches first) that a
// leaf-2 answer (EAX, EBX, ECX, EDX) holds, or 0 when it holds none. Only processors of the maker whose
// descriptors the table lists may be asked (`vendorMatched`).
std::uint32_t spCacheSizeFromLeaf2(bool vendorMatched, const std::uint32_t (&regs)[4]);
// The same for the running processor.
std::uint32_t spCacheSize();
