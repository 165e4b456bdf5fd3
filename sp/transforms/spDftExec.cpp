#include <cstddef>

#include "sp/transforms/spColumns.h"
#include "sp/transforms/spComplexVec.h"
#include "sp/transforms/spDftBluestein.h"
#include "sp/transforms/spDftMixedRadix.h"
#include "sp/transforms/spDftPlan.h"
#include "sp/transforms/spDftSmall.h"
#include "sp/transforms/spDftTables.h"
#include "sp/transforms/spFftPlan.h"
#include "sp/transforms/spFourierCommon.h"

template <int Column, bool Inverse>
spStatus spDftRunCol(const spComplex* src, spComplex* dst, const spDftSpec* spec, std::uint8_t* work)
{
    const spStatus checked = spCheckTransform(spec, spKindDft, Column, src, dst);
    if (checked != spStsNoErr)
        return checked;

    const std::int32_t n = spec->len;
    const bool scaled = (Inverse ? spec->scaleInv : spec->scaleFwd) != 0;
    if (n <= 4) {
        spRunSmallKernel(Inverse ? spDftSmallInvTable : spDftSmallFwdTable, n - 1, scaled, spec->scale, src, dst);
        return spStsNoErr;
    }

    if (spec->useFft != 0) {
        // The inner plan scales by itself and takes the caller's buffer as it is: called
        // without one it allocates only the work area its path touches.
        return spFftRunCol<Column, Inverse>(src, dst, spec->fft, work);
    }
    const spWorkArea area(work, spec->workBytes, Column);
    if (area.failed())
        return spStsMemAllocErr;
    const int direction = Inverse ? -1 : 1;
    spStatus status = spStsNoErr;
    if (spec->useMixedRadix != 0)
        (Inverse ? spDftMixedRadixInv<Column> : spDftMixedRadixFwd<Column>)(spec, src, dst, area.data());
    else if (n > spDftDirectMaxLen)
        status = spDftBluestein(spec, src, dst, n, direction, area.data());
    else
        spDftDirectCol<Column>(src, dst, n, direction, spec->directRoots, reinterpret_cast<spComplex*>(area.data()));
    if (status == spStsNoErr && scaled)
        spScaleComplexCol<Column>(spec->scale, reinterpret_cast<float*>(dst), 2 * n);
    return status;
}

#define SP_DFT_RUN_COLUMN(c)                                                                        \
    template spStatus spDftRunCol<c, false>(const spComplex*, spComplex*, const spDftSpec*, std::uint8_t*); \
    template spStatus spDftRunCol<c, true>(const spComplex*, spComplex*, const spDftSpec*, std::uint8_t*);
SP_FOR_EACH_COLUMN(SP_DFT_RUN_COLUMN)

spStatus spDftForward_px(const spComplex* src, spComplex* dst, const spDftSpec* spec, std::uint8_t* work)
{
    return spDftRunCol<0, false>(src, dst, spec, work);
}

spStatus spDftInverse_px(const spComplex* src, spComplex* dst, const spDftSpec* spec, std::uint8_t* work)
{
    return spDftRunCol<0, true>(src, dst, spec, work);
}
