// Column 1's kernel set 1: the 5x5 Gauss and Laplace row passes (three profiles of every
// source row) and column passes (five profile rows into an output row), and the 3x3 Gauss
// row pass over 1-2-1 column sums. The float row passes read their source through the load
// the access block picks, keeping the window in registers and loading one vector per pass;
// the float output rows take the streaming form. (No prefetch: the processor's own keeps ahead
// of one sequential row, and an explicit one only cost time.)
#include <type_traits>

#include "sp/filters/spColumn1Forms.h"
#include "sp/filters/spColumn1Integer.h"
#include "sp/filters/spColumn1Kernels.h"

namespace spColumn1 {

namespace {

using spColumn1Detail::At;
using spColumn1Detail::GetFloat;
using spColumn1Detail::Index;

// The three profiles from p = x0 + x4, q = x1 + x3 and m = x2 (taps P apart): Gauss outer
// (2p + 7q) + 12m, middle (7p + 31q) + 52m, centre (12p + 52q) + 127m; Laplace outer
// (-p - 3q) - 4m, middle 6m - 3p, centre (20m + 6q) - 4p. T is a float, four floats or an
// exact integer.
template <bool Gauss, class T>
void Profiles(T p, T q, T m, T& outer, T& middle, T& centre)
{
    const auto k = [](int w) {
        if constexpr (std::is_arithmetic_v<T>)
            return static_cast<T>(w);
        else
            return T(_mm_set1_ps(static_cast<float>(w)));
    };
    if constexpr (Gauss) {
        outer = (k(2) * p + k(7) * q) + k(12) * m;
        middle = (k(7) * p + k(31) * q) + k(52) * m;
        centre = (k(12) * p + k(52) * q) + k(127) * m;
    } else {
        outer = (-p - k(3) * q) - k(4) * m;
        middle = k(6) * m - k(3) * p;
        centre = (k(20) * m + k(6) * q) - k(4) * p;
    }
}

// Four floats with the arithmetic operators, for the profiles' one formula.
struct Vec {
    __m128 v;
    Vec(__m128 x) : v(x) {}
    friend Vec operator+(Vec a, Vec b) { return _mm_add_ps(a.v, b.v); }
    friend Vec operator-(Vec a, Vec b) { return _mm_sub_ps(a.v, b.v); }
    friend Vec operator*(Vec a, Vec b) { return _mm_mul_ps(a.v, b.v); }
    friend Vec operator-(Vec a) { return _mm_xor_ps(a.v, _mm_set1_ps(-0.0f)); }
};

// Lanes From.. of a followed by the first lanes of b: four consecutive floats of a window.
template <int From>
__m128 Window(__m128 a, __m128 b)
{
    if constexpr (From == 0)
        return a;
    else
        return spColumn1Detail::Joined<From>(a, b);
}

template <bool Gauss, int P, spColumn1Load* Load>
void RowPassLoop(const float* x, float* o, float* mi, float* c, std::ptrdiff_t n)
{
    // The window of one pass: taps i + jP for j = 0 to 4, four floats each, lie in V vectors.
    constexpr int V = P + 1;
    __m128 w[V];
    Index i = 0;
    if (n >= 4)
        for (int v = 0; v + 1 < V; ++v)
            w[v] = Load(x + 4 * v);
    for (; n - i >= 4; i += 4) {
        w[V - 1] = Load(x + i + 4 * (V - 1));
        const auto tap = [&]<int J>() {
            return Vec(Window<J * P % 4>(w[J * P / 4], w[J * P / 4 + (J * P % 4 != 0)]));
        };
        Vec ov = tap.template operator()<0>(), dv = ov, cv = ov;
        Profiles<Gauss>(tap.template operator()<0>() + tap.template operator()<4>(),
                        tap.template operator()<1>() + tap.template operator()<3>(), tap.template operator()<2>(),
                        ov, dv, cv);
        _mm_store_ps(o + i, ov.v);
        _mm_store_ps(mi + i, dv.v);
        _mm_store_ps(c + i, cv.v);
        for (int v = 0; v + 1 < V; ++v)
            w[v] = w[v + 1];
    }
    for (; i < n; ++i) {
        const auto t = [&](int j) { return GetFloat(x + i + j * P); };
        Profiles<Gauss>(t(0) + t(4), t(1) + t(3), t(2), o[i], mi[i], c[i]);
    }
}

template <bool Gauss, int P>
void RowPassFloat(const void* src, void* outer, void* middle, void* centre, std::ptrdiff_t n)
{
    const auto* x = static_cast<const float*>(src);
    spWithPicked<spLoadA16, spLoadA4, spLoadA8>(spPickLoad(x), [&]<spColumn1Load* Load>() {
        RowPassLoop<Gauss, P, Load>(x, static_cast<float*>(outer), static_cast<float*>(middle),
                                    static_cast<float*>(centre), n);
    });
}

// (((r0 + r1) + r2) + r3) + r4, for Gauss times the float nearest 1/571.
template <bool Gauss>
struct ColPass {
    static constexpr bool kScaled = false;
    const float *r0, *r1, *r2, *r3, *r4;

