#include "sp/transforms/spDft2D.h"

#include "sp/transforms/spColumns.h"
#include "sp/transforms/spDftPlan.h"
#include "sp/transforms/spTransform2D.h"

template <int Column, bool Inverse>
spStatus spDft2DRunCol(const spComplex* src, int srcStep, spComplex* dst, int dstStep,
                       const spDft2DSpec* spec, std::uint8_t* work)
{
    const spStatus status = spCheck2D(spec, spKindDft2D, Column, src, srcStep, dst, dstStep);
    if (status != spStsNoErr)
        return status;
    const spPlan2D<spDftSpec> plan{spec->width, spec->height, spec->rowPlan,
                                   spec->colPlan != nullptr ? spec->colPlan : spec->rowPlan,
                                   spec->workBytes, 1, Column};
    return spTransform2D<spDftSpec>(plan, spDftRunCol<Column, Inverse>, src, srcStep, dst, dstStep, work);
}

template <int Column>
spStatus spDft2DInitAllocCol(spDft2DSpec** ppSpec, int width, int height, spScaleFlag flag, int hint)
{
    if (ppSpec == nullptr)
        return spStsNullPtrErr;
    if (width < 1 || height < 1)
        return spStsSizeErr;
    const auto fill = [&](spDft2DSpec* spec) {
        spec->width = width;
        spec->height = height;
    };
    const auto init = [&](spDftSpec** plan, int len) { return spDftInitAllocCol<Column>(plan, len, flag, hint); };
    return spCreate2D<Column>(ppSpec, spKindDft2D, width, height, height, hint, fill, init,
                              spDftGetBufSizeCol<Column>, spDft2DRelease);
}

void spDft2DRelease(spDft2DSpec* spec) { spRelease2D(spec, spDftRelease); }

template <int Column>
spStatus spDft2DFreeCol(spDft2DSpec* spec)
{
    return spFreeRecord(spec, spKindDft2D, Column, spDft2DRelease);
}

#define SP_DFT2D_COLUMN(c)                                                                          \
    template spStatus spDft2DInitAllocCol<c>(spDft2DSpec**, int, int, spScaleFlag, int);            \
    template spStatus spDft2DFreeCol<c>(spDft2DSpec*);                                              \
    template spStatus spDft2DRunCol<c, false>(const spComplex*, int, spComplex*, int, const spDft2DSpec*, std::uint8_t*); \
    template spStatus spDft2DRunCol<c, true>(const spComplex*, int, spComplex*, int, const spDft2DSpec*, std::uint8_t*);
SP_FOR_EACH_COLUMN(SP_DFT2D_COLUMN)

spStatus spDft2DInitAlloc_px(spDft2DSpec** ppSpec, int width, int height, spScaleFlag flag, int hint)
{
    return spDft2DInitAllocCol<0>(ppSpec, width, height, flag, hint);
}

spStatus spDft2DFree_px(spDft2DSpec* spec) { return spDft2DFreeCol<0>(spec); }

spStatus spDft2DForward_px(const spComplex* src, int srcStep, spComplex* dst, int dstStep,
                           const spDft2DSpec* spec, std::uint8_t* work)
{
    return spDft2DRunCol<0, false>(src, srcStep, dst, dstStep, spec, work);
}

spStatus spDft2DInverse_px(const spComplex* src, int srcStep, spComplex* dst, int dstStep,
                           const spDft2DSpec* spec, std::uint8_t* work)
{
    return spDft2DRunCol<0, true>(src, srcStep, dst, dstStep, spec, work);
}
