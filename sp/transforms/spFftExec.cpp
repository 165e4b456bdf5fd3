#include <cstddef>

#include "sp/transforms/spDftSmall.h"
#include "sp/transforms/spFftCore.h"
#include "sp/transforms/spFftLarge.h"
#include "sp/transforms/spFftPlan.h"
#include "sp/transforms/spFftTables.h"
#include "sp/transforms/spFourierCommon.h"

namespace {

template <bool Inverse>
spStatus spFftRun(const spComplex* src, spComplex* dst, const spFftSpec* spec, std::uint8_t* work)
{
    const spStatus checked = spCheckTransform(spec, spKindFft, src, dst);
    if (checked != spStsNoErr)
        return checked;

    const int order = spec->order;
    const bool scaled = (Inverse ? spec->scaleInv : spec->scaleFwd) != 0;
    if (order < 4) {
        spRunSmallKernel(Inverse ? spFftSmallInvTable : spFftSmallFwdTable, order, scaled, spec->scale, src, dst);
        return spStsNoErr;
    }

    const spWorkArea area(work, spec->workBytes);
    if (area.failed())
        return spStsMemAllocErr;

    const int n = 1 << order;
    if (src == dst)
        spFftBitRevInPlace(dst, n, spec->bitRevPairs);
    else
        spFftBitRevCopy(src, dst, n, spec->bitRevPairs);

    if (order <= spFftCoreMaxOrder) {
        spFftCore<Inverse>(dst, n, spec->twiddles);
        if (scaled)
            spScaleComplex(spec->scale, reinterpret_cast<float*>(dst), 2 * n);
    } else {
        // The large-order driver scales each piece right after its first core transform.
        spFftLarge<Inverse>(spec, dst, order, area.data());
    }
    return spStsNoErr;
}

} // namespace

spStatus spFftForward(const spComplex* src, spComplex* dst, const spFftSpec* spec, std::uint8_t* work)
{
    return spFftRun<false>(src, dst, spec, work);
}

spStatus spFftInverse(const spComplex* src, spComplex* dst, const spFftSpec* spec, std::uint8_t* work)
{
    return spFftRun<true>(src, dst, spec, work);
}
