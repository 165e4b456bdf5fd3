#include "sp/transforms/spDftStageVec.h"

#include <bit>

#include "sp/transforms/spColFft.h"
#include "sp/transforms/spDftStageVecImpl.h"

namespace {

constexpr std::uint32_t spBits(float f) { return std::bit_cast<std::uint32_t>(f); }
constexpr std::uint32_t spSign = 0x80000000u;
constexpr std::uint32_t spAll = 0xFFFFFFFFu;

constexpr spVecConstantRows spMakeConstants()
{
    spVecConstantRows table = {};
    for (int row = spRowC3; row <= spRowS5b; ++row)
        for (int lane = 0; lane < 4; ++lane)
            table.rows[row][lane] = spBits(spRadixRotations[row]);
    const std::uint32_t masks[6][4] = {
        {0, spSign, 0, spSign}, {spSign, 0, spSign, 0}, {spSign, 0, 0, spSign},
        {0, spSign, spSign, 0}, {0, 0, spSign, spSign}, {spAll, spAll, 0, 0},
    };
    for (int row = 0; row < 6; ++row)
        for (int lane = 0; lane < 4; ++lane)
            table.rows[6 + row][lane] = masks[row][lane];
    return table;
}

} // namespace

const spVecConstantRows spDftVecConstants = spMakeConstants();

namespace {

// First stages of length 2, 3 and 5 on interleaved data, two DFTs per vector.
template <int Length, bool Inverse>
void spRowFirstStage(const float* src, std::ptrdiff_t s, float* dst, std::ptrdiff_t groups, std::ptrdiff_t count,
                     const std::int32_t* index)
{
    const std::ptrdiff_t step = 2 * s * groups;
    for (std::ptrdiff_t i = 0; i < count; ++i) {
        const float* base = src + 2 * static_cast<std::ptrdiff_t>(index[i]);
        std::ptrdiff_t r = 0;
        for (; r + 2 <= groups; r += 2, dst += 4 * Length) {
            const float* x = base + 2 * r * s;
            spF4 u[Length];
            for (int t = 0; t < Length; ++t)
                u[t] = spLoadTwo(x + t * step, x + 2 * s + t * step);
            spRadixButterfly<spPairVec, Length, Inverse>(u);
            for (int k = 0; k < Length; ++k) {
                spStoreLow(dst + 2 * k, u[k]);
                spStoreHigh(dst + 2 * Length + 2 * k, u[k]);
            }
        }
        if (r < groups) {
            const float* x = base + 2 * r * s;
            spF4 u[Length];
            for (int t = 0; t < Length; ++t)
                u[t] = spLoadOne(x + t * step);
            spRadixButterfly<spPairVec, Length, Inverse>(u);
            for (int k = 0; k < Length; ++k)
                spStoreLow(dst + 2 * k, u[k]);
            dst += 2 * Length;
        }
    }
}

// Four DFTs of the length-4 first stage side by side in blocked form (lane l is DFT l); a
// transpose turns them into their blocks.
template <bool Aligned>
struct spFourBlocksNarrow {
    template <bool Inverse>
    static void Run(const float* const* x, std::ptrdiff_t step, float* dst)
    {
        spBlk4 u[4];
        for (int t = 0; t < 4; ++t) {
            const spF4 lo = spLoadTwo(x[0] + t * step, x[1] + t * step);
            const spF4 hi = spLoadTwo(x[2] + t * step, x[3] + t * step);
            u[t] = {__builtin_shuffle(lo, hi, spI4{0, 2, 4, 6}), __builtin_shuffle(lo, hi, spI4{1, 3, 5, 7})};
        }
        spRadixButterfly<spNarrowVec, 4, Inverse>(u);
        spTranspose4(u[0].re, u[1].re, u[2].re, u[3].re);
        spTranspose4(u[0].im, u[1].im, u[2].im, u[3].im);
        for (int l = 0; l < 4; ++l) {
            spStoreF4<Aligned>(dst + 8 * l, u[l].re);
            spStoreF4<Aligned>(dst + 8 * l + 4, u[l].im);
        }
    }
};

template <int Radix, bool Inverse>
void spBlockedStageRun(const float* x, float* y, std::ptrdiff_t m, std::ptrdiff_t count, const float* w)
{
    if (spColWideVectors())
        spVecBlockedStageWide<Radix, Inverse>(x, y, m, count, w);
    else if (spIsAligned16(x) && spIsAligned16(y))
        spBlockedStage<spNarrowVec, Radix, Inverse, true>(x, y, m, count, w);
    else
        spBlockedStage<spNarrowVec, Radix, Inverse, false>(x, y, m, count, w);
}

} // namespace

