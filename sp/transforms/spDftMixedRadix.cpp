#include "sp/transforms/spDftMixedRadix.h"

#include <cstddef>

#include "sp/transforms/spColumns.h"
#include "sp/transforms/spDftPlan.h"
#include "sp/transforms/spDftStageKernels.h"
#include "sp/transforms/spDftStageVec.h"
#include "sp/transforms/spFourierCommon.h"

namespace {

// One transform of one column and direction: the plan, the scratch of the odd kernels, and
// the stage sequence calling the column's kernels.
template <int Column, bool Inverse>
class spMixedRadixRun {
public:
    // Columns 2 to 4 have first stages of length 2 and 4 and hold blocked data wherever a
    // span is a multiple of 4.
    static constexpr bool kPacked = spColumnReordersFactors(Column);
    // Column 1 has radix-3 and radix-5 kernels of its own and runs column 0's other ones.
    static constexpr int kShared = Column == 1 ? 0 : Column;

    spMixedRadixRun(const spDftSpec* spec, spComplex* scratch)
        : m_spec(spec), m_last(spec->stagesMinus2), m_scratch(scratch)
    {
    }

    // Short DFTs of the last factor over `count` groups of the block at `in`, into `out`.
    void FirstStage(const spComplex* in, spComplex* out, std::int32_t count) const
    {
        const spDftStage& stage = m_spec->stages[m_last];
        const spDftStage& lastFactor = m_spec->stages[m_last + 1];
        const std::int32_t len = lastFactor.radix, s = stage.stride, g = stage.radix;
        const std::int32_t* index = m_spec->mrIndex;
        if constexpr (kPacked) {
            if (len == 2)
                return spDftFirstStageR2<Column>(in, s, out, g, count, index);
            if (len == 4)
                return (Inverse ? spDftFirstStageR4Inv<Column> : spDftFirstStageR4Fwd<Column>)(in, s, out, g, count, index);
        }
        if (len == 3)
            return (Inverse ? spDftFirstStageR3Inv<Column> : spDftFirstStageR3Fwd<Column>)(in, s, out, g, count, index);
        if (len == 5)
            return (Inverse ? spDftFirstStageR5Inv<Column> : spDftFirstStageR5Fwd<Column>)(in, s, out, g, count, index);
        const auto any = Inverse ? spDftFirstStageAnyInv<kShared> : spDftFirstStageAnyFwd<kShared>;
        for (std::ptrdiff_t t = 0; t < count; ++t)
            any(in + index[t], s, out + t * g * len, len, g, lastFactor.roots, m_scratch);
    }

    void Butterfly(int i, const spComplex* in, spComplex* out, std::int32_t groups) const
    {
        const spDftStage& s = m_spec->stages[i];
        switch (s.radix) {
        case 2:
            return (Inverse ? spDftStageR2Inv<kShared> : spDftStageR2Fwd<kShared>)(in, out, s.span, groups, s.twiddles);
        case 3:
            return (Inverse ? spDftStageR3Inv<Column> : spDftStageR3Fwd<Column>)(in, out, s.span, groups, s.twiddles);
        case 4:
            return (Inverse ? spDftStageR4Inv<kShared> : spDftStageR4Fwd<kShared>)(in, out, s.span, groups, s.twiddles);
        case 5:
            return (Inverse ? spDftStageR5Inv<Column> : spDftStageR5Fwd<Column>)(in, out, s.span, groups, s.twiddles);
        default: {
            if constexpr (kPacked) {
                // Rows of every group run side by side, sharing their root loads.
                return spVecStageOdd<Inverse>(in, out, s.radix, s.span, groups, s.roots, s.twiddles, m_scratch);
            }
            const auto odd = Inverse ? spDftStageOddInv<kShared> : spDftStageOddFwd<kShared>;
            for (std::ptrdiff_t h = 0; h < groups; ++h) {
                const std::ptrdiff_t offset = h * s.radix * s.span;
                odd(in + offset, out + offset, s.radix, s.span, s.roots, s.twiddles, m_scratch);
            }
        }
        }
    }

    // Stages last .. `first` over one block, breadth first; the stage `first` writes `out`.
    void Block(const spComplex* in, spComplex* area, spComplex* out, int first) const
    {
        FirstStage(in, area, m_spec->stages[m_last].groups);
        for (int i = m_last; i >= first; --i)
            Butterfly(i, area, i > first ? area : out, m_spec->stages[i].groups);
    }

