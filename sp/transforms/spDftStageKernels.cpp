#include "sp/transforms/spDftStageKernels.h"

#include <cstddef>

#include "sp/transforms/spPairDft.h"

namespace {

// The radix-2 to radix-5 kernels run two butterflies side by side in one vector of two
// complex floats (single precision, well inside the accuracy of the transform); an odd count
// ends with a one-lane step whose upper lanes are ignored.

template <int Lanes>
spV4 spLoadLanes(const spComplex* p)
{
    if constexpr (Lanes == 2)
        return spLoad4(p);
    else
        return spV4{p->re, p->im, 0.0f, 0.0f};
}

// Lanes from two separate places: the value at p, and (two lanes) the value at q.
template <int Lanes>
spV4 spLoadApart(const spComplex* p, const spComplex* q)
{
    if constexpr (Lanes == 2)
        return spPair(*p, *q);
    else
        return spV4{p->re, p->im, 0.0f, 0.0f};
}

inline void spStoreLow(spComplex* p, spV4 v)
{
    p->re = v[0];
    p->im = v[1];
}

inline void spStoreHigh(spComplex* p, spV4 v)
{
    p->re = v[2];
    p->im = v[3];
}

template <int Lanes>
void spStoreLanes(spComplex* p, spV4 v)
{
    if constexpr (Lanes == 2)
        spStore4(p, v);
    else
        spStoreLow(p, v);
}

// p-point DFTs in place on u[0..p-1], for p = 2, 3, 4, 5.
template <int Radix, bool Inverse>
void spButterfly(spV4* u)
{
    if constexpr (Radix == 2) {
        const spV4 a = u[0], b = u[1];
        u[0] = a + b;
        u[1] = a - b;
    } else if constexpr (Radix == 3) {
        constexpr float c1 = -0.5f;       // cos(2 pi / 3)
        constexpr float c2 = -0.8660254f; // -sin(2 pi / 3)
        const spV4 s = u[1] + u[2];
        const spV4 a = u[0] + c1 * s;
        const spV4 rot = spRotate4<Inverse>(c2 * (u[1] - u[2]));
        u[0] = u[0] + s;
        u[1] = a - rot;
        u[2] = a + rot;
    } else if constexpr (Radix == 4) {
        const spV4 e = u[0] + u[2], f = u[0] - u[2], g = u[1] + u[3];
        const spV4 rot = spRotate4<Inverse>(u[1] - u[3]);
        u[0] = e + g;
        u[2] = e - g;
        u[1] = f + rot;
        u[3] = f - rot;
    } else {
        static_assert(Radix == 5);
        constexpr float c1 = 0.309017f;    // cos(2 pi / 5)
        constexpr float c2 = -0.809017f;   // cos(4 pi / 5)
        constexpr float s1 = -0.95105654f; // -sin(2 pi / 5)
        constexpr float s2 = -0.58778524f; // -sin(4 pi / 5)
        const spV4 sum1 = u[1] + u[4], dif1 = u[1] - u[4];
        const spV4 sum2 = u[2] + u[3], dif2 = u[2] - u[3];
        const spV4 a1 = (u[0] + c1 * sum1) + c2 * sum2;
        const spV4 a2 = (u[0] + c2 * sum1) + c1 * sum2;
        const spV4 b1 = spRotate4<Inverse>(s1 * dif1 + s2 * dif2);
        const spV4 b2 = spRotate4<Inverse>(s2 * dif1 - s1 * dif2);
        u[0] = (u[0] + sum1) + sum2;
        u[1] = a1 - b1;
        u[4] = a1 + b1;
        u[2] = a2 - b2;
        u[3] = a2 + b2;
    }
}

// Butterflies j (and j + 1) of every block: their twiddles, at twiddles[j (radix - 1) + q - 1]
// (butterfly 0's are ones), are prepared once and serve all `groups` blocks; inputs of a
// block at j + q m, outputs at j + k m.
template <int Radix, bool Inverse, int Lanes>
void spStageStep(const spComplex* src, spComplex* dst, std::ptrdiff_t j, std::ptrdiff_t m,
                 std::ptrdiff_t groups, const spComplex* twiddles)
{
    spTwiddle4 w[Radix];
    const spComplex* t = twiddles + j * (Radix - 1);
    for (int q = 1; q < Radix; ++q)
        w[q] = spPrepareTwiddle<Inverse>(spLoadApart<Lanes>(t + q - 1, t + Radix - 1 + q - 1));
    for (std::ptrdiff_t h = 0; h < groups; ++h) {
        const spComplex* in = src + h * Radix * m + j;
        spComplex* out = dst + h * Radix * m + j;
        spV4 u[Radix];
        u[0] = spLoadLanes<Lanes>(in);
        for (int q = 1; q < Radix; ++q)
            u[q] = spMulTwiddle(spLoadLanes<Lanes>(in + q * m), w[q]);
        spButterfly<Radix, Inverse>(u);
        for (int k = 0; k < Radix; ++k)
            spStoreLanes<Lanes>(out + k * m, u[k]);
    }
}

// DFTs j (and j + 1) of one first-stage group: inputs base[j s + q radix s], outputs
// Length values from dst + j Length (and the next Length values).
template <int Length, bool Inverse, int Lanes>
void spFirstStageStep(const spComplex* base, std::ptrdiff_t s, std::ptrdiff_t step, spComplex* dst)
{
    spV4 u[Length];
    for (int q = 0; q < Length; ++q)
        u[q] = spLoadApart<Lanes>(base + q * step, base + s + q * step);
    spButterfly<Length, Inverse>(u);
    for (int k = 0; k < Length; ++k) {
        spStoreLow(dst + k, u[k]);
        if constexpr (Lanes == 2)
            spStoreHigh(dst + Length + k, u[k]);
    }
}

} // namespace

