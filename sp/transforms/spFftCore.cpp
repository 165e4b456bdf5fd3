#include "sp/transforms/spFftCore.h"

#include <cstddef>
#include <cstring>
#include <type_traits>

#include "sp/transforms/spColFft.h"
#include "sp/transforms/spColumns.h"
#include "sp/transforms/spFourierCommon.h"
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

// Lanes 0 and 1 (the first complex value) of `first`, lanes 2 and 3 of `second`.
inline spV4 spFirstThenSecond(spV4 first, spV4 second) { return __builtin_shuffle(first, second, spV4i{0, 1, 6, 7}); }

// The products by an odd power of W8 in the form that rounds a sum once before the product:
// (re + im, im - re) (the forward turn by W8) or (re - im, re + im) (its conjugate), each of
// both values of v, times `factor` (a part of W8 or of W8^3).
template <bool Conjugate>
inline spV4 spEighthTurn(spV4 v, float factor)
{
    const spV4 swapped = __builtin_shuffle(v, spV4i{1, 0, 3, 2});
    const spV4 sum = Conjugate ? v + spFlipSigns(swapped, spV4i{spSignBit, 0, spSignBit, 0})
                               : v + spFlipSigns(swapped, spV4i{0, spSignBit, 0, spSignBit});
    return sum * spV4{factor, factor, factor, factor};
}

// Radix-2 pass of span 4 for odd orders: groups of eight points, rotations W8^j, j = 0..3,
// from the layout's record n/8, whose first pair (wr, wi) is W8: j = 0 and j = 2 rotate
// exactly, j = 1 and j = 3 round the sum or difference of the parts before the product.
template <bool Inverse>
void spFftRadix2Pass(float* x, std::ptrdiff_t n, const spComplex* layout)
{
    const spComplex w8 = layout[3 * (n / 8)];
    for (std::ptrdiff_t g = 0; g < n; g += 8) {
        float* p = x + 2 * g;
        const spV4 y01 = spLoad4(p), y23 = spLoad4(p + 4);
        const spV4 v01 = spLoad4(p + 8), v23 = spLoad4(p + 12);
        const spV4 e01 = spFirstThenSecond(v01, spEighthTurn<Inverse>(v01, w8.re));
        const spV4 e23 = spFirstThenSecond(spRotate4<Inverse>(v23), spEighthTurn<!Inverse>(v23, w8.im));
        spStore4(p, y01 + e01);
        spStore4(p + 4, y23 + e23);
        spStore4(p + 8, y01 - e01);
        spStore4(p + 12, y23 - e23);
    }
}

// The four sums and differences of a radix-4 butterfly pair from its twiddled inputs.
template <bool Inverse>
inline void spRadix4Butterflies(float* p, std::ptrdiff_t span, spV4 a, spV4 pb, spV4 qc, spV4 rd)
{
    const spV4 t0 = a + pb, t1 = a - pb, t2 = qc + rd;
    const spV4 rot = spRotate4<Inverse>(qc - rd);
    spStore4(p, t0 + t2);
    spStore4(p + 2 * span, t1 + rot);
    spStore4(p + 4 * span, t0 - t2);
    spStore4(p + 6 * span, t1 - rot);
}

// Radix-4 pass of span 4 for even orders, from record n/16 alone (w1, w2, w3 = W16, W16^2,
// W16^3): butterfly 0 multiplies nothing, every product by W16^2 or W16^6 rounds a sum of the
// parts before the product, b turns exactly at j = 2, and W16^9 is the pair (w3.im, w3.re).
template <bool Inverse>
void spFftRadix4Span4Pass(float* x, std::ptrdiff_t n, const spComplex* layout)
{
    const spComplex* record = layout + 3 * (n / 16);
    const spComplex w1 = record[0], w2 = record[1], w3 = record[2];
    const spComplex w9{w3.im, w3.re};
    const spComplex one{1.0f, 0.0f};
    const spTwiddle4 t1 = spPrepareTwiddle<Inverse>(spPair(one, w1));
    const spTwiddle4 t3 = spPrepareTwiddle<Inverse>(spPair(one, w3));
    const spTwiddle4 t33 = spPrepareTwiddle<Inverse>(spPair(w3, w3));
    const spTwiddle4 t99 = spPrepareTwiddle<Inverse>(spPair(w9, w9));
    for (std::ptrdiff_t g = 0; g < n; g += 16) {
        float* p = x + 2 * g;
        // Butterflies 0 and 1.
        const spV4 b01 = spLoad4(p + 8), c01 = spLoad4(p + 16), d01 = spLoad4(p + 24);
        spRadix4Butterflies<Inverse>(p, 4, spLoad4(p), spFirstThenSecond(b01, spEighthTurn<Inverse>(b01, w2.re)),
                                     spFirstThenSecond(c01, spMulTwiddle(c01, t1)),
                                     spFirstThenSecond(d01, spMulTwiddle(d01, t3)));
        // Butterflies 2 and 3.
        const spV4 b23 = spLoad4(p + 12), c23 = spLoad4(p + 20), d23 = spLoad4(p + 28);
        spRadix4Butterflies<Inverse>(
            p + 4, 4, spLoad4(p + 4),
            spFirstThenSecond(spRotate4<Inverse>(b23), spEighthTurn<!Inverse>(b23, w2.im)),
            spFirstThenSecond(spEighthTurn<Inverse>(c23, w2.re), spMulTwiddle(c23, t33)),
            spFirstThenSecond(spEighthTurn<!Inverse>(d23, w2.im), spMulTwiddle(d23, t99)));
    }
}

