// Root tables of the DFT of lengths that are not powers of two, and the direct DFT.
#pragma once

#include <cstdint>

#include "sp/core/spTypes.h"

// N values exp(-2 pi i k / N) (cos, -sin), a quarter or half computed and the rest copied
// by symmetry; null when the allocation fails.
spComplex* spDftInitTwiddles(std::int32_t len);
// `count` entries of `table` (length tableLen) at stride tableLen / count, copied bit for bit.
spComplex* spDftInitRoots(std::int32_t count, const spComplex* table, std::int32_t tableLen);

// Unscaled DFT of N points by pair sums: forward for direction > 0, else inverse. `roots`
// holds exp(-2 pi i m / N); `work` holds 2 (N - 1) values and overlaps neither array, while
// dst may be src.
void spDftDirect(const spComplex* src, spComplex* dst, std::int32_t len, int direction,
                 const spComplex* roots, spComplex* work);
