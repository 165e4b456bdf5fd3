// 256-bit vectors of the kernels compiled for AVX2: a complex block per vector, four real
// parts and then four imaginary parts, and the arithmetic those kernels share. Include it
// after the translation unit's target pragma. Internal linkage: no copy built for a wider
// instruction set may stand in for a baseline one.
#pragma once

#include <cstdint>
#include <cstring>
#include <immintrin.h>

namespace {

typedef float spF8 __attribute__((vector_size(32)));
typedef std::int32_t spI8 __attribute__((vector_size(32)));
// Either 128-bit half of an spF8.
typedef float spF8Half __attribute__((vector_size(16)));

inline spF8 spLoad8(const float* p)
{
    spF8 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void spStore8(float* p, spF8 v) { std::memcpy(p, &v, sizeof v); }

// Two 128-bit halves into one vector: the insertion itself, as GCC spends a move per half on
// a shuffle of the two.
inline spF8 spJoin(spF8Half lo, spF8Half hi)
{
    return reinterpret_cast<spF8>(_mm256_insertf128_ps(_mm256_castps128_ps256(reinterpret_cast<__m128>(lo)),
                                                       reinterpret_cast<__m128>(hi), 1));
}

inline spF8 spSwapHalves(spF8 v) { return __builtin_shuffle(v, spI8{4, 5, 6, 7, 0, 1, 2, 3}); }

constexpr std::int32_t spSignBit8 = INT32_MIN;

inline spF8 spFlip(spF8 v, spI8 signs) { return reinterpret_cast<spF8>(reinterpret_cast<spI8>(v) ^ signs); }

inline spF8 spNegateLow(spF8 v)
{
    constexpr std::int32_t s = spSignBit8;
    return spFlip(v, spI8{s, s, s, s, 0, 0, 0, 0});
}

inline spF8 spNegateHigh(spF8 v)
{
    constexpr std::int32_t s = spSignBit8;
    return spFlip(v, spI8{0, 0, 0, 0, s, s, s, s});
}

// A twiddle block made ready for products: (wr, wr) and the imaginary parts signed so that
// a * w = a * re + swap(a) * im (forward) and a * conj(w) likewise (inverse).
struct spWide {
    spF8 re;
    spF8 im;
};

inline spF8 spMul(spF8 a, const spWide& w) { return a * w.re + spSwapHalves(a) * w.im; }

// A block's four values as interleaved (re, im) pairs.
inline spF8 spInterleaved(spF8 block) { return __builtin_shuffle(block, spI8{0, 4, 1, 5, 2, 6, 3, 7}); }

// The low halves of a and b side by side, and the high halves.
inline spF8 spLowHalves(spF8 a, spF8 b) { return __builtin_shuffle(a, b, spI8{0, 1, 2, 3, 8, 9, 10, 11}); }
inline spF8 spHighHalves(spF8 a, spF8 b) { return __builtin_shuffle(a, b, spI8{4, 5, 6, 7, 12, 13, 14, 15}); }

// Within each half, rows a, b, c, d of a 4 x 4 matrix become its columns.
inline void spTransposeHalves(spF8& a, spF8& b, spF8& c, spF8& d)
{
    const spF8 t0 = __builtin_shuffle(a, b, spI8{0, 8, 1, 9, 4, 12, 5, 13});
    const spF8 t1 = __builtin_shuffle(a, b, spI8{2, 10, 3, 11, 6, 14, 7, 15});
    const spF8 t2 = __builtin_shuffle(c, d, spI8{0, 8, 1, 9, 4, 12, 5, 13});
    const spF8 t3 = __builtin_shuffle(c, d, spI8{2, 10, 3, 11, 6, 14, 7, 15});
    a = __builtin_shuffle(t0, t2, spI8{0, 1, 8, 9, 4, 5, 12, 13});
    b = __builtin_shuffle(t0, t2, spI8{2, 3, 10, 11, 6, 7, 14, 15});
    c = __builtin_shuffle(t1, t3, spI8{0, 1, 8, 9, 4, 5, 12, 13});
    d = __builtin_shuffle(t1, t3, spI8{2, 3, 10, 11, 6, 7, 14, 15});
}

} // namespace
