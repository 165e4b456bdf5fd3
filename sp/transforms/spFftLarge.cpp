#include "sp/transforms/spFftLarge.h"

#include <cstddef>

#include "sp/transforms/spColFft.h"
#include "sp/transforms/spColumns.h"
#include "sp/transforms/spFftCore.h"
#include "sp/transforms/spFftPlan.h"
#include "sp/transforms/spFftTables.h"
#include "sp/transforms/spSimd.h"

namespace {

constexpr std::ptrdiff_t spBlockPoints = std::ptrdiff_t{1} << spFftCoreMaxOrder;

template <bool Inverse>
bool spScalesThisWay(const spFftSpec* spec)
{
    return (Inverse ? spec->scaleInv : spec->scaleFwd) != 0;
}

// Core transform of one contiguous piece, scaled when the plan asks for it.
template <bool Inverse>
void spCoreScaled(const spFftSpec* spec, spComplex* data, std::ptrdiff_t n, const spComplex* layout)
{
    spFftCore<0, Inverse>(data, static_cast<int>(n), layout);
    if (spScalesThisWay<Inverse>(spec))
        spScaleComplex(spec->scale, reinterpret_cast<float*>(data), static_cast<int>(2 * n));
}

// Radix-2 passes joining transformed blocks of `half` points into one transform of `region`
// points; the twiddles of the second half of each half-block are those of the first half
// turned by -i (forward) or +i (inverse). Each product stays in double precision for both
// its sum and its difference, which are rounded once when stored.
template <bool Inverse>
void spFftRadix2Combine(spComplex* data, std::ptrdiff_t region, std::ptrdiff_t half,
                        const spComplex* quarter)
{
    for (std::ptrdiff_t len = half; 2 * len <= region; len *= 2) {
        const std::ptrdiff_t stride = region / (2 * len);
        const std::ptrdiff_t turn = len / 2;
        for (std::ptrdiff_t k = 0; k < turn; ++k) {
            const spCd w = spLoadCd(quarter[k * stride]);
            for (std::ptrdiff_t p = 0; p < region; p += 2 * len) {
                spComplex* a = data + p + k;
                spComplex* b = a + len;
                const spCd a0 = spLoadCd(a[0]), a1 = spLoadCd(a[turn]);
                const spCd t0 = spMulCd<Inverse>(spLoadCd(b[0]), w);
                const spCd t1 = spRotateCd<Inverse>(spMulCd<Inverse>(spLoadCd(b[turn]), w));
                spStoreCd(a[0], a0 + t0);
                spStoreCd(b[0], a0 - t0);
                spStoreCd(a[turn], a1 + t1);
                spStoreCd(b[turn], a1 - t1);
            }
        }
    }
}

// 2048 or 4096 points: 1024-point cores from the last block to the first, then the combine.
template <bool Inverse>
void spFftLargeBlocks(const spFftSpec* spec, spComplex* data, std::ptrdiff_t n)
{
    for (std::ptrdiff_t b = n - spBlockPoints; b >= 0; b -= spBlockPoints)
        spCoreScaled<Inverse>(spec, data + b, spBlockPoints, spec->twiddles);
    spFftRadix2Combine<Inverse>(data, n, spBlockPoints, spec->quarterTwiddles);
}

// Four adjacent columns of all rows, times the level twiddles, into four contiguous runs;
// each product is formed in double precision and rounded once.
template <bool Inverse>
void spGatherColumns(const spComplex* column, std::ptrdiff_t rowLength, std::ptrdiff_t rows,
                     const spComplex* twiddles, spComplex* runs)
{
    for (std::ptrdiff_t j = 0; j < rows; ++j) {
        const spComplex* in = column + j * rowLength;
        const spComplex* w = twiddles + 4 * j;
        for (std::ptrdiff_t q = 0; q < 4; ++q)
            spStoreCd(runs[q * rows + j], spMulCd<Inverse>(spLoadCd(in[q]), spLoadCd(w[q])));
    }
}

void spScatterColumns(const spComplex* runs, std::ptrdiff_t rows, float* column, std::ptrdiff_t rowFloats)
{
    const float* r0 = reinterpret_cast<const float*>(runs);
    const float* r1 = r0 + 2 * rows;
    const float* r2 = r1 + 2 * rows;
    const float* r3 = r2 + 2 * rows;
    for (std::ptrdiff_t j = 0; j < rows; j += 2) {
        float* p = column + j * rowFloats;
        const spV4 a = spLoad4(r0 + 2 * j), b = spLoad4(r1 + 2 * j);
        const spV4 c = spLoad4(r2 + 2 * j), d = spLoad4(r3 + 2 * j);
        spStore4(p, spLows(a, b));
        spStore4(p + 4, spLows(c, d));
        spStore4(p + rowFloats, spHighs(a, b));
        spStore4(p + rowFloats + 4, spHighs(c, d));
    }
}

// One four-step level on 2^order points: the rows (each holding a bit-reversed decimation),
// then the columns, four at a time, twiddled on the way into the work area. The split table
// nests at most two levels; the template depth bounds the recursion for the compiler too.
template <bool Inverse, int Level>
void spFftLargeLevel(const spFftSpec* spec, spComplex* data, int order, std::uint8_t* work)
{
    static_assert(Level < spFftMaxLevels);
    const int split = spFftSplitOrder[order];
    const int rest = order - split;
    const std::ptrdiff_t rows = std::ptrdiff_t{1} << split;
    const std::ptrdiff_t rowLength = std::ptrdiff_t{1} << rest;

    for (std::ptrdiff_t j = 0; j < rows; ++j) {
        spComplex* row = data + j * rowLength;
        if (rest <= spFftCoreMaxOrder)
            spCoreScaled<Inverse>(spec, row, rowLength, spec->twiddles);
        else if (spFftSplitOrder[rest] == 0)
            spFftLargeBlocks<Inverse>(spec, row, rowLength);
        else if constexpr (Level + 1 < spFftMaxLevels)
            spFftLargeLevel<Inverse, Level + 1>(spec, row, rest, work);
    }

    auto* runs = reinterpret_cast<spComplex*>(work);
    const spComplex* twiddles = spec->levelTwiddles[Level];
    const spComplex* layout = spec->levelLayout[Level];
    float* x = reinterpret_cast<float*>(data);
    for (std::ptrdiff_t c = 0; c < rowLength; c += 4) {
        spGatherColumns<Inverse>(data + c, rowLength, rows, twiddles, runs);
        twiddles += 4 * rows;
        for (std::ptrdiff_t q = 0; q < 4; ++q)
            spFftCore<0, Inverse>(runs + q * rows, static_cast<int>(rows), layout);
        spScatterColumns(runs, rows, x + 2 * c, 2 * rowLength);
    }
}

// The routines by their direction.
constexpr auto& spFftRadix2CombineFwd = spFftRadix2Combine<false>;
constexpr auto& spFftRadix2CombineInv = spFftRadix2Combine<true>;
constexpr auto& spFftLargeBlocksFwd = spFftLargeBlocks<false>;
constexpr auto& spFftLargeBlocksInv = spFftLargeBlocks<true>;
template <int Level>
constexpr auto& spFftLargeLevelFwd = spFftLargeLevel<false, Level>;
template <int Level>
constexpr auto& spFftLargeLevelInv = spFftLargeLevel<true, Level>;

} // namespace

template <int Column, bool Inverse>
void spFftLarge(const spFftSpec* spec, spComplex* data, int order, std::uint8_t* work)
{
    if constexpr (Column == 1) {
        spColLargeFour<Inverse>(spec, data, order, work);
    } else if constexpr (Column >= 2) {
        spColLargeBatch<Inverse>(spec, Column, data, order, work);
    } else if (spFftSplitOrder[order] == 0) {
        (Inverse ? spFftLargeBlocksInv : spFftLargeBlocksFwd)(spec, data, std::ptrdiff_t{1} << order);
    } else {
        (Inverse ? spFftLargeLevelInv<0> : spFftLargeLevelFwd<0>)(spec, data, order, work);
    }
}

#define SP_FFT_LARGE_COLUMN(c)                                                                      \
    template void spFftLarge<c, false>(const spFftSpec*, spComplex*, int, std::uint8_t*);           \
    template void spFftLarge<c, true>(const spFftSpec*, spComplex*, int, std::uint8_t*);
SP_FOR_EACH_COLUMN(SP_FFT_LARGE_COLUMN)
