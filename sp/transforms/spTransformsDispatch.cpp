// Dispatch rows of the transform entries and the entries themselves. Until processor
// variants exist, every column holds the generic routine.
#include "sp/transforms/spDft2D.h"
#include "sp/transforms/spDftPlan.h"
#include "sp/transforms/spFft2D.h"
#include "sp/transforms/spTransforms.h"

spDispatchRow<spDft2DFreeFn> spDft2DFreeRow = {spDft2DFree_px, spDft2DFree_px, spDft2DFree_px,
                                               spDft2DFree_px, spDft2DFree_px};
spDispatchRow<spDft2DTransformFn> spDft2DInverseRow = {spDft2DInverse_px, spDft2DInverse_px,
                                                       spDft2DInverse_px, spDft2DInverse_px,
                                                       spDft2DInverse_px};
spDispatchRow<spDft2DTransformFn> spDft2DForwardRow = {spDft2DForward_px, spDft2DForward_px,
                                                       spDft2DForward_px, spDft2DForward_px,
                                                       spDft2DForward_px};
spDispatchRow<spDft2DInitAllocFn> spDft2DInitAllocRow = {spDft2DInitAlloc_px, spDft2DInitAlloc_px,
                                                         spDft2DInitAlloc_px, spDft2DInitAlloc_px,
                                                         spDft2DInitAlloc_px};
spDispatchRow<spFft2DFreeFn> spFft2DFreeRow = {spFft2DFree_px, spFft2DFree_px, spFft2DFree_px,
                                               spFft2DFree_px, spFft2DFree_px};
spDispatchRow<spFft2DTransformFn> spFft2DInverseRow = {spFft2DInverse_px, spFft2DInverse_px,
                                                       spFft2DInverse_px, spFft2DInverse_px,
                                                       spFft2DInverse_px};
spDispatchRow<spFft2DTransformFn> spFft2DForwardRow = {spFft2DForward_px, spFft2DForward_px,
                                                       spFft2DForward_px, spFft2DForward_px,
                                                       spFft2DForward_px};
spDispatchRow<spFft2DInitAllocFn> spFft2DInitAllocRow = {spFft2DInitAlloc_px, spFft2DInitAlloc_px,
                                                         spFft2DInitAlloc_px, spFft2DInitAlloc_px,
                                                         spFft2DInitAlloc_px};
spDispatchRow<spDftFreeFn> spDftFreeRow = {spDftFree_px, spDftFree_px, spDftFree_px, spDftFree_px,
                                           spDftFree_px};
spDispatchRow<spDftTransformFn> spDftInverseRow = {spDftInverse_px, spDftInverse_px, spDftInverse_px,
                                                   spDftInverse_px, spDftInverse_px};
spDispatchRow<spDftTransformFn> spDftForwardRow = {spDftForward_px, spDftForward_px, spDftForward_px,
                                                   spDftForward_px, spDftForward_px};
spDispatchRow<spDftInitAllocFn> spDftInitAllocRow = {spDftInitAlloc_px, spDftInitAlloc_px,
                                                     spDftInitAlloc_px, spDftInitAlloc_px,
                                                     spDftInitAlloc_px};

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
