// The direct sums of columns 1 to 4 in packed single precision. The pair pass stores each
// input pair as one vector (S.re, D.re, S.im, D.im) of its sum S and difference D; the output
// pair (j, N - j) is then the start value plus the sum over the pairs of that vector times
// its root duplicated as (c, s, c, s): lanes 0 and 2 give the real and imaginary sums of the
// pair sums, lanes 1 and 3 the sums of the differences that the root's sine turns by 90
// degrees. Every product and sum is rounded to float, so the results agree with column 0's
// within single precision, not bit for bit.
#include <cstddef>
#include <cstdint>

#include "sp/transforms/spColumns.h"
#include "sp/transforms/spDftTables.h"
#include "sp/transforms/spSimd.h"

namespace {

// Root number m (below 2N) as (c, s, c, s), found through the index.
inline spV4 RootPair(const float* roots, const std::int32_t* index, std::ptrdiff_t m)
{
    const float* r = roots + index[m];
    return spV4{r[0], r[1], r[0], r[1]};
}

// One pair's vector times its root, added to `sum`.
inline void AddPair(spV4& sum, const float* pair, spV4 root) { sum += spLoad4(pair) * root; }

// Odd N of 7 and more; `Sums` running sums per output pair, taking the pairs in turn.
template <int Sums, bool Inverse>
void DirectVector(const spComplex* x, spComplex* y, std::ptrdiff_t n, const spComplex* roots, float* work)
{
    const std::ptrdiff_t pairs = (n - 1) / 2;
    const std::int32_t* index = spDftRootIndex(roots, static_cast<std::int32_t>(n));
    const float* r = &roots[0].re;

    // x[0] is kept here: dst may be src and is written from y[0] on.
    const spComplex x0 = x[0];
    spComplex y0 = x0;
    for (std::ptrdiff_t k = 1; k <= pairs; ++k) {
        const spComplex a = x[k], b = x[n - k];
        const spComplex s = {a.re + b.re, a.im + b.im}, d = {a.re - b.re, a.im - b.im};
        spStore4(work + 4 * (k - 1), spV4{s.re, d.re, s.im, d.im});
        y0 = {y0.re + s.re, y0.im + s.im};
    }
    y[0] = y0;

    const spV4 start = {x0.re, 0.0f, x0.im, 0.0f};
    for (std::ptrdiff_t j = 1; j <= pairs; ++j) {
        spV4 even = start, odd = {0.0f, 0.0f, 0.0f, 0.0f};
        std::ptrdiff_t m = j, k = 0;
        if constexpr (Sums == 2) {
            // The second pair's root number m + j stays below 2N: the index reads it unreduced.
            for (; k + 2 <= pairs; k += 2) {
                AddPair(even, work + 4 * k, RootPair(r, index, m));
                AddPair(odd, work + 4 * k + 4, RootPair(r, index, m + j));
                m += 2 * j;
                m -= m >= n ? n : 0;
                m -= m >= n ? n : 0;
            }
        }
        for (; k < pairs; ++k) {
            AddPair(even, work + 4 * k, RootPair(r, index, m));
            m += j;
            m -= m >= n ? n : 0;
        }
        const spV4 sum = Sums == 2 ? even + odd : even;
        // (A.re, Q, A.im, P): the pair sums' part and the differences' sine sums.
        const float ar = sum[0], q = sum[1], ai = sum[2], p = sum[3];
        if constexpr (Inverse) {
            y[j] = {ar + p, ai - q};
            y[n - j] = {ar - p, ai + q};
        } else {
            y[j] = {ar - p, ai + q};
            y[n - j] = {ar + p, ai - q};
        }
    }
}

} // namespace

template <int Column>
void spDftDirectCol(const spComplex* src, spComplex* dst, std::int32_t len, int direction,
                    const spComplex* roots, spComplex* work)
{
    constexpr int sums = spColumnDirectSums(Column);
    // Columns 2 to 4 take the direction by its sign, 0 forward.
    const bool inverse = sums == 2 ? direction < 0 : direction <= 0;
    if (!spDftRootsIndexed(Column, len)) {
        spDftDirect(src, dst, len, inverse ? -1 : 1, roots, work);
        return;
    }
    auto* w = reinterpret_cast<float*>(work);
    if (inverse)
        DirectVector<sums, true>(src, dst, len, roots, w);
    else
        DirectVector<sums, false>(src, dst, len, roots, w);
}

#define SP_DIRECT_COLUMN(c)                                                                         \
    template void spDftDirectCol<c>(const spComplex*, spComplex*, std::int32_t, int, const spComplex*, spComplex*);
SP_FOR_EACH_COLUMN(SP_DIRECT_COLUMN)
