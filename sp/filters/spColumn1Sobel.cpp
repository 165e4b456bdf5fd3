// Column 1's Sobel output rows: the vertical-edge filter's difference of the column sums one
// pixel left and right, and the horizontal-edge filter's smoothing of the row differences
// along the row, weights 1-1-1 or 1-2-1.
#include "sp/filters/spColumn1Forms.h"
#include "sp/filters/spColumn1Integer.h"
#include "sp/filters/spColumn1Kernels.h"

namespace spColumn1 {

namespace {

using spColumn1Detail::Add;
using spColumn1Detail::At;
using spColumn1Detail::Index;

// v[i] - v[i + 2e]; in the loop the far sums lie on an 8-byte boundary for every e of one
// to four and come as two halves.
struct HorizDiffFloat {
    static constexpr bool kScaled = false;
    const float* v;
    Index far;

    __m128 Head(Index i) const { return _mm_sub_ps(_mm_load_ps(v + i), _mm_loadu_ps(v + i + far)); }
    __m128 Block(Index i, __m128) const
    {
        return _mm_sub_ps(_mm_load_ps(v + i), spColumn1Detail::LoadHalves(v + i + far));
    }
    float Tail(Index i) const { return v[i] - v[i + far]; }
};

// The float difference of every element count per pixel, written by the streaming writer.
void spHorizDiffFloatSse(const void* buf, void* dst, std::ptrdiff_t n, std::ptrdiff_t e)
{
    spColumn1StreamRow(HorizDiffFloat{static_cast<const float*>(buf), 2 * e}, dst, n);
}

// The fourth element of a pixel, which column 1 has no kernel of its own for: left minus
// right for elements 0-2.
struct HorizDiffPixels {
    static constexpr bool kScaled = false;
    const float* b;
    __m128 Pixel(Index i, __m128) const { return _mm_sub_ps(At<0>(b + i), At<8>(b + i)); }
};

// Weights 1-1-1: head and tail (d0 + d1) + d2, loop (d2 + d0) + d1; weights 1-2-1: head and
// tail (d0 + d2) + (d1 + d1), loop (d2 + d0) + (d1 + d1).
template <int Form, int E>
struct Smooth {
    static constexpr bool kScaled = false;
    const float* b;

    static __m128 Mid(__m128 d1) { return Form == 0 ? d1 : Add(d1, d1); }
    __m128 Head(Index i) const
    {
        const float* p = b + i;
        return Form == 0 ? Add(Add(At<0>(p), At<E>(p)), At<2 * E>(p))
                         : Add(Add(At<0>(p), At<2 * E>(p)), Mid(At<E>(p)));
    }
    __m128 Block(Index i, __m128) const
    {
        const float* p = b + i;
        return Add(Add(At<2 * E>(p), At<0>(p)), Mid(At<E>(p)));
    }
    float Tail(Index i) const
    {
        const float* p = b + i;
        return Form == 0 ? (p[0] + p[E]) + p[2 * E] : (p[0] + p[2 * E]) + (p[E] + p[E]);
    }
};

// Whole pixels: (P0 + P1) + P2 and (P0 + P2) + (P1 + P1).
template <int Form>
struct SmoothPixels {
    static constexpr bool kScaled = false;
    const float* b;
    __m128 Pixel(Index i, __m128) const
    {
        const float* p = b + i;
        return Form == 0 ? Add(Add(At<0>(p), At<4>(p)), At<8>(p))
                         : Add(Add(At<0>(p), At<8>(p)), Add(At<4>(p), At<4>(p)));
    }
};

using spColumn1Detail::Alpha;

// (d0 + d1) + d2 or (d0 + 2 d1) + d2 of exact row differences.
template <int Form, class E, int P, bool KeepAlpha>
void SmoothInt(const void* buf, void* dst, std::ptrdiff_t n)
{
    const auto* d = static_cast<const typename E::Diff*>(buf);
    spColumn1IntOutput<E, KeepAlpha, Alpha::Masked>(dst, n, [&](Index k) {
        using A = typename E::Acc;
        const A mid = d[k + P];
        return (A(d[k]) + (Form == 0 ? mid : mid + mid)) + A(d[k + 2 * P]);
    });
}

template <int Form, class E, int P, bool KeepAlpha>
void SmoothRow(const void* buf, void* dst, std::ptrdiff_t n)
{
    if constexpr (!E::kFloat)
        SmoothInt<Form, E, P, KeepAlpha>(buf, dst, n);
    else if constexpr (KeepAlpha)
        spColumn1PixelRow(SmoothPixels<Form>{static_cast<const float*>(buf)}, dst, n);
    else
        spColumn1StreamRow(Smooth<Form, P>{static_cast<const float*>(buf)}, dst, n);
}

} // namespace

// Float rows of one, three and four elements per pixel all written take the streaming form,
// every main-loop store an aligned one also for rows that are only 4-byte aligned.
template <class E, int P, bool KeepAlpha>
void spHorizDiff(const void* buf, void* dst, std::ptrdiff_t n)
{
    if constexpr (!E::kFloat)
        spColumn1IntOutput<E, KeepAlpha, Alpha::Masked>(dst, n, [&](Index k) {
            // The sums' offsets cancel.
            return spColumn1True<E>(buf, k, 0) - spColumn1True<E>(buf, k + 2 * P, 0);
        });
    else if constexpr (KeepAlpha)
        spColumn1PixelRow(HorizDiffPixels{static_cast<const float*>(buf)}, dst, n);
    else
        spHorizDiffFloatSse(buf, dst, n, P);
}

template <class E, int P, bool KeepAlpha>
void spSmooth111(const void* buf, void* dst, std::ptrdiff_t n)
{
    SmoothRow<0, E, P, KeepAlpha>(buf, dst, n);
}

template <class E, int P, bool KeepAlpha>
void spSmooth121(const void* buf, void* dst, std::ptrdiff_t n)
{
    SmoothRow<1, E, P, KeepAlpha>(buf, dst, n);
}

spLayoutRun HorizDiffRun()
{
    return Join(SP_COLUMN1_LAYOUTS(spRowFn, spHorizDiff, spU8), SP_COLUMN1_LAYOUTS(spRowFn, spHorizDiff, spS16),
                SP_COLUMN1_LAYOUTS(spRowFn, spHorizDiff, spF32));
}

std::array<spRowFn*, 24> SmoothRun()
{
    return Join(SP_COLUMN1_LAYOUTS(spRowFn, spSmooth111, spU8), SP_COLUMN1_LAYOUTS(spRowFn, spSmooth121, spU8),
                SP_COLUMN1_LAYOUTS(spRowFn, spSmooth111, spS16), SP_COLUMN1_LAYOUTS(spRowFn, spSmooth121, spS16),
                SP_COLUMN1_LAYOUTS(spRowFn, spSmooth111, spF32), SP_COLUMN1_LAYOUTS(spRowFn, spSmooth121, spF32));
}

} // namespace spColumn1
