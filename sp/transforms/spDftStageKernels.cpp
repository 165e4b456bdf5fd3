#include "sp/transforms/spDftStageKernels.h"

#include <cstddef>

#include "sp/transforms/spPairDft.h"

namespace {

// p-point DFTs in place on u[0..p-1], for p = 2, 3, 4, 5.
template <int Radix, bool Inverse>
void spButterfly(spCd* u)
{
    if constexpr (Radix == 2) {
        const spCd a = u[0], b = u[1];
        u[0] = a + b;
        u[1] = a - b;
    } else if constexpr (Radix == 3) {
        constexpr double c1 = -0.5f;    // cos(2 pi / 3)
        constexpr double c2 = -0.8660254f; // -sin(2 pi / 3)
        const spCd s = u[1] + u[2];
        const spCd a = u[0] + c1 * s;
        const spCd rot = spRotateCd<Inverse>(c2 * (u[1] - u[2]));
        u[0] = u[0] + s;
        u[1] = a - rot;
        u[2] = a + rot;
    } else if constexpr (Radix == 4) {
        const spCd e = u[0] + u[2], f = u[0] - u[2], g = u[1] + u[3];
        const spCd rot = spRotateCd<Inverse>(u[1] - u[3]);
        u[0] = e + g;
        u[2] = e - g;
        u[1] = f + rot;
        u[3] = f - rot;
    } else {
        static_assert(Radix == 5);
        constexpr double c1 = 0.309017f;     // cos(2 pi / 5)
        constexpr double c2 = -0.809017f;    // cos(4 pi / 5)
        constexpr double s1 = -0.95105654f;  // -sin(2 pi / 5)
        constexpr double s2 = -0.58778524f;  // -sin(4 pi / 5)
        const spCd sum1 = u[1] + u[4], dif1 = u[1] - u[4];
        const spCd sum2 = u[2] + u[3], dif2 = u[2] - u[3];
        const spCd a1 = (u[0] + c1 * sum1) + c2 * sum2;
        const spCd a2 = (u[0] + c2 * sum1) + c1 * sum2;
        const spCd b1 = spRotateCd<Inverse>(s1 * dif1 + s2 * dif2);
        const spCd b2 = spRotateCd<Inverse>(s2 * dif1 - s1 * dif2);
        u[0] = (u[0] + sum1) + sum2;
        u[1] = a1 - b1;
        u[4] = a1 + b1;
        u[2] = a2 - b2;
        u[3] = a2 + b2;
    }
}

} // namespace

template <int Radix, bool Inverse>
void spDftStageRadix(const spComplex* src, spComplex* dst, std::int32_t span, std::int32_t groups,
                     const spComplex* twiddles)
{
    const std::ptrdiff_t m = span;
    for (std::ptrdiff_t h = 0; h < groups; ++h) {
        const spComplex* in = src + h * Radix * m;
        spComplex* out = dst + h * Radix * m;
        for (std::ptrdiff_t j = 0; j < m; ++j) {
            spCd u[Radix];
            u[0] = spLoadCd(in[j]);
            const spComplex* w = twiddles + j * (Radix - 1);
            for (int q = 1; q < Radix; ++q) {
                const spCd x = spLoadCd(in[j + q * m]);
                // Butterfly 0 has unit twiddles and multiplies nothing.
                u[q] = j == 0 ? x : spMulCd<Inverse>(x, spLoadCd(w[q - 1]));
            }
            spButterfly<Radix, Inverse>(u);
            for (int k = 0; k < Radix; ++k)
                spStoreCd(out[j + k * m], u[k]);
        }
    }
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
        for (std::ptrdiff_t j = 0; j < radix; ++j) {
            spCd u[Length];
            for (int q = 0; q < Length; ++q)
                u[q] = spLoadCd(base[j * s + q * step]);
            spButterfly<Length, Inverse>(u);
            for (int k = 0; k < Length; ++k)
                spStoreCd(*dst++, u[k]);
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
template void spDftFirstStageRadix<3, false>(const spComplex*, std::int32_t, spComplex*, std::int32_t, std::int32_t, const std::int32_t*);
template void spDftFirstStageRadix<3, true>(const spComplex*, std::int32_t, spComplex*, std::int32_t, std::int32_t, const std::int32_t*);
template void spDftFirstStageRadix<5, false>(const spComplex*, std::int32_t, spComplex*, std::int32_t, std::int32_t, const std::int32_t*);
template void spDftFirstStageRadix<5, true>(const spComplex*, std::int32_t, spComplex*, std::int32_t, std::int32_t, const std::int32_t*);
template void spDftFirstStageAny<false>(const spComplex*, std::int32_t, spComplex*, std::int32_t, std::int32_t, const spComplex*, spComplex*);
template void spDftFirstStageAny<true>(const spComplex*, std::int32_t, spComplex*, std::int32_t, std::int32_t, const spComplex*, spComplex*);
