#include "sp/filters/spKernels5x5.h"

#include "sp/filters/spElementLoops.h"

namespace {

const auto kFiveSum = [](const auto& a, const auto& b, const auto& c, const auto& d,
                         const auto& e) SP_FORMULA { return (((a + b) + c) + d) + e; };

// out[i] = (((w0 x[i-2] + w1 x[i-1]) + w2 x[i]) + w1 x[i+1]) + w0 x[i+2]; the products of a
// float sample and a float weight are exact in double.
void SymmetricFiveTaps(const double* x, float* out, std::ptrdiff_t n, double w0, double w1,
                       double w2)
{
    spMapElements(
        out, n,
        [w0, w1, w2](const auto& a, const auto& b, const auto& c, const auto& d,
                     const auto& e) SP_FORMULA {
            return (((w0 * a + w1 * b) + w2 * c) + w1 * d) + w0 * e;
        },
        x - 2, x - 1, x, x + 1, x + 2);
}

} // namespace

void spWidenRow(const float* src, double* dst, std::ptrdiff_t n)
{
    spMapElements(dst, n, [](const auto& v) SP_FORMULA { return v; }, src);
}

void spGauss5x5RowSums(const double* x, float* outer, float* middle, float* centre,
                       std::ptrdiff_t n)
{
    SymmetricFiveTaps(x, outer, n, spGaussW2, spGaussW7, spGaussW12);
    SymmetricFiveTaps(x, middle, n, spGaussW7, spGaussW31, spGaussW52);
    SymmetricFiveTaps(x, centre, n, spGaussW12, spGaussW52, spGaussW127);
}

void spLaplace5x5RowSums(const double* x, float* outer, float* middle, float* centre,
                         std::ptrdiff_t n)
{
    SymmetricFiveTaps(x, outer, n, -1.0f, -3.0f, -4.0f);
    // The zero taps are left out rather than added as 0 * x: an infinite neighbour would
    // make them NaN.
    spMapElements(
        middle, n,
        [](const auto& a, const auto& c, const auto& e)
            SP_FORMULA { return (-3.0 * a + 6.0 * c) - 3.0 * e; },
        x - 2, x, x + 2);
    SymmetricFiveTaps(x, centre, n, -4.0f, 6.0f, 20.0f);
}

void spSumFiveRows(const float* r0, const float* r1, const float* r2, const float* r3,
                   const float* r4, float* dst, std::ptrdiff_t n)
{
    spMapElements(dst, n, kFiveSum, r0, r1, r2, r3, r4);
}

void spBoxRowSum5(const double* x, float* b, std::ptrdiff_t n)
{
    spMapElements(b, n, kFiveSum, x - 2, x - 1, x, x + 1, x + 2);
}

// Both box outputs first store the box sum S as a float in dst, then finish each element
// from it in place.
void spBoxMean5x5Row(const float* b0, const float* b1, const float* b2, const float* b3,
                     const float* b4, float* dst, std::ptrdiff_t n)
{
    spSumFiveRows(b0, b1, b2, b3, b4, dst, n);
    const double scale = spBoxMeanScale5x5;
    spMapElements(dst, n, [scale](const auto& sum) SP_FORMULA { return sum * scale; }, dst);
}

void spHipass5x5Row(const float* centre, const float* b0, const float* b1, const float* b2,
                    const float* b3, const float* b4, float* dst, std::ptrdiff_t n)
{
    spSumFiveRows(b0, b1, b2, b3, b4, dst, n);
    const double weight = spHipassCentre5x5;
    spMapElements(
        dst, n,
        [weight](const auto& x, const auto& sum) SP_FORMULA { return weight * x - sum; },
        centre, dst);
}
