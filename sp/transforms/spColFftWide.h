// The 256-bit twins of the blocked FFT core's passes (same arguments, same bits); only
// processors with AVX2 may run them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sp/transforms/spColFft.h"

template <bool Inverse, spOutputMode mode>
void spRadix4PassWide(const float* x, float* y, std::ptrdiff_t n, std::ptrdiff_t s, const float* table);
template <bool Inverse, spOutputMode mode>
void spRadix2PassWide(const float* x, float* y, std::ptrdiff_t n, const float* table);
// The last radix-4 pass of an odd order (sub-length n/8) and the closing radix-2 pass in one
// sweep, the radix-4 results held in registers.
template <bool Inverse, spOutputMode mode>
void spRadix8LastWide(const float* x, float* y, std::ptrdiff_t n, const float* table);

// The radix-16 first pass two groups at a time, blocks of group g out to `out` + 32 g: on
// groups g0 .. g1 - 1 (an even count) of bit-reversed interleaved values in place at `data`,
// or on all `groups` groups reading the natural-order source through the bit reversal (group
// g from src + index[g], its rows `sixteenth` values apart).
template <bool Inverse>
void spFirstPassLinearWide(const float* data, std::ptrdiff_t g0, std::ptrdiff_t g1, const float* record, float* out);
template <bool Inverse>
void spFirstPassFusedWide(const spComplex* src, const std::int32_t* index, std::ptrdiff_t sixteenth,
                          std::ptrdiff_t groups, const float* record, float* out);
