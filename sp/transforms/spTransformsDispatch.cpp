// Dispatch rows of the transform entries and the entries themselves.
#include "sp/transforms/spDft2D.h"
#include "sp/transforms/spDftPlan.h"
#include "sp/transforms/spFft2D.h"
#include "sp/transforms/spTransforms.h"

#define SP_VECTOR_ROW(generic, ...) {generic, __VA_ARGS__<1>, __VA_ARGS__<2>, __VA_ARGS__<3>, __VA_ARGS__<4>}

namespace {

template <int Column>
constexpr spDft2DTransformFn* spDft2DFwdOf = spDft2DRunCol<Column, false>;
template <int Column>
constexpr spDft2DTransformFn* spDft2DInvOf = spDft2DRunCol<Column, true>;
template <int Column>
constexpr spFft2DTransformFn* spFft2DFwdOf = spFft2DRunCol<Column, false>;
template <int Column>
constexpr spFft2DTransformFn* spFft2DInvOf = spFft2DRunCol<Column, true>;
template <int Column>
constexpr spDftTransformFn* spDftFwdOf = spDftRunCol<Column, false>;
template <int Column>
constexpr spDftTransformFn* spDftInvOf = spDftRunCol<Column, true>;

} // namespace

spDispatchRow<spDft2DFreeFn> spDft2DFreeRow = SP_VECTOR_ROW(spDft2DFree_px, spDft2DFreeCol);
spDispatchRow<spDft2DTransformFn> spDft2DInverseRow = SP_VECTOR_ROW(spDft2DInverse_px, spDft2DInvOf);
spDispatchRow<spDft2DTransformFn> spDft2DForwardRow = SP_VECTOR_ROW(spDft2DForward_px, spDft2DFwdOf);
spDispatchRow<spDft2DInitAllocFn> spDft2DInitAllocRow = SP_VECTOR_ROW(spDft2DInitAlloc_px, spDft2DInitAllocCol);
spDispatchRow<spFft2DFreeFn> spFft2DFreeRow = SP_VECTOR_ROW(spFft2DFree_px, spFft2DFreeCol);
spDispatchRow<spFft2DTransformFn> spFft2DInverseRow = SP_VECTOR_ROW(spFft2DInverse_px, spFft2DInvOf);
spDispatchRow<spFft2DTransformFn> spFft2DForwardRow = SP_VECTOR_ROW(spFft2DForward_px, spFft2DFwdOf);
spDispatchRow<spFft2DInitAllocFn> spFft2DInitAllocRow = SP_VECTOR_ROW(spFft2DInitAlloc_px, spFft2DInitAllocCol);
spDispatchRow<spDftFreeFn> spDftFreeRow = SP_VECTOR_ROW(spDftFree_px, spDftFreeCol);
spDispatchRow<spDftTransformFn> spDftInverseRow = SP_VECTOR_ROW(spDftInverse_px, spDftInvOf);
spDispatchRow<spDftTransformFn> spDftForwardRow = SP_VECTOR_ROW(spDftForward_px, spDftFwdOf);
spDispatchRow<spDftInitAllocFn> spDftInitAllocRow = SP_VECTOR_ROW(spDftInitAlloc_px, spDftInitAllocCol);

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
