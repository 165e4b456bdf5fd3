// The float kernels of columns 2 to 4: one code for the three columns (each column has its
// own instances).
//
// Every kernel cuts a row the same way: passes of eight elements, then one block of four when
// four or more remain, then the last one to three elements one at a time; rows of
// four-element pixels go in pairs of pixels, then a last single pixel. The row kernels add in
// an order of their own in each of these parts (the rules below), so equal windows in
// different parts of a row can round differently. Destination rows that start on 16 bytes
// take streaming stores in the runs that stream (large ones, spVariantStores.h), others
// ordinary unaligned ones; a destination whose fourth element per pixel is kept is read,
// merged and written back with ordinary stores.
//
// Each kernel comes in two forms that compute the same bits. The 16-byte form handles a pass
// as two vectors of four floats, reads source rows with aligned loads where they start on 16
// bytes (a loop body per alignment, chosen once per call), reads the work buffer with aligned
// loads only and forms the neighbours by shuffles. The 32-byte form, which runs where the
// processor has AVX2 (the 16-byte form takes 1.4 to 1.75 times its time on a 1024 x 1024
// image here), handles a pass as one vector of eight and reads at any alignment.
#pragma once

#include <immintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <type_traits>
#include <utility>

#include "sp/filters/spElementLoops.h"
#include "sp/filters/spVariantColumns.h"
#include "sp/filters/spVariantStores.h"

