// The radix-4 and radix-2 passes of the blocked FFT core in 256-bit vectors, for processors
// with AVX2 (chosen at run time). A vector holds one whole block, four real parts and four
// imaginary parts; the products swap the halves instead of splitting the block, and every
// sum and product is the one the 128-bit passes form, so both give the same bits.
#pragma GCC target("avx2")

#include <cstddef>
#include <cstdint>
#include <cstring>

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

template <bool Inverse>
inline spWide spPrepare(const float* w)
{
    const spV8 v = spLoad8(w);
    const spV8 re = __builtin_shuffle(v, spV8i{0, 1, 2, 3, 0, 1, 2, 3});
    const spV8 im = __builtin_shuffle(v, spV8i{4, 5, 6, 7, 4, 5, 6, 7});
    return {re, spFlip(im, Inverse ? spHighSigns : spLowSigns)};
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

} // namespace

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

#define SP_WIDE(inv, mode)                                                                          \
    template void spRadix4PassWide<inv, mode>(const float*, float*, std::ptrdiff_t, std::ptrdiff_t, const float*); \
    template void spRadix2PassWide<inv, mode>(const float*, float*, std::ptrdiff_t, const float*);
SP_WIDE(false, spOutputMode::blocked)
SP_WIDE(false, spOutputMode::interleaved)
SP_WIDE(true, spOutputMode::blocked)
SP_WIDE(true, spOutputMode::interleaved)