// Radix-4 pass of span L >= 8: butterflies j and j + 1 side by side, their twiddles loaded
// once and applied to every group; butterfly 0 multiplies nothing.
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
            const spV4 b = spLoad4(p + 2 * span), c = spLoad4(p + 4 * span), d = spLoad4(p + 6 * span);
            spV4 pb = spMulTwiddle(b, w2), qc = spMulTwiddle(c, w1), rd = spMulTwiddle(d, w3);
            if (j == 0) {
                pb = spFirstThenSecond(b, pb);
                qc = spFirstThenSecond(c, qc);
                rd = spFirstThenSecond(d, rd);
            }
            spRadix4Butterflies<Inverse>(p, span, spLoad4(p), pb, qc, rd);
        }
    }
}

// The permutation of fewer than 8 points needs no table: 1 and 2 points stay, 4 swap the
// middle two.
void spBitRevFew(const spComplex* src, spComplex* dst, int n)
{
    dst[0] = src[0];
    dst[n - 1] = src[n - 1];
    if (n > 2) {
        const spComplex one = src[1];
        dst[1] = src[2];
        dst[2] = one;
    }
}

// Column 0: one complex value per move.
void spBitRevValues(const spComplex* src, spComplex* dst, std::ptrdiff_t h, const std::int32_t* pairs)
{
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

void spBitRevValuesInPlace(spComplex* x, std::ptrdiff_t h, const std::int32_t* pairs)
{
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

// Column 1: a complex value as one 8-byte unit, or, when the arrays are not 8-byte aligned,
// as its two floats.
template <bool Whole>
struct spUnit8 {
    using Held = std::conditional_t<Whole, std::uint64_t, spComplex>;

    static Held Get(const spComplex* p)
    {
        if constexpr (Whole) {
            std::uint64_t v;
            std::memcpy(&v, __builtin_assume_aligned(p, 8), 8);
            return v;
        } else {
            return {p->re, p->im};
        }
    }

    static void Put(spComplex* p, Held v)
    {
        if constexpr (Whole) {
            std::memcpy(__builtin_assume_aligned(p, 8), &v, 8);
        } else {
            p->re = v.re;
            p->im = v.im;
        }
    }
};

// Every move reads its values before it writes any, so the same routine serves the copy and
// the exchange in place.
template <class Unit>
void spBitRevUnits(const spComplex* src, spComplex* dst, std::ptrdiff_t h, const std::int32_t* pairs, bool inPlace)
{
    const auto move = [&](std::ptrdiff_t p, std::ptrdiff_t q) { // p <-> q
        const auto vp = Unit::Get(src + p), vq = Unit::Get(src + q);
        Unit::Put(dst + q, vp);
        Unit::Put(dst + p, vq);
    };
    spWalkPairs(
        pairs,
        [&](std::ptrdiff_t a, std::ptrdiff_t b) {
            move(a, b);
            move(a + 1, h + b);
            move(h + a, b + 1);
            move(h + a + 1, h + b + 1);
        },
        [&](std::ptrdiff_t s) {
            move(s + 1, h + s);
            if (!inPlace) {
                Unit::Put(dst + s, Unit::Get(src + s));
                Unit::Put(dst + h + s + 1, Unit::Get(src + h + s + 1));
            }
        });
}

// Columns 2 to 4: the values a, a + 1 (a even) share one 16-byte vector, as do h + a, h + a + 1;
// both vectors of a pair entry go out as (a, h + a) and (a + 1, h + a + 1) to b and h + b.
template <bool Aligned>
void spBitRevVectors(const spComplex* src, spComplex* dst, std::ptrdiff_t h, const std::int32_t* pairs)
{
    spWalkPairs(
        pairs,
        [&](std::ptrdiff_t a, std::ptrdiff_t b) {
            const spV4 lowA = spLoad4At<Aligned>(src + a), highA = spLoad4At<Aligned>(src + h + a);
            const spV4 lowB = spLoad4At<Aligned>(src + b), highB = spLoad4At<Aligned>(src + h + b);
            spStore4At<Aligned>(dst + b, spLows(lowA, highA));
            spStore4At<Aligned>(dst + h + b, spHighs(lowA, highA));
            spStore4At<Aligned>(dst + a, spLows(lowB, highB));
            spStore4At<Aligned>(dst + h + a, spHighs(lowB, highB));
        },
        [&](std::ptrdiff_t s) {
            const spV4 low = spLoad4At<Aligned>(src + s), high = spLoad4At<Aligned>(src + h + s);
            spStore4At<Aligned>(dst + s, spLows(low, high));
            spStore4At<Aligned>(dst + h + s, spHighs(low, high));
        });
}

// The permutation of 8 points, written out.
void spBitRevEight(const spComplex* src, spComplex* dst)
{
    const spComplex x1 = src[1], x3 = src[3], x4 = src[4], x6 = src[6];
    dst[0] = src[0];
    dst[2] = src[2];
    dst[5] = src[5];
    dst[7] = src[7];
    dst[1] = x4;
    dst[4] = x1;
    dst[3] = x6;
    dst[6] = x3;
}

// The permutation by the column's moves; src may be dst.
template <int Column>
void spBitRev(const spComplex* src, spComplex* dst, int n, const std::int32_t* pairs)
{
    const std::ptrdiff_t h = n / 2;
    if constexpr (Column == 0) {
        if (src == dst)
            spBitRevValuesInPlace(dst, h, pairs);
        else
            spBitRevValues(src, dst, h, pairs);
    } else if constexpr (Column == 1) {
        if (spIsAligned(src, 8) && spIsAligned(dst, 8))
            spBitRevUnits<spUnit8<true>>(src, dst, h, pairs, src == dst);
        else
            spBitRevUnits<spUnit8<false>>(src, dst, h, pairs, src == dst);
    } else if (n == 8) {
        spBitRevEight(src, dst);
    } else if (spIsAligned(src, 16) && spIsAligned(dst, 16)) {
        spBitRevVectors<true>(src, dst, h, pairs);
    } else {
        spBitRevVectors<false>(src, dst, h, pairs);
    }
}

} // namespace

template <int Column>
void spFftBitRevCopy(const spComplex* src, spComplex* dst, int n, const std::int32_t* pairs)
{
    if (n < 8)
        spBitRevFew(src, dst, n);
    else
        spBitRev<Column>(src, dst, n, pairs);
}

template <int Column>
void spFftBitRevInPlace(spComplex* data, int n, const std::int32_t* pairs)
{
    if (n == 4)
        spBitRevFew(data, data, n);
    else if (n >= 8)
        spBitRev<Column>(data, data, n, pairs);
}

template <int Column, bool Inverse>
void spFftCore(spComplex* data, int n, const spComplex* table)
{
    if constexpr (Column != 0) {
        spColCoreLinear<Inverse>(data, spOrderOf(n), reinterpret_cast<const float*>(table), spColumnLeafOrder(Column),
                                 spOutputMode::interleaved);
        return;
    }
    float* x = &data->re;
    const std::ptrdiff_t points = n;
    spFftFirstPass<Inverse>(x, points);
    std::ptrdiff_t span = 16;
    if ((static_cast<std::uint32_t>(n) & 0xAAAAAAAAu) != 0) {
        spFftRadix2Pass<Inverse>(x, points, table);
        span = 8;
    } else if (points >= 16) {
        spFftRadix4Span4Pass<Inverse>(x, points, table);
    }
    for (; 4 * span <= points; span *= 4)
        spFftRadix4Pass<Inverse>(x, points, span, table);
}

#define SP_FFT_CORE_COLUMN(c)                                                                       \
    template void spFftBitRevCopy<c>(const spComplex*, spComplex*, int, const std::int32_t*);       \
    template void spFftBitRevInPlace<c>(spComplex*, int, const std::int32_t*);                      \
    template void spFftCore<c, false>(spComplex*, int, const spComplex*);                           \
    template void spFftCore<c, true>(spComplex*, int, const spComplex*);
SP_FOR_EACH_COLUMN(SP_FFT_CORE_COLUMN)
