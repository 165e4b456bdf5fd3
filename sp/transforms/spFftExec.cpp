#include <cstddef>

#include "sp/transforms/spColFft.h"
#include "sp/transforms/spColumns.h"
#include "sp/transforms/spComplexVec.h"
#include "sp/transforms/spDftSmall.h"
#include "sp/transforms/spFftCore.h"
#include "sp/transforms/spFftLarge.h"
#include "sp/transforms/spFftPlan.h"
#include "sp/transforms/spFftTables.h"
#include "sp/transforms/spFourierCommon.h"

namespace {

// Orders 4 and above: the fused core of columns 1 to 4, or the permutation followed by the
// core or the large-order driver; scales as the plan asks.
template <int Column, bool Inverse>
void spFftRun(const spComplex* src, spComplex* dst, const spFftSpec* spec, std::uint8_t* work)
{
    const int order = spec->order;
    const int n = 1 << order;
    const bool scaled = (Inverse ? spec->scaleInv : spec->scaleFwd) != 0;
    const auto* table = reinterpret_cast<const float*>(spec->twiddles);
    if (Column != 0 && order <= spColumnFusedOrder(Column)) {
        spColCoreFused<Inverse>(src, dst, order, table, spec->bitRevPairs, spColumnLeafOrder(Column),
                                reinterpret_cast<float*>(work));
    } else {
        if (src == dst)
            spFftBitRevInPlace<Column>(dst, n, spec->bitRevPairs);
        else
            spFftBitRevCopy<Column>(src, dst, n, spec->bitRevPairs);
        if (order > spColumnCoreOrder(Column)) {
            spFftLarge<Column, Inverse>(spec, dst, order, work);
            if (spFftLargeScales(Column))
                return;
        } else {
            spFftCore<Column, Inverse>(dst, n, spec->twiddles);
        }
    }
    if (scaled)
        spScaleComplexCol<Column>(spec->scale, reinterpret_cast<float*>(dst), 2 * n);
}

// Bytes of work area this call touches: a call without a buffer allocates only those.
template <int Column>
std::int64_t spFftWorkUsed(const spFftSpec* spec, bool inPlace)
{
    if constexpr (Column == 0)
        return spec->workBytes;
    else
        return spColWorkUsed(Column, spec->order, inPlace);
}

} // namespace

template <int Column, bool Inverse>
spStatus spFftRunCol(const spComplex* src, spComplex* dst, const spFftSpec* spec, std::uint8_t* work)
{
    const spStatus checked = spCheckTransform(spec, spKindFft, Column, src, dst);
    if (checked != spStsNoErr)
        return checked;

    const int order = spec->order;
    if (order < 4) {
        const bool scaled = (Inverse ? spec->scaleInv : spec->scaleFwd) != 0;
        spRunSmallKernel(Inverse ? spFftSmallInvTable : spFftSmallFwdTable, order, scaled, spec->scale, src, dst);
        return spStsNoErr;
    }

    const spWorkArea area(work, spFftWorkUsed<Column>(spec, src == dst), Column);
    if (area.failed())
        return spStsMemAllocErr;
    spFftRun<Column, Inverse>(src, dst, spec, area.data());
    return spStsNoErr;
}

#define SP_FFT_RUN_COLUMN(c)                                                                        \
    template spStatus spFftRunCol<c, false>(const spComplex*, spComplex*, const spFftSpec*, std::uint8_t*); \
    template spStatus spFftRunCol<c, true>(const spComplex*, spComplex*, const spFftSpec*, std::uint8_t*);
SP_FOR_EACH_COLUMN(SP_FFT_RUN_COLUMN)

namespace {

using spFftRunFn = spStatus (*)(const spComplex*, spComplex*, const spFftSpec*, std::uint8_t*);
template <int Column>
constexpr spFftRunFn spFftForwardOf = spFftRunCol<Column, false>;
template <int Column>
constexpr spFftRunFn spFftInverseOf = spFftRunCol<Column, true>;
constexpr spFftRunFn spFftForwardCols[spDispatchColumns] = SP_COLUMN_ROUTINE(spFftForwardOf);
constexpr spFftRunFn spFftInverseCols[spDispatchColumns] = SP_COLUMN_ROUTINE(spFftInverseOf);

} // namespace

spStatus spFftForward(const spComplex* src, spComplex* dst, const spFftSpec* spec, std::uint8_t* work)
{
    return spFftForwardCols[spDispatchIndex](src, dst, spec, work);
}

spStatus spFftInverse(const spComplex* src, spComplex* dst, const spFftSpec* spec, std::uint8_t* work)
{
    return spFftInverseCols[spDispatchIndex](src, dst, spec, work);
}
