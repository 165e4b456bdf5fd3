// Dispatch rows of the transform entries and the entries themselves.
#include "sp/transforms/spDft2D.h"
#include "sp/transforms/spDftPlan.h"
#include "sp/transforms/spFft2D.h"
#include "sp/transforms/spTransforms.h"

spDispatchRow<spDft2DFreeFn> spDft2DFreeRow = SP_GENERIC_ROW(spDft2DFree_px);
spDispatchRow<spDft2DTransformFn> spDft2DInverseRow = SP_GENERIC_ROW(spDft2DInverse_px);
spDispatchRow<spDft2DTransformFn> spDft2DForwardRow = SP_GENERIC_ROW(spDft2DForward_px);
spDispatchRow<spDft2DInitAllocFn> spDft2DInitAllocRow = SP_GENERIC_ROW(spDft2DInitAlloc_px);
spDispatchRow<spFft2DFreeFn> spFft2DFreeRow = SP_GENERIC_ROW(spFft2DFree_px);
spDispatchRow<spFft2DTransformFn> spFft2DInverseRow = SP_GENERIC_ROW(spFft2DInverse_px);
spDispatchRow<spFft2DTransformFn> spFft2DForwardRow = SP_GENERIC_ROW(spFft2DForward_px);
spDispatchRow<spFft2DInitAllocFn> spFft2DInitAllocRow = SP_GENERIC_ROW(spFft2DInitAlloc_px);
spDispatchRow<spDftFreeFn> spDftFreeRow = SP_GENERIC_ROW(spDftFree_px);
spDispatchRow<spDftTransformFn> spDftInverseRow = SP_GENERIC_ROW(spDftInverse_px);
spDispatchRow<spDftTransformFn> spDftForwardRow = SP_GENERIC_ROW(spDftForward_px);
spDispatchRow<spDftInitAllocFn> spDftInitAllocRow = SP_GENERIC_ROW(spDftInitAlloc_px);

spStatus spDftInitAlloc(spDftSpec** ppSpec, int len, spScaleFlag flag, int hint)
{
    return spDftInitAllocRow[spDispatchIndex](ppSpec, len, flag, hint);
}

spStatus spDftFree(spDftSpec* spec) { return spDftFreeRow[spDispatchIndex](spec); }

spStatus spDftForward(const spComplex* src, spComplex* dst, const spDftSpec* spec, std::uint8_t* work)
{
    return spDftForwardRow[spDispatchIndex](src, dst, spec, work);
}

spStatus spDftInverse(const spComplex* src, spComplex* dst, const spDftSpec* spec, std::uint8_t* work)
{
    return spDftInverseRow[spDispatchIndex](src, dst, spec, work);
}

spStatus spDft2DInitAlloc(spDft2DSpec** ppSpec, int width, int height, spScaleFlag flag, int hint)
{
    return spDft2DInitAllocRow[spDispatchIndex](ppSpec, width, height, flag, hint);
}

spStatus spDft2DFree(spDft2DSpec* spec) { return spDft2DFreeRow[spDispatchIndex](spec); }

spStatus spDft2DForward(const spComplex* src, int srcStep, spComplex* dst, int dstStep,
                        const spDft2DSpec* spec, std::uint8_t* work)
{
    return spDft2DForwardRow[spDispatchIndex](src, srcStep, dst, dstStep, spec, work);
}

spStatus spDft2DInverse(const spComplex* src, int srcStep, spComplex* dst, int dstStep,
                        const spDft2DSpec* spec, std::uint8_t* work)
{
    return spDft2DInverseRow[spDispatchIndex](src, srcStep, dst, dstStep, spec, work);
}

spStatus spFft2DInitAlloc(spFft2DSpec** ppSpec, int orderX, int orderY, spScaleFlag flag, int hint)
{
    return spFft2DInitAllocRow[spDispatchIndex](ppSpec, orderX, orderY, flag, hint);
}

spStatus spFft2DFree(spFft2DSpec* spec) { return spFft2DFreeRow[spDispatchIndex](spec); }

spStatus spFft2DForward(const spComplex* src, int srcStep, spComplex* dst, int dstStep,
                        const spFft2DSpec* spec, std::uint8_t* work)
{
    return spFft2DForwardRow[spDispatchIndex](src, srcStep, dst, dstStep, spec, work);
}

spStatus spFft2DInverse(const spComplex* src, int srcStep, spComplex* dst, int dstStep,
                        const spFft2DSpec* spec, std::uint8_t* work)
{
    return spFft2DInverseRow[spDispatchIndex](src, srcStep, dst, dstStep, spec, work);
}
