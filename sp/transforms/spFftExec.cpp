#include <cstddef>

#include "sp/transforms/spColFft.h"
#include "sp/transforms/spColumns.h"
#include "sp/transforms/spDftSmall.h"
#include "sp/transforms/spFftCore.h"
#include "sp/transforms/spFftLarge.h"
#include "sp/transforms/spFftPlan.h"
#include "sp/transforms/spFftTables.h"
#include "sp/transforms/spFourierCommon.h"

namespace {

// Orders 4 and above in columns 1 to 4: the fused core, the permutation and the core, or the
// permutation and the large-order driver.
template <bool Inverse>
void spColFftRun(int column, const spComplex* src, spComplex* dst, const spFftSpec* spec, std::uint8_t* work)
{
    const int order = spec->order;
    const int n = 1 << order;
    const auto* table = reinterpret_cast<const float*>(spec->twiddles);
    if (order <= spColumnFusedOrder(column)) {
        spColCoreFused<Inverse>(src, dst, order, table, spec->bitRevPairs, spColumnLeafOrder(column),
                                reinterpret_cast<float*>(work));
        return;
    }
    if (src == dst)
        spFftBitRevInPlace(dst, n, spec->bitRevPairs);
    else
        spFftBitRevCopy(src, dst, n, spec->bitRevPairs);
    if (order <= spColumnCoreOrder(column))
        spColCoreLinear<Inverse>(dst, order, table, spColumnLeafOrder(column), spOutputMode::interleaved);
    else
        spColLarge<Inverse>(spec, column, dst, order, work);
}

} // namespace

template <int Column, bool Inverse>
spStatus spFftRunCol(const spComplex* src, spComplex* dst, const spFftSpec* spec, std::uint8_t* work)
{
    const spStatus checked = spCheckTransform(spec, spKindFft, Column, src, dst);
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
    if constexpr (Column != 0) {
        spColFftRun<Inverse>(Column, src, dst, spec, area.data());
        if (scaled)
            spScaleComplex(spec->scale, reinterpret_cast<float*>(dst), 2 * n);
        return spStsNoErr;
    }
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
