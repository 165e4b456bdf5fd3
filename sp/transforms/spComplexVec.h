// The complex vector kernels of each dispatch column: column 0 forms products in double
// precision, columns 1 to 4 in single precision; every conjugate copy flips the sign bit,
// so +0.0 turns into -0.0 and NaNs keep their payload; every zero fill stores +0.0 and
// every scaling rounds each product once, so those two give column 0's bits in every column.
#pragma once

#include "sp/core/spTypes.h"

// dst[k] = a[k] * b[k] in single precision, four values per step from the end backwards,
// then the first n mod 4 singly; dst may be a or b. Long vectors are requested ahead of
// use, and a very long destination apart from b whose last four values start on a 16-byte
// boundary is written past the caches.
template <int Column>
void spComplexMulCol(const spComplex* a, const spComplex* b, spComplex* dst, int n);
// dst[k] = (0, 0) in the column's steps and stores.
template <int Column>
void spComplexZeroCol(spComplex* dst, int n);
template <int Column>
void spComplexConjCopyCol(const spComplex* src, spComplex* dst, int n);
// data[i] *= scale for `count` floats. Columns 1 to 4 go from the end backwards: single floats
// until the end is on a 16-byte boundary, then eight floats per step, then the rest singly.
template <int Column>
void spScaleComplexCol(float scale, float* data, int count);

struct spComplexVecKernels {
    void (*mul)(const spComplex* a, const spComplex* b, spComplex* dst, int n);
    void (*zero)(spComplex* dst, int n);
    void (*conjCopy)(const spComplex* src, spComplex* dst, int n);
    void (*scale)(float scale, float* data, int count);
};

const spComplexVecKernels& spComplexVecOf(int column);
