// The passes of the blocked FFT core in 256-bit vectors, for processors with AVX2 (chosen at
// run time). In the radix-4 and radix-2 passes a vector holds one whole block, four real
// parts and four imaginary parts, and the products swap the halves instead of splitting the
// block; the first pass holds two groups side by side. Every sum and product is the one the
// 128-bit passes form, so both give the same bits.
#pragma GCC target("avx2")

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <immintrin.h>

#include "sp/transforms/spBlocks.h"
#include "sp/transforms/spColFftWide.h"

namespace {

typedef float spV8 __attribute__((vector_size(32)));
typedef std::int32_t spV8i __attribute__((vector_size(32)));

inline spV8 spLoad8(const float* p)
{
    spV8 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void spStore8(float* p, spV8 v) { std::memcpy(p, &v, sizeof v); }

inline spV8 spSwapHalves(spV8 v) { return __builtin_shuffle(v, spV8i{4, 5, 6, 7, 0, 1, 2, 3}); }

inline spV8 spFlip(spV8 v, spV8i mask) { return reinterpret_cast<spV8>(reinterpret_cast<spV8i>(v) ^ mask); }

constexpr std::int32_t spSign = INT32_MIN;
constexpr spV8i spLowSigns = {spSign, spSign, spSign, spSign, 0, 0, 0, 0};
constexpr spV8i spHighSigns = {0, 0, 0, 0, spSign, spSign, spSign, spSign};

// A twiddle block made ready for products: (wr, wr) and the imaginary parts signed so that
// a * w = a * re + swap(a) * im (forward) and a * conj(w) likewise (inverse).
struct spWide {
    spV8 re;
    spV8 im;
};

typedef float spV4h __attribute__((vector_size(16)));

inline spV4h spLoad4h(const float* p)
{
    spV4h v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline spV8 spJoin(spV4h lo, spV4h hi) { return __builtin_shufflevector(lo, hi, 0, 1, 2, 3, 4, 5, 6, 7); }

// Four floats in both halves, straight from memory (one load, no shuffle).
inline spV8 spBroadcast(const float* p)
{
    return reinterpret_cast<spV8>(_mm256_broadcast_ps(reinterpret_cast<const __m128*>(p)));
}

template <bool Inverse>
inline spWide spPrepare(const float* w)
{
    return {spBroadcast(w), spFlip(spBroadcast(w + 4), Inverse ? spHighSigns : spLowSigns)};
}

inline spV8 spMul(spV8 a, const spWide& w) { return a * w.re + spSwapHalves(a) * w.im; }

template <spOutputMode mode>
inline void spStore(float* p, spV8 v)
{
    if constexpr (mode == spOutputMode::interleaved)
        v = __builtin_shuffle(v, spV8i{0, 4, 1, 5, 2, 6, 3, 7});
    spStore8(p, v);
}

// Outputs a quarter and three quarters into the span: t1 -+ i t3 (forward) or t1 +- i t3.
template <bool Inverse>
inline void spRotatePair(spV8 t1, spV8 t3, spV8& y1, spV8& y3)
{
    const spV8 r = spFlip(spSwapHalves(t3), spHighSigns); // (t3.im, -t3.re)
    y1 = Inverse ? t1 - r : t1 + r;
    y3 = Inverse ? t1 + r : t1 - r;
}

// Two groups of the first pass side by side: lanes 0 to 3 of group g, lanes 4 to 7 of
// group g + 1, real and imaginary parts apart. Every shuffle stays within its 128-bit half,
// so each half computes what the 128-bit first pass computes for its group.
using spPair8 = spBlkOf<spV8>;

// The values of two groups whose sources are neighbours, in the lanes of the first pass:
// pairs (A, B) of neighbouring values at the four places of lanes 0 to 3, into
// (A0 A1 A2 A3 | B0 B1 B2 B3) of real and of imaginary parts.
inline spPair8 spNeighbours(const spComplex* q0, const spComplex* q1, const spComplex* q2, const spComplex* q3)
{
    const spV8 z = spJoin(spLoad4h(&q0->re), spLoad4h(&q1->re));
    const spV8 w = spJoin(spLoad4h(&q2->re), spLoad4h(&q3->re));
    const spV8i order = {0, 4, 2, 6, 1, 5, 3, 7};
    return {__builtin_shuffle(__builtin_shuffle(z, w, spV8i{0, 2, 8, 10, 4, 6, 12, 14}), order),
            __builtin_shuffle(__builtin_shuffle(z, w, spV8i{1, 3, 9, 11, 5, 7, 13, 15}), order)};
}

// (p0, p1 | p4, p5) and (q0, q1 | q4, q5) as interleaved pairs into real and imaginary parts.
inline spPair8 spSplit(spV8 p, spV8 q)
{
    return {__builtin_shuffle(p, q, spV8i{0, 2, 8, 10, 4, 6, 12, 14}),
            __builtin_shuffle(p, q, spV8i{1, 3, 9, 11, 5, 7, 13, 15})};
}

inline void spTransposeHalves(spV8& a, spV8& b, spV8& c, spV8& d)
{
    const spV8 t0 = __builtin_shuffle(a, b, spV8i{0, 8, 1, 9, 4, 12, 5, 13});
    const spV8 t1 = __builtin_shuffle(a, b, spV8i{2, 10, 3, 11, 6, 14, 7, 15});
    const spV8 t2 = __builtin_shuffle(c, d, spV8i{0, 8, 1, 9, 4, 12, 5, 13});
    const spV8 t3 = __builtin_shuffle(c, d, spV8i{2, 10, 3, 11, 6, 14, 7, 15});
    a = __builtin_shuffle(t0, t2, spV8i{0, 1, 8, 9, 4, 5, 12, 13});
    b = __builtin_shuffle(t0, t2, spV8i{2, 3, 10, 11, 6, 7, 14, 15});
    c = __builtin_shuffle(t1, t3, spV8i{0, 1, 8, 9, 4, 5, 12, 13});
    d = __builtin_shuffle(t1, t3, spV8i{2, 3, 10, 11, 6, 7, 14, 15});
}

// The two radix-4 stages of the first pass as the 128-bit pass forms them; v[l] holds, in lane
// q of each half, the value at position 4q + l of its group. Blocks k of the low half's group
// go to low + 8k, those of the high half's to high + 8k.
template <bool Inverse>
inline void spFirstPassPair(spPair8* v, const float* record, float* low, float* high)
{
    alignas(16) static constexpr float w8[8] = {1.0f, 0.70710683f, 0.0f, -0.70710683f,
                                                0.0f, -0.70710683f, -1.0f, -0.70710683f};
    spBfly4<Inverse>(v[0], v[1], v[2], v[3]);
    spTransposeHalves(v[0].re, v[1].re, v[2].re, v[3].re);
    spTransposeHalves(v[0].im, v[1].im, v[2].im, v[3].im);
    v[1] = spMulW<Inverse>(v[1], spPair8{spBroadcast(w8), spBroadcast(w8 + 4)});
    v[2] = spMulW<Inverse>(v[2], spPair8{spBroadcast(record), spBroadcast(record + 4)});
    v[3] = spMulW<Inverse>(v[3], spPair8{spBroadcast(record + 16), spBroadcast(record + 20)});
    spBfly4<Inverse>(v[0], v[1], v[2], v[3]);
    for (int k = 0; k < 4; ++k) {
        spStore8(low + 8 * k, __builtin_shuffle(v[k].re, v[k].im, spV8i{0, 1, 2, 3, 8, 9, 10, 11}));
        spStore8(high + 8 * k, __builtin_shuffle(v[k].re, v[k].im, spV8i{4, 5, 6, 7, 12, 13, 14, 15}));
    }
}

} // namespace

template <bool Inverse>
void spFirstPassLinearWide(const float* data, std::ptrdiff_t g0, std::ptrdiff_t g1, const float* record, float* out)
{
    for (std::ptrdiff_t g = g0; g < g1; g += 2) {
        const float* in = data + 32 * g;
        spPair8 v[4];
        for (int q = 0; q < 4; ++q)
            v[q] = spSplit(spJoin(spLoad4h(in + 8 * q), spLoad4h(in + 32 + 8 * q)),
                           spJoin(spLoad4h(in + 8 * q + 4), spLoad4h(in + 36 + 8 * q)));
        spTransposeHalves(v[0].re, v[1].re, v[2].re, v[3].re);
        spTransposeHalves(v[0].im, v[1].im, v[2].im, v[3].im);
        spFirstPassPair<Inverse>(v, record, out + 32 * g, out + 32 * g + 32);
    }
}

template <bool Inverse>
void spFirstPassFusedWide(const spComplex* src, const std::int32_t* index, std::ptrdiff_t sixteenth,
                          std::ptrdiff_t groups, const float* record, float* out)
{
    // In the order of the groups' sources: the groups whose sources start at u and u + 1
    // together, so that the cache lines of the sixteen source rows serve eight groups in a row
    // instead of one each.
    const std::ptrdiff_t s = sixteenth;
    constexpr int rows[4] = {0, 8, 4, 12};
    for (std::ptrdiff_t u = 0; u < groups; u += 2) {
        spPair8 v[4];
        for (int l = 0; l < 4; ++l) {
            const spComplex* p = src + u + rows[l] * s;
            v[l] = spNeighbours(p, p + 2 * s, p + s, p + 3 * s);
        }
        spFirstPassPair<Inverse>(v, record, out + 32 * index[u], out + 32 * index[u + 1]);
    }
}


template <bool Inverse, spOutputMode mode>
void spRadix4PassWide(const float* x, float* y, std::ptrdiff_t n, std::ptrdiff_t s, const float* table)
{
    const float* records = table + 2 * s - 8;
    for (std::ptrdiff_t j = 0; j < s; j += 4) {
        const spWide w1 = spPrepare<Inverse>(records + 6 * j);
        const spWide w2 = spPrepare<Inverse>(records + 6 * j + 8);
        const spWide w3 = spPrepare<Inverse>(records + 6 * j + 16);
        for (std::ptrdiff_t g = 2 * j; g < 2 * n; g += 8 * s) {
            const spV8 a = spLoad8(x + g);
            const spV8 b = spMul(spLoad8(x + g + 2 * s), w2);
            const spV8 c = spMul(spLoad8(x + g + 4 * s), w1);
            const spV8 d = spMul(spLoad8(x + g + 6 * s), w3);
            const spV8 t0 = a + b, t1 = a - b, t2 = c + d, t3 = c - d;
            spV8 y1, y3;
            spRotatePair<Inverse>(t1, t3, y1, y3);
            spStore<mode>(y + g, t0 + t2);
            spStore<mode>(y + g + 2 * s, y1);
            spStore<mode>(y + g + 4 * s, t0 - t2);
            spStore<mode>(y + g + 6 * s, y3);
        }
    }
}

template <bool Inverse, spOutputMode mode>
void spRadix2PassWide(const float* x, float* y, std::ptrdiff_t n, const float* table)
{
    const float* w = table + n - 8;
    for (std::ptrdiff_t g = 0; g < n; g += 8, w += 8) {
        const spV8 a = spLoad8(x + g);
        const spV8 b = spMul(spLoad8(x + g + n), spPrepare<Inverse>(w));
        spStore<mode>(y + g, a + b);
        spStore<mode>(y + g + n, a - b);
    }
}

template <bool Inverse, spOutputMode mode>
void spRadix8LastWide(const float* x, float* y, std::ptrdiff_t n, const float* table)
{
    const std::ptrdiff_t s = n / 8;
    const float* records = table + 2 * s - 8;
    const float* halves = table + n - 8;
    for (std::ptrdiff_t j = 0; j < s; j += 4) {
        const spWide w1 = spPrepare<Inverse>(records + 6 * j);
        const spWide w2 = spPrepare<Inverse>(records + 6 * j + 8);
        const spWide w3 = spPrepare<Inverse>(records + 6 * j + 16);
        // The radix-4 butterflies of position j in both halves, kept in registers.
        spV8 r[2][4];
        for (std::ptrdiff_t h = 0; h < 2; ++h) {
            const float* p = x + 2 * j + h * n;
            const spV8 a = spLoad8(p);
            const spV8 b = spMul(spLoad8(p + 2 * s), w2);
            const spV8 c = spMul(spLoad8(p + 4 * s), w1);
            const spV8 d = spMul(spLoad8(p + 6 * s), w3);
            const spV8 t0 = a + b, t1 = a - b, t2 = c + d, t3 = c - d;
            r[h][0] = t0 + t2;
            r[h][2] = t0 - t2;
            spRotatePair<Inverse>(t1, t3, r[h][1], r[h][3]);
        }
        for (std::ptrdiff_t k = 0; k < 4; ++k) {
            const std::ptrdiff_t g = 2 * j + 2 * k * s;
            const spV8 b = spMul(r[1][k], spPrepare<Inverse>(halves + g));
            spStore<mode>(y + g, r[0][k] + b);
            spStore<mode>(y + g + n, r[0][k] - b);
        }
    }
}

#define SP_WIDE(inv, mode)                                                                          \
    template void spRadix4PassWide<inv, mode>(const float*, float*, std::ptrdiff_t, std::ptrdiff_t, const float*); \
    template void spRadix2PassWide<inv, mode>(const float*, float*, std::ptrdiff_t, const float*); \
    template void spRadix8LastWide<inv, mode>(const float*, float*, std::ptrdiff_t, const float*);
template void spFirstPassLinearWide<false>(const float*, std::ptrdiff_t, std::ptrdiff_t, const float*, float*);
template void spFirstPassLinearWide<true>(const float*, std::ptrdiff_t, std::ptrdiff_t, const float*, float*);
template void spFirstPassFusedWide<false>(const spComplex*, const std::int32_t*, std::ptrdiff_t, std::ptrdiff_t,
                                          const float*, float*);
template void spFirstPassFusedWide<true>(const spComplex*, const std::int32_t*, std::ptrdiff_t, std::ptrdiff_t,
                                         const float*, float*);
SP_WIDE(false, spOutputMode::blocked)
SP_WIDE(false, spOutputMode::interleaved)
SP_WIDE(true, spOutputMode::blocked)
SP_WIDE(true, spOutputMode::interleaved)
