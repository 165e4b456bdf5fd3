// Power-of-two FFT above the core order of each column. Column 0: cores of at most 1024
// points joined by a four-step split (rows, then twiddled columns four at a time) or, for
// 2048 and 4096 points, by radix-2 passes; columns 1 to 4: see spColFft.h.
#pragma once

#include <cstdint>

#include "sp/core/spTypes.h"

struct spFftSpec;

// Completes in place the transform of bit-reversed data of the plan's order, scaling as the
// plan asks in columns 0 and 1 (columns 2 to 4 leave that to their caller); `work` holds the
// column's work area for the order (unused for column 0's orders 11 and 12).
template <int Column, bool Inverse>
void spFftLarge(const spFftSpec* spec, spComplex* data, int order, std::uint8_t* work);
template <int Column>
inline constexpr auto& spFftLargeFwd = spFftLarge<Column, false>;
template <int Column>
inline constexpr auto& spFftLargeInv = spFftLarge<Column, true>;

// Whether the column's large-order driver scales by itself.
constexpr bool spFftLargeScales(int column) { return column <= 1; }
