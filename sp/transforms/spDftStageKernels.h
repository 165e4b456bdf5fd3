// Stage kernels of the mixed-radix DFT. Every kernel exists for both directions (template
// argument `Inverse`: conjugated twiddles and roots, rotations by +i instead of -i) and never
// scales. The radix-2 to radix-5 kernels compute in single precision, two butterflies per
// vector; the odd-radix kernels, whose sums run over up to 74 pairs, accumulate in double
// precision and round once when they store.
#pragma once

#include <cstdint>

#include "sp/core/spTypes.h"

// Butterfly stage of radix 2, 3, 4 or 5 over `groups` blocks of radix * span values: each
// block joins `radix` transforms of `span` points; twiddle of butterfly j, input q >= 1 at
// twiddles[j (radix - 1) + q - 1]. In place allowed.
template <int Radix, bool Inverse>
void spDftStageRadix(const spComplex* src, spComplex* dst, std::int32_t span,
                     std::int32_t groups, const spComplex* twiddles);

// The same for an odd radix above 5, one block: twiddles at j radix + q, roots of the radix,
// scratch of radix - 1 values. In place allowed.
template <bool Inverse>
void spDftStageOdd(const spComplex* src, spComplex* dst, std::int32_t radix, std::int32_t span,
                   const spComplex* roots, const spComplex* twiddles, spComplex* scratch);

// First stage of length 2, 3, 4 or 5 over `count` groups of `radix` DFTs: group t reads from
// src + index[t], DFT j takes src[j stride + q radix stride]; outputs are written in sequence.
template <int Length, bool Inverse>
void spDftFirstStageRadix(const spComplex* src, std::int32_t stride, spComplex* dst,
                          std::int32_t radix, std::int32_t count, const std::int32_t* index);

// First stage of an odd length above 5: `count` DFTs of `len` points, DFT j reading
// src[j stride + q count stride], writing dst[j len + k].
template <bool Inverse>
void spDftFirstStageAny(const spComplex* src, std::int32_t stride, spComplex* dst, std::int32_t len,
                        std::int32_t count, const spComplex* roots, spComplex* scratch);
