#include "sp/transforms/spFftTables.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "sp/transforms/spFftCore.h"
#include "sp/transforms/spFftPlan.h"
#include "sp/transforms/spFourierCommon.h"

namespace {

constexpr double spTwoPi = 6.283185307179586;

std::uint8_t* spAlignedEnd(void* end) { return spAlignUp16(static_cast<std::uint8_t*>(end)); }

// Bytes of the flat tables of an order the split table does not split: the order-10 layout
// and the quarter twiddles of the block path.
std::int64_t spFlatBytes(int order)
{
    return spAlign16((std::int64_t{1} << order) / 4 * 8) + spFftLayoutBytes(spFftCoreMaxOrder);
}

// The block path's tables at `block`: the order-10 layout, then the quarter twiddles.
std::uint8_t* spFftBlockPathTables(spFftSpec* spec, int order, const float* sine, int sineOrder,
                                   std::uint8_t* block)
{
    spec->twiddles = reinterpret_cast<spComplex*>(block);
    std::uint8_t* end = spFftInitTwiddleLayout(spFftCoreMaxOrder, sine, sineOrder, spec->twiddles);
    spec->quarterTwiddles = reinterpret_cast<spComplex*>(end);
    return spFftInitQuarterTwiddles(order, sine, sineOrder, spec->quarterTwiddles);
}

// One split level of `order` at depth `level`: first everything inside it from the block's
// start, then its column layout and its level twiddle table. Returns the end of that table.
std::uint8_t* spFftLargeLevelTables(spFftSpec* spec, int order, const float* sine, int sineOrder,
                                    int level, std::uint8_t* block, std::uint8_t* temp)
{
    const int split = spFftSplitOrder[order];
    const int rest = order - split;
    const std::ptrdiff_t rows = std::ptrdiff_t{1} << split;

    std::uint8_t* end;
    if (rest <= spFftCoreMaxOrder) {
        spec->twiddles = reinterpret_cast<spComplex*>(block);
        end = spFftInitTwiddleLayout(rest, sine, sineOrder, spec->twiddles);
        spec->workBytes = 0;
    } else if (spFftSplitOrder[rest] == 0) {
        end = spFftBlockPathTables(spec, rest, sine, sineOrder, block);
        spec->workBytes = 0;
    } else {
        end = spFftLargeLevelTables(spec, rest, sine, sineOrder, level + 1, block, temp);
    }

    spec->levelLayout[level] = reinterpret_cast<spComplex*>(end);
    auto* table = reinterpret_cast<spComplex*>(
        spFftInitTwiddleLayout(split, sine, sineOrder, spec->levelLayout[level]));
    spec->levelTwiddles[level] = table;

    end = spFftInitLevelTwiddles<0>(order, split, sine, sineOrder, temp, table);
    spec->workBytes = std::max<std::int32_t>(spec->workBytes, static_cast<std::int32_t>(32 * rows));
    return end;
}

} // namespace

std::int64_t spFftQuarterTableBytes(int order)
{
    return spAlign16(((std::int64_t{1} << order) / 4 + 1) * 4);
}

std::int64_t spFftLayoutBytes(int order) { return spAlign16(8 * (std::int64_t{1} << order) + 8); }

void spFftInitSineTable(int order, float* sine)
{
    const std::ptrdiff_t n = std::ptrdiff_t{1} << order;
    const double step = spTwoPi / static_cast<double>(n);
    // The cosine of the complement keeps every argument at most pi/4.
    for (std::ptrdiff_t k = 0; k <= n / 8; ++k)
        sine[k] = static_cast<float>(std::sin(static_cast<double>(k) * step));
    for (std::ptrdiff_t k = n / 8 + 1; k <= n / 4; ++k)
        sine[k] = static_cast<float>(std::cos(static_cast<double>(n / 4 - k) * step));
}

void spFftInitBitRevPairs(int order, std::int32_t* pairs)
{
    if (order < 2)
        return;
    const std::int32_t m = std::int32_t{1} << (order - 2);
    std::int32_t front = 0;
    std::int32_t back = m - 1;
    std::int32_t j = 0;
    for (std::int32_t i = 1; i < m; ++i) {
        std::int32_t bit = m / 2;
        while (bit <= j) {
            j -= bit;
            bit /= 2;
        }
        j += bit;
        if (i < j) {
            pairs[front++] = 4 * i;
            pairs[front++] = 4 * j;
        } else if (i == j) {
            pairs[back--] = 4 * i;
        }
    }
    pairs[front] = 0;
    pairs[m] = 0;
}

