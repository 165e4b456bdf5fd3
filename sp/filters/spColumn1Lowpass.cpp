// Column 1's lowpass output rows: the 5x5 and 3x3 means of the column sums. Float rows take
// the streaming form (head, loop and tail each adding in an order of their own); pixels
// whose fourth element is kept take one pixel per pass.
#include <cstdint>

#include "sp/filters/spColumn1Forms.h"
#include "sp/filters/spColumn1Integer.h"
#include "sp/filters/spColumn1Kernels.h"

namespace spColumn1 {

namespace {

using spColumn1Detail::Add;
using spColumn1Detail::At;
using spColumn1Detail::Index;

// Terms E elements apart; head and tail ((((b0 + b1) + b2) + b3) + b4), the loop
// ((((b2 + b0) + b1) + b4) + b3), for three channels ((b2 + b1) + ((b0 + b4) + b3)).
template <int E>
struct Mean5 {
    static constexpr bool kScaled = false;
    const float* b;

    __m128 Head(Index i) const
    {
        const float* p = b + i;
        const __m128 s = Add(Add(Add(Add(At<0>(p), At<E>(p)), At<2 * E>(p)), At<3 * E>(p)), At<4 * E>(p));
        return _mm_mul_ps(s, _mm_set1_ps(spVariantMean5));
    }
    __m128 Block(Index i, __m128) const
    {
        const float* p = b + i;
        const __m128 b0 = At<0>(p), b1 = At<E>(p), b2 = At<2 * E>(p), b3 = At<3 * E>(p), b4 = At<4 * E>(p);
        const __m128 s = E == 3 ? Add(Add(b2, b1), Add(Add(b0, b4), b3)) : Add(Add(Add(Add(b2, b0), b1), b4), b3);
        return _mm_mul_ps(s, _mm_set1_ps(spVariantMean5));
    }
    float Tail(Index i) const
    {
        const float* p = b + i;
        return ((((p[0] + p[E]) + p[2 * E]) + p[3 * E]) + p[4 * E]) * spVariantMean5;
    }
};

// Head and tail ((b0 + b1) + b2), the loop ((b2 + b0) + b1).
template <int E>
struct Mean3 {
    static constexpr bool kScaled = false;
    const float* b;

    __m128 Head(Index i) const
    {
        const float* p = b + i;
        return _mm_mul_ps(Add(Add(At<0>(p), At<E>(p)), At<2 * E>(p)), _mm_set1_ps(spVariantMean3));
    }
    __m128 Block(Index i, __m128) const
    {
        const float* p = b + i;
        return _mm_mul_ps(Add(Add(At<2 * E>(p), At<0>(p)), At<E>(p)), _mm_set1_ps(spVariantMean3));
    }
    float Tail(Index i) const
    {
        const float* p = b + i;
        return ((p[0] + p[E]) + p[2 * E]) * spVariantMean3;
    }
};

// Whole pixels: (((P0 + P2) + P4) + (P1 + P3)) and ((P0 + P1) + P2).
struct Mean5Pixels {
    static constexpr bool kScaled = false;
    const float* b;

    __m128 Pixel(Index i, __m128) const
    {
        const float* p = b + i;
        const __m128 s = Add(Add(Add(At<0>(p), At<8>(p)), At<16>(p)), Add(At<4>(p), At<12>(p)));
        return _mm_mul_ps(s, _mm_set1_ps(spVariantMean5));
    }
};

struct Mean3Pixels {
    static constexpr bool kScaled = false;
    const float* b;

    __m128 Pixel(Index i, __m128) const
    {
        const float* p = b + i;
        return _mm_mul_ps(Add(Add(At<0>(p), At<4>(p)), At<8>(p)), _mm_set1_ps(spVariantMean3));
    }
};

template <template <int> class K, int E>
void Streamed(const void* buf, void* dst, std::ptrdiff_t n)
{
    spColumn1StreamRow(K<E>{static_cast<const float*>(buf)}, dst, n);
}

template <class K>
void Pixels(const void* buf, void* dst, std::ptrdiff_t n)
{
    spColumn1PixelRow(K{static_cast<const float*>(buf)}, dst, n);
}

// The integer nearest the mean of the Terms column sums (25 and 9 are odd: no ties), by the
// column's multiply-high with a reciprocal, 16-bit sums kept in their offset form.
template <class E, int P, int Terms>
std::int32_t IntMean(const void* buf, Index k)
{
    std::int32_t s = 0;
    for (int j = 0; j < Terms; ++j)
        s += spColumn1True<E>(buf, k + j * P, Terms);
    if constexpr (Terms == 5)
        return spColumnTraits<1>::Div25<E>(s);
    else
        return spColumnTraits<1>::Div9<E>(s);
}

using spColumn1Detail::Alpha;

template <class E, int P, bool KeepAlpha, int Terms>
void IntMeanRow(const void* buf, void* dst, std::ptrdiff_t n)
{
    constexpr Alpha how = sizeof(typename E::Dst) == 1 ? Alpha::Masked : Alpha::Pieces;
    spColumn1IntOutput<E, KeepAlpha, how>(dst, n, [&](Index k) { return IntMean<E, P, Terms>(buf, k); });
}

} // namespace

template <class E, int P, bool KeepAlpha>
void spColMean5(const void* buf, void* dst, std::ptrdiff_t n)
{
    if constexpr (!E::kFloat)
        IntMeanRow<E, P, KeepAlpha, 5>(buf, dst, n);
    else if constexpr (KeepAlpha)
        Pixels<Mean5Pixels>(buf, dst, n);
    else
        Streamed<Mean5, P>(buf, dst, n);
}

template <class E, int P, bool KeepAlpha>
void spColMean3(const void* buf, void* dst, std::ptrdiff_t n)
{
    if constexpr (!E::kFloat)
        IntMeanRow<E, P, KeepAlpha, 3>(buf, dst, n);
    else if constexpr (KeepAlpha)
        Pixels<Mean3Pixels>(buf, dst, n);
    else
        Streamed<Mean3, P>(buf, dst, n);
}

spLayoutRun Mean5Run()
{
    return Join(SP_COLUMN1_LAYOUTS(spRowFn, spColMean5, spU8), SP_COLUMN1_LAYOUTS(spRowFn, spColMean5, spS16),
                SP_COLUMN1_LAYOUTS(spRowFn, spColMean5, spF32));
}

spLayoutRun Mean3Run()
{
    return Join(SP_COLUMN1_LAYOUTS(spRowFn, spColMean3, spU8), SP_COLUMN1_LAYOUTS(spRowFn, spColMean3, spS16),
                SP_COLUMN1_LAYOUTS(spRowFn, spColMean3, spF32));
}

} // namespace spColumn1
