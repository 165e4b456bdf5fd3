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
#include "sp/transforms/spWide.h"

namespace {

// Four floats in both halves, straight from memory (one load, no shuffle).
inline spF8 spBroadcast(const float* p)
{
    return reinterpret_cast<spF8>(_mm256_broadcast_ps(reinterpret_cast<const __m128*>(p)));
}

inline spF8Half spLoad4h(const float* p)
{
    spF8Half v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <bool Inverse>
inline spWide spPrepare(const float* w)
{
    return {spBroadcast(w), Inverse ? spNegateHigh(spBroadcast(w + 4)) : spNegateLow(spBroadcast(w + 4))};
}

template <spOutputMode mode>
inline void spStore(float* p, spF8 v)
{
    if constexpr (mode == spOutputMode::interleaved)
        v = spInterleaved(v);
    spStore8(p, v);
}

// Outputs a quarter and three quarters into the span: t1 -+ i t3 (forward) or t1 +- i t3.
template <bool Inverse>
inline void spRotatePair(spF8 t1, spF8 t3, spF8& y1, spF8& y3)
{
    const spF8 r = spNegateHigh(spSwapHalves(t3)); // (t3.im, -t3.re)
    y1 = Inverse ? t1 - r : t1 + r;
    y3 = Inverse ? t1 + r : t1 - r;
}

// Two groups of the first pass side by side: lanes 0 to 3 of group g, lanes 4 to 7 of
// group g + 1, real and imaginary parts apart. Every shuffle stays within its 128-bit half,
// so each half computes what the 128-bit first pass computes for its group.
using spPair8 = spBlkOf<spF8>;

// The values of two groups whose sources are neighbours, in the lanes of the first pass:
// pairs (A, B) of neighbouring values at the four places of lanes 0 to 3, into
// (A0 A1 A2 A3 | B0 B1 B2 B3) of real and of imaginary parts.
inline spPair8 spNeighbours(const spComplex* q0, const spComplex* q1, const spComplex* q2, const spComplex* q3)
{
    const spF8 z = spJoin(spLoad4h(&q0->re), spLoad4h(&q1->re));
    const spF8 w = spJoin(spLoad4h(&q2->re), spLoad4h(&q3->re));
    const spI8 order = {0, 4, 2, 6, 1, 5, 3, 7};
    return {__builtin_shuffle(__builtin_shuffle(z, w, spI8{0, 2, 8, 10, 4, 6, 12, 14}), order),
            __builtin_shuffle(__builtin_shuffle(z, w, spI8{1, 3, 9, 11, 5, 7, 13, 15}), order)};
}

// (p0, p1 | p4, p5) and (q0, q1 | q4, q5) as interleaved pairs into real and imaginary parts.
inline spPair8 spSplit(spF8 p, spF8 q)
{
    return {__builtin_shuffle(p, q, spI8{0, 2, 8, 10, 4, 6, 12, 14}),
            __builtin_shuffle(p, q, spI8{1, 3, 9, 11, 5, 7, 13, 15})};
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
        spStore8(low + 8 * k, spLowHalves(v[k].re, v[k].im));
        spStore8(high + 8 * k, spHighHalves(v[k].re, v[k].im));
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
            const spF8 a = spLoad8(x + g);
            const spF8 b = spMul(spLoad8(x + g + 2 * s), w2);
            const spF8 c = spMul(spLoad8(x + g + 4 * s), w1);
            const spF8 d = spMul(spLoad8(x + g + 6 * s), w3);
            const spF8 t0 = a + b, t1 = a - b, t2 = c + d, t3 = c - d;
            spF8 y1, y3;
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
        const spF8 a = spLoad8(x + g);
        const spF8 b = spMul(spLoad8(x + g + n), spPrepare<Inverse>(w));
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
        spF8 r[2][4];
        for (std::ptrdiff_t h = 0; h < 2; ++h) {
            const float* p = x + 2 * j + h * n;
            const spF8 a = spLoad8(p);
            const spF8 b = spMul(spLoad8(p + 2 * s), w2);
            const spF8 c = spMul(spLoad8(p + 4 * s), w1);
            const spF8 d = spMul(spLoad8(p + 6 * s), w3);
            const spF8 t0 = a + b, t1 = a - b, t2 = c + d, t3 = c - d;
            r[h][0] = t0 + t2;
            r[h][2] = t0 - t2;
            spRotatePair<Inverse>(t1, t3, r[h][1], r[h][3]);
        }
        for (std::ptrdiff_t k = 0; k < 4; ++k) {
            const std::ptrdiff_t g = 2 * j + 2 * k * s;
            const spF8 b = spMul(r[1][k], spPrepare<Inverse>(halves + g));
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
