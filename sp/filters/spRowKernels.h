// Row and combine kernels of the generic 3x3 filters. A row kernel turns one bordered source
// row into horizontal three-tap results; a combine kernel turns the results of the rows
// above, at and below an output row (r0, r1, r2) into that destination row.
//
// Every element is computed from floats in double precision in exactly the order written
// and rounded to float once, when it is stored. Kernels check nothing: n < 1 writes nothing;
// row kernels read src[0] to src[n - 1 + 2c] (one pixel beyond the row on each side when
// src points c elements before the row's first pixel); no output overlaps an input.
#pragma once

#include <cstddef>

// dst[i] = ((src[i] + src[i+c]) + src[i+c]) + src[i+2c]
void spRowSum121(const float* src, float* dst, std::ptrdiff_t n, std::ptrdiff_t c);
// dst[i] = (src[i] + src[i+c]) + src[i+2c]
void spRowSum111(const float* src, float* dst, std::ptrdiff_t n, std::ptrdiff_t c);
// dst[i] = src[i] - src[i+offset]
void spRowDiff(const float* src, float* dst, std::ptrdiff_t n, std::ptrdiff_t offset);

// dst[i] = ((r0 + r2) + (r1 + r1)) * 0.0625 in groups of four; the last n mod 4 elements
// are summed ((r0 + r2) + r1) + r1 instead.
void spGauss3x3Combine(const float* r0, const float* r1, const float* r2, float* dst,
                       std::ptrdiff_t n);
// dst[i] = (r0 + r2) + (r1 + r1) in groups of four, ((r0 + r2) + r1) + r1 for the last
// n mod 4 elements.
void spColumn121(const float* r0, const float* r1, const float* r2, float* dst,
                 std::ptrdiff_t n);
// dst[i] = ((r0 + r1) + r2) * 0.11111110 (the float 0x3DE38E37, not the nearest to 1/9)
void spMean3x3Combine(const float* r0, const float* r1, const float* r2, float* dst,
                      std::ptrdiff_t n);
// dst[i] = ((centre * 9 - r0) - r1) - r2
void spCentreMinusSum3x3(const float* centre, const float* r0, const float* r1,
                         const float* r2, float* dst, std::ptrdiff_t n);
// dst[i] = (((centre * 17 - r0) - r1) - r2) * 0.125
void spSharpenCombine(const float* centre, const float* r0, const float* r1, const float* r2,
                      float* dst, std::ptrdiff_t n);
// dst[i] = a[i] - b[i]
void spRowsDiff(const float* a, const float* b, float* dst, std::ptrdiff_t n);

// The stored factors, as their exact float values.
inline constexpr float spGaussScale3x3 = 0.0625f;
inline constexpr float spMeanScale3x3 = 0x1.c71c6ep-4f; // bits 0x3DE38E37
inline constexpr float spCentreWeight3x3 = 9.0f;
inline constexpr float spSharpenCentre = 17.0f;
inline constexpr float spSharpenScale = 0.125f;
