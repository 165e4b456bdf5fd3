// Column 1's centre-combine kernels: a multiple of the centre source element minus the
// window's column sums (the 3x3 Laplace and highpass, the 5x5 highpass, the sharpen filter).
// The float rows take the streaming form, their loops reading the centre row through the
// scaled loader the access block picks (it multiplies as it loads); head, loop and tail
// subtract in orders of their own.
#include "sp/filters/spColumn1Forms.h"
#include "sp/filters/spColumn1Integer.h"
#include "sp/filters/spColumn1Kernels.h"

namespace spColumn1 {

namespace {

using spColumn1Detail::Add;
using spColumn1Detail::At;
using spColumn1Detail::GetFloat;
using spColumn1Detail::Index;
using spColumn1Detail::Sub;

// The centre elements i to i + 3 times `factor`, as the head reads them.
inline __m128 Scaled(const float* centre, Index i, float factor)
{
    return _mm_mul_ps(_mm_loadu_ps(centre + i), _mm_set1_ps(factor));
}

// The sharpen filter's results (factor 17) take an eighth.
template <int Factor>
__m128 Finished(__m128 v)
{
    return Factor == 17 ? _mm_mul_ps(v, _mm_set1_ps(0.125f)) : v;
}
template <int Factor>
float Finished(float v)
{
    return Factor == 17 ? v * 0.125f : v;
}

// Factor x centre - (L + M + R), finished: head Fx - ((L + M) + R), loop ((Fx - L) - R) - M,
// tail ((Fx - L) - M) - R.
template <int E, int Factor>
struct CentreMinusThree {
    static constexpr bool kScaled = true;
    static constexpr float kFactor = static_cast<float>(Factor);
    const float* centre;
    const float* b;

    __m128 Head(Index i) const
    {
        const float* p = b + i;
        return Finished<Factor>(Sub(Scaled(centre, i, kFactor), Add(Add(At<0>(p), At<E>(p)), At<2 * E>(p))));
    }
    __m128 Block(Index i, __m128 x) const
    {
        const float* p = b + i;
        return Finished<Factor>(Sub(Sub(Sub(x, At<0>(p)), At<2 * E>(p)), At<E>(p)));
    }
    float Tail(Index i) const
    {
        const float* p = b + i;
        return Finished<Factor>(((GetFloat(centre + i) * kFactor - p[0]) - p[E]) - p[2 * E]);
    }
};

template <int E>
using CentreMinusSum3 = CentreMinusThree<E, 9>;
template <int E>
using Sharpen = CentreMinusThree<E, 17>;

// 25 x centre - the five column sums w0 .. w4. One and four channels subtract
// w0, w4, w1, w2, w3 in head and loop; three channels w0, w1, w2, w4, w3 in the head and
// w0, w4, w1, w2, w3 in the loop, and one by one in the tail. The one-channel tail subtracts
// each output's own window sum (((w0 + w1) + w2) + w3) + w4, where a sum running along the row
// would carry an infinity or NaN past its window.
template <int E>
struct Hipass5 {
    static constexpr bool kScaled = true;
    static constexpr float kFactor = 25.0f;
    const float* centre;
    const float* b;

    template <int... J>
    static __m128 Minus(__m128 v, const float* p)
    {
        ((v = Sub(v, At<J * E>(p))), ...);
        return v;
    }
    __m128 Head(Index i) const
    {
        const __m128 x = Scaled(centre, i, kFactor);
        return E == 3 ? Minus<0, 1, 2, 4, 3>(x, b + i) : Minus<0, 4, 1, 2, 3>(x, b + i);
    }
    __m128 Block(Index i, __m128 x25) const { return Minus<0, 4, 1, 2, 3>(x25, b + i); }
    float Tail(Index i) const
    {
        const float* p = b + i;
        const float x = GetFloat(centre + i) * kFactor;
        if constexpr (E == 3)
            return ((((x - p[0]) - p[3]) - p[6]) - p[9]) - p[12];
        else
            return x - ((((p[0] + p[E]) + p[2 * E]) + p[3 * E]) + p[4 * E]);
    }
};

// Pixels whose fourth element is kept, one per pass, terms a pixel apart: 9x and 17c minus
// L, M and R in that order; 25x minus the pixel's own five-pixel sum.
template <int Factor>
struct CentrePixels {
    static constexpr bool kScaled = true;
    static constexpr float kFactor = static_cast<float>(Factor);
    const float* centre;
    const float* b;

