// Column 1 above order 10: split levels that gather four columns at a time into work rows,
// and the block path that halves 2048 and 4096 points recursively down to 1024-point cores.
// The data stay in blocked form between the levels; only the last write of the outermost
// level (a scatter or a combine) interleaves them.
#include <cstddef>
#include <initializer_list>

#include "sp/transforms/spColBlock.h"
#include "sp/transforms/spColFft.h"
#include "sp/transforms/spColumns.h"
#include "sp/transforms/spComplexVec.h"
#include "sp/transforms/spFftPlan.h"
#include "sp/transforms/spFftTables.h"

namespace {

// Rows and halves of at most column 1's core order go to the core.
constexpr int spBlockOrder = spColumnCoreOrder(1);
constexpr std::ptrdiff_t spBlockPoints = std::ptrdiff_t{1} << spBlockOrder;

// The strided rows of the next step are far apart: ask for them early, without keeping them
// in the caches longer than the step needs.
inline void spPrefetchRows(const float* row, std::ptrdiff_t rowFloats)
{
    for (int u = 0; u < 4; ++u)
        __builtin_prefetch(row + u * rowFloats, 0, 0);
}

template <bool Inverse>
void spGather4(const float* src, float* work, const float* twiddles, std::ptrdiff_t rowStep, std::ptrdiff_t rows)
{
    const std::ptrdiff_t rowFloats = 2 * rowStep;
    for (std::ptrdiff_t p = 0; p < rows; p += 4) {
        const float* in = src + p * rowFloats;
        spBlk v[4];
        for (int u = 0; u < 4; ++u)
            v[u] = spMulW<Inverse>(spLoadBlk(in + u * rowFloats), spLoadBlk(twiddles + 8 * (p + u)));
        if (p + 4 < rows) {
            spPrefetchRows(in + 4 * rowFloats, rowFloats);
            __builtin_prefetch(twiddles + 8 * (p + 4), 0, 0);
        }
        // Lane t of row p + u is value p + u of work row t.
        spTranspose4(v[0].re, v[1].re, v[2].re, v[3].re);
        spTranspose4(v[0].im, v[1].im, v[2].im, v[3].im);
        for (int t = 0; t < 4; ++t)
            spStoreBlk(work + 2 * (t * rows + p), v[t], spOutputMode::interleaved);
    }
}

// One core transform of a row or half, scaled when the plan asks for it.
template <bool Inverse>
void spCoreScaled(const spFftSpec* spec, float* x, int order, const spComplex* table)
{
    spColCoreLinear<Inverse>(reinterpret_cast<spComplex*>(x), order, reinterpret_cast<const float*>(table),
                             spColumnLeafOrder(1), spOutputMode::blocked);
    if ((Inverse ? spec->scaleInv : spec->scaleFwd) != 0)
        spScaleComplexCol<1>(spec->scale, x, 2 << order);
}

// The block path on `span` points (2048 or more): both halves, then the combine with the
// span's table; the tables of the halves follow it.
template <bool Inverse>
void spFftLargeBlocks(const spFftSpec* spec, float* x, std::ptrdiff_t span, const float* table, spOutputMode mode)
{
    const std::ptrdiff_t half = span / 2;
    for (float* h : {x, x + span}) {
        if (half == spBlockPoints)
            spCoreScaled<Inverse>(spec, h, spBlockOrder, spec->twiddles);
        else
            spFftLargeBlocks<Inverse>(spec, h, half, table + span / 2, spOutputMode::blocked);
    }
    spFftCombineRadix2<Inverse>(x, span, table, mode);
}

// One split level: the rows, then the columns four at a time. The split table nests at most
// two levels; the template depth bounds the recursion for the compiler too.
template <bool Inverse, int Level>
void spFftLargeLevel(const spFftSpec* spec, float* x, int order, float* work, spOutputMode mode)
{
    static_assert(Level < spFftMaxLevels);
    const int split = spFftSplitOrder[order];
    const int rest = order - split;
    const std::ptrdiff_t rows = std::ptrdiff_t{1} << split;
    const std::ptrdiff_t rowLength = std::ptrdiff_t{1} << rest;
    const auto* combine = reinterpret_cast<const float*>(spec->combineTwiddles);
    for (std::ptrdiff_t p = 0; p < rows; ++p) {
        float* row = x + 2 * p * rowLength;
        if (rest <= spBlockOrder)
            spCoreScaled<Inverse>(spec, row, rest, spec->twiddles);
        else if (spFftSplitOrder[rest] == 0)
            spFftLargeBlocks<Inverse>(spec, row, rowLength, combine, spOutputMode::blocked);
        else if constexpr (Level + 1 < spFftMaxLevels)
            spFftLargeLevel<Inverse, Level + 1>(spec, row, rest, work, spOutputMode::blocked);
    }

    const auto* twiddles = reinterpret_cast<const float*>(spec->columnTwiddles[Level]);
    const auto* layout = reinterpret_cast<const float*>(spec->columnLayouts[Level]);
    for (std::ptrdiff_t c = 0; c < rowLength; c += 4, twiddles += 8 * rows) {
        spFftColGather4(x + 2 * c, work, twiddles, Inverse ? 0 : 1, rowLength, rows);
        for (std::ptrdiff_t t = 0; t < 4; ++t)
            spColCoreLinear<Inverse>(reinterpret_cast<spComplex*>(work + 2 * t * rows), split, layout,
                                     spColumnLeafOrder(1), spOutputMode::blocked);
        spFftColScatter4(x + 2 * c, work, rowLength, rows, mode);
    }
}

// The routines by their direction.
constexpr auto& spFftLargeBlocksFwd = spFftLargeBlocks<false>;
constexpr auto& spFftLargeBlocksInv = spFftLargeBlocks<true>;
template <int Level>
constexpr auto& spFftLargeLevelFwd = spFftLargeLevel<false, Level>;
template <int Level>
constexpr auto& spFftLargeLevelInv = spFftLargeLevel<true, Level>;

} // namespace

