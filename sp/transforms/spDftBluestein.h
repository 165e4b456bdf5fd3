// Bluestein's DFT: a length-N transform as a cyclic convolution of power-of-two length
// M >= 2N - 1 with the chirp exp(-pi i k^2 / N), run through the power-of-two FFT.
#pragma once

#include <cstdint>

#include "sp/core/spTypes.h"

struct spDftSpec;

// The convolution length M: the smallest power of two not below 2N - 1.
std::int64_t spDftBluesteinLen(std::int32_t len);
// True when the Bluestein tables and work area of length N fit the library's 32-bit counts.
bool spDftBluesteinFits(std::int32_t len, int column);

// The plan's column picks the inner FFT and the vector kernels. Fills `bluesteinLen`, `chirp`, `chirpSpectrum`, `bluesteinFft` and `workBytes`. 0, -9, or
// the status of the inner FFT; what was made stays in the plan.
spStatus spDftInitBluestein(spDftSpec* spec, std::int32_t len);

// Unscaled DFT (direction > 0 forward, else inverse); `work` is 16-byte aligned with
// 8M bytes for the convolution followed by the inner FFT's work area. dst may be src.
spStatus spDftBluestein(const spDftSpec* spec, const spComplex* src, spComplex* dst,
                        std::int32_t len, int direction, std::uint8_t* work);
