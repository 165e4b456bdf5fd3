#include "sp/transforms/spFft2D.h"

#include "sp/transforms/spFftPlan.h"
#include "sp/transforms/spTransform2D.h"

namespace {

template <bool Inverse>
spStatus spFft2DRun(const spComplex* src, int srcStep, spComplex* dst, int dstStep,
                    const spFft2DSpec* spec, std::uint8_t* work)
{
    const spStatus status = spCheck2D(spec, spKindFft2D, src, srcStep, dst, dstStep);
    if (status != spStsNoErr)
        return status;
    // Width 2, the only width without a group of four, takes both columns in one pass.
    const spPlan2D<spFftSpec> plan{std::int64_t{1} << spec->orderX, std::int64_t{1} << spec->orderY,
                                   spec->rowPlan,
                                   spec->colPlan != nullptr ? spec->colPlan : spec->rowPlan,
                                   spec->workBytes, 2};
    return spTransform2D<spFftSpec>(plan, Inverse ? spFftInverse : spFftForward, src, srcStep, dst,
                                    dstStep, work);
}

} // namespace

spStatus spFft2DInitAlloc_px(spFft2DSpec** ppSpec, int orderX, int orderY, spScaleFlag flag, int hint)
{
    if (ppSpec == nullptr)
        return spStsNullPtrErr;
    if (orderX < 0 || orderX > 30 || orderY < 0 || orderY > 30)
        return spStsFftOrderErr;
    const auto fill = [&](spFft2DSpec* spec) {
        spec->orderX = orderX;
        spec->orderY = orderY;
    };
    const auto init = [&](spFftSpec** plan, int order) { return spFftInitAlloc(plan, order, flag, hint); };
    return spCreate2D(ppSpec, spKindFft2D, orderX, orderY, std::int64_t{1} << orderY, hint, fill, init,
                      spFftGetBufSize, spFft2DRelease);
}

void spFft2DRelease(spFft2DSpec* spec) { spRelease2D(spec, spFftFree); }

spStatus spFft2DFree_px(spFft2DSpec* spec) { return spFreeRecord(spec, spKindFft2D, spFft2DRelease); }

spStatus spFft2DForward_px(const spComplex* src, int srcStep, spComplex* dst, int dstStep,
                           const spFft2DSpec* spec, std::uint8_t* work)
{
    return spFft2DRun<false>(src, srcStep, dst, dstStep, spec, work);
}

spStatus spFft2DInverse_px(const spComplex* src, int srcStep, spComplex* dst, int dstStep,
                           const spFft2DSpec* spec, std::uint8_t* work)
{
    return spFft2DRun<true>(src, srcStep, dst, dstStep, spec, work);
}