    int Last() const { return m_last; }

private:
    const spDftSpec* m_spec;
    int m_last;
    spComplex* m_scratch;
};

template <int Column, bool Inverse>
void spMixedRadixLevel(const spDftSpec* spec, const spComplex* in, spComplex* out, int k, spComplex* scratch)
{
    const spMixedRadixRun<Column, Inverse> run(spec, scratch);
    const spDftStage& s = spec->stages[k];
    if (static_cast<std::int64_t>(s.radix) * s.span > spDftBlockLimit && k < run.Last()) {
        const auto level = Inverse ? spDftMixedRadixInvLevel<Column> : spDftMixedRadixFwdLevel<Column>;
        for (std::ptrdiff_t j = 0; j < s.radix; ++j)
            level(spec, in + j * s.stride, out + j * s.span, k + 1, scratch);
        run.Butterfly(k, out, out, 1);
    } else if (k == run.Last()) {
        run.FirstStage(in, out, 1);
        run.Butterfly(k, out, out, 1);
    } else {
        run.Block(in, out, out, k);
    }
}

template <int Column, bool Inverse>
void spMixedRadix(const spDftSpec* spec, const spComplex* src, spComplex* dst, std::uint8_t* work)
{
    const spDftStage& top = spec->stages[0];
    const std::int64_t n = static_cast<std::int64_t>(top.radix) * top.span;
    // In place, the partial transforms live in the work buffer and the scratch follows them.
    spComplex* area = dst;
    std::uint8_t* scratchBytes = work;
    if (src == dst) {
        area = reinterpret_cast<spComplex*>(work);
        scratchBytes = spAlignUp16(work + 8 * n);
    }
    auto* scratch = reinterpret_cast<spComplex*>(scratchBytes);
    const spMixedRadixRun<Column, Inverse> run(spec, scratch);

    if (n > spDftBlockLimit && run.Last() > 0) {
        const auto level = Inverse ? spDftMixedRadixInvLevel<Column> : spDftMixedRadixFwdLevel<Column>;
        for (std::ptrdiff_t j = 0; j < top.radix; ++j)
            level(spec, src + j, area + j * top.span, 1, scratch);
        run.Butterfly(0, area, dst, 1);
    } else if (run.Last() == 0) {
        run.FirstStage(src, area, 1);
        run.Butterfly(0, area, dst, 1);
    } else {
        run.Block(src, area, dst, 0);
    }
    // Every span of a length divisible by 4 is a multiple of 4: the result is blocked.
    if constexpr (spMixedRadixRun<Column, Inverse>::kPacked)
        if (n % 4 == 0)
            spDftBlocksToInterleaved<Column>(dst, static_cast<std::int32_t>(n / 4));
}

} // namespace

template <int Column>
void spDftMixedRadixFwd(const spDftSpec* spec, const spComplex* src, spComplex* dst, std::uint8_t* work)
{
    spMixedRadix<Column, false>(spec, src, dst, work);
}

template <int Column>
void spDftMixedRadixInv(const spDftSpec* spec, const spComplex* src, spComplex* dst, std::uint8_t* work)
{
    spMixedRadix<Column, true>(spec, src, dst, work);
}

template <int Column>
void spDftMixedRadixFwdLevel(const spDftSpec* spec, const spComplex* src, spComplex* out, int k, spComplex* scratch)
{
    spMixedRadixLevel<Column, false>(spec, src, out, k, scratch);
}

template <int Column>
void spDftMixedRadixInvLevel(const spDftSpec* spec, const spComplex* src, spComplex* out, int k, spComplex* scratch)
{
    spMixedRadixLevel<Column, true>(spec, src, out, k, scratch);
}

#define SP_MIXED_RADIX_COLUMN(c)                                                                    \
    template void spDftMixedRadixFwd<c>(const spDftSpec*, const spComplex*, spComplex*, std::uint8_t*); \
    template void spDftMixedRadixInv<c>(const spDftSpec*, const spComplex*, spComplex*, std::uint8_t*); \
    template void spDftMixedRadixFwdLevel<c>(const spDftSpec*, const spComplex*, spComplex*, int, spComplex*); \
    template void spDftMixedRadixInvLevel<c>(const spDftSpec*, const spComplex*, spComplex*, int, spComplex*);
SP_FOR_EACH_COLUMN(SP_MIXED_RADIX_COLUMN)
