// Bit reversal and the in-place core of the power-of-two FFT, per dispatch column.
#pragma once

#include <cstdint>

#include "sp/core/spTypes.h"

// What the last pass of a core or a level writes: blocks (four real parts, then four
// imaginary parts) for a further level of columns 1 to 4, or interleaved values.
enum class spOutputMode { blocked, interleaved };

// dst[rev(m)] = src[m] for n points (n a power of two), the arrays apart; the pair table is
// read from n = 8 on. Column 0 moves one value at a time; column 1 each value as one 8-byte
// unit (as two floats when an array is not 8-byte aligned); columns 2 to 4 two adjacent
// values per 16-byte vector (aligned moves when both arrays allow them) and permute 8
// points directly.
template <int Column>
void spFftBitRevCopy(const spComplex* src, spComplex* dst, int n, const std::int32_t* pairs);
// The same permutation in place by exchanges; fewer than 4 points stay as they are.
template <int Column>
void spFftBitRevInPlace(spComplex* data, int n, const std::int32_t* pairs);
// Column 1's, which its level builder and its transforms call.
inline constexpr auto& spFftBitRevInPlaceColumn1 = spFftBitRevInPlace<1>;

// In-place transform of bit-reversed data of n points into natural order, unscaled. Column 0:
// the radix-4 core of 2^4 .. 2^10 points with the radix-4 twiddle layout of the same order;
// columns 1 to 4: the blocked core up to the column's core order with its pass records.
template <int Column, bool Inverse>
void spFftCore(spComplex* data, int n, const spComplex* table);
template <int Column>
inline constexpr auto& spFftCoreFwd = spFftCore<Column, false>;
template <int Column>
inline constexpr auto& spFftCoreInv = spFftCore<Column, true>;
