// Builders of the power-of-two FFT tables. Every twiddle is a signed copy of one entry of a
// quarter-wave sine table, so all tables of a plan agree bit for bit.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sp/core/spTypes.h"

struct spFftSpec;

// The order-m view of a sine table of order s: values sin(2 pi x / 2^m), x = 0 .. 2^m/4.
struct spSineView {
    const float* sine;
    std::ptrdiff_t stride;
    std::ptrdiff_t quarter;

    spSineView(const float* table, int sineOrder, int order)
        : sine(table), stride(std::ptrdiff_t{1} << (sineOrder - order)),
          quarter((std::ptrdiff_t{1} << order) / 4)
    {
    }

    float at(std::ptrdiff_t x) const { return sine[x * stride]; }

    // W^e = exp(-2 pi i e / 2^m) for 0 <= e < 2^m by the quadrant rule: every value is a
    // table entry or its exact negation, signed zeros included.
    spComplex twiddle(std::ptrdiff_t e) const
    {
        const std::ptrdiff_t q = quarter;
        if (e <= q)
            return {at(q - e), -at(e)};
        if (e <= 2 * q)
            return {-at(e - q), -at(2 * q - e)};
        if (e <= 3 * q)
            return {-at(3 * q - e), at(e - 2 * q)};
        return {at(e - 3 * q), at(4 * q - e)};
    }
};

// Order of the column transform that each level of a large order takes off; 0: no split.
inline constexpr int spFftSplitOrder[31] = {
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, // 0..12
    5, 6, 7, 8, 8, 8, 10, 10, 10, 10, 8, 8, // 13..24
    10, 10, 10, 10, 10, 10,                 // 25..30
};

// Largest order that the radix-4 core transforms in one piece.
inline constexpr int spFftCoreMaxOrder = 10;

// Bytes of the sine table and of the pair table of order n: (2^n/4 + 1) 32-bit words, aligned.
std::int64_t spFftQuarterTableBytes(int order);
// Bytes the plan reserves for the radix-4 layout of order n.
std::int64_t spFftLayoutBytes(int order);

// sine[k] = sin(2 pi k / 2^n), k = 0 .. 2^n/4.
void spFftInitSineTable(int order, float* sine);
// The bit-reverse pair table of order n (2^(n-2) + 1 words; nothing for n < 2).
void spFftInitBitRevPairs(int order, std::int32_t* pairs);
// 2^m/4 + 1 records (W^k, W^2k, W^3k) of order m; returns the end aligned up to 16.
std::uint8_t* spFftInitTwiddleLayout(int order, const float* sine, int sineOrder, spComplex* out);
// The combine twiddles of order m: 2^m/4 values W^k, interleaved in column 0 and in blocks of
// four (four real parts, then four imaginary parts) in column 1; returns the end aligned up
// to 16.
template <int Column>
std::uint8_t* spFftInitCombineTwiddles(int order, const float* sine, int sineOrder, spComplex* out);
// Column 0's, by the name its block path knows them by.
inline constexpr auto& spFftInitQuarterTwiddles = spFftInitCombineTwiddles<0>;
// The twiddle matrix of one split level of order n that takes off columns of order s: for
// every group of four columns c, for every row j < 2^s, W^(rev_s(j) (c + t)), t = 0 .. 3, of
// order n, as four interleaved values (column 0) or as one block (column 1). `temp` holds
// four vectors of 2^s values and the pair table of order s. Returns the end (8 * 2^n bytes on).
template <int Column>
std::uint8_t* spFftInitLevelTwiddles(int order, int split, const float* sine, int sineOrder, std::uint8_t* temp,
                                     spComplex* out);

// Bytes of the table block and of the temporary area of a large order (11..30), in 64 bits.
void spFftLargeTableSizes(int order, std::int64_t* blockBytes, std::int64_t* tempBytes);
// Fills the block of a large order and sets the plan's table pointers and `workBytes`.
void spFftLargeTables(spFftSpec* spec, int order, const float* sine, int sineOrder,
                      std::uint8_t* block, std::uint8_t* temp);
