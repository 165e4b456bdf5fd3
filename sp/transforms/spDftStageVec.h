// The packed single-precision stage kernels of columns 2 to 4 (columns 2 and 4 run the same
// code; column 3 differs only where `DuplicatingLoads` says). Each kernel picks its form by
// the stage's span: blocked for a multiple of 4; for a span of 2 mod 4 or an odd one,
// interleaved data with two adjacent rows per 128-bit step (an odd span keeps row 0 alone).
// The first stages of odd lengths take one DFT per row of a batch.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sp/core/spTypes.h"

// Sums and products rounded to single precision at every step; the odd-length kernels of
// the interleaved forms split each output sum into two partial sums over alternate pairs.

template <int Radix, bool Inverse, bool DuplicatingLoads>
void spVecStage(const spComplex* src, spComplex* dst, std::int32_t span, std::int32_t count,
                const spComplex* twiddles);
// An odd radix over `groups` blocks (rows of different blocks share the root loads); the
// scratch holds spVecOddScratch(radix) values.
template <bool Inverse>
void spVecStageOdd(const spComplex* src, spComplex* dst, std::int32_t radix, std::int32_t span, std::int32_t groups,
                   const spComplex* roots, const spComplex* twiddles, spComplex* scratch);
// Length 2, 3, 4 or 5.
template <int Length, bool Inverse>
void spVecFirstStage(const spComplex* src, std::int32_t stride, spComplex* dst, std::int32_t groups,
                     std::int32_t count, const std::int32_t* index);
template <bool Inverse>
void spVecFirstStageAny(const spComplex* src, std::int32_t stride, spComplex* dst, std::int32_t len,
                        std::int32_t groups, const spComplex* roots, spComplex* scratch);
void spVecBlocksToInterleaved(spComplex* data, std::int32_t blocks);

// Rows of an odd length that run side by side: the 128-bit kernels take four, the 256-bit
// ones eight, alone or (adjacent rows of the odd-radix stage) in pairs.
inline constexpr int spVecRowBatch = 4;
inline constexpr int spVecRowBatchWide = 8;
inline constexpr int spVecPairBatch = spVecRowBatch / 2;
inline constexpr int spVecPairBatchWide = spVecRowBatchWide / 2;
// Scratch (complex values) of the odd-length kernels of a radix: the pairs of a batch of
// rows, two values per pair and row (the blocked form needs four rows' worth).
constexpr std::int64_t spVecOddScratch(std::int64_t radix) { return spVecRowBatchWide * (radix - 1); }

// ---- pieces in translation units of their own instruction sets ----

// The radix-3 and radix-5 stages on two interleaved rows per step with the twiddles spread by
// SSE3's duplicating loads (column 3).
template <int Radix, bool Inverse>
void spVecPairStageDuplicating(const float* src, float* dst, std::ptrdiff_t span, std::ptrdiff_t count,
                               const float* twiddles);

// 256-bit twins of the blocked kernels for processors with AVX2: one block per vector, the
// same sums and products in the same order, so the same bits. They run where the column
// FFT's passes run wide (spColWideVectors).
template <int Radix, bool Inverse>
void spVecBlockedStageWide(const float* src, float* dst, std::ptrdiff_t span, std::ptrdiff_t count,
                           const float* twiddles);
template <bool Inverse>
void spVecBlockedOddWide(const float* src, float* dst, std::ptrdiff_t radix, std::ptrdiff_t span,
                         const spComplex* roots, const float* twiddles, float* scratch);
void spVecBlocksToInterleavedWide(float* data, std::ptrdiff_t blocks);
template <bool Inverse>
void spVecFirstStageR4Wide(const float* src, std::ptrdiff_t stride, float* dst, std::ptrdiff_t groups,
                           std::ptrdiff_t count, const std::int32_t* index);
// The odd lengths on interleaved data, two rows per vector.
template <bool Inverse>
void spVecRowOddWide(const float* src, float* dst, std::ptrdiff_t radix, std::ptrdiff_t span, std::ptrdiff_t groups,
                     const spComplex* roots, const float* twiddles, float* scratch);
template <bool Inverse>
void spVecRowFirstStageAnyWide(const float* src, std::ptrdiff_t stride, float* dst, std::ptrdiff_t len,
                               std::ptrdiff_t groups, const spComplex* roots, float* scratch);
