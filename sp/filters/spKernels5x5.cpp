#include "sp/filters/spKernels5x5.h"

#include "sp/filters/spKernelClones.h"

namespace {

// The float sum of five rows' elements, left to right.
inline double RoundedFiveSum(double a, double b, double c, double d, double e)
{
    return static_cast<float>((((a + b) + c) + d) + e);
}

} // namespace

SP_KERNEL_CLONES
void spWidenRow(const float* __restrict src, double* __restrict dst, std::ptrdiff_t n)
{
    for (std::ptrdiff_t i = 0; i < n; ++i)
        dst[i] = src[i];
}

SP_KERNEL_CLONES
void spGauss5x5RowSums(const double* __restrict x, float* __restrict outer,
                       float* __restrict middle, float* __restrict centre, std::ptrdiff_t n)
{
    const double w2 = spGaussW2, w7 = spGaussW7, w12 = spGaussW12;
    const double w31 = spGaussW31, w52 = spGaussW52, w127 = spGaussW127;
    for (std::ptrdiff_t i = 0; i < n; ++i) {
        const double a = x[i - 2], b = x[i - 1], c = x[i], d = x[i + 1], e = x[i + 2];
        outer[i] = static_cast<float>((((w2 * a + w7 * b) + w12 * c) + w7 * d) + w2 * e);
        middle[i] = static_cast<float>((((w7 * a + w31 * b) + w52 * c) + w31 * d) + w7 * e);
        centre[i] = static_cast<float>((((w12 * a + w52 * b) + w127 * c) + w52 * d) + w12 * e);
    }
}

SP_KERNEL_CLONES
void spLaplace5x5RowSums(const double* __restrict x, float* __restrict outer,
                         float* __restrict middle, float* __restrict centre, std::ptrdiff_t n)
{
    const double k3 = 3.0f, k4 = 4.0f, k6 = 6.0f, k20 = 20.0f;
    for (std::ptrdiff_t i = 0; i < n; ++i) {
        const double a = x[i - 2], b = x[i - 1], c = x[i], d = x[i + 1], e = x[i + 2];
        outer[i] = static_cast<float>((((-a - k3 * b) - k4 * c) - k3 * d) - e);
        middle[i] = static_cast<float>((-(k3 * a) + k6 * c) - k3 * e);
        centre[i] = static_cast<float>((((-(k4 * a) + k6 * b) + k20 * c) + k6 * d) - k4 * e);
    }
}

SP_KERNEL_CLONES
void spSumFiveRows(const float* __restrict r0, const float* __restrict r1,
                   const float* __restrict r2, const float* __restrict r3,
                   const float* __restrict r4, float* __restrict dst, std::ptrdiff_t n)
{
    for (std::ptrdiff_t i = 0; i < n; ++i)
        dst[i] = static_cast<float>(RoundedFiveSum(r0[i], r1[i], r2[i], r3[i], r4[i]));
}

SP_KERNEL_CLONES
void spBoxRowSum5(const double* __restrict x, float* __restrict b, std::ptrdiff_t n)
{
    for (std::ptrdiff_t i = 0; i < n; ++i)
        b[i] = static_cast<float>(RoundedFiveSum(x[i - 2], x[i - 1], x[i], x[i + 1], x[i + 2]));
}

SP_KERNEL_CLONES
void spBoxMean5x5Row(const float* __restrict b0, const float* __restrict b1,
                     const float* __restrict b2, const float* __restrict b3,
                     const float* __restrict b4, float* __restrict dst, std::ptrdiff_t n)
{
    const double scale = spBoxMeanScale5x5;
    for (std::ptrdiff_t i = 0; i < n; ++i)
        dst[i] = static_cast<float>(RoundedFiveSum(b0[i], b1[i], b2[i], b3[i], b4[i]) * scale);
}

SP_KERNEL_CLONES
void spHipass5x5Row(const float* __restrict centre, const float* __restrict b0,
                    const float* __restrict b1, const float* __restrict b2,
                    const float* __restrict b3, const float* __restrict b4,
                    float* __restrict dst, std::ptrdiff_t n)
{
    const double weight = spHipassCentre5x5;
    for (std::ptrdiff_t i = 0; i < n; ++i) {
        const double sum = RoundedFiveSum(b0[i], b1[i], b2[i], b3[i], b4[i]);
        dst[i] = static_cast<float>(weight * centre[i] - sum);
    }
}