std::uint8_t* spFftInitTwiddleLayout(int order, const float* sine, int sineOrder, spComplex* out)
{
    const spSineView view(sine, sineOrder, order);
    for (std::ptrdiff_t k = 0; k <= view.quarter; ++k) {
        *out++ = view.twiddle(k);
        *out++ = view.twiddle(2 * k);
        *out++ = view.twiddle(3 * k);
    }
    return spAlignedEnd(out);
}

template <int Column>
std::uint8_t* spFftInitCombineTwiddles(int order, const float* sine, int sineOrder, spComplex* out)
{
    const spSineView view(sine, sineOrder, order);
    const std::ptrdiff_t q = view.quarter;
    if constexpr (Column == 0) {
        for (std::ptrdiff_t k = 0; k < q; ++k)
            *out++ = {view.at(q - k), -view.at(k)};
        return spAlignedEnd(out);
    } else {
        auto* f = reinterpret_cast<float*>(out);
        for (std::ptrdiff_t k = 0; k < q; k += 4, f += 8)
            for (std::ptrdiff_t t = 0; t < 4; ++t) {
                f[t] = view.at(q - k - t);
                f[4 + t] = -view.at(k + t);
            }
        return spAlignedEnd(f);
    }
}

template std::uint8_t* spFftInitCombineTwiddles<0>(int, const float*, int, spComplex*);
template std::uint8_t* spFftInitCombineTwiddles<1>(int, const float*, int, spComplex*);

template <int Column>
std::uint8_t* spFftInitLevelTwiddles(int order, int split, const float* sine, int sineOrder, std::uint8_t* temp,
                                     spComplex* out)
{
    const std::ptrdiff_t rows = std::ptrdiff_t{1} << split;
    const std::ptrdiff_t rowLength = std::ptrdiff_t{1} << (order - split);
    // Four column vectors in natural row order, each put into bit-reversed row order (the
    // order in which the rows stand after the initial permutation) by the column's own
    // permutation, then regrouped.
    auto* vectors = reinterpret_cast<spComplex*>(temp);
    auto* pairs = reinterpret_cast<std::int32_t*>(temp + 32 * rows);
    spFftInitBitRevPairs(split, pairs);
    const spSineView view(sine, sineOrder, order);
    auto* f = reinterpret_cast<float*>(out);
    for (std::ptrdiff_t c = 0; c < rowLength; c += 4) {
        for (std::ptrdiff_t t = 0; t < 4; ++t) {
            spComplex* v = vectors + t * rows;
            for (std::ptrdiff_t p = 0; p < rows; ++p)
                v[p] = view.twiddle((c + t) * p);
            spFftBitRevInPlace<Column>(v, static_cast<int>(rows), pairs);
        }
        for (std::ptrdiff_t p = 0; p < rows; ++p, f += 8)
            for (std::ptrdiff_t t = 0; t < 4; ++t) {
                const spComplex w = vectors[t * rows + p];
                if constexpr (Column == 0) {
                    f[2 * t] = w.re;
                    f[2 * t + 1] = w.im;
                } else {
                    f[t] = w.re;
                    f[4 + t] = w.im;
                }
            }
    }
    return reinterpret_cast<std::uint8_t*>(f);
}

template std::uint8_t* spFftInitLevelTwiddles<0>(int, int, const float*, int, std::uint8_t*, spComplex*);
template std::uint8_t* spFftInitLevelTwiddles<1>(int, int, const float*, int, std::uint8_t*, spComplex*);

void spFftLargeTableSizes(int order, std::int64_t* blockBytes, std::int64_t* tempBytes)
{
    const int split = spFftSplitOrder[order];
    if (split == 0) {
        *blockBytes = spFlatBytes(order);
        *tempBytes = 0;
        return;
    }
    const int rest = order - split;
    if (rest <= spFftCoreMaxOrder) {
        *blockBytes = spFftLayoutBytes(rest);
        *tempBytes = 0;
    } else {
        spFftLargeTableSizes(rest, blockBytes, tempBytes);
    }
    *blockBytes += spFftLayoutBytes(split) + 8 * (std::int64_t{1} << order);
    *tempBytes += spFftQuarterTableBytes(split) + 32 * (std::int64_t{1} << split);
}

void spFftLargeTables(spFftSpec* spec, int order, const float* sine, int sineOrder,
                      std::uint8_t* block, std::uint8_t* temp)
{
    if (spFftSplitOrder[order] != 0) {
        spFftLargeLevelTables(spec, order, sine, sineOrder, 0, block, temp);
        return;
    }
    spFftBlockPathTables(spec, order, sine, sineOrder, block);
    spec->workBytes = 0;
}
