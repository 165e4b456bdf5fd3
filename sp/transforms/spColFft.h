// The power-of-two FFT of the processor columns 1 to 4.
//
// Between the first and the last pass the data are held in blocks: four complex values as
// their four real parts, then their four imaginary parts (32 bytes). The core is a
// decimation-in-time transform of bit-reversed input: a radix-16 first pass, radix-4 passes
// and, for odd orders, a closing radix-2 pass. Only the last write of a transform turns the
// blocks back into interleaved values; a core that feeds a further level leaves them blocked.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sp/core/spTypes.h"

struct spFftSpec;

// What the last pass of a core or a level writes.
enum class spOutputMode { blocked, interleaved };

// ---- tables ----

// Floats of the core table of order n >= 4: per radix-4 pass of sub-length s = 4, 16, ..
// one record of 24 floats per four butterflies (w^j, w^2j, w^3j of w = exp(-2 pi i / 4s), each
// as four real parts then four imaginary parts), then for odd orders 8 floats per four
// butterflies of the radix-2 pass.
std::int64_t spColCoreTableFloats(int order);
void spColInitCoreTable(int order, const float* sine, int sineOrder, float* table);
// Floats of the stage twiddles of one split level (column order m of a transform of order n).
std::int64_t spColLevelTableFloats(int order, int columnOrder);
void spColInitLevelTable(int order, int columnOrder, const float* sine, int sineOrder, float* table);
// Bytes of the table block of an order above the column's core order (64-bit: the largest
// orders exceed what a plan can hold), and the block's contents with the plan's pointers
// and work size.
std::int64_t spColLargeTableBytes(int column, int order);
void spColLargeTables(spFftSpec* spec, int column, int order, const float* sine, std::uint8_t* block);
// The first pass's bit reversal: entry g = the reverse of g over order - 4 bits.
void spColInitFusedIndex(int order, std::int32_t* index);

// ---- transforms (unscaled) ----

// The passes run in 256-bit vectors where the processor has AVX2, with the same results.
// Tests switch that off and on; returns the previous setting. The mixed-radix kernels of
// the same columns follow the same switch.
bool spColSetWideVectors(bool wide);
bool spColWideVectors();

// Natural-order transform of `src` into `dst` (orders 4 to the fused limit). The first pass
// reads the source through the bit reversal; `work` (8 N bytes) holds the blocks when the
// source is the destination.
template <bool Inverse>
void spColCoreFused(const spComplex* src, spComplex* dst, int order, const float* table,
                    const std::int32_t* index, int leafOrder, float* work);

// In-place transform of bit-reversed interleaved data.
template <bool Inverse>
void spColCoreLinear(spComplex* data, int order, const float* table, int leafOrder, spOutputMode mode);

// In-place transform of bit-reversed interleaved data above the core order: rows by the core,
// then the column passes of every split level batch by batch through `work`.
template <bool Inverse>
void spColLarge(const spFftSpec* spec, int column, spComplex* data, int order, std::uint8_t* work);
