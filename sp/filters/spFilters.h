// Fixed 3x3 and 5x5 filters on single-channel float images with a caller-supplied border.
//
// pSrc points at the region's first pixel; the filter reads the region and a border of one
// (3x3) or two (5x5) pixels around it, rows srcStep bytes apart, and writes exactly
// width x height floats at pDst, rows dstStep bytes apart. Steps are taken rounded down to
// whole floats. Checks, in this order: -8 a null pointer, -6 a width or height below 1,
// -14 a step below 4 bytes, -33 (mask filters) a mask other than 33 and 55, -9 no memory
// for the row buffers. On a negative status nothing has been written. Source and
// destination must not overlap.
#pragma once

#include "sp/core/spDispatch.h"
#include "sp/core/spTypes.h"

using spFilterMaskFn = spStatus(const float* pSrc, int srcStep, float* pDst, int dstStep,
                                spRoiSize roiSize, spMaskSize mask);
using spFilterFixedFn = spStatus(const float* pSrc, int srcStep, float* pDst, int dstStep,
                                 spRoiSize roiSize);

// 1 2 1 / 2 4 2 / 1 2 1 divided by 16, or the 5x5 kernel of weights k/571:
// 2 7 12 7 2 / 7 31 52 31 7 / 12 52 127 52 12 / 7 31 52 31 7 / 2 7 12 7 2.
spStatus spFilterGauss(const float* pSrc, int srcStep, float* pDst, int dstStep,
                       spRoiSize roiSize, spMaskSize mask);
// Centre 8, neighbours -1; or -1 -3 -4 -3 -1 / -3 0 6 0 -3 / -4 6 20 6 -4 / ... mirrored.
spStatus spFilterLaplace(const float* pSrc, int srcStep, float* pDst, int dstStep,
                         spRoiSize roiSize, spMaskSize mask);
// Box mean: the 3x3 sum times 0.11111110 (the float 0x3DE38E37), the 5x5 sum times 0.04.
spStatus spFilterLowpass(const float* pSrc, int srcStep, float* pDst, int dstStep,
                         spRoiSize roiSize, spMaskSize mask);
// Centre 8 or 24, every other tap -1.
spStatus spFilterHipass(const float* pSrc, int srcStep, float* pDst, int dstStep,
                        spRoiSize roiSize, spMaskSize mask);
// Centre 16, neighbours -1, all times 0.125.
spStatus spFilterSharpen(const float* pSrc, int srcStep, float* pDst, int dstStep,
                         spRoiSize roiSize);
// 1 0 -1 / 2 0 -2 / 1 0 -1: positive where the image falls from left to right.
spStatus spFilterSobelVert(const float* pSrc, int srcStep, float* pDst, int dstStep,
                           spRoiSize roiSize);
// -1 -2 -1 / 0 0 0 / 1 2 1: positive where the image rises towards higher rows.
spStatus spFilterSobelHoriz(const float* pSrc, int srcStep, float* pDst, int dstStep,
                            spRoiSize roiSize);

// The generic routines, column 0 of each row.
spStatus spFilterGauss_px(const float* pSrc, int srcStep, float* pDst, int dstStep,
                          spRoiSize roiSize, spMaskSize mask);
spStatus spFilterLaplace_px(const float* pSrc, int srcStep, float* pDst, int dstStep,
                            spRoiSize roiSize, spMaskSize mask);
spStatus spFilterLowpass_px(const float* pSrc, int srcStep, float* pDst, int dstStep,
                            spRoiSize roiSize, spMaskSize mask);
spStatus spFilterHipass_px(const float* pSrc, int srcStep, float* pDst, int dstStep,
                           spRoiSize roiSize, spMaskSize mask);
spStatus spFilterSharpen_px(const float* pSrc, int srcStep, float* pDst, int dstStep,
                            spRoiSize roiSize);
spStatus spFilterSobelVert_px(const float* pSrc, int srcStep, float* pDst, int dstStep,
                              spRoiSize roiSize);
spStatus spFilterSobelHoriz_px(const float* pSrc, int srcStep, float* pDst, int dstStep,
                               spRoiSize roiSize);

// Dispatch rows: column 0 the generic routine, columns 1 to 4 the processor variants.
extern spDispatchRow<spFilterMaskFn> spFilterGaussRow;
extern spDispatchRow<spFilterMaskFn> spFilterLaplaceRow;
extern spDispatchRow<spFilterMaskFn> spFilterLowpassRow;
extern spDispatchRow<spFilterMaskFn> spFilterHipassRow;
extern spDispatchRow<spFilterFixedFn> spFilterSharpenRow;
extern spDispatchRow<spFilterFixedFn> spFilterSobelVertRow;
extern spDispatchRow<spFilterFixedFn> spFilterSobelHorizRow;
