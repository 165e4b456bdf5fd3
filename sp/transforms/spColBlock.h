// Four complex values in blocked form (four real parts, then four imaginary parts) as the
// kernels of columns 1 to 4 hold them between passes, and the few operations on them.
#pragma once

#include <cstdint>

#include "sp/transforms/spFftCore.h"
#include "sp/transforms/spSimd.h"

struct spBlk {
    spV4 re;
    spV4 im;
};

inline spBlk spLoadBlk(const float* p) { return {spLoad4(p), spLoad4(p + 4)}; }

// The block stored as it is, or as four interleaved values.
inline void spStoreBlk(float* p, spBlk v, spOutputMode mode)
{
    if (mode == spOutputMode::blocked) {
        spStore4(p, v.re);
        spStore4(p + 4, v.im);
    } else {
        spStore4(p, __builtin_shuffle(v.re, v.im, spV4i{0, 4, 1, 5}));
        spStore4(p + 4, __builtin_shuffle(v.re, v.im, spV4i{2, 6, 3, 7}));
    }
}

inline spBlk operator+(spBlk a, spBlk b) { return {a.re + b.re, a.im + b.im}; }
inline spBlk operator-(spBlk a, spBlk b) { return {a.re - b.re, a.im - b.im}; }

// a * w (forward) or a * conj(w) (inverse), w as four real parts and four imaginary parts.
template <bool Inverse>
inline spBlk spMulW(spBlk a, spBlk w)
{
    const spV4 wr = w.re, wi = w.im;
    if constexpr (Inverse)
        return {a.re * wr + a.im * wi, a.im * wr - a.re * wi};
    else
        return {a.re * wr - a.im * wi, a.im * wr + a.re * wi};
}

// a * -i (forward) or a * +i (inverse).
template <bool Inverse>
inline spBlk spRotateBlk(spBlk a)
{
    if constexpr (Inverse)
        return {-a.im, a.re};
    else
        return {a.im, -a.re};
}

// Radix-4 butterfly of bit-reversed input, its twiddles applied: the inputs a quarter, half
// and three quarters into the span come in as b, c and d; outputs in natural order.
template <bool Inverse>
inline void spBfly4(spBlk& a, spBlk& b, spBlk& c, spBlk& d)
{
    const spBlk t0 = a + b, t1 = a - b, t2 = c + d, t3 = c - d;
    a = t0 + t2;
    c = t0 - t2;
    if constexpr (Inverse) {
        b = {t1.re - t3.im, t1.im + t3.re};
        d = {t1.re + t3.im, t1.im - t3.re};
    } else {
        b = {t1.re + t3.im, t1.im - t3.re};
        d = {t1.re - t3.im, t1.im + t3.re};
    }
}

// Rows a, b, c, d of a 4 x 4 matrix become its columns.
inline void spTranspose(spV4& a, spV4& b, spV4& c, spV4& d)
{
    const spV4 t0 = __builtin_shuffle(a, b, spV4i{0, 4, 1, 5});
    const spV4 t1 = __builtin_shuffle(a, b, spV4i{2, 6, 3, 7});
    const spV4 t2 = __builtin_shuffle(c, d, spV4i{0, 4, 1, 5});
    const spV4 t3 = __builtin_shuffle(c, d, spV4i{2, 6, 3, 7});
    a = __builtin_shuffle(t0, t2, spV4i{0, 1, 4, 5});
    b = __builtin_shuffle(t0, t2, spV4i{2, 3, 6, 7});
    c = __builtin_shuffle(t1, t3, spV4i{0, 1, 4, 5});
    d = __builtin_shuffle(t1, t3, spV4i{2, 3, 6, 7});
}

// Two interleaved pairs of complex values (four values) as one block.
inline spBlk spDeinterleave(spV4 p, spV4 q)
{
    return {__builtin_shuffle(p, q, spV4i{0, 2, 4, 6}), __builtin_shuffle(p, q, spV4i{1, 3, 5, 7})};
}