template <int Radix, bool Inverse>
void spDftStageRadix(const spComplex* src, spComplex* dst, std::int32_t span, std::int32_t groups,
                     const spComplex* twiddles)
{
    // Butterfly outer, block inner: each butterfly's twiddles are prepared once per call.
    const std::ptrdiff_t m = span;
    std::ptrdiff_t j = 0;
    for (; j + 2 <= m; j += 2)
        spStageStep<Radix, Inverse, 2>(src, dst, j, m, groups, twiddles);
    if (j < m)
        spStageStep<Radix, Inverse, 1>(src, dst, j, m, groups, twiddles);
}

template <bool Inverse>
void spDftStageOdd(const spComplex* src, spComplex* dst, std::int32_t radix, std::int32_t span,
                   const spComplex* roots, const spComplex* twiddles, spComplex* scratch)
{
    const std::ptrdiff_t p = radix;
    const std::ptrdiff_t m = span;
    const std::ptrdiff_t pairs = (p - 1) / 2;
    for (std::ptrdiff_t j = 0; j < m; ++j) {
        const spComplex* w = twiddles + j * p;
        const auto input = [&](std::ptrdiff_t q) {
            const spCd x = spLoadCd(src[j + q * m]);
            return j == 0 ? x : spMulCd<Inverse>(x, spLoadCd(w[q]));
        };
        const spCd u0 = spLoadCd(src[j]);
        const spCd y0 = spPairFold(input, pairs, p, scratch, u0);
        spStoreCd(dst[j], y0);
        spPairOutputs<Inverse>(
            scratch, pairs, roots, p, [&](std::ptrdiff_t) { return u0; },
            [&](std::ptrdiff_t k, spCd v) { spStoreCd(dst[j + k * m], v); });
    }
}

template <int Length, bool Inverse>
void spDftFirstStageRadix(const spComplex* src, std::int32_t stride, spComplex* dst,
                          std::int32_t radix, std::int32_t count, const std::int32_t* index)
{
    const std::ptrdiff_t s = stride;
    const std::ptrdiff_t step = s * radix;
    for (std::ptrdiff_t t = 0; t < count; ++t) {
        const spComplex* base = src + index[t];
        std::ptrdiff_t j = 0;
        for (; j + 2 <= radix; j += 2, dst += 2 * Length)
            spFirstStageStep<Length, Inverse, 2>(base + j * s, s, step, dst);
        if (j < radix) {
            spFirstStageStep<Length, Inverse, 1>(base + j * s, s, step, dst);
            dst += Length;
        }
    }
}

