// Complex values held as blocks: a vector of their real parts and one of their imaginary
// parts (four values in 128-bit vectors, or eight in 256-bit ones), and the arithmetic the
// blocked kernels share. Internal linkage: the kernels are compiled for several instruction
// sets, and no copy built for a wider one may stand in for a baseline one.
#pragma once

namespace {

template <class V>
struct spBlkOf {
    V re;
    V im;
};

template <class V>
inline spBlkOf<V> operator+(spBlkOf<V> a, spBlkOf<V> b)
{
    return {a.re + b.re, a.im + b.im};
}

template <class V>
inline spBlkOf<V> operator-(spBlkOf<V> a, spBlkOf<V> b)
{
    return {a.re - b.re, a.im - b.im};
}

template <class V>
inline spBlkOf<V> operator*(V c, spBlkOf<V> a)
{
    return {c * a.re, c * a.im};
}

// a * w (forward) or a * conj(w) (inverse).
template <bool Inverse, class V>
inline spBlkOf<V> spMulW(spBlkOf<V> a, spBlkOf<V> w)
{
    if constexpr (Inverse)
        return {a.re * w.re + a.im * w.im, a.im * w.re - a.re * w.im};
    else
        return {a.re * w.re - a.im * w.im, a.im * w.re + a.re * w.im};
}

// a * -i (forward) or a * +i (inverse).
template <bool Inverse, class V>
inline spBlkOf<V> spRotateBlk(spBlkOf<V> a)
{
    if constexpr (Inverse)
        return {-a.im, a.re};
    else
        return {a.im, -a.re};
}

// Radix-4 butterfly of bit-reversed input, its twiddles applied: the inputs a quarter, half
// and three quarters into the span come in as b, c and d; outputs in natural order.
template <bool Inverse, class V>
inline void spBfly4(spBlkOf<V>& a, spBlkOf<V>& b, spBlkOf<V>& c, spBlkOf<V>& d)
{
    const spBlkOf<V> t0 = a + b, t1 = a - b, t2 = c + d, t3 = c - d;
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

// Rows a, b, c, d of a 4 x 4 matrix (four-lane vectors) become its columns.
template <class V>
inline void spTranspose4(V& a, V& b, V& c, V& d)
{
    const V t0 = __builtin_shufflevector(a, b, 0, 4, 1, 5), t1 = __builtin_shufflevector(a, b, 2, 6, 3, 7);
    const V t2 = __builtin_shufflevector(c, d, 0, 4, 1, 5), t3 = __builtin_shufflevector(c, d, 2, 6, 3, 7);
    a = __builtin_shufflevector(t0, t2, 0, 1, 4, 5);
    b = __builtin_shufflevector(t0, t2, 2, 3, 6, 7);
    c = __builtin_shufflevector(t1, t3, 0, 1, 4, 5);
    d = __builtin_shufflevector(t1, t3, 2, 3, 6, 7);
}

} // namespace
