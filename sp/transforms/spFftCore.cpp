#include "sp/transforms/spFftCore.h"

#include <cstddef>

#include "sp/transforms/spSimd.h"

namespace {

// Walks a pair table: every pair (a, b) of element indices, then index 0 and every
// self-reversed index s. The stored words are 4u; the element index is 2u.
template <class PairMove, class SelfMove>
void spWalkPairs(const std::int32_t* table, PairMove pairMove, SelfMove selfMove)
{
    std::ptrdiff_t w = 0;
    for (;;) {
        const std::ptrdiff_t a = table[w] >> 1;
        if (a <= 0)
            break;
        pairMove(a, static_cast<std::ptrdiff_t>(table[w + 1] >> 1));
        w += 2;
    }
    selfMove(0);
    for (++w;; ++w) {
        const std::ptrdiff_t s = table[w] >> 1;
        if (s <= 0)
            break;
        selfMove(s);
    }
}

template <class T>
void spSwap(T& a, T& b)
{
    const T t = a;
    a = b;
    b = t;
}

// Pass 1: radix-4 butterflies on groups of four adjacent points, two groups per step, no
// twiddles (n >= 8).
template <bool Inverse>
void spFftFirstPass(float* x, std::ptrdiff_t n)
{
    for (std::ptrdiff_t g = 0; g < n; g += 8) {
        float* p = x + 2 * g;
        const spV4 v0 = spLoad4(p), v1 = spLoad4(p + 4), v2 = spLoad4(p + 8), v3 = spLoad4(p + 12);
        const spV4 a = spLows(v0, v2), b = spHighs(v0, v2);
        const spV4 c = spLows(v1, v3), d = spHighs(v1, v3);
        const spV4 t0 = a + b, t1 = a - b, t2 = c + d;
        const spV4 rot = spRotate4<Inverse>(c - d);
        const spV4 y0 = t0 + t2, y2 = t0 - t2, y1 = t1 + rot, y3 = t1 - rot;
        spStore4(p, spLows(y0, y1));
        spStore4(p + 4, spLows(y2, y3));
        spStore4(p + 8, spHighs(y0, y1));
        spStore4(p + 12, spHighs(y2, y3));
    }
}

// Radix-2 pass of span 4 for odd orders: groups of eight points, rotations W8^j, j = 0..3,
// taken from the layout's record n/8 (its first pair is W8).
template <bool Inverse>
void spFftRadix2Pass(float* x, std::ptrdiff_t n, const spComplex* layout)
{
    const spComplex w8 = layout[3 * (n / 8)];
    const spComplex one{1.0f, 0.0f};
    const spComplex w2{0.0f, -1.0f};
    const spComplex w3{w8.im, w8.im};
    const spTwiddle4 t01 = spPrepareTwiddle<Inverse>(spPair(one, w8));
    const spTwiddle4 t23 = spPrepareTwiddle<Inverse>(spPair(w2, w3));
    for (std::ptrdiff_t g = 0; g < n; g += 8) {
        float* p = x + 2 * g;
        const spV4 y01 = spLoad4(p), y23 = spLoad4(p + 4);
        const spV4 e01 = spMulTwiddle(spLoad4(p + 8), t01);
        const spV4 e23 = spMulTwiddle(spLoad4(p + 12), t23);
        spStore4(p, y01 + e01);
        spStore4(p + 4, y23 + e23);
        spStore4(p + 8, y01 - e01);
        spStore4(p + 12, y23 - e23);
    }
}

// Radix-4 pass of span L >= 4: butterflies j and j + 1 side by side, their twiddles loaded
// once and applied to every group.
template <bool Inverse>
void spFftRadix4Pass(float* x, std::ptrdiff_t n, std::ptrdiff_t span, const spComplex* layout)
{
    const std::ptrdiff_t recordStep = n / (4 * span);
    for (std::ptrdiff_t j = 0; j < span; j += 2) {
        const spComplex* r0 = layout + 3 * j * recordStep;
        const spComplex* r1 = r0 + 3 * recordStep;
        const spTwiddle4 w1 = spPrepareTwiddle<Inverse>(spPair(r0[0], r1[0]));
        const spTwiddle4 w2 = spPrepareTwiddle<Inverse>(spPair(r0[1], r1[1]));
        const spTwiddle4 w3 = spPrepareTwiddle<Inverse>(spPair(r0[2], r1[2]));
        for (std::ptrdiff_t g = j; g < n; g += 4 * span) {
            float* p = x + 2 * g;
            const spV4 a = spLoad4(p);
            const spV4 pb = spMulTwiddle(spLoad4(p + 2 * span), w2);
            const spV4 qc = spMulTwiddle(spLoad4(p + 4 * span), w1);
            const spV4 rd = spMulTwiddle(spLoad4(p + 6 * span), w3);
            const spV4 t0 = a + pb, t1 = a - pb, t2 = qc + rd;
            const spV4 rot = spRotate4<Inverse>(qc - rd);
            spStore4(p, t0 + t2);
            spStore4(p + 2 * span, t1 + rot);
            spStore4(p + 4 * span, t0 - t2);
            spStore4(p + 6 * span, t1 - rot);
        }
    }
}

} // namespace

void spFftBitRevCopy(const spComplex* src, spComplex* dst, int n, const std::int32_t* pairs)
{
    if (n < 8) {
        dst[0] = src[0];
        dst[n - 1] = src[n - 1];
        if (n > 2) {
            dst[2] = src[1];
            dst[1] = src[2];
        }
        return;
    }
    const std::ptrdiff_t h = n / 2;
    spWalkPairs(
        pairs,
        [&](std::ptrdiff_t a, std::ptrdiff_t b) {
            dst[b] = src[a];
            dst[b + 1] = src[h + a];
            dst[a] = src[b];
            dst[a + 1] = src[h + b];
            dst[h + b] = src[a + 1];
            dst[h + b + 1] = src[h + a + 1];
            dst[h + a] = src[b + 1];
            dst[h + a + 1] = src[h + b + 1];
        },
        [&](std::ptrdiff_t s) {
            dst[s] = src[s];
            dst[s + 1] = src[h + s];
            dst[h + s] = src[s + 1];
            dst[h + s + 1] = src[h + s + 1];
        });
}

void spFftBitRevInPlace(spComplex* x, int n, const std::int32_t* pairs)
{
    if (n < 4)
        return;
    const std::ptrdiff_t h = n / 2;
    spWalkPairs(
        pairs,
        [&](std::ptrdiff_t a, std::ptrdiff_t b) {
            spSwap(x[a], x[b]);
            spSwap(x[a + 1], x[h + b]);
            spSwap(x[h + a], x[b + 1]);
            spSwap(x[h + a + 1], x[h + b + 1]);
        },
        [&](std::ptrdiff_t s) { spSwap(x[s + 1], x[h + s]); });
}

template <bool Inverse>
void spFftCore(spComplex* data, int n, const spComplex* layout)
{
    float* x = &data->re;
    const std::ptrdiff_t points = n;
    spFftFirstPass<Inverse>(x, points);
    std::ptrdiff_t span = 4;
    if ((static_cast<std::uint32_t>(n) & 0xAAAAAAAAu) != 0) {
        spFftRadix2Pass<Inverse>(x, points, layout);
        span = 8;
    }
    for (; 4 * span <= points; span *= 4)
        spFftRadix4Pass<Inverse>(x, points, span, layout);
}

template void spFftCore<false>(spComplex*, int, const spComplex*);
template void spFftCore<true>(spComplex*, int, const spComplex*);
