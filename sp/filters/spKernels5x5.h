// Row and combine kernels of the generic 5x5 filters. Row kernels take x at a row's first
// pixel, widened to double (spWidenRow), and read x[-2] to x[n + 1]: each sample is
// converted once instead of once per tap. As in the 3x3 kernels every element is formed
// in double precision in the order written and rounded to float once when stored.
#pragma once

#include <cstddef>
#include <cstdint>

// dst[i] = src[i], exactly.
void spWidenRow(const float* src, double* dst, std::ptrdiff_t n);

// The three weighted five-tap sums of the 5x5 Gauss kernel (weights k/571 as floats):
// outer 2 7 12 7 2, middle 7 31 52 31 7, centre 12 52 127 52 12, each summed left to right
// from the exact double products.
void spGauss5x5RowSums(const double* x, float* outer, float* middle, float* centre,
                       std::ptrdiff_t n);
// The three five-tap sums of the 5x5 Laplace kernel, left to right:
// outer -1 -3 -4 -3 -1, middle -3 0 6 0 -3 (zero taps skipped), centre -4 6 20 6 -4.
void spLaplace5x5RowSums(const double* x, float* outer, float* middle, float* centre,
                         std::ptrdiff_t n);
// dst[i] = (((r0 + r1) + r2) + r3) + r4, rounded to float, or kept in double.
void spSumFiveRows(const float* r0, const float* r1, const float* r2, const float* r3,
                   const float* r4, float* dst, std::ptrdiff_t n);
void spSumFiveRows(const float* r0, const float* r1, const float* r2, const float* r3,
                   const float* r4, double* dst, std::ptrdiff_t n);
// b[i] = (((x[i-2] + x[i-1]) + x[i]) + x[i+1]) + x[i+2]
void spBoxRowSum5(const double* x, float* b, std::ptrdiff_t n);
// The running column sum moved one row down: S[i] = (S[i] - leaving[i]) + entering[i].
void spSlideBoxSum(double* sum, const float* leaving, const float* entering, std::ptrdiff_t n);
// dst[i] = S[i] * 0.04 with the column sum S rounded to float first.
void spBoxMean5x5Row(const double* sum, float* dst, std::ptrdiff_t n);
// dst[i] = 25 * centre[i] - S[i], S rounded to float first.
void spHipass5x5Row(const float* centre, const double* sum, float* dst, std::ptrdiff_t n);

// The spread of a float row's magnitudes, as bit patterns: the largest |v| (infinities and
// NaNs above every finite value) and the smallest non-zero |v| (0 when there is none); and
// whether the row holds a negative zero.
struct spMagnitudes {
    std::uint32_t largest;
    std::uint32_t smallestNonZero;
    bool negativeZero;
};
spMagnitudes spRowMagnitudes(const float* row, std::ptrdiff_t n);
// True when every sum of up to six values of the rows, in any order and with any signs, is
// exact in double precision: every value finite, none subnormal, and the binary exponents of
// the largest and the smallest non-zero magnitude at most 25 apart. Every value is then a
// multiple of the smallest one's last place, and a sum of six stays below 2^52 of those.
// Also false when a row holds a negative zero: a sum of negative zeros alone is -0, but the
// sliding sum takes one out of it, and x - x is +0.
bool spSumsExact(const spMagnitudes* rows, std::size_t count);

// The floats nearest to k/571, the weights of the 5x5 Gauss kernel.
inline constexpr float spGaussW2 = 0x1.cb18a8p-9f;
inline constexpr float spGaussW7 = 0x1.91b594p-7f;
inline constexpr float spGaussW12 = 0x1.58527ep-6f;
inline constexpr float spGaussW31 = 0x1.bcbfe4p-5f;
inline constexpr float spGaussW52 = 0x1.750408p-4f;
inline constexpr float spGaussW127 = 0x1.c78278p-3f;
inline constexpr float spBoxMeanScale5x5 = 0.04f;
inline constexpr float spHipassCentre5x5 = 25.0f;