    __m128 Pixel(Index i, __m128 x) const
    {
        const float* p = b + i;
        if constexpr (Factor == 25)
            return Sub(x, Add(Add(Add(Add(At<0>(p), At<4>(p)), At<8>(p)), At<12>(p)), At<16>(p)));
        return Finished<Factor>(Sub(Sub(Sub(x, At<0>(p)), At<4>(p)), At<8>(p)));
    }
};

template <template <int> class K, int E>
void Streamed(const void* centre, const void* buf, void* dst, std::ptrdiff_t n)
{
    spColumn1StreamRow(K<E>{static_cast<const float*>(centre), static_cast<const float*>(buf)}, dst, n);
}

template <int Factor>
void Pixels(const void* centre, const void* buf, void* dst, std::ptrdiff_t n)
{
    spColumn1PixelRow(CentrePixels<Factor>{static_cast<const float*>(centre), static_cast<const float*>(buf)},
                      dst, n);
}

using spColumn1Detail::Alpha;

// Factor x the centre element minus the `terms` column sums P elements apart, exact.
template <class E, int P>
auto CentreMinus(const void* centre, const void* buf, int factor, int terms)
{
    return [=](Index k) {
        using A = typename E::Acc;
        A v = E::Value(spColumn1Detail::GetElement<typename E::Src>(centre, k)) * A(factor);
        for (int j = 0; j < terms; ++j)
            v -= spColumn1True<E>(buf, k + j * P, terms);
        return v;
    };
}

} // namespace

// P: elements between horizontal neighbours (1, 3 or 4); KeepAlpha: the fourth element of
// every pixel is left alone.
template <class E, int P, bool KeepAlpha>
void spColCentreMinusSum3(const void* centre, const void* buf, void* dst, std::ptrdiff_t n)
{
    if constexpr (!E::kFloat)
        spColumn1IntOutput<E, KeepAlpha, sizeof(typename E::Dst) == 1 ? Alpha::Merged : Alpha::Masked>(
            dst, n, CentreMinus<E, P>(centre, buf, 9, 3));
    else if constexpr (KeepAlpha)
        Pixels<9>(centre, buf, dst, n);
    else
        Streamed<CentreMinusSum3, P>(centre, buf, dst, n);
}

template <class E, int P, bool KeepAlpha>
void spColHipass5(const void* centre, const void* buf, void* dst, std::ptrdiff_t n)
{
    if constexpr (!E::kFloat)
        spColumn1IntOutput<E, KeepAlpha, Alpha::Masked>(dst, n, CentreMinus<E, P>(centre, buf, 25, 5));
    else if constexpr (KeepAlpha)
        Pixels<25>(centre, buf, dst, n);
    else
        Streamed<Hipass5, P>(centre, buf, dst, n);
}

template <class E, int P, bool KeepAlpha>
void spSharpenFromSums(const void* centre, const void* buf, void* dst, std::ptrdiff_t n)
{
    if constexpr (!E::kFloat) {
        const auto v = CentreMinus<E, P>(centre, buf, 17, 3);
        spColumn1IntOutput<E, KeepAlpha, sizeof(typename E::Dst) == 1 ? Alpha::Merged : Alpha::Masked>(
            dst, n, [&](Index k) { return spColumnTraits<1>::RoundShift<3>(v(k)); });
    }
    else if constexpr (KeepAlpha)
        Pixels<17>(centre, buf, dst, n);
    else
        Streamed<Sharpen, P>(centre, buf, dst, n);
}

std::array<spCentreFn*, 17> CentreMinusSum3Run()
{
    return Join(SP_COLUMN1_LAYOUTS(spCentreFn, spColCentreMinusSum3, spU8), SP_COLUMN1_LAYOUTS(spCentreFn, spColCentreMinusSum3, spS16),
                SP_COLUMN1_LAYOUTS(spCentreFn, spColCentreMinusSum3, spF32),
                SP_COLUMN1_LAYOUTS(spCentreFn, spColCentreMinusSum3, spU8S16),
                std::array<spCentreFn*, 1>{spColCentreMinusSum3<spS8S16, 1, false>});
}

spCentreRun Hipass5Run()
{
    return Join(SP_COLUMN1_LAYOUTS(spCentreFn, spColHipass5, spU8), SP_COLUMN1_LAYOUTS(spCentreFn, spColHipass5, spS16),
                SP_COLUMN1_LAYOUTS(spCentreFn, spColHipass5, spF32));
}

spCentreRun SharpenRun()
{
    return Join(SP_COLUMN1_LAYOUTS(spCentreFn, spSharpenFromSums, spU8), SP_COLUMN1_LAYOUTS(spCentreFn, spSharpenFromSums, spS16),
                SP_COLUMN1_LAYOUTS(spCentreFn, spSharpenFromSums, spF32));
}

} // namespace spColumn1
