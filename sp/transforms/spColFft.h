// The power-of-two FFT of the processor columns 1 to 4.
//
// Between the first and the last pass the data are held in blocks: four complex values as
// their four real parts, then their four imaginary parts (32 bytes). The core is a
// decimation-in-time transform of bit-reversed input: a radix-16 first pass, radix-4 passes
// and, for odd orders, a closing radix-2 pass. Only the last write of a transform turns the
// blocks back into interleaved values; a core that feeds a further level leaves them blocked.
//
// Above the core order two designs complete the transform. Column 1 keeps the generic split
// table: its levels gather four columns at a time with the level's twiddles into four work
// rows, run the core on each and scatter them back, and its 2048- and 4096-point rows are
// halved recursively down to 1024-point cores joined by radix-2 combine stages. Columns 2 to
// 4 split by their own tables and transform batches of adjacent columns at once with radix-4
// and radix-2 stages whose twiddles have the level's twiddle matrix folded in.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sp/core/spTypes.h"
#include "sp/transforms/spColumns.h"
#include "sp/transforms/spFftCore.h"

struct spFftSpec;

// ---- tables ----

// Floats of the core table of order n >= 4: per radix-4 pass of sub-length s = 4, 16, ..
// one record of 24 floats per four butterflies (w^j, w^2j, w^3j of w = exp(-2 pi i / 4s), each
// as four real parts then four imaginary parts), then for odd orders 8 floats per four
// butterflies of the radix-2 pass.
std::int64_t spColCoreTableFloats(int order);
void spColInitCoreTable(int order, const float* sine, int sineOrder, float* table);
// Floats of the stage twiddles of one split level of columns 2 to 4 (column order m of a
// transform of order n), and the table itself, batch after batch of 2^(batchOrder - m) columns.
std::int64_t spColLevelTableFloats(int order, int columnOrder);
void spColInitLevelTable(int order, int columnOrder, int batchOrder, const float* sine, int sineOrder, float* table);
// Bytes of the table block of an order above the column's core order and of the temporary
// area its builder needs (64-bit: the largest orders exceed what a plan can hold).
std::int64_t spColLargeTableBytes(int column, int order);
std::int64_t spColLargeTempBytes(int column, int order);
// The block's contents with the plan's pointers and work size; `temp` as large as above.
void spColLargeTables(spFftSpec* spec, int column, int order, const float* sine, std::uint8_t* block,
                      std::uint8_t* temp);
// Bytes of work area a transform of order n touches (at most the plan's `workBytes`): below
// the core order only the fused first pass in place (`inPlace`: the source is the
// destination) needs room for the blocks.
std::int64_t spColLargeWorkUsed(int column, int order);
inline std::int64_t spColWorkUsed(int column, int order, bool inPlace)
{
    if (order > spColumnCoreOrder(column))
        return spColLargeWorkUsed(column, order);
    return inPlace && order <= spColumnFusedOrder(column) ? 8 * (std::int64_t{1} << order) : 0;
}
// The first pass's bit reversal: entry g = the reverse of g over order - 4 bits.
void spColInitFusedIndex(int order, std::int32_t* index);

// ---- transforms (unscaled unless said otherwise) ----

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

// Column 1 above order 10, in place on bit-reversed data: split levels of four-column
// gathers, and recursive halving for 2048 and 4096 points. Scales each value once, right
// after the core that first transforms it, when the plan asks for it; `work` holds 32 M
// bytes for the largest column length M of the levels.
template <bool Inverse>
void spColLargeFour(const spFftSpec* spec, spComplex* data, int order, std::uint8_t* work);

// Columns 2 to 4 above the core order, in place on bit-reversed data, unscaled: rows by the
// core, then the column stages of every split level batch by batch through `work`.
template <bool Inverse>
void spColLargeBatch(const spFftSpec* spec, int column, spComplex* data, int order, std::uint8_t* work);

// ---- column passes of columns 2 to 4 (counts in complex values; data in blocked form) ----

// `rows` rows of `width` values (a multiple of 8) from `src`, rows `rowStep` apart, one after
// another into the 16-byte aligned work block.
void spFftColGather(const float* src, float* work, std::ptrdiff_t rowStep, std::ptrdiff_t rows, std::ptrdiff_t width);
// One radix-4 stage per group of 4q values, the records restarting for each group: the
// values at i, q + i, 2q + i, 3q + i (i in steps of four, one 96-byte record per step: the
// twiddles of the value half, a quarter and three quarters into the group).
template <bool Inverse>
void spFftColRadix4(const float* src, float* dst, std::ptrdiff_t q, std::ptrdiff_t groups, const float* records);
inline constexpr auto& spFftColRadix4Fwd = spFftColRadix4<false>;
inline constexpr auto& spFftColRadix4Inv = spFftColRadix4<true>;
// One radix-2 stage per group of 2h values, 32-byte records restarting for each group.
template <bool Inverse>
void spFftColRadix2(const float* src, float* dst, std::ptrdiff_t h, std::ptrdiff_t groups, const float* records);
inline constexpr auto& spFftColRadix2Fwd = spFftColRadix2<false>;
inline constexpr auto& spFftColRadix2Inv = spFftColRadix2<true>;
// The work block back into the rows, interleaved on the way in `interleaved` mode.
void spFftColScatter(float* dst, const float* work, std::ptrdiff_t rowStep, std::ptrdiff_t rows, std::ptrdiff_t width,
                     spOutputMode mode);

// ---- column passes of column 1 ----

// Four adjacent columns of `rows` rows (a multiple of 4) held in blocked form, `rowStep`
// values apart, times the rows' blocked twiddles (forward: w; inverse: conj(w)) into four
// interleaved work rows of `rows` values; direction 1 forward, 0 inverse.
void spFftColGather4(const float* src, float* work, const float* twiddles, int direction, std::ptrdiff_t rowStep,
                     std::ptrdiff_t rows);
// The four work rows, blocked as the core leaves them, back into the four columns: value p of
// each row to row p, as one block or as four interleaved values.
void spFftColScatter4(float* dst, const float* work, std::ptrdiff_t rowStep, std::ptrdiff_t rows, spOutputMode mode);
// One radix-2 stage over `span` values in blocked form joining two transformed halves, with
// the span's span/4 blocked twiddles; the second quarter of each half uses them turned by a
// quarter turn.
template <bool Inverse>
void spFftCombineRadix2(float* data, std::ptrdiff_t span, const float* table, spOutputMode mode);
inline constexpr auto& spFftCombineRadix2Fwd = spFftCombineRadix2<false>;
inline constexpr auto& spFftCombineRadix2Inv = spFftCombineRadix2<true>;