    __m128 Head(Index i) const
    {
        const __m128 s = _mm_add_ps(_mm_add_ps(_mm_add_ps(_mm_add_ps(_mm_load_ps(r0 + i), _mm_load_ps(r1 + i)),
                                                          _mm_load_ps(r2 + i)),
                                               _mm_load_ps(r3 + i)),
                                    _mm_load_ps(r4 + i));
        return Gauss ? _mm_mul_ps(s, _mm_set1_ps(spVariantInv571)) : s;
    }
    __m128 Block(Index i, __m128) const { return Head(i); }
    __m128 Pixel(Index i, __m128) const { return Head(i); }
    float Tail(Index i) const
    {
        const float s = (((r0[i] + r1[i]) + r2[i]) + r3[i]) + r4[i];
        return Gauss ? s * spVariantInv571 : s;
    }
};

// (e0 + 2 e1) + e2 times 0.0625, from 1-2-1 column sums P elements apart.
template <int P>
struct GaussRow3 {
    static constexpr bool kScaled = false;
    const float* b;

    __m128 Head(Index i) const
    {
        const float* p = b + i;
        const __m128 mid = At<P>(p);
        return _mm_mul_ps(_mm_add_ps(_mm_add_ps(At<0>(p), _mm_add_ps(mid, mid)), At<2 * P>(p)),
                          _mm_set1_ps(0.0625f));
    }
    __m128 Block(Index i, __m128) const { return Head(i); }
    __m128 Pixel(Index i, __m128) const { return Head(i); }
    float Tail(Index i) const
    {
        const float* p = b + i;
        return ((p[0] + (p[P] + p[P])) + p[2 * P]) * 0.0625f;
    }
};

template <class K>
void Output(const K& k, bool keepAlpha, void* dst, std::ptrdiff_t n)
{
    if (keepAlpha)
        spColumn1PixelRow(k, dst, n);
    else
        spColumn1StreamRow(k, dst, n);
}

// Integer profiles in the lanes of spProfile: 8-bit samples in 16-bit lanes, 16-bit samples
// offset by 32768 (top bit flipped) in 32-bit lanes, whose offsets the column pass cancels
// (Laplace) or carries through the division (Gauss).
template <class E, bool Gauss, int P>
void RowPassInt(const void* src, void* outer, void* middle, void* centre, std::ptrdiff_t n)
{
    using R = spProfile<E, Gauss>;
    using A = typename E::Acc;
    auto *o = static_cast<R*>(outer), *mi = static_cast<R*>(middle), *c = static_cast<R*>(centre);
    for (Index i = 0; i < n; ++i) {
        const auto x = [&](int j) {
            const auto v = spColumn1Detail::GetElement<typename E::Src>(src, i + j * P);
            return static_cast<A>(static_cast<A>(v) + E::kBias);
        };
        A ov = 0, mv = 0, cv = 0;
        Profiles<Gauss>(x(0) + x(4), x(1) + x(3), x(2), ov, mv, cv);
        o[i] = static_cast<R>(ov);
        mi[i] = static_cast<R>(mv);
        c[i] = static_cast<R>(cv);
    }
}

// s = (((r0 + r1) + r2) + r3) + r4: Laplace s saturated; Gauss the nearest integer to s / 571,
// floor(s / 571 + 1/2) = ((2s + 571) x 962794770) >> 40 on the non-negative sum of offset
// samples, the offset then taken back. (Integer arithmetic: the caller's rounding mode cannot
// change it.)
template <class E, bool Gauss, bool KeepAlpha>
void ColumnPassInt(const void* const (&rows)[5], void* dst, std::ptrdiff_t n)
{
    using R = spProfile<E, Gauss>;
    using A = typename E::Acc;
    const auto lane = [&](Index i) {
        A s = static_cast<const R*>(rows[0])[i];
        for (int j = 1; j < 5; ++j)
            s = s + static_cast<A>(static_cast<const R*>(rows[j])[i]);
        if constexpr (!Gauss) {
            return s;
        } else {
            const auto u = static_cast<std::uint64_t>(2 * static_cast<std::int64_t>(s) + 571);
            return static_cast<A>(static_cast<std::int64_t>((u * 962794770ull) >> 40) - E::kBias);
        }
    };
    using spColumn1Detail::Alpha;
    if constexpr (Gauss && !(sizeof(typename E::Dst) == 1 && !KeepAlpha))
        spColumn1IntElements<typename E::Dst, KeepAlpha>(dst, n, [&](Index i) { return E::Saturate(lane(i)); });
    else
        spColumn1IntOutput<E, KeepAlpha, Alpha::Masked>(dst, n, lane);
}

// h = (e0 + 2 e1) + e2 of 1-2-1 column sums, / 16 rounded to nearest with ties to even.
template <class E, int P, bool KeepAlpha>
void GaussRow3Int(const void* buf, void* dst, std::ptrdiff_t n)
{
    spColumn1IntOutput<E, KeepAlpha, spColumn1Detail::Alpha::Masked>(dst, n, [&](Index k) {
        const auto mid = spColumn1True<E>(buf, k + P, 4);
        const auto h = (spColumn1True<E>(buf, k, 4) + (mid + mid)) + spColumn1True<E>(buf, k + 2 * P, 4);
        return spColumnTraits<1>::RoundShift<4>(h);
    });
}

template <class E, bool Gauss, bool KeepAlpha>
void ColumnPass(const void* r0, const void* r1, const void* r2, const void* r3, const void* r4, void* dst,
                std::ptrdiff_t n)
{
    if constexpr (!E::kFloat) {
        const void* const rows[5] = {r0, r1, r2, r3, r4};
        ColumnPassInt<E, Gauss, KeepAlpha>(rows, dst, n);
    } else {
        const auto f = [](const void* p) { return static_cast<const float*>(p); };
        Output(ColPass<Gauss>{f(r0), f(r1), f(r2), f(r3), f(r4)}, KeepAlpha, dst, n);
    }
}

} // namespace

// P: elements between the taps (1, 3 or 4); every element of a pixel is computed.
template <class E, int P>
void spLaplaceRowPass5x5(const void* src, void* outer, void* middle, void* centre, std::ptrdiff_t n)
{
    if constexpr (E::kFloat)
        RowPassFloat<false, P>(src, outer, middle, centre, n);
    else
        RowPassInt<E, false, P>(src, outer, middle, centre, n);
}

template <class E, int P>
void spGaussRowPass5x5(const void* src, void* outer, void* middle, void* centre, std::ptrdiff_t n)
{
    if constexpr (E::kFloat)
        RowPassFloat<true, P>(src, outer, middle, centre, n);
    else
        RowPassInt<E, true, P>(src, outer, middle, centre, n);
}

template <class E, bool KeepAlpha>
void spLaplaceColumnPass5x5(const void* r0, const void* r1, const void* r2, const void* r3, const void* r4,
                            void* dst, std::ptrdiff_t n)
{
    ColumnPass<E, false, KeepAlpha>(r0, r1, r2, r3, r4, dst, n);
}

template <class E, bool KeepAlpha>
void spGaussColumnPass5x5(const void* r0, const void* r1, const void* r2, const void* r3, const void* r4,
                          void* dst, std::ptrdiff_t n)
{
    ColumnPass<E, true, KeepAlpha>(r0, r1, r2, r3, r4, dst, n);
}

template <class E, int P, bool KeepAlpha>
void spGaussRowPass3x3(const void* buf, void* dst, std::ptrdiff_t n)
{
    if constexpr (E::kFloat)
        Output(GaussRow3<P>{static_cast<const float*>(buf)}, KeepAlpha, dst, n);
    else
        GaussRow3Int<E, P, KeepAlpha>(buf, dst, n);
}

namespace {

// Row passes compute every element, so layouts 2 and 4 share the four-element one.
template <class E>
constexpr std::array<spRowPass5Fn*, 8> RowPasses()
{
    return {spLaplaceRowPass5x5<E, 1>, spLaplaceRowPass5x5<E, 4>, spLaplaceRowPass5x5<E, 3>,
            spLaplaceRowPass5x5<E, 4>, spGaussRowPass5x5<E, 1>,   spGaussRowPass5x5<E, 4>,
            spGaussRowPass5x5<E, 3>,   spGaussRowPass5x5<E, 4>};
}

template <class E>
constexpr std::array<spColPass5Fn*, 4> ColumnPasses()
{
    return {spLaplaceColumnPass5x5<E, false>, spLaplaceColumnPass5x5<E, true>,
            spGaussColumnPass5x5<E, false>, spGaussColumnPass5x5<E, true>};
}

template <class T, std::size_t N>
constexpr std::array<T, N> Repeated(T value)
{
    std::array<T, N> out{};
    out.fill(value);
    return out;
}

} // namespace

// Types 3 (8-bit samples, 16-bit results) and 4 (signed 8-bit samples) hold the Laplace one
// channel only: slots 24 to 31 the unsigned 8-bit kernel, slot 32 the signed one.
std::array<spRowPass5Fn*, 33> RowPass5x5Run()
{
    return Join(RowPasses<spU8>(), RowPasses<spS16>(), RowPasses<spF32>(),
                Repeated<spRowPass5Fn*, 8>(spLaplaceRowPass5x5<spU8, 1>),
                std::array<spRowPass5Fn*, 1>{spLaplaceRowPass5x5<spS8S16, 1>});
}

std::array<spColPass5Fn*, 17> ColPass5x5Run()
{
    return Join(ColumnPasses<spU8>(), ColumnPasses<spS16>(), ColumnPasses<spF32>(),
                Repeated<spColPass5Fn*, 5>(spLaplaceColumnPass5x5<spS8S16, false>));
}

spLayoutRun GaussRowPass3x3Run()
{
    return Join(SP_COLUMN1_LAYOUTS(spRowFn, spGaussRowPass3x3, spU8),
                SP_COLUMN1_LAYOUTS(spRowFn, spGaussRowPass3x3, spS16),
                SP_COLUMN1_LAYOUTS(spRowFn, spGaussRowPass3x3, spF32));
}

} // namespace spColumn1
