#include "sp/filters/spKernels5x5.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>

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

void spSumFiveRows(const float* r0, const float* r1, const float* r2, const float* r3,
                   const float* r4, double* dst, std::ptrdiff_t n)
{
    spMapElements(dst, n, kFiveSum, r0, r1, r2, r3, r4);
}

void spBoxRowSum5(const double* x, float* b, std::ptrdiff_t n)
{
    spMapElements(b, n, kFiveSum, x - 2, x - 1, x, x + 1, x + 2);
}

void spSlideBoxSum(double* sum, const float* leaving, const float* entering, std::ptrdiff_t n)
{
    spMapElements(
        sum, n, [](const auto& s, const auto& out, const auto& in) SP_FORMULA { return (s - out) + in; }, sum,
        leaving, entering);
}

// Both box outputs round the column sum S to float before they use it.
void spBoxMean5x5Row(const double* sum, float* dst, std::ptrdiff_t n)
{
    const double scale = spBoxMeanScale5x5;
    spMapElements(dst, n, [scale](const auto& s) SP_FORMULA { return spRoundToFloat(s) * scale; }, sum);
}

void spHipass5x5Row(const float* centre, const double* sum, float* dst, std::ptrdiff_t n)
{
    const double weight = spHipassCentre5x5;
    spMapElements(
        dst, n, [weight](const auto& x, const auto& s) SP_FORMULA { return weight * x - spRoundToFloat(s); },
        centre, sum);
}

namespace {

// Magnitudes of floats order as their bit patterns without the sign (all below 2^31, so
// as signed integers too); a zero counts as the largest pattern for the smallest.
constexpr std::int32_t kNone = INT32_MAX;
constexpr std::int32_t kNegativeZero = INT32_MIN;

void AddMagnitudes(const float* row, std::ptrdiff_t n, std::int32_t& most, std::int32_t& least,
                   bool& negativeZero)
{
    for (std::ptrdiff_t i = 0; i < n; ++i) {
        std::int32_t bits;
        std::memcpy(&bits, row + i, sizeof bits);
        negativeZero = negativeZero || bits == kNegativeZero;
        bits &= kNone;
        most = std::max(most, bits);
        least = std::min(least, bits == 0 ? kNone : bits);
    }
}

__attribute__((target("avx2"))) std::ptrdiff_t AddMagnitudesAvx2(const float* row, std::ptrdiff_t n,
                                                                  std::int32_t& most, std::int32_t& least,
                                                                  bool& negativeZero)
{
    const __m256i mask = _mm256_set1_epi32(kNone), zero = _mm256_setzero_si256();
    const __m256i negZero = _mm256_set1_epi32(kNegativeZero);
    __m256i largest = zero, smallest = mask, negZeros = zero;
    std::ptrdiff_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i raw = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + i));
        negZeros = _mm256_or_si256(negZeros, _mm256_cmpeq_epi32(raw, negZero));
        const __m256i bits = _mm256_and_si256(raw, mask);
        largest = _mm256_max_epi32(largest, bits);
        // Zeros become the largest pattern (all lanes of the mask where bits are 0).
        smallest = _mm256_min_epi32(smallest, _mm256_and_si256(_mm256_or_si256(bits, _mm256_cmpeq_epi32(bits, zero)), mask));
    }
    alignas(32) std::int32_t l[8], s[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(l), largest);
    _mm256_store_si256(reinterpret_cast<__m256i*>(s), smallest);
    for (int k = 0; k < 8; ++k) {
        most = std::max(most, l[k]);
        least = std::min(least, s[k]);
    }
    negativeZero = negativeZero || !_mm256_testz_si256(negZeros, negZeros);
    return i;
}

} // namespace

spMagnitudes spRowMagnitudes(const float* row, std::ptrdiff_t n)
{
    std::int32_t most = 0, least = kNone;
    bool negativeZero = false;
    const std::ptrdiff_t done = spUseAvx2Loops() ? AddMagnitudesAvx2(row, n, most, least, negativeZero) : 0;
    AddMagnitudes(row + done, n - done, most, least, negativeZero);
    return {static_cast<std::uint32_t>(most), least == kNone ? 0u : static_cast<std::uint32_t>(least),
            negativeZero};
}

bool spSumsExact(const spMagnitudes* rows, std::size_t count)
{
    constexpr std::uint32_t infinity = 0x7F800000u;
    std::uint32_t largest = 0, smallest = 0;
    for (std::size_t k = 0; k < count; ++k) {
        if (rows[k].negativeZero)
            return false;
        largest = std::max(largest, rows[k].largest);
        // 0 stands for none, after every value.
        smallest = std::min(smallest - 1, rows[k].smallestNonZero - 1) + 1;
    }
    if (largest >= infinity)
        return false;
    if (smallest == 0)
        return true; // all zeros
    const std::uint32_t low = smallest >> 23, high = largest >> 23;
    // A subnormal value has no exponent to go by.
    return low != 0 && high - low <= 25;
}
