#include "sp/transforms/spDft2D.h"

#include "sp/transforms/spDftPlan.h"
#include "sp/transforms/spTransform2D.h"

namespace {

template <bool Inverse>
spStatus spDft2DRun(const spComplex* src, int srcStep, spComplex* dst, int dstStep,
                    const spDft2DSpec* spec, std::uint8_t* work)
{
    const spStatus status = spCheck2D(spec, spKindDft2D, src, srcStep, dst, dstStep);
    if (status != spStsNoErr)
        return status;
    const spPlan2D<spDftSpec> plan{spec->width, spec->height, spec->rowPlan,
                                   spec->colPlan != nullptr ? spec->colPlan : spec->rowPlan,
                                   spec->workBytes, 1};
    return spTransform2D<spDftSpec>(plan, Inverse ? spDftInverse_px : spDftForward_px, src, srcStep,
                                    dst, dstStep, work);
}

} // namespace

spStatus spDft2DInitAlloc_px(spDft2DSpec** ppSpec, int width, int height, spScaleFlag flag, int hint)
{
    if (ppSpec == nullptr)
        return spStsNullPtrErr;
    if (width < 1 || height < 1)
        return spStsSizeErr;
    const auto fill = [&](spDft2DSpec* spec) {
        spec->width = width;
        spec->height = height;
    };
    const auto init = [&](spDftSpec** plan, int len) { return spDftInitAlloc_px(plan, len, flag, hint); };
    return spCreate2D(ppSpec, spKindDft2D, width, height, height, hint, fill, init, spDftGetBufSize,
                      spDft2DRelease);
}

void spDft2DRelease(spDft2DSpec* spec) { spRelease2D(spec, spDftFree_px); }

spStatus spDft2DFree_px(spDft2DSpec* spec) { return spFreeRecord(spec, spKindDft2D, spDft2DRelease); }

spStatus spDft2DForward_px(const spComplex* src, int srcStep, spComplex* dst, int dstStep,
                           const spDft2DSpec* spec, std::uint8_t* work)
{
    return spDft2DRun<false>(src, srcStep, dst, dstStep, spec, work);
}

spStatus spDft2DInverse_px(const spComplex* src, int srcStep, spComplex* dst, int dstStep,
                           const spDft2DSpec* spec, std::uint8_t* work)
{
    return spDft2DRun<true>(src, srcStep, dst, dstStep, spec, work);
}