template <bool Inverse>
void spDftFirstStageAny(const spComplex* src, std::int32_t stride, spComplex* dst, std::int32_t len,
                        std::int32_t count, const spComplex* roots, spComplex* scratch)
{
    const std::ptrdiff_t n = len;
    const std::ptrdiff_t step = static_cast<std::ptrdiff_t>(stride) * count;
    const std::ptrdiff_t pairs = (n - 1) / 2;
    for (std::ptrdiff_t j = 0; j < count; ++j) {
        const spComplex* x = src + j * stride;
        spComplex* y = dst + j * n;
        const spCd x0 = spLoadCd(x[0]);
        const auto input = [&](std::ptrdiff_t q) { return spLoadCd(x[q * step]); };
        spStoreCd(y[0], spPairFold(input, pairs, n, scratch, x0));
        spPairOutputs<Inverse>(
            scratch, pairs, roots, n, [&](std::ptrdiff_t) { return x0; },
            [&](std::ptrdiff_t k, spCd v) { spStoreCd(y[k], v); });
    }
}

template void spDftStageRadix<2, false>(const spComplex*, spComplex*, std::int32_t, std::int32_t, const spComplex*);
template void spDftStageRadix<2, true>(const spComplex*, spComplex*, std::int32_t, std::int32_t, const spComplex*);
template void spDftStageRadix<3, false>(const spComplex*, spComplex*, std::int32_t, std::int32_t, const spComplex*);
template void spDftStageRadix<3, true>(const spComplex*, spComplex*, std::int32_t, std::int32_t, const spComplex*);
template void spDftStageRadix<4, false>(const spComplex*, spComplex*, std::int32_t, std::int32_t, const spComplex*);
template void spDftStageRadix<4, true>(const spComplex*, spComplex*, std::int32_t, std::int32_t, const spComplex*);
template void spDftStageRadix<5, false>(const spComplex*, spComplex*, std::int32_t, std::int32_t, const spComplex*);
template void spDftStageRadix<5, true>(const spComplex*, spComplex*, std::int32_t, std::int32_t, const spComplex*);
template void spDftStageOdd<false>(const spComplex*, spComplex*, std::int32_t, std::int32_t, const spComplex*, const spComplex*, spComplex*);
template void spDftStageOdd<true>(const spComplex*, spComplex*, std::int32_t, std::int32_t, const spComplex*, const spComplex*, spComplex*);
template void spDftFirstStageRadix<2, false>(const spComplex*, std::int32_t, spComplex*, std::int32_t, std::int32_t, const std::int32_t*);
template void spDftFirstStageRadix<2, true>(const spComplex*, std::int32_t, spComplex*, std::int32_t, std::int32_t, const std::int32_t*);
template void spDftFirstStageRadix<4, false>(const spComplex*, std::int32_t, spComplex*, std::int32_t, std::int32_t, const std::int32_t*);
template void spDftFirstStageRadix<4, true>(const spComplex*, std::int32_t, spComplex*, std::int32_t, std::int32_t, const std::int32_t*);
template void spDftFirstStageRadix<3, false>(const spComplex*, std::int32_t, spComplex*, std::int32_t, std::int32_t, const std::int32_t*);
template void spDftFirstStageRadix<3, true>(const spComplex*, std::int32_t, spComplex*, std::int32_t, std::int32_t, const std::int32_t*);
template void spDftFirstStageRadix<5, false>(const spComplex*, std::int32_t, spComplex*, std::int32_t, std::int32_t, const std::int32_t*);
template void spDftFirstStageRadix<5, true>(const spComplex*, std::int32_t, spComplex*, std::int32_t, std::int32_t, const std::int32_t*);
template void spDftFirstStageAny<false>(const spComplex*, std::int32_t, spComplex*, std::int32_t, std::int32_t, const spComplex*, spComplex*);
template void spDftFirstStageAny<true>(const spComplex*, std::int32_t, spComplex*, std::int32_t, std::int32_t, const spComplex*, spComplex*);
