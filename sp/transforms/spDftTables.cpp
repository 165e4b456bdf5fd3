#include "sp/transforms/spDftTables.h"

#include <cmath>
#include <cstddef>

#include "sp/transforms/spFourierCommon.h"
#include "sp/transforms/spPairDft.h"

spComplex* spDftInitTwiddles(std::int32_t len, int column)
{
    auto* t = spAllocArray<spComplex>(len, column);
    if (t == nullptr)
        return nullptr;
    const std::ptrdiff_t n = len;
    const double theta = 6.283185307179586 / static_cast<double>(n);
    // The runtime's cos and sin run only on the first octant, quadrant or half; the rest are
    // exact copies and negations of those values.
    const std::ptrdiff_t computed = (n % 2 != 0) ? n / 2 : (n % 4 == 2) ? n / 4 : n / 8;
    for (std::ptrdiff_t k = 0; k <= computed; ++k) {
        const double a = static_cast<double>(k) * theta;
        t[k] = {static_cast<float>(std::cos(a)), -static_cast<float>(std::sin(a))};
    }
    if (n % 4 == 0)
        for (std::ptrdiff_t k = n / 8 + 1; k <= n / 4; ++k)
            t[k] = {-t[n / 4 - k].im, -t[n / 4 - k].re};
    if (n % 2 == 0)
        for (std::ptrdiff_t k = n / 4 + 1; k <= n / 2; ++k)
            t[k] = {-t[n / 2 - k].re, t[n / 2 - k].im};
    for (std::ptrdiff_t k = n / 2 + 1; k < n; ++k)
        t[k] = {t[n - k].re, -t[n - k].im};
    return t;
}

spComplex* spDftInitRoots(std::int32_t count, const spComplex* table, std::int32_t tableLen, int column)
{
    const bool indexed = spDftRootsIndexed(column, count);
    auto* out = spAllocArray<spComplex>(indexed ? 2 * std::int64_t{count} : count, column);
    if (out == nullptr)
        return nullptr;
    const std::ptrdiff_t stride = tableLen / count;
    for (std::ptrdiff_t i = 0; i < count; ++i)
        out[i] = table[i * stride];
    if (indexed) {
        auto* index = reinterpret_cast<std::int32_t*>(out + count);
        for (std::int32_t i = 0; i < count; ++i)
            index[i] = index[i + count] = 2 * i;
    }
    return out;
}

namespace {

template <bool Inverse>
void spDftDirectRun(const spComplex* x, spComplex* y, std::ptrdiff_t n, const spComplex* roots,
                    spComplex* work)
{
    const bool even = n % 2 == 0;
    const std::ptrdiff_t pairs = even ? n / 2 - 1 : (n - 1) / 2;
    // x[0] and x[N/2] are kept here: dst may be src and is written from step 2 on.
    const spCd x0 = spLoadCd(x[0]);
    const spCd xh = even ? spLoadCd(x[n / 2]) : spCd{spV2d{0.0, 0.0}};

    const auto input = [&](std::ptrdiff_t t) { return spLoadCd(x[t]); };
    spCd y0 = even ? x0 + xh : x0;
    y0 = spPairFold(input, pairs, n, work, y0);
    if (even) {
        // Alternating sum of all inputs, from the unrounded pair sums.
        spCd alternating = x0;
        for (std::ptrdiff_t k = 1; k <= pairs; ++k)
            alternating = (spLoadCd(x[k]) + spLoadCd(x[n - k])) - alternating;
        spStoreCd(y[0], y0);
        spStoreCd(y[n / 2], (n / 2) % 2 != 0 ? alternating - xh : xh - alternating);
    } else {
        spStoreCd(y[0], y0);
    }

    spComplex startEven, startOdd;
    spStoreCd(startEven, x0 + xh);
    spStoreCd(startOdd, x0 - xh);
    const auto start = [&](std::ptrdiff_t j) {
        if (!even)
            return x0;
        return spLoadCd(j % 2 == 0 ? startEven : startOdd);
    };
    spPairOutputs<Inverse>(work, pairs, roots, n, start,
                           [&](std::ptrdiff_t k, spCd v) { spStoreCd(y[k], v); });
}

} // namespace

void spDftDirect(const spComplex* src, spComplex* dst, std::int32_t len, int direction,
                 const spComplex* roots, spComplex* work)
{
    if (direction > 0)
        spDftDirectRun<false>(src, dst, len, roots, work);
    else
        spDftDirectRun<true>(src, dst, len, roots, work);
}
