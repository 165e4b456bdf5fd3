// Portable vector helpers (GCC vector extensions; baseline x86-64 turns them into SSE2).
//
// spV4 holds two interleaved complex floats; spCd holds one complex value in double
// precision, the form the mixed-radix, direct and small kernels compute in.
#pragma once

#include <cstdint>
#include <cstring>

#include "sp/core/spTypes.h"

typedef float spV4 __attribute__((vector_size(16)));
typedef std::int32_t spV4i __attribute__((vector_size(16)));
typedef double spV2d __attribute__((vector_size(16)));
typedef std::int64_t spV2l __attribute__((vector_size(16)));

// ---- two complex floats per vector ----

inline spV4 spLoad4(const void* p)
{
    spV4 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void spStore4(void* p, spV4 v) { std::memcpy(p, &v, sizeof v); }

inline bool spIsAligned(const void* p, std::uintptr_t bytes) { return reinterpret_cast<std::uintptr_t>(p) % bytes == 0; }

// The same at a place the caller knows to be 16-byte aligned (Aligned) or at any place.
template <bool Aligned>
inline spV4 spLoad4At(const void* p)
{
    if constexpr (Aligned)
        return spLoad4(__builtin_assume_aligned(p, 16));
    else
        return spLoad4(p);
}

template <bool Aligned>
inline void spStore4At(void* p, spV4 v)
{
    if constexpr (Aligned)
        spStore4(__builtin_assume_aligned(p, 16), v);
    else
        spStore4(p, v);
}

// (a0, b0): the first complex value of a, then the first of b.
inline spV4 spLows(spV4 a, spV4 b) { return __builtin_shuffle(a, b, spV4i{0, 1, 4, 5}); }
// (a1, b1): the second complex value of a, then the second of b.
inline spV4 spHighs(spV4 a, spV4 b) { return __builtin_shuffle(a, b, spV4i{2, 3, 6, 7}); }

inline spV4 spPair(const spComplex& a, const spComplex& b) { return spV4{a.re, a.im, b.re, b.im}; }

inline spV4 spFlipSigns(spV4 v, spV4i mask) { return reinterpret_cast<spV4>(reinterpret_cast<spV4i>(v) ^ mask); }

inline constexpr std::int32_t spSignBit = INT32_MIN;

// Multiplying by -i in the forward sense, by +i in the inverse: (im, -re) or (-im, re).
template <bool Inverse>
inline spV4 spRotate4(spV4 v)
{
    const spV4 swapped = __builtin_shuffle(v, spV4i{1, 0, 3, 2});
    if constexpr (Inverse)
        return spFlipSigns(swapped, spV4i{spSignBit, 0, spSignBit, 0});
    else
        return spFlipSigns(swapped, spV4i{0, spSignBit, 0, spSignBit});
}

// A twiddle pair prepared for repeated products: real parts duplicated and imaginary parts
// duplicated with the signs of the product folded in (conjugated for the inverse).
struct spTwiddle4 {
    spV4 re;
    spV4 im;
};

template <bool Inverse>
inline spTwiddle4 spPrepareTwiddle(spV4 w)
{
    const spV4 re = __builtin_shuffle(w, spV4i{0, 0, 2, 2});
    const spV4 im = __builtin_shuffle(w, spV4i{1, 1, 3, 3});
    if constexpr (Inverse)
        return {re, spFlipSigns(im, spV4i{0, spSignBit, 0, spSignBit})};
    else
        return {re, spFlipSigns(im, spV4i{spSignBit, 0, spSignBit, 0})};
}

// a * w (forward) or a * conj(w) (inverse) for both complex values of a.
inline spV4 spMulTwiddle(spV4 a, const spTwiddle4& w)
{
    const spV4 swapped = __builtin_shuffle(a, spV4i{1, 0, 3, 2});
    return a * w.re + swapped * w.im;
}

// ---- one complex value in double precision ----

struct spCd {
    spV2d v;
};

inline spCd spLoadCd(const spComplex& c) { return {spV2d{c.re, c.im}}; }

inline void spStoreCd(spComplex& c, spCd a)
{
    c.re = static_cast<float>(a.v[0]);
    c.im = static_cast<float>(a.v[1]);
}

inline spCd operator+(spCd a, spCd b) { return {a.v + b.v}; }
inline spCd operator-(spCd a, spCd b) { return {a.v - b.v}; }
inline spCd operator*(double s, spCd a) { return {s * a.v}; }
inline spCd& operator+=(spCd& a, spCd b)
{
    a.v += b.v;
    return a;
}

inline spCd spCdFlip(spCd a, spV2l mask) { return {reinterpret_cast<spV2d>(reinterpret_cast<spV2l>(a.v) ^ mask)}; }

inline constexpr std::int64_t spSignBit64 = INT64_MIN;

// i * a = (-im, re).
inline spCd spMulI(spCd a) { return spCdFlip({__builtin_shuffle(a.v, spV2l{1, 0})}, spV2l{spSignBit64, 0}); }
// -i * a = (im, -re).
inline spCd spMulMinusI(spCd a) { return spCdFlip({__builtin_shuffle(a.v, spV2l{1, 0})}, spV2l{0, spSignBit64}); }

// The rotation of the forward kernels' -i (or the inverse kernels' +i).
template <bool Inverse>
inline spCd spRotateCd(spCd a)
{
    if constexpr (Inverse)
        return spMulI(a);
    else
        return spMulMinusI(a);
}

// a * w (forward) or a * conj(w) (inverse): (a.re w.re - a.im w.im, a.im w.re + a.re w.im).
template <bool Inverse>
inline spCd spMulCd(spCd a, spCd w)
{
    const spV2d re = __builtin_shuffle(w.v, spV2l{0, 0});
    spV2d im = __builtin_shuffle(w.v, spV2l{1, 1});
    const spV2d swapped = __builtin_shuffle(a.v, spV2l{1, 0});
    if constexpr (Inverse)
        im = reinterpret_cast<spV2d>(reinterpret_cast<spV2l>(im) ^ spV2l{0, spSignBit64});
    else
        im = reinterpret_cast<spV2d>(reinterpret_cast<spV2l>(im) ^ spV2l{spSignBit64, 0});
    return {a.v * re + swapped * im};
}
