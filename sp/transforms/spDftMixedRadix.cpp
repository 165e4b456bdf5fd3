#include "sp/transforms/spDftMixedRadix.h"

#include <cstddef>

#include "sp/transforms/spDftPlan.h"
#include "sp/transforms/spDftStageKernels.h"
#include "sp/transforms/spFourierCommon.h"

namespace {

// One transform: the plan, the scratch of the odd kernels, and the stage sequence.
template <bool Inverse>
class spMixedRadixRun {
public:
    spMixedRadixRun(const spDftSpec* spec, spComplex* scratch)
        : m_spec(spec), m_last(spec->stagesMinus2), m_scratch(scratch)
    {
    }

    // Short DFTs of the last factor (4 or 2 when columns 2 to 4 moved it there) over `groups` groups of the block at `in`, into `out`.
    void FirstStage(const spComplex* in, spComplex* out, std::int32_t groups) const
    {
        const spDftStage& stage = m_spec->stages[m_last];
        const spDftStage& lastFactor = m_spec->stages[m_last + 1];
        const std::int32_t len = lastFactor.radix;
        if (len == 2) {
            spDftFirstStageRadix<2, Inverse>(in, stage.stride, out, stage.radix, groups, m_spec->mrIndex);
        } else if (len == 4) {
            spDftFirstStageRadix<4, Inverse>(in, stage.stride, out, stage.radix, groups, m_spec->mrIndex);
        } else if (len == 3) {
            spDftFirstStageRadix<3, Inverse>(in, stage.stride, out, stage.radix, groups, m_spec->mrIndex);
        } else if (len == 5) {
            spDftFirstStageRadix<5, Inverse>(in, stage.stride, out, stage.radix, groups, m_spec->mrIndex);
        } else {
            for (std::ptrdiff_t t = 0; t < groups; ++t)
                spDftFirstStageAny<Inverse>(in + m_spec->mrIndex[t], stage.stride,
                                            out + t * stage.radix * len, len, stage.radix,
                                            lastFactor.roots, m_scratch);
        }
    }

    void Butterfly(int i, const spComplex* in, spComplex* out, std::int32_t groups) const
    {
        const spDftStage& s = m_spec->stages[i];
        switch (s.radix) {
        case 2: return spDftStageRadix<2, Inverse>(in, out, s.span, groups, s.twiddles);
        case 3: return spDftStageRadix<3, Inverse>(in, out, s.span, groups, s.twiddles);
        case 4: return spDftStageRadix<4, Inverse>(in, out, s.span, groups, s.twiddles);
        case 5: return spDftStageRadix<5, Inverse>(in, out, s.span, groups, s.twiddles);
        default:
            for (std::ptrdiff_t h = 0; h < groups; ++h) {
                const std::ptrdiff_t offset = h * s.radix * s.span;
                spDftStageOdd<Inverse>(in + offset, out + offset, s.radix, s.span, s.roots,
                                       s.twiddles, m_scratch);
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

    // The sub-problem of stage k: r(k) m(k) elements at spacing p(k) from `in`, into `out`.
    void Level(const spComplex* in, spComplex* out, int k) const
    {
        const spDftStage& s = m_spec->stages[k];
        if (static_cast<std::int64_t>(s.radix) * s.span > spDftBlockLimit && k < m_last) {
            for (std::ptrdiff_t j = 0; j < s.radix; ++j)
                Level(in + j * s.stride, out + j * s.span, k + 1);
            Butterfly(k, out, out, 1);
        } else if (k == m_last) {
            FirstStage(in, out, 1);
            Butterfly(k, out, out, 1);
        } else {
            Block(in, out, out, k);
        }
    }

    int Last() const { return m_last; }

private:
    const spDftSpec* m_spec;
    int m_last;
    spComplex* m_scratch;
};

} // namespace

template <bool Inverse>
void spDftMixedRadix(const spDftSpec* spec, const spComplex* src, spComplex* dst, std::uint8_t* work)
{
    const spDftStage& top = spec->stages[0];
    const std::int64_t n = static_cast<std::int64_t>(top.radix) * top.span;
    // In place, the partial transforms live in the work buffer and the scratch follows them.
    spComplex* area = dst;
    std::uint8_t* scratch = work;
    if (src == dst) {
        area = reinterpret_cast<spComplex*>(work);
        scratch = spAlignUp16(work + 8 * n);
    }
    const spMixedRadixRun<Inverse> run(spec, reinterpret_cast<spComplex*>(scratch));

    if (n > spDftBlockLimit && run.Last() > 0) {
        for (std::ptrdiff_t j = 0; j < top.radix; ++j)
            run.Level(src + j, area + j * top.span, 1);
    } else if (run.Last() == 0) {
        run.FirstStage(src, area, 1);
    } else {
        run.Block(src, area, dst, 0);
        return;
    }
    run.Butterfly(0, area, dst, 1);
}

template void spDftMixedRadix<false>(const spDftSpec*, const spComplex*, spComplex*, std::uint8_t*);
template void spDftMixedRadix<true>(const spDftSpec*, const spComplex*, spComplex*, std::uint8_t*);
