// The 256-bit twins of the blocked FFT core's radix-4 and radix-2 passes (same arguments,
// same bits); only processors with AVX2 may run them.
#pragma once

#include <cstddef>

#include "sp/transforms/spColFft.h"

template <bool Inverse, spOutputMode mode>
void spRadix4PassWide(const float* x, float* y, std::ptrdiff_t n, std::ptrdiff_t s, const float* table);
template <bool Inverse, spOutputMode mode>
void spRadix2PassWide(const float* x, float* y, std::ptrdiff_t n, const float* table);