namespace spFloat234 {

typedef float V4 __attribute__((vector_size(16)));
typedef float V8 __attribute__((vector_size(32)));
typedef std::int32_t I4 __attribute__((vector_size(16)));
typedef std::int32_t I8 __attribute__((vector_size(32)));

#define SP_F234 __attribute__((always_inline)) inline

inline bool AlignedTo(const void* p, std::uintptr_t bytes)
{
    return reinterpret_cast<std::uintptr_t>(p) % bytes == 0;
}

// Four or eight floats from p; Aligned (16-byte form only) where p lies on 16 bytes.
template <class V, bool Aligned = false>
SP_F234 V Load(const float* p)
{
    if constexpr (sizeof(V) == 32) {
        V v;
        std::memcpy(&v, p, sizeof v);
        return v;
    } else if constexpr (Aligned) {
        return _mm_load_ps(p);
    } else {
        return _mm_loadu_ps(p);
    }
}

// A float of a caller's row, which may start anywhere (a row or step need not lie on the
// float grid): read and written by byte copies.
SP_F234 float Get(const float* p)
{
    float v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

SP_F234 void Set(float* p, float v)
{
    std::memcpy(p, &v, sizeof v);
}

// A work-buffer vector, on 16 bytes in the 16-byte form.
template <class V>
SP_F234 void Store(float* p, V v)
{
    if constexpr (sizeof(V) == 16)
        _mm_store_ps(p, v);
    else
        std::memcpy(p, &v, sizeof v);
}

// A destination vector: streaming 16-byte stores where the row starts on 16 bytes and the
// run streams, else ordinary unaligned stores.
template <bool Stream, class V>
SP_F234 void Put(float* p, V v)
{
    if constexpr (!Stream) {
        std::memcpy(p, &v, sizeof v);
    } else if constexpr (sizeof(V) == 16) {
        _mm_stream_ps(p, v);
    } else {
        _mm_stream_ps(p, V4(__builtin_shufflevector(v, v, 0, 1, 2, 3)));
        _mm_stream_ps(p + 4, V4(__builtin_shufflevector(v, v, 4, 5, 6, 7)));
    }
}

// Whole pixels into a destination: with Keep, the fourth element of each read, merged back and
// written with an ordinary store.
template <bool Keep, bool Aligned, class V>
SP_F234 void PutPixels(float* p, V v)
{
    if constexpr (!Keep) {
        Put<Aligned>(p, v);
    } else if constexpr (sizeof(V) == 16) {
        // Lanes 0 to 2 from v, lane 3 from the destination.
        const V4 mask = _mm_castsi128_ps(_mm_set_epi32(0, -1, -1, -1));
        const V4 merged = _mm_or_ps(_mm_and_ps(mask, v), _mm_andnot_ps(mask, Load<V4, Aligned>(p)));
        if constexpr (Aligned)
            _mm_store_ps(p, merged);
        else
            _mm_storeu_ps(p, merged);
    } else {
        const V8 merged = __builtin_shuffle(v, Load<V8>(p), I8{0, 1, 2, 11, 4, 5, 6, 15});
        std::memcpy(p, &merged, sizeof merged);
    }
}

// Lanes 0-3 of a, 4-7 of b: the two halves of a pass of eight that add in different orders.
SP_F234 V8 Halves(V8 a, V8 b)
{
    return __builtin_shuffle(a, b, I8{0, 1, 2, 3, 12, 13, 14, 15});
}

// The four elements from element K on, of the elements that the aligned vectors w[0], w[1], ...
// hold in a row.
template <int K>
SP_F234 V4 Lanes(const V4* w)
{
    constexpr int q = K / 4, r = K % 4;
    const V4 a = w[q];
    if constexpr (r == 0) {
        return a;
    } else if constexpr (r == 1) {
        // Lane 0 of the next vector into lane 0, then a rotation by one lane.
        const V4 t = _mm_move_ss(a, w[q + 1]);
        return _mm_shuffle_ps(t, t, _MM_SHUFFLE(0, 3, 2, 1));
    } else if constexpr (r == 2) {
        return _mm_shuffle_ps(a, w[q + 1], _MM_SHUFFLE(1, 0, 3, 2));
    } else {
        const V4 b = w[q + 1];
        return _mm_shuffle_ps(_mm_shuffle_ps(a, b, _MM_SHUFFLE(1, 0, 3, 2)), b,
                              _MM_SHUFFLE(2, 1, 2, 1));
    }
}

// ---- Row kernels: a buffer row (and, for the centre kernels, the centre source row) into a
// destination row. A rule gives kTerms (buffer terms j P apart, j from 0) and its formulas
// for the parts of a row: First and Second (the halves of a pass), Block (the block of four)
// and Tail (one element at index i) for one and three channels; First and Second (the two
// pixels of a pair) and Single (a last pixel) for four-element pixels. kHalvesDiffer says
// whether First and Second add in different orders.

template <int P, int Base, std::size_t... J>
SP_F234 void LanesOf(const V4* window, V4* t, std::index_sequence<J...>)
{
    ((t[J] = Lanes<Base + static_cast<int>(J) * P>(window)), ...);
}

// The terms of rule R for the elements from b on: in the 16-byte form from the aligned vectors
// of the window, in the 32-byte form loaded where they lie.
template <class R, int P, int Base, class V>
SP_F234 void TermsOf(const float* b, const V4* window, V (&t)[R::kTerms])
{
    if constexpr (sizeof(V) == 32) {
        for (int j = 0; j < R::kTerms; ++j)
            t[j] = Load<V8>(b + Base + j * P);
    } else {
        LanesOf<P, Base>(window, t, std::make_index_sequence<R::kTerms>());
    }
}

// The aligned vectors from buf + i that hold the elements up to i + Last.
template <int Last>
struct Window {
    V4 v[Last / 4 + 1];
    SP_F234 Window(const float* buf, std::ptrdiff_t i)
    {
        for (int k = 0; k <= Last / 4; ++k)
            v[k] = Load<V4, true>(buf + i + 4 * k);
    }
};

template <class R, int P, bool Wide, bool CentreAligned, bool DstAligned>
SP_F234 void ElementRow(const float* x, const float* buf, float* dst, std::ptrdiff_t n)
{
    constexpr int span = (R::kTerms - 1) * P;
    std::ptrdiff_t i = 0;
    for (; n - i >= 8; i += 8) {
        if constexpr (Wide) {
            V8 t[R::kTerms];
            TermsOf<R, P, 0>(buf + i, nullptr, t);
            const V8 c = R::kCentre ? Load<V8>(x + i) : V8{};
            V8 r = R::First(c, t);
            if constexpr (R::kHalvesDiffer)
                r = Halves(r, R::Second(c, t));
            Put<DstAligned>(dst + i, r);
        } else {
            const Window<7 + span> w(buf, i);
            V4 t0[R::kTerms], t1[R::kTerms];
            TermsOf<R, P, 0>(buf + i, w.v, t0);
            TermsOf<R, P, 4>(buf + i, w.v, t1);
            const V4 c0 = R::kCentre ? Load<V4, CentreAligned>(x + i) : V4{};
            const V4 c1 = R::kCentre ? Load<V4, CentreAligned>(x + i + 4) : V4{};
            Put<DstAligned>(dst + i, R::First(c0, t0));
            Put<DstAligned>(dst + i + 4, R::Second(c1, t1));
        }
    }
    if (n - i >= 4) {
        const Window<3 + span> w(buf, i);
        V4 t[R::kTerms];
        TermsOf<R, P, 0>(buf + i, w.v, t);
        constexpr bool aligned = CentreAligned && !Wide;
        const V4 c = R::kCentre ? Load<V4, aligned>(x + i) : V4{};
        Put<DstAligned>(dst + i, R::Block(c, t));
        i += 4;
    }
    for (; i < n; ++i) {
        float t[R::kTerms];
        for (int j = 0; j < R::kTerms; ++j)
            t[j] = buf[i + j * P];
        Set(dst + i, R::Tail(i, R::kCentre ? Get(x + i) : 0.0f, t));
    }
}

template <class R, bool Keep, bool Wide, bool CentreAligned, bool DstAligned>
SP_F234 void PixelRow(const float* x, const float* buf, float* dst, std::ptrdiff_t n)
{
    constexpr bool xa = CentreAligned && !Wide;
    const std::ptrdiff_t pixels = n / 4;
    std::ptrdiff_t p = 0;
    for (; pixels - p >= 2; p += 2) {
        if constexpr (Wide) {
            // A pair is one vector: term j holds pixel p + j, then pixel p + 1 + j.
            V8 t[R::kTerms];
            TermsOf<R, 4, 0>(buf + 4 * p, nullptr, t);
            const V8 c = R::kCentre ? Load<V8>(x + 4 * p) : V8{};
            V8 r = R::First(c, t);
            if constexpr (R::kHalvesDiffer)
                r = Halves(r, R::Second(c, t));
            PutPixels<Keep, DstAligned>(dst + 4 * p, r);
        } else {
            const Window<4 * R::kTerms + 3> w(buf, 4 * p);
            const V4 c0 = R::kCentre ? Load<V4, xa>(x + 4 * p) : V4{};
            const V4 c1 = R::kCentre ? Load<V4, xa>(x + 4 * p + 4) : V4{};
            PutPixels<Keep, DstAligned>(dst + 4 * p, R::First(c0, w.v));
            PutPixels<Keep, DstAligned>(dst + 4 * p + 4, R::Second(c1, w.v + 1));
        }
    }
    if (p < pixels) {
        const Window<4 * R::kTerms - 1> w(buf, 4 * p);
        const V4 c = R::kCentre ? Load<V4, xa>(x + 4 * p) : V4{};
        PutPixels<Keep, DstAligned>(dst + 4 * p, R::Single(c, w.v));
    }
}

template <class R, int P, bool Keep, bool Wide, bool CentreAligned, bool DstAligned>
SP_F234 void RowBody(const float* x, const float* buf, float* dst, std::ptrdiff_t n)
{
    if constexpr (P == 4)
        PixelRow<R, Keep, Wide, CentreAligned, DstAligned>(x, buf, dst, n);
    else
        ElementRow<R, P, Wide, CentreAligned, DstAligned>(x, buf, dst, n);
}

template <class R, int P, bool Keep, bool CentreAligned, bool DstAligned>
void RowPlain(const float* x, const float* buf, float* dst, std::ptrdiff_t n)
{
    RowBody<R, P, Keep, false, CentreAligned, DstAligned>(x, buf, dst, n);
}

template <class R, int P, bool Keep, bool DstAligned>
__attribute__((target("avx2"))) void RowWide(const float* x, const float* buf, float* dst,
                                             std::ptrdiff_t n)
{
    RowBody<R, P, Keep, true, false, DstAligned>(x, buf, dst, n);
}

// Runs rule R over a row of n elements, pixels P elements apart, with the form and the loop
// body that fit the processor and the rows.
template <template <int, bool> class Rule, int P, bool Keep>
void Row(const float* x, const void* buf, void* dst, std::ptrdiff_t n)
{
    using R = Rule<P, Keep>;
    const auto* b = static_cast<const float*>(buf);
    auto* d = static_cast<float*>(dst);
    const bool xa = R::kCentre && AlignedTo(x, 16), da = spStreamsFloatRow(d);
    if (spUseAvx2Loops())
        (da ? RowWide<R, P, Keep, true> : RowWide<R, P, Keep, false>)(x, b, d, n);
    else if (xa)
        (da ? RowPlain<R, P, Keep, true, true> : RowPlain<R, P, Keep, true, false>)(x, b, d, n);
    else
        (da ? RowPlain<R, P, Keep, false, true> : RowPlain<R, P, Keep, false, false>)(x, b, d, n);
}

// Defaults of a rule: no centre, every part of a row in one order.
struct RuleBase {
    static constexpr bool kCentre = false;
    static constexpr bool kHalvesDiffer = false;
};

// A rule without a centre that adds in one order, R::Vector(t), in every part of a row.
template <class R>
struct SameOrderEverywhere : RuleBase {
    template <class T>
    SP_F234 static T First(T, const T* t)
    {
        return R::Vector(t);
    }
    template <class T>
    SP_F234 static T Second(T, const T* t)
    {
        return R::Vector(t);
    }
    template <class T>
    SP_F234 static T Block(T, const T* t)
    {
        return R::Vector(t);
    }
    template <class T>
    SP_F234 static T Single(T, const T* t)
    {
        return R::Vector(t);
    }
    SP_F234 static float Tail(std::ptrdiff_t, float, const float* t) { return R::Vector(t); }
};

inline constexpr float kMean3 = spVariantMean3;
inline constexpr float kMean5 = spVariantMean5;
inline constexpr float kInv571 = spVariantInv571;

// Factor x centre - (L + M + R), L, M and R the column sums left of, at and right of the
// element, divided by 2^Shift: the Laplace and highpass 3x3 (9, 0) and the sharpen (17, 3).
template <int P, bool Keep, int Factor, int Shift>
struct CentreMinusSums3 : RuleBase {
    static constexpr int kTerms = 3;
    static constexpr bool kCentre = true;
    static constexpr bool kHalvesDiffer = P != 1;
    template <class T>
    SP_F234 static T Scaled(T v)
    {
        return Shift == 0 ? v : v * (1.0f / (1 << Shift));
    }
    template <class T>
    SP_F234 static T First(T x, const T* t)
    {
        const T c = x * static_cast<float>(Factor);
        if constexpr (P == 1)
            return Scaled(((c - t[0]) - t[1]) - t[2]);
        else if constexpr (P == 3)
            return Scaled((c - (t[0] + t[1])) - t[2]);
        else if constexpr (!Keep)
            return Scaled(c - (t[0] + (t[1] + t[2])));
        else
            return Scaled((c - t[0]) - (t[1] + t[2]));
    }
    template <class T>
    SP_F234 static T Second(T x, const T* t)
    {
        const T c = x * static_cast<float>(Factor);
        if constexpr (P == 4 && Keep)
            return Scaled((c - (t[0] + t[1])) - t[2]);
        else if constexpr (P == 4)
            return Scaled(c - ((t[0] + t[1]) + t[2]));
        else
            return Scaled(((c - t[0]) - t[1]) - t[2]);
    }
    template <class T>
    SP_F234 static T Block(T x, const T* t)
    {
        return P == 1 ? Second(x, t) : Single(x, t);
    }
    template <class T>
    SP_F234 static T Single(T x, const T* t)
    {
        return Scaled(x * static_cast<float>(Factor) - ((t[0] + t[1]) + t[2]));
    }
    SP_F234 static float Tail(std::ptrdiff_t, float x, const float* t)
    {
        return Scaled(((x * static_cast<float>(Factor) - t[0]) - t[1]) - t[2]);
    }
};

template <int P, bool Keep>
using CentreMinusSum3 = CentreMinusSums3<P, Keep, 9, 0>;
template <int P, bool Keep>
using SharpenFromSums = CentreMinusSums3<P, Keep, 17, 3>;

// The sum of the five column sums around the element, made into the 5x5 mean (times 0.04) or
// the 5x5 highpass (25 x centre - the sum). Four-element pixels sum each pixel's five
// afresh, from the left, where a sum slid along the row would carry its rounding, and an
// infinity as NaN, to every later pixel; in the last one to three elements of three
// channels the mean's sum starts by the element's place within eight, the highpass's as in
// a block.
template <int P, bool Keep, bool Highpass>
struct FiveSums : RuleBase {
    static constexpr int kTerms = 5;
    static constexpr bool kCentre = Highpass;
    static constexpr bool kHalvesDiffer = P == 3;
    template <class T>
    SP_F234 static T FromSum(T x, T sum)
    {
        return Highpass ? x * 25.0f - sum : sum * kMean5;
    }
    template <class T>
    SP_F234 static T InOrder(T x, const T* t)
    {
        return FromSum(x, (((t[0] + t[1]) + t[2]) + t[3]) + t[4]);
    }
    template <class T>
    SP_F234 static T First(T x, const T* t)
    {
        if constexpr (P == 1)
            return FromSum(x, ((t[0] + t[4]) + (t[1] + t[2])) + t[3]);
        else if constexpr (P == 3)
            return FromSum(x, (((t[0] + t[2]) + t[1]) + t[3]) + t[4]);
        else
            return InOrder(x, t);
    }
    template <class T>
    SP_F234 static T Second(T x, const T* t)
    {
        return P == 3 ? InOrder(x, t) : First(x, t);
    }
    template <class T>
    SP_F234 static T Block(T x, const T* t)
    {
        if constexpr (P == 1)
            return First(x, t);
        else
            return FromSum(x, (((t[0] + t[2]) + t[1]) + t[4]) + t[3]);
    }
    template <class T>
    SP_F234 static T Single(T x, const T* t)
    {
        return InOrder(x, t);
    }
    SP_F234 static float Tail(std::ptrdiff_t i, float x, const float* t)
    {
        if constexpr (P == 1)
            return InOrder(x, t);
        else if (Highpass || i % 8 < 4)
            return Block(x, t);
        else
            return FromSum(x, (((t[0] + t[1]) + t[2]) + t[4]) + t[3]);
    }
};

template <int P, bool Keep>
using Mean5 = FiveSums<P, Keep, false>;
template <int P, bool Keep>
using Hipass5 = FiveSums<P, Keep, true>;

// The 3x3 mean.
template <int P, bool Keep>
struct Mean3 : SameOrderEverywhere<Mean3<P, Keep>> {
    static constexpr int kTerms = 3;
    template <class T>
    SP_F234 static T Vector(const T* t)
    {
        return (P == 4 ? t[0] + (t[1] + t[2]) : (t[0] + t[1]) + t[2]) * kMean3;
    }
};

// The vertical Sobel: the sum left of the element minus the sum right of it.
template <int P, bool Keep>
struct HorizDiff : SameOrderEverywhere<HorizDiff<P, Keep>> {
    static constexpr int kTerms = 3;
    template <class T>
    SP_F234 static T Vector(const T* t)
    {
        return t[0] - t[2];
    }
};

// The 3x3 Gauss from 1-2-1 column sums.
template <int P, bool Keep>
struct GaussRowPass3x3 : SameOrderEverywhere<GaussRowPass3x3<P, Keep>> {
    static constexpr int kTerms = 3;
    template <class T>
    SP_F234 static T Vector(const T* t)
    {
        return ((t[0] + (t[1] + t[1])) + t[2]) * 0.0625f;
    }
};

// The horizontal Sobel from row differences, weights 1-1-1.
template <int P, bool Keep>
struct Smooth111 : RuleBase {
    static constexpr int kTerms = 3;
    static constexpr bool kHalvesDiffer = P == 4;
    template <class T>
    SP_F234 static T First(T, const T* t)
    {
        if constexpr (P == 4)
            return t[0] + (t[1] + t[2]);
        else
            return (t[0] + t[1]) + t[2];
    }
    template <class T>
    SP_F234 static T Second(T, const T* t)
    {
        return (t[0] + t[1]) + t[2];
    }
    template <class T>
    SP_F234 static T Block(T, const T* t)
    {
        return (t[0] + t[1]) + t[2];
    }
    template <class T>
    SP_F234 static T Single(T, const T* t)
    {
        return (t[0] + t[2]) + t[1];
    }
    SP_F234 static float Tail(std::ptrdiff_t, float, const float* t)
    {
        return (t[0] + t[1]) + t[2];
    }
};

// The horizontal Sobel from row differences, weights 1-2-1: one and three channels add the
// doubled middle second in their vectors and last in their last elements.
template <int P, bool Keep>
struct Smooth121 : SameOrderEverywhere<Smooth121<P, Keep>> {
    static constexpr int kTerms = 3;
    template <class T>
    SP_F234 static T Vector(const T* t)
    {
        if constexpr (P == 4)
            return (t[0] + t[1]) + (t[1] + t[2]);
        else
            return (t[0] + (t[1] + t[1])) + t[2];
    }
    SP_F234 static float Tail(std::ptrdiff_t, float, const float* t)
    {
        return (t[0] + t[2]) + (t[1] + t[1]);
    }
};

// ---- Vertical kernels: source rows into a work-buffer row ----

// The rows of `rows` (counted in steps from src) that start on 16 bytes, as bits, where src
// and step are whole floats; 0 otherwise.
inline unsigned AlignedRows(const void* src, std::ptrdiff_t step, std::initializer_list<int> rows)
{
    const auto at = reinterpret_cast<std::uintptr_t>(src);
    if (at % 4 != 0 || step % 4 != 0)
        return 0;
    unsigned mask = 0;
    for (int k : rows)
        if ((at + static_cast<std::uintptr_t>(k * step)) % 16 == 0)
            mask |= 1u << k;
    return mask;
}

// Rows `step` bytes apart from src.
template <int N>
struct Rows {
    const float* r[N];
    Rows(const void* src, std::ptrdiff_t step)
    {
        for (int k = 0; k < N; ++k)
            r[k] =
                reinterpret_cast<const float*>(static_cast<const unsigned char*>(src) + k * step);
    }
};

// A kernel's own copy of its row pointers. Vector stores may write memory of any type, so
// pointers read through the caller's array were read again after every store of a pass.
template <int N>
struct Held {
    const float* r[N];
    explicit Held(const float* const* in)
    {
        for (int k = 0; k < N; ++k)
            r[k] = in[k];
    }
};

// Row `Row` at element i, with an aligned load where Mask says the row is aligned.
template <class V, unsigned Mask, int Row>
SP_F234 V LoadRow(const float* const* r, std::ptrdiff_t i)
{
    return Load<V, ((Mask >> Row) & 1u) != 0>(r[Row] + i);
}

// Prefetches the source data 64 bytes ahead. Most callers ask once per 16 elements, one
// 64-byte line: a prefetch for every pass of eight asks for each line twice, and the second
// request fetches nothing.
template <bool Prefetch>
SP_F234 void Ahead(const float* p)
{
    if constexpr (Prefetch)
        __builtin_prefetch(p + 16, 0, 3);
}

// The passes of eight elements over len elements from 0, `pass(i)` each, with `ahead(i)`
// before every pass (AheadEvery 8) or before every other one (16: the pass a line of 16
// elements starts with; a last odd pass needs none when a pass before it asked for its line).
// Returns where the passes end.
template <int AheadEvery, class Ahead, class Pass>
SP_F234 std::ptrdiff_t Passes(std::ptrdiff_t len, const Ahead& ahead, const Pass& pass)
{
    static_assert(AheadEvery == 8 || AheadEvery == 16);
    std::ptrdiff_t i = 0;
    for (; len - i >= 16; i += 16) {
        ahead(i);
        pass(i);
        if constexpr (AheadEvery == 8)
            ahead(i + 8);
        pass(i + 8);
    }
    if (len - i >= 8) {
        if (AheadEvery == 8 || i == 0)
            ahead(i);
        pass(i);
        i += 8;
    }
    return i;
}

// A vertical kernel over len elements: passes of eight as one or two vectors (Passes), then
// a block of four, then the rest one at a time; `vector(V, i, inPass)` and `scalar(i)` give
// element i on. With ZeroTail, the buffer vector of the last one to three elements is
// cleared first.
template <bool Wide, bool ZeroTail, int AheadEvery = 16, class Ahead, class Vector, class Scalar>
SP_F234 void Vertical(float* out, std::ptrdiff_t len, const Ahead& ahead, const Vector& vector,
                      const Scalar& scalar)
{
    const auto pass = [out, &vector](std::ptrdiff_t at) SP_FORMULA {
        if constexpr (Wide) {
            Store(out + at, vector(V8{}, at, std::true_type{}));
        } else {
            Store(out + at, vector(V4{}, at, std::true_type{}));
            Store(out + at + 4, vector(V4{}, at + 4, std::true_type{}));
        }
    };
    std::ptrdiff_t i = Passes<AheadEvery>(len, ahead, pass);
    if (len - i >= 4) {
        Store(out + i, vector(V4{}, i, std::false_type{}));
        i += 4;
    }
    if (ZeroTail && i < len)
        Store(out + i, V4{});
    for (; i < len; ++i)
        out[i] = scalar(i);
}

// Form 0: (a + b) + c; form 1: (a + 2b) + c.
template <int Form, class T>
SP_F234 T Sum3(T a, T b, T c)
{
    return Form == 0 ? (a + b) + c : (a + (b + b)) + c;
}

template <class T>
SP_F234 T Sum5(T r0, T r1, T r2, T r3, T r4)
{
    return (((r0 + r1) + r2) + r3) + r4;
}

template <int Form, bool Prefetch, unsigned Mask, bool Wide>
SP_F234 void ColSum3Body(const float* const* rows, float* out, std::ptrdiff_t len)
{
    const Held<3> held(rows);
    const float* const* r = held.r;
    Vertical<Wide, false>(
        out, len, [r](std::ptrdiff_t i) SP_FORMULA { Ahead<Prefetch>(r[2] + i); },
        [r]<class V>(V, std::ptrdiff_t i, auto) SP_FORMULA {
            return Sum3<Form>(LoadRow<V, Mask, 0>(r, i), LoadRow<V, Mask, 1>(r, i),
                              LoadRow<V, Mask, 2>(r, i));
        },
        [r](std::ptrdiff_t i)
            SP_FORMULA { return Sum3<Form>(Get(r[0] + i), Get(r[1] + i), Get(r[2] + i)); });
}

template <int Form, bool Prefetch, unsigned Mask>
void ColSum3Plain(const float* const* r, float* out, std::ptrdiff_t len)
{
    ColSum3Body<Form, Prefetch, Mask, false>(r, out, len);
}

template <int Form, bool Prefetch>
__attribute__((target("avx2"))) void ColSum3Wide(const float* const* r, float* out,
                                                 std::ptrdiff_t len)
{
    ColSum3Body<Form, Prefetch, 0, true>(r, out, len);
}

// Element i of three rows from src down.
template <int Form, bool Prefetch>
void ColSum3(const void* src, void* buf, std::ptrdiff_t len, std::ptrdiff_t step)
{
    const Rows<3> rows(src, step);
    const float* const* r = rows.r;
    float* out = static_cast<float*>(buf);
    if (spUseAvx2Loops())
        return ColSum3Wide<Form, Prefetch>(r, out, len);
    switch (AlignedRows(src, step, {0, 1, 2})) {
    case 0b111: return ColSum3Plain<Form, Prefetch, 0b111>(r, out, len);
    case 0b101: return ColSum3Plain<Form, Prefetch, 0b101>(r, out, len);
    case 0b001: return ColSum3Plain<Form, Prefetch, 0b001>(r, out, len);
    case 0b010: return ColSum3Plain<Form, Prefetch, 0b010>(r, out, len);
    case 0b100: return ColSum3Plain<Form, Prefetch, 0b100>(r, out, len);
    default: return ColSum3Plain<Form, Prefetch, 0>(r, out, len);
    }
}

template <unsigned Mask, bool Wide>
SP_F234 void ColSum5Body(const float* const* rows, float* out, std::ptrdiff_t len)
{
    const Held<5> held(rows);
    const float* const* r = held.r;
    Vertical<Wide, true>(
        out, len, [](std::ptrdiff_t) SP_FORMULA {},
        [r]<class V>(V, std::ptrdiff_t i, auto) SP_FORMULA {
            return Sum5(LoadRow<V, Mask, 0>(r, i), LoadRow<V, Mask, 1>(r, i),
                        LoadRow<V, Mask, 2>(r, i), LoadRow<V, Mask, 3>(r, i),
                        LoadRow<V, Mask, 4>(r, i));
        },
        [r](std::ptrdiff_t i) SP_FORMULA {
            return Sum5(Get(r[0] + i), Get(r[1] + i), Get(r[2] + i), Get(r[3] + i), Get(r[4] + i));
        });
}

template <unsigned Mask>
void ColSum5Plain(const float* const* r, float* out, std::ptrdiff_t len)
{
    ColSum5Body<Mask, false>(r, out, len);
}

__attribute__((target("avx2"))) inline void ColSum5Wide(const float* const* r, float* out,
                                                        std::ptrdiff_t len)
{
    ColSum5Body<0, true>(r, out, len);
}

// Element i of five rows from src down: ((((r0 + r1) + r2) + r3) + r4). The 16-byte form has
// a loop body for each way the five rows can lie on 16 bytes.
inline void ColSum5(const void* src, void* buf, std::ptrdiff_t len, std::ptrdiff_t step)
{
    const Rows<5> rows(src, step);
    const float* const* r = rows.r;
    float* out = static_cast<float*>(buf);
    if (spUseAvx2Loops())
        return ColSum5Wide(r, out, len);
    switch (AlignedRows(src, step, {0, 1, 2, 3, 4})) {
    case 0b11111: return ColSum5Plain<0b11111>(r, out, len);
    case 0b10101: return ColSum5Plain<0b10101>(r, out, len);
    case 0b10001: return ColSum5Plain<0b10001>(r, out, len);
    case 0b01000: return ColSum5Plain<0b01000>(r, out, len);
    case 0b00010: return ColSum5Plain<0b00010>(r, out, len);
    case 0b01010: return ColSum5Plain<0b01010>(r, out, len);
    case 0b00100: return ColSum5Plain<0b00100>(r, out, len);
    default: return ColSum5Plain<0>(r, out, len);
    }
}

template <bool Prefetch, unsigned Mask, bool Wide>
SP_F234 void RowPairDiffBody(const float* const* rows, float* out, std::ptrdiff_t n)
{
    const Held<3> held(rows);
    const float* const* r = held.r;
    // Only the passes of eight choose their loads by the rows' alignment; each of them
    // prefetches.
    Vertical<Wide, true, 8>(
        out, n, [r](std::ptrdiff_t i) SP_FORMULA { Ahead<Prefetch>(r[2] + i); },
        [r]<class V, class InPass>(V, std::ptrdiff_t i, InPass) SP_FORMULA {
            constexpr unsigned mask = InPass::value ? Mask : 0;
            return LoadRow<V, mask, 2>(r, i) - LoadRow<V, mask, 0>(r, i);
        },
        [r](std::ptrdiff_t i) SP_FORMULA { return Get(r[2] + i) - Get(r[0] + i); });
}

template <bool Prefetch, unsigned Mask>
void RowPairDiffPlain(const float* const* r, float* out, std::ptrdiff_t n)
{
    RowPairDiffBody<Prefetch, Mask, false>(r, out, n);
}

template <bool Prefetch>
__attribute__((target("avx2"))) void RowPairDiffWide(const float* const* r, float* out,
                                                     std::ptrdiff_t n)
{
    RowPairDiffBody<Prefetch, 0, true>(r, out, n);
}

// The row two steps below src minus the row at src.
template <bool Prefetch>
void RowPairDiff(const void* src, void* buf, std::ptrdiff_t n, std::ptrdiff_t step)
{
    const Rows<3> rows(src, step);
    const float* const* r = rows.r;
    float* out = static_cast<float*>(buf);
    if (spUseAvx2Loops())
        return RowPairDiffWide<Prefetch>(r, out, n);
    switch (n >= 8 ? AlignedRows(src, step, {0, 2}) : 0) {
    case 0b101: return RowPairDiffPlain<Prefetch, 0b101>(r, out, n);
    case 0b001: return RowPairDiffPlain<Prefetch, 0b001>(r, out, n);
    case 0b100: return RowPairDiffPlain<Prefetch, 0b100>(r, out, n);
    default: return RowPairDiffPlain<Prefetch, 0>(r, out, n);
    }
}

// ---- Kernel set 1: the 5x5 row and column passes ----

// With p = x0 + x4, q = x1 + x3, m = x2 (taps P apart): Gauss outer ((2p + 7q) + 12m), middle
// ((7p + 31q) + 52m), centre ((12p + 52q) + 127m); Laplace outer ((-p - 3q) - 4m), middle
// (6m - 3p), centre ((20m + 6q) - 4p).
template <bool Gauss, class T>
SP_F234 void Profiles(const T (&x)[5], float* outer, float* middle, float* centre)
{
    const T p = x[0] + x[4], q = x[1] + x[3], m = x[2];
    T o, mi, c;
    if constexpr (Gauss) {
        o = (p * 2.0f + q * 7.0f) + m * 12.0f;
        mi = (p * 7.0f + q * 31.0f) + m * 52.0f;
        c = (p * 12.0f + q * 52.0f) + m * 127.0f;
    } else {
        o = (-p - q * 3.0f) - m * 4.0f;
        mi = m * 6.0f - p * 3.0f;
        c = (m * 20.0f + q * 6.0f) - p * 4.0f;
    }
    if constexpr (std::is_same_v<T, float>) {
        *outer = o;
        *middle = mi;
        *centre = c;
    } else {
        Store(outer, o);
        Store(middle, mi);
        Store(centre, c);
    }
}

template <bool Gauss, int P, bool Prefetch, bool Aligned, bool Wide>
SP_F234 void RowPass5x5Body(const float* x, float* o, float* m, float* c, std::ptrdiff_t n)
{
    std::ptrdiff_t i = 0;
    if constexpr (Wide) {
        const auto pass = [x, o, m, c](std::ptrdiff_t at) SP_FORMULA {
            V8 taps[5];
            for (int k = 0; k < 5; ++k)
                taps[k] = Load<V8>(x + at + k * P);
            Profiles<Gauss>(taps, o + at, m + at, c + at);
        };
        // One prefetch per 64-byte line of the source.
        i = Passes<16>(n, [x](std::ptrdiff_t at) SP_FORMULA { Ahead<Prefetch>(x + at); }, pass);
    }
    if (n - i >= 4) {
        // The window of source vectors moves one vector per four outputs.
        constexpr int vectors = (3 + 4 * P) / 4 + 1;
        V4 w[vectors];
        for (int v = 0; v + 1 < vectors; ++v)
            w[v] = Load<V4, Aligned>(x + i + 4 * v);
        for (; n - i >= 4; i += 4) {
            if (i % 16 == 0)
                Ahead<Prefetch>(x + i);
            w[vectors - 1] = Load<V4, Aligned>(x + i + 4 * (vectors - 1));
            const V4 taps[5] = {Lanes<0>(w), Lanes<P>(w), Lanes<2 * P>(w), Lanes<3 * P>(w),
                                Lanes<4 * P>(w)};
            Profiles<Gauss>(taps, o + i, m + i, c + i);
            for (int v = 0; v + 1 < vectors; ++v)
                w[v] = w[v + 1];
        }
    }
    for (; i < n; ++i) {
        const float taps[5] = {Get(x + i), Get(x + i + P), Get(x + i + 2 * P), Get(x + i + 3 * P),
                               Get(x + i + 4 * P)};
        Profiles<Gauss>(taps, o + i, m + i, c + i);
    }
}

template <bool Gauss, int P, bool Prefetch, bool Aligned>
void RowPass5x5Plain(const float* x, float* o, float* m, float* c, std::ptrdiff_t n)
{
    RowPass5x5Body<Gauss, P, Prefetch, Aligned, false>(x, o, m, c, n);
}

template <bool Gauss, int P, bool Prefetch>
__attribute__((target("avx2"))) void RowPass5x5Wide(const float* x, float* o, float* m, float* c,
                                                    std::ptrdiff_t n)
{
    RowPass5x5Body<Gauss, P, Prefetch, false, true>(x, o, m, c, n);
}

template <bool Gauss, int P, bool Prefetch>
void RowPass5x5(const void* src, void* outer, void* middle, void* centre, std::ptrdiff_t n)
{
    const auto* x = static_cast<const float*>(src);
    auto *o = static_cast<float*>(outer), *m = static_cast<float*>(middle),
         *c = static_cast<float*>(centre);
    if (spUseAvx2Loops())
        RowPass5x5Wide<Gauss, P, Prefetch>(x, o, m, c, n);
    else if (AlignedTo(x, 16))
        RowPass5x5Plain<Gauss, P, Prefetch, true>(x, o, m, c, n);
    else
        RowPass5x5Plain<Gauss, P, Prefetch, false>(x, o, m, c, n);
}

template <bool Gauss, bool Keep, bool Aligned, bool Wide>
SP_F234 void ColPass5x5Body(const float* const* rows, float* dst, std::ptrdiff_t n)
{
    const Held<5> held(rows);
    const float* const* r = held.r;
    const auto at = [r]<class V>(V, std::ptrdiff_t i) SP_FORMULA {
        const V s = Sum5(Load<V, true>(r[0] + i), Load<V, true>(r[1] + i), Load<V, true>(r[2] + i),
                         Load<V, true>(r[3] + i), Load<V, true>(r[4] + i));
        return Gauss ? s * kInv571 : s;
    };
    std::ptrdiff_t i = 0;
    for (; n - i >= 8; i += 8) {
        if constexpr (Wide) {
            PutPixels<Keep, Aligned>(dst + i, at(V8{}, i));
        } else {
            PutPixels<Keep, Aligned>(dst + i, at(V4{}, i));
            PutPixels<Keep, Aligned>(dst + i + 4, at(V4{}, i + 4));
        }
    }
    if (n - i >= 4) {
        PutPixels<Keep, Aligned>(dst + i, at(V4{}, i));
        i += 4;
    }
    for (; i < n; ++i) {
        const float s = Sum5(r[0][i], r[1][i], r[2][i], r[3][i], r[4][i]);
        Set(dst + i, Gauss ? s * kInv571 : s);
    }
}

template <bool Gauss, bool Keep, bool Aligned>
void ColPass5x5Plain(const float* const* r, float* dst, std::ptrdiff_t n)
{
    ColPass5x5Body<Gauss, Keep, Aligned, false>(r, dst, n);
}

template <bool Gauss, bool Keep, bool Aligned>
__attribute__((target("avx2"))) void ColPass5x5Wide(const float* const* r, float* dst,
                                                    std::ptrdiff_t n)
{
    ColPass5x5Body<Gauss, Keep, Aligned, true>(r, dst, n);
}

// (((r0 + r1) + r2) + r3) + r4, times the float nearest 1/571 for the Gauss.
template <bool Gauss, bool Keep>
void ColPass5x5(const void* r0, const void* r1, const void* r2, const void* r3, const void* r4,
                void* dst, std::ptrdiff_t n)
{
    const float* const r[5] = {static_cast<const float*>(r0), static_cast<const float*>(r1),
                               static_cast<const float*>(r2), static_cast<const float*>(r3),
                               static_cast<const float*>(r4)};
    auto* d = static_cast<float*>(dst);
    const bool aligned = spStreamsFloatRow(d);
    if (spUseAvx2Loops())
        (aligned ? ColPass5x5Wide<Gauss, Keep, true> : ColPass5x5Wide<Gauss, Keep, false>)(r, d, n);
    else
        (aligned ? ColPass5x5Plain<Gauss, Keep, true> : ColPass5x5Plain<Gauss, Keep, false>)(r, d,
                                                                                             n);
}

} // namespace spFloat234
