#include "sp/filters/spVariantEntries.h"

#include "sp/filters/spFilterFrame.h"
#include "sp/filters/spVariantDrivers.h"

namespace {

// The frame of the generic checks, whose strides are whole floats, runs `W` for one float
// channel with the weights or kind `Form`.
template <spVariantWorkerFn* W, int Form>
spStatus Run(const spFilterFrame& f)
{
    constexpr std::ptrdiff_t bytes = sizeof(float);
    return W({f.src, f.srcStride * bytes, f.dst, f.dstStride * bytes, f.width, f.height},
             {spKtF32, 1, Form});
}

} // namespace

template <int C>
spStatus spVariantEntries<C>::Gauss(const float* pSrc, int srcStep, float* pDst, int dstStep,
                                    spRoiSize roiSize, spMaskSize mask)
{
    return spRunMaskFilter(pSrc, srcStep, pDst, dstStep, roiSize, mask,
                           Run<spFilterGauss3x3Simd<C>, spFkGauss>,
                           Run<spFilterRing5x5Simd<C>, spFkGauss>);
}

template <int C>
spStatus spVariantEntries<C>::Laplace(const float* pSrc, int srcStep, float* pDst, int dstStep,
                                      spRoiSize roiSize, spMaskSize mask)
{
    return spRunMaskFilter(pSrc, srcStep, pDst, dstStep, roiSize, mask,
                           Run<spFilterLaplaceHipass3x3Variant<C>, 0>,
                           Run<spFilterRing5x5Simd<C>, spFkLaplace>);
}

template <int C>
spStatus spVariantEntries<C>::Lowpass(const float* pSrc, int srcStep, float* pDst, int dstStep,
                                      spRoiSize roiSize, spMaskSize mask)
{
    return spRunMaskFilter(pSrc, srcStep, pDst, dstStep, roiSize, mask,
                           Run<spFilterLowpass3x3Variant<C>, 0>,
                           Run<spFilterLowpass5x5Variant<C>, 0>);
}

template <int C>
spStatus spVariantEntries<C>::Hipass(const float* pSrc, int srcStep, float* pDst, int dstStep,
                                     spRoiSize roiSize, spMaskSize mask)
{
    return spRunMaskFilter(pSrc, srcStep, pDst, dstStep, roiSize, mask,
                           Run<spFilterLaplaceHipass3x3Variant<C>, 0>,
                           Run<spFilterHipass5x5Variant<C>, 0>);
}

template <int C>
spStatus spVariantEntries<C>::Sharpen(const float* pSrc, int srcStep, float* pDst, int dstStep,
                                      spRoiSize roiSize)
{
    return spRunFilter(pSrc, srcStep, pDst, dstStep, roiSize,
                       Run<spFilterSharpenVariant<C>, 0>);
}

template <int C>
spStatus spVariantEntries<C>::SobelVert(const float* pSrc, int srcStep, float* pDst,
                                        int dstStep, spRoiSize roiSize)
{
    return spRunFilter(pSrc, srcStep, pDst, dstStep, roiSize,
                       Run<spFilterSobelVertVariant<C>, 1>);
}

template <int C>
spStatus spVariantEntries<C>::SobelHoriz(const float* pSrc, int srcStep, float* pDst,
                                         int dstStep, spRoiSize roiSize)
{
    return spRunFilter(pSrc, srcStep, pDst, dstStep, roiSize,
                       Run<spFilterSobelHorizVariant<C>, 1>);
}

template struct spVariantEntries<1>;
template struct spVariantEntries<2>;
template struct spVariantEntries<3>;
template struct spVariantEntries<4>;
