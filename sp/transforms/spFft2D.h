// The 2-D power-of-two FFT, 2^orderX columns by 2^orderY rows, built on the 1-D FFT.
#pragma once

#include <cstdint>

#include "sp/transforms/spTransforms.h"

struct spFft2DSpec {
    std::int32_t id;        // spKindFft2D while the plan lives; 0 once released
    std::int32_t column;    // the dispatch column that made it; its line plans are of the same column
    std::int32_t orderX;    // log2 of the width
    std::int32_t orderY;    // log2 of the height
    std::int32_t hint;      // passed on to the 1-D plans, never read
    std::int32_t workBytes; // bytes of work buffer a transform needs
    spFftSpec* rowPlan;     // order orderX
    spFftSpec* colPlan;     // order orderY; null when the orders agree (the row plan serves)
};

// Internal destructor (null does nothing).
void spFft2DRelease(spFft2DSpec* spec);

// The routines of one dispatch column; the _px routines are those of column 0.
template <int Column>
spStatus spFft2DInitAllocCol(spFft2DSpec** ppSpec, int a, int b, spScaleFlag flag, int hint);
template <int Column>
spStatus spFft2DFreeCol(spFft2DSpec* spec);
template <int Column, bool Inverse>
spStatus spFft2DRunCol(const spComplex* src, int srcStep, spComplex* dst, int dstStep,
                         const spFft2DSpec* spec, std::uint8_t* work);

spStatus spFft2DInitAlloc_px(spFft2DSpec** ppSpec, int orderX, int orderY, spScaleFlag flag, int hint);
spStatus spFft2DFree_px(spFft2DSpec* spec);
spStatus spFft2DForward_px(const spComplex* src, int srcStep, spComplex* dst, int dstStep,
                           const spFft2DSpec* spec, std::uint8_t* work);
spStatus spFft2DInverse_px(const spComplex* src, int srcStep, spComplex* dst, int dstStep,
                           const spFft2DSpec* spec, std::uint8_t* work);
