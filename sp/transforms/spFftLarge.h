// Power-of-two FFT of orders 11 to 30: cores of at most 1024 points joined by a four-step
// split (rows, then twiddled columns four at a time) or, for 2048 and 4096 points, by
// radix-2 passes.
#pragma once

#include <cstdint>

#include "sp/core/spTypes.h"

struct spFftSpec;

// Completes in place the transform of bit-reversed data of the plan's order (11..30),
// scaling as the plan asks; `work` holds 32 * 2^split bytes (unused for orders 11 and 12).
template <bool Inverse>
void spFftLarge(const spFftSpec* spec, spComplex* data, int order, std::uint8_t* work);