template <int Radix, bool Inverse, bool DuplicatingLoads>
void spVecStage(const spComplex* src, spComplex* dst, std::int32_t span, std::int32_t count,
                const spComplex* twiddles)
{
    const float* x = &src->re;
    float* y = &dst->re;
    const float* w = &twiddles->re;
    if constexpr (Radix == 2 || Radix == 4) {
        // The factor order keeps these spans multiples of 4.
        spBlockedStageRun<Radix, Inverse>(x, y, span, count, w);
    } else {
        if (span % 4 == 0)
            spBlockedStageRun<Radix, Inverse>(x, y, span, count, w);
        else if constexpr (DuplicatingLoads)
            spVecPairStageDuplicating<Radix, Inverse>(x, y, span, count, w);
        else
            spPairStageRun<spShufflePrep, Radix, Inverse>(x, y, span, count, w);
    }
}

template <bool Inverse>
void spVecStageOdd(const spComplex* src, spComplex* dst, std::int32_t radix, std::int32_t span, std::int32_t groups,
                   const spComplex* roots, const spComplex* twiddles, spComplex* scratch)
{
    const float* x = &src->re;
    float* y = &dst->re;
    const float* w = &twiddles->re;
    float* sc = &scratch->re;
    const bool wide = spColWideVectors();
    if (span % 4 != 0) {
        if (wide)
            spVecRowOddWide<Inverse>(x, y, radix, span, groups, roots, w, sc);
        else
            spOddStageInterleaved<spPairRowsNarrow, spVecPairBatch, spNarrowRows, spVecRowBatch, Inverse>(
                x, y, radix, span, groups, roots, w, sc);
        return;
    }
    const std::ptrdiff_t block = 2 * static_cast<std::ptrdiff_t>(radix) * span;
    const bool aligned = spIsAligned16(x) && spIsAligned16(y);
    for (std::ptrdiff_t h = 0; h < groups; ++h) {
        const float* in = x + h * block;
        float* out = y + h * block;
        if (wide)
            spVecBlockedOddWide<Inverse>(in, out, radix, span, roots, w, sc);
        else if (aligned)
            spBlockedOdd<spNarrowVec, Inverse, true>(in, out, radix, span, roots, w, sc);
        else
            spBlockedOdd<spNarrowVec, Inverse, false>(in, out, radix, span, roots, w, sc);
    }
}

template <int Length, bool Inverse>
void spVecFirstStage(const spComplex* src, std::int32_t stride, spComplex* dst, std::int32_t groups,
                     std::int32_t count, const std::int32_t* index)
{
    const float* x = &src->re;
    float* y = &dst->re;
    if constexpr (Length == 4) {
        if (spColWideVectors())
            spVecFirstStageR4Wide<Inverse>(x, stride, y, groups, count, index);
        else if (spIsAligned16(y))
            spFirstStageR4<spFourBlocksNarrow<true>, Inverse, true>(x, stride, y, groups, count, index);
        else
            spFirstStageR4<spFourBlocksNarrow<false>, Inverse, false>(x, stride, y, groups, count, index);
    } else {
        spRowFirstStage<Length, Inverse>(x, stride, y, groups, count, index);
    }
}

