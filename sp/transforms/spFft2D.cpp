#include "sp/transforms/spFft2D.h"

#include "sp/transforms/spColumns.h"
#include "sp/transforms/spFftPlan.h"
#include "sp/transforms/spTransform2D.h"

template <int Column, bool Inverse>
spStatus spFft2DRunCol(const spComplex* src, int srcStep, spComplex* dst, int dstStep,
                       const spFft2DSpec* spec, std::uint8_t* work)
{
    const spStatus status = spCheck2D(spec, spKindFft2D, Column, src, srcStep, dst, dstStep);
    if (status != spStsNoErr)
        return status;
    // Width 2, the only width without a group of four, takes both columns in one pass.
    const spPlan2D<spFftSpec> plan{std::int64_t{1} << spec->orderX, std::int64_t{1} << spec->orderY,
                                   spec->rowPlan,
                                   spec->colPlan != nullptr ? spec->colPlan : spec->rowPlan,
                                   spec->workBytes, 2, Column};
    return spTransform2D<spFftSpec>(plan, spFftRunCol<Column, Inverse>, src, srcStep, dst, dstStep, work);
}

template <int Column>
spStatus spFft2DInitAllocCol(spFft2DSpec** ppSpec, int orderX, int orderY, spScaleFlag flag, int hint)
{
    if (ppSpec == nullptr)
        return spStsNullPtrErr;
    if (orderX < 0 || orderX > 30 || orderY < 0 || orderY > 30)
        return spStsFftOrderErr;
    const auto fill = [&](spFft2DSpec* spec) {
        spec->orderX = orderX;
        spec->orderY = orderY;
    };
    const auto init = [&](spFftSpec** plan, int order) { return spFftInitAllocCol<Column>(plan, order, flag, hint); };
    return spCreate2D<Column>(ppSpec, spKindFft2D, orderX, orderY, std::int64_t{1} << orderY, hint, fill,
                              init, spFftGetBufSizeCol<Column>, spFft2DRelease);
}

void spFft2DRelease(spFft2DSpec* spec) { spRelease2D(spec, spFftRelease); }

template <int Column>
spStatus spFft2DFreeCol(spFft2DSpec* spec)
{
    return spFreeRecord(spec, spKindFft2D, Column, spFft2DRelease);
}

#define SP_FFT2D_COLUMN(c)                                                                          \
    template spStatus spFft2DInitAllocCol<c>(spFft2DSpec**, int, int, spScaleFlag, int);            \
    template spStatus spFft2DFreeCol<c>(spFft2DSpec*);                                              \
    template spStatus spFft2DRunCol<c, false>(const spComplex*, int, spComplex*, int, const spFft2DSpec*, std::uint8_t*); \
    template spStatus spFft2DRunCol<c, true>(const spComplex*, int, spComplex*, int, const spFft2DSpec*, std::uint8_t*);
SP_FOR_EACH_COLUMN(SP_FFT2D_COLUMN)

spStatus spFft2DInitAlloc_px(spFft2DSpec** ppSpec, int orderX, int orderY, spScaleFlag flag, int hint)
{
    return spFft2DInitAllocCol<0>(ppSpec, orderX, orderY, flag, hint);
}

spStatus spFft2DFree_px(spFft2DSpec* spec) { return spFft2DFreeCol<0>(spec); }

spStatus spFft2DForward_px(const spComplex* src, int srcStep, spComplex* dst, int dstStep,
                           const spFft2DSpec* spec, std::uint8_t* work)
{
    return spFft2DRunCol<0, false>(src, srcStep, dst, dstStep, spec, work);
}

spStatus spFft2DInverse_px(const spComplex* src, int srcStep, spComplex* dst, int dstStep,
                           const spFft2DSpec* spec, std::uint8_t* work)
{
    return spFft2DRunCol<0, true>(src, srcStep, dst, dstStep, spec, work);
}