void spFftColGather4(const float* src, float* work, const float* twiddles, int direction, std::ptrdiff_t rowStep,
                     std::ptrdiff_t rows)
{
    if (direction == 1)
        spGather4<false>(src, work, twiddles, rowStep, rows);
    else
        spGather4<true>(src, work, twiddles, rowStep, rows);
}

void spFftColScatter4(float* dst, const float* work, std::ptrdiff_t rowStep, std::ptrdiff_t rows, spOutputMode mode)
{
    const std::ptrdiff_t rowFloats = 2 * rowStep;
    for (std::ptrdiff_t p = 0; p < rows; p += 4) {
        spBlk v[4];
        for (int t = 0; t < 4; ++t)
            v[t] = spLoadBlk(work + 2 * (t * rows + p));
        // Lane u of work row t is row p + u, column t.
        spTranspose4(v[0].re, v[1].re, v[2].re, v[3].re);
        spTranspose4(v[0].im, v[1].im, v[2].im, v[3].im);
        for (int u = 0; u < 4; ++u)
            spPutBlk<false>(dst + (p + u) * rowFloats, v[u], mode);
    }
}

template <bool Inverse>
void spFftCombineRadix2(float* data, std::ptrdiff_t span, const float* table, spOutputMode mode)
{
    // In floats: the lower half starts at 0, the upper at `span`; quarters `span / 2` apart.
    float* lower = data;
    float* upper = data + span;
    for (std::ptrdiff_t k = 0; k < span / 2; k += 8) {
        const spBlk w = spLoadBlk(table + k);
        const spBlk a = spLoadBlk(lower + k);
        const spBlk b = spMulW<Inverse>(spLoadBlk(upper + k), w);
        const spBlk c = spLoadBlk(lower + span / 2 + k);
        const spBlk d = spRotateBlk<Inverse>(spMulW<Inverse>(spLoadBlk(upper + span / 2 + k), w));
        spStoreBlk(lower + k, a + b, mode);
        spStoreBlk(upper + k, a - b, mode);
        spStoreBlk(lower + span / 2 + k, c + d, mode);
        spStoreBlk(upper + span / 2 + k, c - d, mode);
    }
}

template <bool Inverse>
void spColLargeFour(const spFftSpec* spec, spComplex* data, int order, std::uint8_t* work)
{
    float* x = &data->re;
    constexpr auto interleaved = spOutputMode::interleaved;
    if (spFftSplitOrder[order] == 0)
        (Inverse ? spFftLargeBlocksInv : spFftLargeBlocksFwd)(
            spec, x, std::ptrdiff_t{1} << order, reinterpret_cast<const float*>(spec->combineTwiddles), interleaved);
    else
        (Inverse ? spFftLargeLevelInv<0> : spFftLargeLevelFwd<0>)(spec, x, order, reinterpret_cast<float*>(work),
                                                                   interleaved);
}

template void spFftCombineRadix2<false>(float*, std::ptrdiff_t, const float*, spOutputMode);
template void spFftCombineRadix2<true>(float*, std::ptrdiff_t, const float*, spOutputMode);
template void spColLargeFour<false>(const spFftSpec*, spComplex*, int, std::uint8_t*);
template void spColLargeFour<true>(const spFftSpec*, spComplex*, int, std::uint8_t*);
