#include "sp/filters/spRowKernels.h"

#include "sp/filters/spKernelClones.h"

namespace {

// The 1-2-1 column sums of three rows, handed to store(i, sum): (r0 + r2) + (r1 + r1) for
// the elements in whole groups of four, ((r0 + r2) + r1) + r1 for the last n mod 4.
template <class Store>
inline __attribute__((always_inline)) void Column121Sums(const float* __restrict r0,
                                                         const float* __restrict r1,
                                                         const float* __restrict r2,
                                                         std::ptrdiff_t n, Store store)
{
    const std::ptrdiff_t grouped = n > 0 ? n - n % 4 : 0;
    for (std::ptrdiff_t i = 0; i < grouped; ++i) {
        const double a = r0[i], b = r1[i], c = r2[i];
        store(i, (a + c) + (b + b));
    }
    for (std::ptrdiff_t i = grouped; i < n; ++i) {
        const double a = r0[i], b = r1[i], c = r2[i];
        store(i, ((a + c) + b) + b);
    }
}

// ((centre * weight - r0) - r1) - r2 of each element, handed to store(i, value).
template <class Store>
inline __attribute__((always_inline)) void CentreMinusRows(const float* __restrict centre,
                                                           const float* __restrict r0,
                                                           const float* __restrict r1,
                                                           const float* __restrict r2,
                                                           std::ptrdiff_t n, double weight,
                                                           Store store)
{
    for (std::ptrdiff_t i = 0; i < n; ++i) {
        const double x = centre[i], a = r0[i], b = r1[i], c = r2[i];
        store(i, ((x * weight - a) - b) - c);
    }
}

} // namespace

SP_KERNEL_CLONES
void spRowSum121(const float* __restrict src, float* __restrict dst, std::ptrdiff_t n,
                 std::ptrdiff_t c)
{
    for (std::ptrdiff_t i = 0; i < n; ++i) {
        const double left = src[i], centre = src[i + c], right = src[i + 2 * c];
        dst[i] = static_cast<float>(((left + centre) + centre) + right);
    }
}

SP_KERNEL_CLONES
void spRowSum111(const float* __restrict src, float* __restrict dst, std::ptrdiff_t n,
                 std::ptrdiff_t c)
{
    for (std::ptrdiff_t i = 0; i < n; ++i) {
        const double left = src[i], centre = src[i + c], right = src[i + 2 * c];
        dst[i] = static_cast<float>((left + centre) + right);
    }
}

SP_KERNEL_CLONES
void spRowDiff(const float* __restrict src, float* __restrict dst, std::ptrdiff_t n,
               std::ptrdiff_t offset)
{
    for (std::ptrdiff_t i = 0; i < n; ++i)
        dst[i] = static_cast<float>(static_cast<double>(src[i]) - src[i + offset]);
}

SP_KERNEL_CLONES
void spGauss3x3Combine(const float* __restrict r0, const float* __restrict r1,
                       const float* __restrict r2, float* __restrict dst, std::ptrdiff_t n)
{
    Column121Sums(r0, r1, r2, n, [dst](std::ptrdiff_t i, double sum) {
        dst[i] = static_cast<float>(sum * spGaussScale3x3);
    });
}

SP_KERNEL_CLONES
void spColumn121(const float* __restrict r0, const float* __restrict r1,
                 const float* __restrict r2, float* __restrict dst, std::ptrdiff_t n)
{
    Column121Sums(r0, r1, r2, n,
                  [dst](std::ptrdiff_t i, double sum) { dst[i] = static_cast<float>(sum); });
}

SP_KERNEL_CLONES
void spMean3x3Combine(const float* __restrict r0, const float* __restrict r1,
                      const float* __restrict r2, float* __restrict dst, std::ptrdiff_t n)
{
    for (std::ptrdiff_t i = 0; i < n; ++i) {
        const double a = r0[i], b = r1[i], c = r2[i];
        dst[i] = static_cast<float>(((a + b) + c) * spMeanScale3x3);
    }
}

SP_KERNEL_CLONES
void spCentreMinusSum3x3(const float* __restrict centre, const float* __restrict r0,
                         const float* __restrict r1, const float* __restrict r2,
                         float* __restrict dst, std::ptrdiff_t n)
{
    CentreMinusRows(centre, r0, r1, r2, n, spCentreWeight3x3, [dst](std::ptrdiff_t i, double v) {
        dst[i] = static_cast<float>(v);
    });
}

SP_KERNEL_CLONES
void spSharpenCombine(const float* __restrict centre, const float* __restrict r0,
                      const float* __restrict r1, const float* __restrict r2,
                      float* __restrict dst, std::ptrdiff_t n)
{
    CentreMinusRows(centre, r0, r1, r2, n, spSharpenCentre, [dst](std::ptrdiff_t i, double v) {
        dst[i] = static_cast<float>(v * spSharpenScale);
    });
}

SP_KERNEL_CLONES
void spRowsDiff(const float* __restrict a, const float* __restrict b, float* __restrict dst,
                std::ptrdiff_t n)
{
    for (std::ptrdiff_t i = 0; i < n; ++i)
        dst[i] = static_cast<float>(static_cast<double>(a[i]) - b[i]);
}
