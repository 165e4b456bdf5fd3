// Aligned memory of the signal-processing library and its zero fill.
#pragma once

#include <cstddef>

#include "sp/core/spTypes.h"

// Block alignment of every allocation of the library.
inline constexpr std::size_t spAlignment = 32;

// A block of at least n bytes aligned to 32 bytes, or null when n < 1 or memory runs out.
void* spMalloc(int n);
// A block of count floats aligned to 32 bytes, or null when count < 1 or memory runs out.
float* spMallocFloat(int count);
// The same for a byte count that may exceed 32 bits; null when it is 0 or cannot be had.
void* spMallocSize(std::size_t n);
// Releases a block of the allocators above; null is ignored.
void spFree(void* block);

// Clears len bytes at dst: -8 for a null dst, -6 for len < 1 (in that order), else 0.
spStatus spZero(void* dst, int len);

// Test hook: the allocation after `allowed` further successful ones fails (negative: none fails).
// Lets tests drive every "no memory" path of the library.
void spDebugFailAllocationsAfter(long allowed);
// Number of blocks handed out and not yet freed (for leak checks in tests).
long spDebugLiveBlocks();
// Every zero fill counts its runs per dispatch column (column 0's is spZero), so that tests
// see whose fill a caller went through. A column outside 0 to 4 counts nothing and has -1.
void spCountZeroFill(int column);
long spDebugZeroFills(int column);
