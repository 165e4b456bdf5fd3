// The pair method of an odd-length (or direct) DFT: the inputs u(t) and u(n - t) are folded
// into a sum a(t) and a difference b(t), stored as floats; output j and output n - j then come
// from one pass over the pairs, the real part of each root multiplying the sums and its
// imaginary part the differences. Roughly n^2 real multiplications instead of 4 n^2.
#pragma once

#include <cstddef>

#include "sp/transforms/spSimd.h"

// Folds pairs t = 1 .. pairs of u(t), u(n - t) into scratch as a(1), b(1), a(2), b(2), ...
// and returns `sum` plus every a(t), accumulated before the pairs are rounded.
template <class Input>
spCd spPairFold(Input u, std::ptrdiff_t pairs, std::ptrdiff_t n, spComplex* scratch, spCd sum)
{
    for (std::ptrdiff_t t = 1; t <= pairs; ++t) {
        const spCd ut = u(t), un = u(n - t);
        const spCd a = ut + un;
        sum += a;
        spStoreCd(scratch[2 * t - 2], a);
        spStoreCd(scratch[2 * t - 1], ut - un);
    }
    return sum;
}

// Outputs j and n - j, j = 1 .. pairs, from the folded pairs: with A = start(j) + sum of
// a(t) Re r(jt) and B = sum of b(t) Im r(jt), the forward pair is A + iB and A - iB (the
// inverse swaps them). `roots` holds exp(-2 pi i m / n), m = 0 .. n-1.
template <bool Inverse, class Start, class Output>
void spPairOutputs(const spComplex* scratch, std::ptrdiff_t pairs, const spComplex* roots,
                   std::ptrdiff_t n, Start start, Output out)
{
    for (std::ptrdiff_t j = 1; j <= pairs; ++j) {
        spCd a = start(j);
        spCd b = {spV2d{0.0, 0.0}};
        std::ptrdiff_t m = j;
        for (std::ptrdiff_t t = 1; t <= pairs; ++t) {
            const spComplex& root = roots[m];
            a += static_cast<double>(root.re) * spLoadCd(scratch[2 * t - 2]);
            b += static_cast<double>(root.im) * spLoadCd(scratch[2 * t - 1]);
            m += j;
            if (m >= n)
                m -= n;
        }
        const spCd rot = spRotateCd<!Inverse>(b);
        out(j, a + rot);
        out(n - j, a - rot);
    }
}
