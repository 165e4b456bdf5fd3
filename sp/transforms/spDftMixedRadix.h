// The mixed-radix DFT: plan completion and the two drivers. A decimation-in-time transform:
// a first stage of short DFTs of the last factor over digit-reversed input, then one
// butterfly stage per remaining radix; sub-problems above 2000 points are split depth first
// so that every block of at most 2000 points runs stage after stage while it stays in cache.
//
// Every dispatch column has its own drivers, calling the column's kernels. The plans of
// columns 2 to 4 move a factor 4 or 2 into the first stage, so that every span keeps N's
// residue mod 4, and lay their twiddles out for the packed kernels; where N is a multiple of
// 4 the data stay blocked from the first stage on and a last pass interleaves them.
#pragma once

#include <cstdint>

#include "sp/core/spTypes.h"

struct spDftSpec;

// Sub-problems of more points than this are split by the drivers.
inline constexpr std::int32_t spDftBlockLimit = 2000;

// The largest radix above 5 among the factors (the last one included), or 0.
std::int32_t spDftMixedRadixLargestOdd(const spDftSpec* spec);
// Work bytes of a mixed-radix plan: 8 (N + R) + 16, in 64 bits; in columns 2 to 4 at least
// 8 N + 64 (R - 1) + 32 for the scratch of the odd-length kernels.
std::int64_t spDftMixedRadixWorkBytes(const spDftSpec* spec, std::int32_t len);

// Fills the stage geometry, twiddle and root tables, `mrIndex` and `workBytes` of a plan whose
// radices `spDftFactorize` has written; `tw` holds the N values exp(-2 pi i e / N). 0, or -9
// with every table made so far stored in the plan.
spStatus spDftInitMixedRadix(spDftSpec* spec, std::int32_t len, const spComplex* tw);

// Unscaled transforms of a plan made by the same dispatch column; `work` is 16-byte aligned
// with workBytes - 16 bytes behind it. `src` and `dst` are the same array or do not overlap.
template <int Column>
void spDftMixedRadixFwd(const spDftSpec* spec, const spComplex* src, spComplex* dst, std::uint8_t* work);
template <int Column>
void spDftMixedRadixInv(const spDftSpec* spec, const spComplex* src, spComplex* dst, std::uint8_t* work);

// The sub-problem of stage k (1 to the last butterfly stage): the r(k) m(k) values
// src[n p(k)] transformed into out[0 .. r(k) m(k) - 1] in natural order (columns 2 to 4:
// blocked where the span is a multiple of 4); `scratch` as the odd kernels need it.
template <int Column>
void spDftMixedRadixFwdLevel(const spDftSpec* spec, const spComplex* src, spComplex* out, int k,
                             spComplex* scratch);
template <int Column>
void spDftMixedRadixInvLevel(const spDftSpec* spec, const spComplex* src, spComplex* out, int k,
                             spComplex* scratch);
