#include <algorithm>
#include <cstddef>

#include "sp/transforms/spColumns.h"
#include "sp/transforms/spDftMixedRadix.h"
#include "sp/transforms/spDftPlan.h"
#include "sp/transforms/spDftStageVec.h"
#include "sp/transforms/spDftTables.h"
#include "sp/transforms/spFourierCommon.h"

std::int32_t spDftMixedRadixLargestOdd(const spDftSpec* spec)
{
    std::int32_t largest = 0;
    for (int i = 0; i <= spec->stagesMinus2 + 1; ++i)
        if (spec->stages[i].radix > 5)
            largest = std::max(largest, spec->stages[i].radix);
    return largest;
}

std::int64_t spDftMixedRadixWorkBytes(const spDftSpec* spec, std::int32_t len)
{
    const std::int64_t largest = spDftMixedRadixLargestOdd(spec);
    const std::int64_t generic = 8 * (len + largest) + 16;
    if (!spColumnReordersFactors(spec->column) || largest == 0)
        return generic;
    // The odd-length kernels of columns 2 to 4 keep the pairs of a batch of rows; their
    // scratch follows N values aligned up to 16 bytes.
    return std::max(generic, 8 * (std::int64_t{len} + spVecOddScratch(largest)) + 32);
}

namespace {

// The stage's twiddles w(j, t) = exp(-2 pi i j t / (r m)), copies of table entries, in the
// order the column's kernels read them. Generic layout: contiguous per row j, t = 1 .. r-1
// for radix <= 5 (r - 1 per row), t = 0 .. r-1 above 5. Columns 2 to 4 by span:
// - a multiple of 4: for every four rows, each entry as four real parts, then four
//   imaginary parts;
// - radix 3 or 5 with a span of 2 mod 4 or odd: rows in pairs (0 and 1, 2 and 3, ...; an
//   odd span keeps row 0 alone and pairs 1 and 2, 3 and 4, ...), entry t of both rows side
//   by side, each pair where the generic layout has its first row;
// - otherwise the generic layout.
spComplex* spMixedRadixTwiddles(const spDftStage& stage, const spComplex* tw, int column)
{
    const bool columnLayout = spColumnReordersFactors(column);
    const std::ptrdiff_t r = stage.radix, m = stage.span, p = stage.stride;
    auto* block = spAllocArray<spComplex>(r * m, column);
    if (block == nullptr)
        return nullptr;
    const std::ptrdiff_t first = r <= 5 ? 1 : 0;
    const std::ptrdiff_t perRow = r - first;
    const auto w = [&](std::ptrdiff_t j, std::ptrdiff_t t) { return tw[t * j * p]; };
    if (columnLayout && m % 4 == 0) {
        float* out = &block->re;
        for (std::ptrdiff_t j = 0; j < m; j += 4)
            for (std::ptrdiff_t t = first; t < r; ++t, out += 8)
                for (int lane = 0; lane < 4; ++lane) {
                    out[lane] = w(j + lane, t).re;
                    out[4 + lane] = w(j + lane, t).im;
                }
    } else if (columnLayout && (r == 3 || r == 5)) {
        const std::ptrdiff_t alone = m % 2;
        for (std::ptrdiff_t t = 1; t < r && alone != 0; ++t)
            block[t - 1] = w(0, t);
        for (std::ptrdiff_t j = alone; j < m; j += 2)
            for (std::ptrdiff_t t = 1; t < r; ++t) {
                block[j * perRow + 2 * (t - 1)] = w(j, t);
                block[j * perRow + 2 * (t - 1) + 1] = w(j + 1, t);
            }
    } else {
        for (std::ptrdiff_t j = 0; j < m; ++j)
            for (std::ptrdiff_t t = first; t < r; ++t)
                block[j * perRow + t - first] = w(j, t);
    }
    return block;
}

// Offsets of the first-stage groups: the group number's digits over the radices of the block
// stages, reversed, scaled by the stride of the first block stage.
std::int32_t* spMixedRadixIndex(const spDftSpec* spec)
{
    const int last = spec->stagesMinus2;
    const std::ptrdiff_t count = spec->stages[last].groups;
    auto* index = spAllocArray<std::int32_t>(count, spec->column);
    if (index == nullptr)
        return nullptr;
    index[0] = 0;
    std::ptrdiff_t n = 1;
    for (int i = last - 1; i >= 0; --i) {
        const std::int32_t r = spec->stages[i].radix;
        if (n < count) {
            // Descending d leaves entry t for d = 0, after every use of its old value.
            for (std::int32_t d = r - 1; d >= 0; --d)
                for (std::ptrdiff_t t = 0; t < n; ++t)
                    index[d * n + t] = r * index[t] + d;
            n *= r;
        } else {
            for (std::ptrdiff_t t = 0; t < n; ++t)
                index[t] *= r;
        }
    }
    return index;
}

} // namespace

spStatus spDftInitMixedRadix(spDftSpec* spec, std::int32_t len, const spComplex* tw)
{
    const int last = spec->stagesMinus2;
    std::int32_t stride = 1, span = len, groups = 1;
    for (int i = 0; i <= last; ++i) {
        spDftStage& stage = spec->stages[i];
        stage.stride = stride;
        stride *= stage.radix;
        span /= stage.radix;
        stage.span = span;
        stage.groups = groups;
        const bool large = static_cast<std::int64_t>(stage.radix) * stage.span > spDftBlockLimit;
        groups = large ? 1 : groups * stage.radix;
    }

    // Roots of every radix above 5, the last factor's included; equal radices stand next to
    // each other and share one table.
    for (int i = 0; i <= last + 1; ++i) {
        spDftStage& stage = spec->stages[i];
        if (stage.radix <= 5)
            continue;
        if (i > 0 && spec->stages[i - 1].radix == stage.radix) {
            stage.roots = spec->stages[i - 1].roots;
            continue;
        }
        stage.roots = spDftInitRoots(stage.radix, tw, len, spec->column);
        if (stage.roots == nullptr)
            return spStsMemAllocErr;
    }
    for (int i = 0; i <= last; ++i) {
        spec->stages[i].twiddles = spMixedRadixTwiddles(spec->stages[i], tw, spec->column);
        if (spec->stages[i].twiddles == nullptr)
            return spStsMemAllocErr;
    }

    spec->workBytes = static_cast<std::int32_t>(spDftMixedRadixWorkBytes(spec, len));
    spec->mrIndex = spMixedRadixIndex(spec);
    return spec->mrIndex == nullptr ? spStsMemAllocErr : spStsNoErr;
}
