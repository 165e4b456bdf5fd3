// The filters' generic routines, their dispatch rows and the public entries.
#include "sp/filters/spFilterWorkers.h"
#include "sp/filters/spFilters.h"
#include "sp/filters/spVariantEntries.h"

spStatus spFilterGauss_px(const float* pSrc, int srcStep, float* pDst, int dstStep,
                          spRoiSize roiSize, spMaskSize mask)
{
    return spRunMaskFilter(pSrc, srcStep, pDst, dstStep, roiSize, mask, spFilterGauss3x3,
                           spFilterGauss5x5);
}

spStatus spFilterLaplace_px(const float* pSrc, int srcStep, float* pDst, int dstStep,
                            spRoiSize roiSize, spMaskSize mask)
{
    return spRunMaskFilter(pSrc, srcStep, pDst, dstStep, roiSize, mask,
                           spFilterCentreMinusSum3x3, spFilterLaplace5x5);
}

spStatus spFilterLowpass_px(const float* pSrc, int srcStep, float* pDst, int dstStep,
                            spRoiSize roiSize, spMaskSize mask)
{
    return spRunMaskFilter(pSrc, srcStep, pDst, dstStep, roiSize, mask, spFilterLowpass3x3,
                           spFilterLowpass5x5);
}

spStatus spFilterHipass_px(const float* pSrc, int srcStep, float* pDst, int dstStep,
                           spRoiSize roiSize, spMaskSize mask)
{
    return spRunMaskFilter(pSrc, srcStep, pDst, dstStep, roiSize, mask,
                           spFilterCentreMinusSum3x3, spFilterHipass5x5);
}

spStatus spFilterSharpen_px(const float* pSrc, int srcStep, float* pDst, int dstStep,
                            spRoiSize roiSize)
{
    return spRunFilter(pSrc, srcStep, pDst, dstStep, roiSize, spFilterSharpen3x3);
}

spStatus spFilterSobelVert_px(const float* pSrc, int srcStep, float* pDst, int dstStep,
                              spRoiSize roiSize)
{
    return spRunFilter(pSrc, srcStep, pDst, dstStep, roiSize, spFilterSobelVert3x3);
}

spStatus spFilterSobelHoriz_px(const float* pSrc, int srcStep, float* pDst, int dstStep,
                               spRoiSize roiSize)
{
    return spRunFilter(pSrc, srcStep, pDst, dstStep, roiSize, spFilterSobelHoriz3x3);
}

spDispatchRow<spFilterMaskFn> spFilterGaussRow = SP_VARIANT_ROW(spFilterGauss_px, Gauss);
spDispatchRow<spFilterMaskFn> spFilterLaplaceRow = SP_VARIANT_ROW(spFilterLaplace_px, Laplace);
spDispatchRow<spFilterMaskFn> spFilterLowpassRow = SP_VARIANT_ROW(spFilterLowpass_px, Lowpass);
spDispatchRow<spFilterMaskFn> spFilterHipassRow = SP_VARIANT_ROW(spFilterHipass_px, Hipass);
spDispatchRow<spFilterFixedFn> spFilterSharpenRow = SP_VARIANT_ROW(spFilterSharpen_px, Sharpen);
spDispatchRow<spFilterFixedFn> spFilterSobelVertRow = SP_VARIANT_ROW(spFilterSobelVert_px, SobelVert);
spDispatchRow<spFilterFixedFn> spFilterSobelHorizRow = SP_VARIANT_ROW(spFilterSobelHoriz_px, SobelHoriz);

spStatus spFilterGauss(const float* pSrc, int srcStep, float* pDst, int dstStep,
                       spRoiSize roiSize, spMaskSize mask)
{
    return spFilterGaussRow[spDispatchIndex](pSrc, srcStep, pDst, dstStep, roiSize, mask);
}

spStatus spFilterLaplace(const float* pSrc, int srcStep, float* pDst, int dstStep,
                         spRoiSize roiSize, spMaskSize mask)
{
    return spFilterLaplaceRow[spDispatchIndex](pSrc, srcStep, pDst, dstStep, roiSize, mask);
}

spStatus spFilterLowpass(const float* pSrc, int srcStep, float* pDst, int dstStep,
                         spRoiSize roiSize, spMaskSize mask)
{
    return spFilterLowpassRow[spDispatchIndex](pSrc, srcStep, pDst, dstStep, roiSize, mask);
}

spStatus spFilterHipass(const float* pSrc, int srcStep, float* pDst, int dstStep,
                        spRoiSize roiSize, spMaskSize mask)
{
    return spFilterHipassRow[spDispatchIndex](pSrc, srcStep, pDst, dstStep, roiSize, mask);
}

spStatus spFilterSharpen(const float* pSrc, int srcStep, float* pDst, int dstStep,
                         spRoiSize roiSize)
{
    return spFilterSharpenRow[spDispatchIndex](pSrc, srcStep, pDst, dstStep, roiSize);
}

spStatus spFilterSobelVert(const float* pSrc, int srcStep, float* pDst, int dstStep,
                           spRoiSize roiSize)
{
    return spFilterSobelVertRow[spDispatchIndex](pSrc, srcStep, pDst, dstStep, roiSize);
}

spStatus spFilterSobelHoriz(const float* pSrc, int srcStep, float* pDst, int dstStep,
                            spRoiSize roiSize)
{
    return spFilterSobelHorizRow[spDispatchIndex](pSrc, srcStep, pDst, dstStep, roiSize);
}
