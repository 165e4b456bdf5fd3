#include <algorithm>
#include <cstddef>

#include "sp/transforms/spColumns.h"
#include "sp/transforms/spDftMixedRadix.h"
#include "sp/transforms/spDftPlan.h"
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
    // The odd-radix stage of columns 2 to 4 keeps 4 (p - 1) values of scratch.
    if (!spColumnReordersFactors(spec->column) || largest == 0)
        return generic;
    return std::max(generic, 8 * std::int64_t{len} + 32 * (largest - 1) + 32);
}

namespace {

// The stage's twiddles exp(-2 pi i j q / (r m)) as copies of table entries, contiguous per
// butterfly: radix <= 5 keeps q = 1 .. r-1 (r - 1 per butterfly), above 5 q = 0 .. r-1.
spComplex* spMixedRadixTwiddles(const spDftStage& stage, const spComplex* tw)
{
    const std::ptrdiff_t r = stage.radix, m = stage.span, p = stage.stride;
    auto* block = spAllocArray<spComplex>(r * m);
    if (block == nullptr)
        return nullptr;
    const std::ptrdiff_t first = r <= 5 ? 1 : 0;
    const std::ptrdiff_t perButterfly = r - first;
    for (std::ptrdiff_t j = 0; j < m; ++j)
        for (std::ptrdiff_t q = first; q < r; ++q)
            block[j * perButterfly + q - first] = tw[q * j * p];
    return block;
}

// Offsets of the first-stage groups: the group number's digits over the radices of the block
// stages, reversed, scaled by the stride of the first block stage.
std::int32_t* spMixedRadixIndex(const spDftSpec* spec)
{
    const int last = spec->stagesMinus2;
    const std::ptrdiff_t count = spec->stages[last].groups;
    auto* index = spAllocArray<std::int32_t>(count);
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
        stage.roots = spDftInitRoots(stage.radix, tw, len);
        if (stage.roots == nullptr)
            return spStsMemAllocErr;
    }
    for (int i = 0; i <= last; ++i) {
        spec->stages[i].twiddles = spMixedRadixTwiddles(spec->stages[i], tw);
        if (spec->stages[i].twiddles == nullptr)
            return spStsMemAllocErr;
    }

    spec->workBytes = static_cast<std::int32_t>(spDftMixedRadixWorkBytes(spec, len));
    spec->mrIndex = spMixedRadixIndex(spec);
    return spec->mrIndex == nullptr ? spStsMemAllocErr : spStsNoErr;
}
