// The complex vector kernels of each dispatch column: column 0 forms products in double
// precision, columns 1 to 4 in single precision; every conjugate copy flips the sign bit,
// so +0.0 turns into -0.0 and NaNs keep their payload.
#pragma once

#include "sp/core/spTypes.h"

struct spComplexVecKernels {
    void (*mul)(const spComplex* a, const spComplex* b, spComplex* dst, int n);
    void (*zero)(spComplex* dst, int n);
    void (*conjCopy)(const spComplex* src, spComplex* dst, int n);
};

const spComplexVecKernels& spComplexVecOf(int column);
