// Stage kernels of the mixed-radix DFT, one set per dispatch column. Every kernel has a
// forward form (rotations by powers of exp(-2 pi i / n)) and an inverse form (their
// conjugates), and none scales. Kernels check nothing: the column's plan and driver
// guarantee sizes, tables and layouts.
//
// Column 0 reads and writes floats and forms every sum and product in double precision,
// rounding once when it stores. Column 1 runs the same code, with radix-3 and radix-5
// kernels of its own. Columns 2 to 4 compute in single precision, four lanes at a time, on
// the layout their plan prepares: wherever a stage's span is a multiple of 4 the data are
// held in blocks (four complex values as four real parts, then four imaginary parts) and
// the stage's twiddles are blocked alike; a span of 2 mod 4 or an odd span keeps
// interleaved data, with the radix-3 and radix-5 twiddles of two rows side by side.
#pragma once

#include <cstdint>

#include "sp/core/spTypes.h"

// ---- butterfly stages: `count` blocks of radix * span values, each joining `radix`
// transforms of `span` points; in place allowed ----

// Radix 2 to 5: twiddle of butterfly j, input t >= 1, at twiddles[j (radix - 1) + t - 1] in
// columns 0 and 1; columns 2 to 4 read the layout of their plan (spDftInitMixedRadix), and
// their radix-2 and radix-4 stages exist only for spans that are multiples of 4.
template <int Column>
void spDftStageR2Fwd(const spComplex* src, spComplex* dst, std::int32_t span, std::int32_t count,
                     const spComplex* twiddles);
template <int Column>
void spDftStageR2Inv(const spComplex* src, spComplex* dst, std::int32_t span, std::int32_t count,
                     const spComplex* twiddles);
template <int Column>
void spDftStageR3Fwd(const spComplex* src, spComplex* dst, std::int32_t span, std::int32_t count,
                     const spComplex* twiddles);
template <int Column>
void spDftStageR3Inv(const spComplex* src, spComplex* dst, std::int32_t span, std::int32_t count,
                     const spComplex* twiddles);
template <int Column>
void spDftStageR4Fwd(const spComplex* src, spComplex* dst, std::int32_t span, std::int32_t count,
                     const spComplex* twiddles);
template <int Column>
void spDftStageR4Inv(const spComplex* src, spComplex* dst, std::int32_t span, std::int32_t count,
                     const spComplex* twiddles);
template <int Column>
void spDftStageR5Fwd(const spComplex* src, spComplex* dst, std::int32_t span, std::int32_t count,
                     const spComplex* twiddles);
template <int Column>
void spDftStageR5Inv(const spComplex* src, spComplex* dst, std::int32_t span, std::int32_t count,
                     const spComplex* twiddles);

// An odd radix above 5, one block: twiddles at j radix + t, the radix's roots (columns 2 to
// 4: with the index behind them that spDftInitRoots adds), and a scratch of radix - 1
// values (columns 2 to 4: spVecOddScratch, 16-byte aligned).
template <int Column>
void spDftStageOddFwd(const spComplex* src, spComplex* dst, std::int32_t radix, std::int32_t span,
                      const spComplex* roots, const spComplex* twiddles, spComplex* scratch);
template <int Column>
void spDftStageOddInv(const spComplex* src, spComplex* dst, std::int32_t radix, std::int32_t span,
                      const spComplex* roots, const spComplex* twiddles, spComplex* scratch);

// ---- first stages: the short DFTs of the last factor over digit-reversed input ----

// Length 3, 5 (every column), 4 and 2 (columns 2 to 4): for block i < count and DFT r <
// groups, inputs src[index[i] + r stride + t groups stride], outputs written in sequence
// (length 4: one block per DFT). Length 2 is the same in both directions.
template <int Column>
void spDftFirstStageR3Fwd(const spComplex* src, std::int32_t stride, spComplex* dst, std::int32_t groups,
                          std::int32_t count, const std::int32_t* index);
template <int Column>
void spDftFirstStageR3Inv(const spComplex* src, std::int32_t stride, spComplex* dst, std::int32_t groups,
                          std::int32_t count, const std::int32_t* index);
template <int Column>
void spDftFirstStageR5Fwd(const spComplex* src, std::int32_t stride, spComplex* dst, std::int32_t groups,
                          std::int32_t count, const std::int32_t* index);
template <int Column>
void spDftFirstStageR5Inv(const spComplex* src, std::int32_t stride, spComplex* dst, std::int32_t groups,
                          std::int32_t count, const std::int32_t* index);
template <int Column>
void spDftFirstStageR4Fwd(const spComplex* src, std::int32_t stride, spComplex* dst, std::int32_t groups,
                          std::int32_t count, const std::int32_t* index);
template <int Column>
void spDftFirstStageR4Inv(const spComplex* src, std::int32_t stride, spComplex* dst, std::int32_t groups,
                          std::int32_t count, const std::int32_t* index);
template <int Column>
void spDftFirstStageR2(const spComplex* src, std::int32_t stride, spComplex* dst, std::int32_t groups,
                       std::int32_t count, const std::int32_t* index);

// An odd length above 5, one block: DFT r < groups reads src[r stride + t groups stride]
// and writes dst[r len + k]; roots of the length, scratch as for the odd stage.
template <int Column>
void spDftFirstStageAnyFwd(const spComplex* src, std::int32_t stride, spComplex* dst, std::int32_t len,
                           std::int32_t groups, const spComplex* roots, spComplex* scratch);
template <int Column>
void spDftFirstStageAnyInv(const spComplex* src, std::int32_t stride, spComplex* dst, std::int32_t len,
                           std::int32_t groups, const spComplex* roots, spComplex* scratch);

// Columns 2 to 4: rewrites `blocks` blocks of four values in place as interleaved values.
template <int Column>
void spDftBlocksToInterleaved(spComplex* data, std::int32_t blocks);
