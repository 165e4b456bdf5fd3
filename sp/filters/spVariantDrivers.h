// The workers of the processor columns: one per filter family and column. Each takes its
// kernels from its column's tables by the key, allocates one work buffer (-9 before anything
// is written when it cannot), runs the kernels row by row, frees the buffer and ends with
// the column's exit routine. A key outside the tables gives -7 before any work.
#pragma once

#include <cstddef>

#include "sp/core/spTypes.h"
#include "sp/filters/spVariantTables.h"

// A checked call: steps in bytes. The filter entries pass whole elements of the key's type;
// the kernels serve rows and steps off that grid as well.
struct spVariantFrame {
    const void* src;
    std::ptrdiff_t srcStep;
    void* dst;
    std::ptrdiff_t dstStep;
    std::ptrdiff_t width;
    std::ptrdiff_t height;
};

// The variant workers of column C (1 to 4). The 5x5 ring serves Gauss (form 1) and Laplace
// (form 0); the Sobel workers take the weights in the key's form.
template <int C>
struct spVariantWorkers {
    static spStatus Ring5x5(const spVariantFrame& f, const spKernelKey& key);
    static spStatus Gauss3x3(const spVariantFrame& f, const spKernelKey& key);
    static spStatus LaplaceHipass3x3(const spVariantFrame& f, const spKernelKey& key);
    static spStatus Lowpass3x3(const spVariantFrame& f, const spKernelKey& key);
    static spStatus Lowpass5x5(const spVariantFrame& f, const spKernelKey& key);
    static spStatus Hipass5x5(const spVariantFrame& f, const spKernelKey& key);
    static spStatus Sharpen(const spVariantFrame& f, const spKernelKey& key);
    static spStatus SobelVert(const spVariantFrame& f, const spKernelKey& key);
    static spStatus SobelHoriz(const spVariantFrame& f, const spKernelKey& key);
};

extern template struct spVariantWorkers<1>;
extern template struct spVariantWorkers<2>;
extern template struct spVariantWorkers<3>;
extern template struct spVariantWorkers<4>;

// The workers under their names, one instance per column. Kernel set 1 calls them ...Simd,
// the other filters' tables ...Variant; the Laplace and highpass 3x3 share one.
using spVariantWorkerFn = spStatus(const spVariantFrame& f, const spKernelKey& key);
template <int C>
inline constexpr spVariantWorkerFn* spFilterRing5x5Simd = &spVariantWorkers<C>::Ring5x5;
template <int C>
inline constexpr spVariantWorkerFn* spFilterGauss3x3Simd = &spVariantWorkers<C>::Gauss3x3;
template <int C>
inline constexpr spVariantWorkerFn* spFilterLaplaceHipass3x3Variant =
    &spVariantWorkers<C>::LaplaceHipass3x3;
template <int C>
inline constexpr spVariantWorkerFn* spFilterCentreMinusSum3x3Simd =
    spFilterLaplaceHipass3x3Variant<C>;
template <int C>
inline constexpr spVariantWorkerFn* spFilterLowpass3x3Variant = &spVariantWorkers<C>::Lowpass3x3;
template <int C>
inline constexpr spVariantWorkerFn* spFilterLowpass3x3Simd = spFilterLowpass3x3Variant<C>;
template <int C>
inline constexpr spVariantWorkerFn* spFilterLowpass5x5Variant = &spVariantWorkers<C>::Lowpass5x5;
template <int C>
inline constexpr spVariantWorkerFn* spFilterLowpass5x5Simd = spFilterLowpass5x5Variant<C>;
template <int C>
inline constexpr spVariantWorkerFn* spFilterHipass5x5Variant = &spVariantWorkers<C>::Hipass5x5;
template <int C>
inline constexpr spVariantWorkerFn* spFilterHipass5x5Simd = spFilterHipass5x5Variant<C>;
template <int C>
inline constexpr spVariantWorkerFn* spFilterSharpenVariant = &spVariantWorkers<C>::Sharpen;
template <int C>
inline constexpr spVariantWorkerFn* spFilterSharpenSimd = spFilterSharpenVariant<C>;
template <int C>
inline constexpr spVariantWorkerFn* spFilterSobelVertVariant = &spVariantWorkers<C>::SobelVert;
template <int C>
inline constexpr spVariantWorkerFn* spFilterSobelVertSimd = spFilterSobelVertVariant<C>;
template <int C>
inline constexpr spVariantWorkerFn* spFilterSobelHorizVariant = &spVariantWorkers<C>::SobelHoriz;
template <int C>
inline constexpr spVariantWorkerFn* spFilterSobelHorizSimd = spFilterSobelHorizVariant<C>;
