// Bit reversal and the radix-4 core of the power-of-two FFT.
#pragma once

#include <cstdint>

#include "sp/core/spTypes.h"

// dst[rev(m)] = src[m] for n points (n a power of two); the pair table is read from n = 8 on.
void spFftBitRevCopy(const spComplex* src, spComplex* dst, int n, const std::int32_t* pairs);
// The same permutation in place by exchanges; fewer than 4 points stay as they are.
void spFftBitRevInPlace(spComplex* data, int n, const std::int32_t* pairs);

// In-place transform of bit-reversed data of n = 2^4 .. 2^10 points into natural order,
// unscaled, with the radix-4 twiddle layout of the same order.
template <bool Inverse>
void spFftCore(spComplex* data, int n, const spComplex* layout);
