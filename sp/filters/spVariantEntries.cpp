#include "sp/filters/spVariantEntries.h"

#include "sp/filters/spFilterFrame.h"
#include "sp/filters/spVariantDrivers.h"

namespace {

using Worker = spStatus(const spVariantFrame& f, const spKernelKey& key);

// The frame of the generic checks, whose strides are whole floats, runs `W` for one float
// channel with the weights or kind `Form`.
template <Worker* W, int Form>
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
    using W = spVariantWorkers<C>;
    return spRunMaskFilter(pSrc, srcStep, pDst, dstStep, roiSize, mask, Run<W::Gauss3x3, 1>,
                           Run<W::Ring5x5, 1>);
}

template <int C>
spStatus spVariantEntries<C>::Laplace(const float* pSrc, int srcStep, float* pDst, int dstStep,
                                      spRoiSize roiSize, spMaskSize mask)
{
    using W = spVariantWorkers<C>;
    return spRunMaskFilter(pSrc, srcStep, pDst, dstStep, roiSize, mask,
                           Run<W::LaplaceHipass3x3, 0>, Run<W::Ring5x5, 0>);
}

template <int C>
spStatus spVariantEntries<C>::Lowpass(const float* pSrc, int srcStep, float* pDst, int dstStep,
                                      spRoiSize roiSize, spMaskSize mask)
{
    using W = spVariantWorkers<C>;
    return spRunMaskFilter(pSrc, srcStep, pDst, dstStep, roiSize, mask, Run<W::Lowpass3x3, 0>,
                           Run<W::Lowpass5x5, 0>);
}

template <int C>
spStatus spVariantEntries<C>::Hipass(const float* pSrc, int srcStep, float* pDst, int dstStep,
                                     spRoiSize roiSize, spMaskSize mask)
{
    using W = spVariantWorkers<C>;
    return spRunMaskFilter(pSrc, srcStep, pDst, dstStep, roiSize, mask,
                           Run<W::LaplaceHipass3x3, 0>, Run<W::Hipass5x5, 0>);
}

template <int C>
spStatus spVariantEntries<C>::Sharpen(const float* pSrc, int srcStep, float* pDst, int dstStep,
                                      spRoiSize roiSize)
{
    return spRunFilter(pSrc, srcStep, pDst, dstStep, roiSize,
                       Run<spVariantWorkers<C>::Sharpen, 0>);
}

template <int C>
spStatus spVariantEntries<C>::SobelVert(const float* pSrc, int srcStep, float* pDst,
                                        int dstStep, spRoiSize roiSize)
{
    return spRunFilter(pSrc, srcStep, pDst, dstStep, roiSize,
                       Run<spVariantWorkers<C>::SobelVert, 1>);
}

template <int C>
spStatus spVariantEntries<C>::SobelHoriz(const float* pSrc, int srcStep, float* pDst,
                                         int dstStep, spRoiSize roiSize)
{
    return spRunFilter(pSrc, srcStep, pDst, dstStep, roiSize,
                       Run<spVariantWorkers<C>::SobelHoriz, 1>);
}

template struct spVariantEntries<1>;
template struct spVariantEntries<2>;
template struct spVariantEntries<3>;
template struct spVariantEntries<4>;