template <bool Inverse>
void spVecFirstStageAny(const spComplex* src, std::int32_t stride, spComplex* dst, std::int32_t len,
                        std::int32_t groups, const spComplex* roots, spComplex* scratch)
{
    if (spColWideVectors())
        spVecRowFirstStageAnyWide<Inverse>(&src->re, stride, &dst->re, len, groups, roots, &scratch->re);
    else
        spRowFirstStageAny<spNarrowRows, spVecRowBatch, Inverse>(&src->re, stride, &dst->re, len, groups, roots,
                                                                   &scratch->re);
}

void spVecBlocksToInterleaved(spComplex* data, std::int32_t blocks)
{
    float* p = &data->re;
    if (spColWideVectors()) {
        spVecBlocksToInterleavedWide(p, blocks);
    } else if (spIsAligned16(p)) {
        for (std::ptrdiff_t b = 0; b < blocks; ++b, p += 8) {
            const spF4 re = spLoadF4<true>(p), im = spLoadF4<true>(p + 4);
            spStoreF4<true>(p, __builtin_shuffle(re, im, spI4{0, 4, 1, 5}));
            spStoreF4<true>(p + 4, __builtin_shuffle(re, im, spI4{2, 6, 3, 7}));
        }
    } else {
        for (std::ptrdiff_t b = 0; b < blocks; ++b, p += 8) {
            const spF4 re = spLoadF4<false>(p), im = spLoadF4<false>(p + 4);
            const spF4 lo = __builtin_shuffle(re, im, spI4{0, 4, 1, 5});
            const spF4 hi = __builtin_shuffle(re, im, spI4{2, 6, 3, 7});
            spStoreLow(p, lo);
            spStoreHigh(p + 2, lo);
            spStoreLow(p + 4, hi);
            spStoreHigh(p + 6, hi);
        }
    }
}

#define SP_VEC_DIRECTION(inv)                                                                       \
    template void spVecStage<2, inv, false>(const spComplex*, spComplex*, std::int32_t, std::int32_t, const spComplex*); \
    template void spVecStage<4, inv, false>(const spComplex*, spComplex*, std::int32_t, std::int32_t, const spComplex*); \
    template void spVecStage<3, inv, false>(const spComplex*, spComplex*, std::int32_t, std::int32_t, const spComplex*); \
    template void spVecStage<5, inv, false>(const spComplex*, spComplex*, std::int32_t, std::int32_t, const spComplex*); \
    template void spVecStage<3, inv, true>(const spComplex*, spComplex*, std::int32_t, std::int32_t, const spComplex*); \
    template void spVecStage<5, inv, true>(const spComplex*, spComplex*, std::int32_t, std::int32_t, const spComplex*); \
    template void spVecStageOdd<inv>(const spComplex*, spComplex*, std::int32_t, std::int32_t, std::int32_t, const spComplex*, const spComplex*, spComplex*); \
    template void spVecFirstStage<2, inv>(const spComplex*, std::int32_t, spComplex*, std::int32_t, std::int32_t, const std::int32_t*); \
    template void spVecFirstStage<3, inv>(const spComplex*, std::int32_t, spComplex*, std::int32_t, std::int32_t, const std::int32_t*); \
    template void spVecFirstStage<4, inv>(const spComplex*, std::int32_t, spComplex*, std::int32_t, std::int32_t, const std::int32_t*); \
    template void spVecFirstStage<5, inv>(const spComplex*, std::int32_t, spComplex*, std::int32_t, std::int32_t, const std::int32_t*); \
    template void spVecFirstStageAny<inv>(const spComplex*, std::int32_t, spComplex*, std::int32_t, std::int32_t, const spComplex*, spComplex*);
SP_VEC_DIRECTION(false)
SP_VEC_DIRECTION(true)
