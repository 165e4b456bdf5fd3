// The 2-D DFT of any width and height, built on the 1-D DFT.
#pragma once

#include <cstdint>

#include "sp/transforms/spTransforms.h"

struct spDft2DSpec {
    std::int32_t id;        // spKindDft2D while the plan lives; 0 once released
    std::int32_t column;    // the dispatch column that made it; its line plans are of the same column
    std::int32_t width;     // elements per row
    std::int32_t height;    // rows
    std::int32_t hint;      // passed on to the 1-D plans, never read
    std::int32_t workBytes; // bytes of work buffer a transform needs
    spDftSpec* rowPlan;     // length width
    spDftSpec* colPlan;     // length height; null when height = width (the row plan serves)
};

// Internal destructor (null does nothing).
void spDft2DRelease(spDft2DSpec* spec);

// The routines of one dispatch column; the _px routines are those of column 0.
template <int Column>
spStatus spDft2DInitAllocCol(spDft2DSpec** ppSpec, int a, int b, spScaleFlag flag, int hint);
template <int Column>
spStatus spDft2DFreeCol(spDft2DSpec* spec);
template <int Column, bool Inverse>
spStatus spDft2DRunCol(const spComplex* src, int srcStep, spComplex* dst, int dstStep,
                         const spDft2DSpec* spec, std::uint8_t* work);

spStatus spDft2DInitAlloc_px(spDft2DSpec** ppSpec, int width, int height, spScaleFlag flag, int hint);
spStatus spDft2DFree_px(spDft2DSpec* spec);
spStatus spDft2DForward_px(const spComplex* src, int srcStep, spComplex* dst, int dstStep,
                           const spDft2DSpec* spec, std::uint8_t* work);
spStatus spDft2DInverse_px(const spComplex* src, int srcStep, spComplex* dst, int dstStep,
                           const spDft2DSpec* spec, std::uint8_t* work);
