// Complex DFTs of any length, power-of-two FFTs, and their 2-D forms.
//
// Every transform works on interleaved single-precision complex values. A plan is made
// once by an InitAlloc routine, used by any number of Forward/Inverse calls and released
// by the matching Free routine. A work buffer may be passed to the transforms; null makes
// each call allocate (and free) its own.
#pragma once

#include <cstdint>

#include "sp/core/spDispatch.h"
#include "sp/core/spTypes.h"

struct spDftSpec;
struct spFftSpec;
struct spDft2DSpec;
struct spFft2DSpec;

// ---- 1-D DFT of any length (dispatched) ----
spStatus spDftInitAlloc(spDftSpec** ppSpec, int len, spScaleFlag flag, int hint);
spStatus spDftFree(spDftSpec* spec);
spStatus spDftForward(const spComplex* src, spComplex* dst, const spDftSpec* spec,
                      std::uint8_t* work);
spStatus spDftInverse(const spComplex* src, spComplex* dst, const spDftSpec* spec,
                      std::uint8_t* work);
// Bytes of work buffer a transform of the plan wants (0 for none); not dispatched.
spStatus spDftGetBufSize(const spDftSpec* spec, int* pSize);

// ---- 1-D power-of-two FFT, N = 2^order, order 0..30 (not dispatched) ----
spStatus spFftInitAlloc(spFftSpec** pSpec, int order, spScaleFlag flag, int hint);
spStatus spFftFree(spFftSpec* spec);
spStatus spFftGetBufSize(const spFftSpec* spec, int* pSize);
spStatus spFftForward(const spComplex* src, spComplex* dst, const spFftSpec* spec,
                      std::uint8_t* work);
spStatus spFftInverse(const spComplex* src, spComplex* dst, const spFftSpec* spec,
                      std::uint8_t* work);

// ---- 2-D DFT of any size (dispatched); steps are row distances in bytes ----
spStatus spDft2DInitAlloc(spDft2DSpec** ppSpec, int width, int height, spScaleFlag flag,
                          int hint);
spStatus spDft2DFree(spDft2DSpec* spec);
spStatus spDft2DForward(const spComplex* src, int srcStep, spComplex* dst, int dstStep,
                        const spDft2DSpec* spec, std::uint8_t* work);
spStatus spDft2DInverse(const spComplex* src, int srcStep, spComplex* dst, int dstStep,
                        const spDft2DSpec* spec, std::uint8_t* work);

// ---- 2-D power-of-two FFT, 2^orderX by 2^orderY (dispatched) ----
spStatus spFft2DInitAlloc(spFft2DSpec** ppSpec, int orderX, int orderY, spScaleFlag flag,
                          int hint);
spStatus spFft2DFree(spFft2DSpec* spec);
spStatus spFft2DForward(const spComplex* src, int srcStep, spComplex* dst, int dstStep,
                        const spFft2DSpec* spec, std::uint8_t* work);
spStatus spFft2DInverse(const spComplex* src, int srcStep, spComplex* dst, int dstStep,
                        const spFft2DSpec* spec, std::uint8_t* work);

// ---- Complex vector helpers (n counts complex values; n < 1 does nothing) ----
// dst[k] = a[k] * b[k]; dst may be a or b.
void spComplexMul(const spComplex* a, const spComplex* b, spComplex* dst, int n);
// dst[k] = (0, 0).
void spComplexZero(spComplex* dst, int n);
// dst[k] = conj(src[k]): the real part copied bit for bit, the sign of the imaginary part flipped.
void spComplexConjCopy(const spComplex* src, spComplex* dst, int n);
// data[i] *= scale for `count` floats (2N for N complex values).
void spScaleComplex(float scale, float* data, int count);

// ---- Dispatch rows: column 0 the generic routine, columns 1 to 4 the processor variants ----
using spDftInitAllocFn = spStatus(spDftSpec**, int, spScaleFlag, int);
using spDftFreeFn = spStatus(spDftSpec*);
using spDftTransformFn = spStatus(const spComplex*, spComplex*, const spDftSpec*,
                                  std::uint8_t*);
using spDft2DInitAllocFn = spStatus(spDft2DSpec**, int, int, spScaleFlag, int);
using spDft2DFreeFn = spStatus(spDft2DSpec*);
using spDft2DTransformFn = spStatus(const spComplex*, int, spComplex*, int,
                                    const spDft2DSpec*, std::uint8_t*);
using spFft2DInitAllocFn = spStatus(spFft2DSpec**, int, int, spScaleFlag, int);
using spFft2DFreeFn = spStatus(spFft2DSpec*);
using spFft2DTransformFn = spStatus(const spComplex*, int, spComplex*, int,
                                    const spFft2DSpec*, std::uint8_t*);

extern spDispatchRow<spDft2DFreeFn> spDft2DFreeRow;
extern spDispatchRow<spDft2DTransformFn> spDft2DInverseRow;
extern spDispatchRow<spDft2DTransformFn> spDft2DForwardRow;
extern spDispatchRow<spDft2DInitAllocFn> spDft2DInitAllocRow;
extern spDispatchRow<spFft2DFreeFn> spFft2DFreeRow;
extern spDispatchRow<spFft2DTransformFn> spFft2DInverseRow;
extern spDispatchRow<spFft2DTransformFn> spFft2DForwardRow;
extern spDispatchRow<spFft2DInitAllocFn> spFft2DInitAllocRow;
extern spDispatchRow<spDftFreeFn> spDftFreeRow;
extern spDispatchRow<spDftTransformFn> spDftInverseRow;
extern spDispatchRow<spDftTransformFn> spDftForwardRow;
extern spDispatchRow<spDftInitAllocFn> spDftInitAllocRow;
