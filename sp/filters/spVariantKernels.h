// The kernels of columns 2 to 4, written once as templates over the element type E, the
// column's traits Col, the pixel pitch P (elements between horizontal neighbours: 1, 3 or 4)
// and KeepAlpha (the fourth element of every destination pixel is left as it was); each
// column has its own instances.
//
// Kernels take element counts n and byte steps, check nothing and allocate nothing. Each
// writes exactly its n output elements. Float kernels are those of spVariantFloat.h, in single
// precision with the orders of addition of their parts of a row. Integer kernels compute
// exactly and round and saturate once at the store, which writes whole passes of the
// column's width with its store kind (spRowStores); their vertical loops run through
// spForElements, which the compiler vectorises, with a second copy compiled for AVX2 where
// the processor has it, and prefetch in columns 3 and 4.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "sp/filters/spElementLoops.h"
#include "sp/filters/spVariantColumns.h"
#include "sp/filters/spVariantElements.h"
#include "sp/filters/spVariantFloat.h"

using spVerticalFn = void(const void* src, void* buf, std::ptrdiff_t len, std::ptrdiff_t step);
using spRowFn = void(const void* buf, void* dst, std::ptrdiff_t n);
using spCentreFn = void(const void* centre, const void* buf, void* dst, std::ptrdiff_t n);
using spRowPass5Fn = void(const void* src, void* outer, void* middle, void* centre,
                          std::ptrdiff_t n);
using spColPass5Fn = void(const void* r0, const void* r1, const void* r2, const void* r3,
                          const void* r4, void* dst, std::ptrdiff_t n);

namespace spVariantDetail {

template <class Body>
__attribute__((target("avx2"))) void LoopAvx2(std::ptrdiff_t n, const Body& body)
{
    for (std::ptrdiff_t k = 0; k < n; ++k)
        body(k);
}

template <class Body>
void LoopPlain(std::ptrdiff_t n, const Body& body)
{
    for (std::ptrdiff_t k = 0; k < n; ++k)
        body(k);
}

// The elements of type T of a source row, which may start anywhere (a caller's row or step
// need not lie on the element grid): element i is read as a T of byte alignment. (A byte copy
// would do the same, but its loads may alias the sums the loop writes, and the loops that
// prefetch then recheck their rows' overlap for every piece, a quarter slower.)
template <class T>
struct Elements {
    typedef T Unaligned __attribute__((aligned(1)));
    const unsigned char* p;
    SP_FORMULA T operator[](std::ptrdiff_t i) const
    {
        return *reinterpret_cast<const Unaligned*>(p + i * static_cast<std::ptrdiff_t>(sizeof(T)));
    }
};

template <class T>
Elements<T> At(const void* p, std::ptrdiff_t bytes = 0)
{
    return {static_cast<const unsigned char*>(p) + bytes};
}

} // namespace spVariantDetail

template <class Body>
inline void spForElements(std::ptrdiff_t n, const Body& body)
{
    if (spUseAvx2Loops())
        spVariantDetail::LoopAvx2(n, body);
    else
        spVariantDetail::LoopPlain(n, body);
}

// spForElements in pieces of 64 bytes of elements `bytes` wide, each after a prefetch of the
// next piece of the row at `ahead`, when Prefetch.
template <bool Prefetch, class Body>
inline void spForElementsAhead(std::ptrdiff_t n, const void* ahead, std::ptrdiff_t bytes,
                               const Body& body)
{
    if constexpr (!Prefetch) {
        spForElements(n, body);
    } else {
        const std::ptrdiff_t piece = 64 / bytes;
        for (std::ptrdiff_t k = 0; k < n; k += piece) {
            __builtin_prefetch(static_cast<const char*>(ahead) + (k + piece) * bytes, 0, 3);
            spForElements(std::min(piece, n - k),
                          [&](std::ptrdiff_t i) SP_FORMULA { body(k + i); });
        }
    }
}

// ---- Vertical kernels: rows src, src + step, ... into one buffer row of len elements ----

// Form 0: (a + b) + c; form 1: (a + 2b) + c.
template <class E, class Col, int Form>
void spColSum3(const void* src, void* buf, std::ptrdiff_t len, std::ptrdiff_t step)
{
    if constexpr (E::kFloat) {
        spFloat234::ColSum3<Form, Col::kPrefetches>(src, buf, len, step);
    } else {
        using namespace spVariantDetail;
        using S = typename E::Sum;
        using X = typename E::Src;
        const auto a = At<X>(src), b = At<X>(src, step), c = At<X>(src, 2 * step);
        S* out = static_cast<S*>(buf);
        spForElementsAhead<Col::kPrefetches>(len, c.p, sizeof(X), [=](std::ptrdiff_t i) SP_FORMULA {
            const S y = E::Widen(b[i]);
            const S mid = Form == 0 ? y : static_cast<S>(y + y);
            out[i] = static_cast<S>(static_cast<S>(E::Widen(a[i]) + mid) + E::Widen(c[i]));
        });
    }
}

namespace spVariantDetail {

// A sample as it enters a five-row sum of column Col.
template <class E, class Col>
typename E::Sum Widen5(typename E::Src x)
{
    return static_cast<typename E::Sum>(E::Value(x) + Col::template kFiveRowBias<E>);
}

} // namespace spVariantDetail

// (((r0 + r1) + r2) + r3) + r4
template <class E, class Col>
void spColSum5(const void* src, void* buf, std::ptrdiff_t len, std::ptrdiff_t step)
{
    if constexpr (E::kFloat) {
        spFloat234::ColSum5(src, buf, len, step);
    } else {
        using namespace spVariantDetail;
        using S = typename E::Sum;
        using X = typename E::Src;
        const Elements<X> r[5] = {At<X>(src), At<X>(src, step), At<X>(src, 2 * step),
                                  At<X>(src, 3 * step), At<X>(src, 4 * step)};
        S* out = static_cast<S*>(buf);
        spForElements(len, [=](std::ptrdiff_t i) SP_FORMULA {
            S acc = Widen5<E, Col>(r[0][i]);
            for (int k = 1; k < 5; ++k)
                acc = static_cast<S>(acc + Widen5<E, Col>(r[k][i]));
            out[i] = acc;
        });
    }
}

// Moves the five-row sums one row down: src is the top row of the current window, which
// leaves it; the row five steps below enters. Integer sums slide exactly (in the wrapping
// arithmetic of their element). Float sums are summed afresh for the new window instead, so
// that no rounding error, and no infinity as NaN, is carried down the image.
template <class E, class Col>
void spColSlide5(const void* src, void* buf, std::ptrdiff_t len, std::ptrdiff_t step)
{
    if constexpr (E::kFloat) {
        spFloat234::ColSum5(static_cast<const unsigned char*>(src) + step, buf, len, step);
    } else {
        using namespace spVariantDetail;
        using S = typename E::Sum;
        using X = typename E::Src;
        const auto leaving = At<X>(src), entering = At<X>(src, 5 * step);
        S* out = static_cast<S*>(buf);
        spForElementsAhead<Col::kPrefetches>(
            len, entering.p, sizeof(X), [=](std::ptrdiff_t i) SP_FORMULA {
                out[i] = static_cast<S>(static_cast<S>(out[i] - Widen5<E, Col>(leaving[i])) +
                                        Widen5<E, Col>(entering[i]));
            });
    }
}

// The row below minus the row above, as true values.
template <class E, class Col>
void spRowPairDiff(const void* src, void* buf, std::ptrdiff_t len, std::ptrdiff_t step)
{
    if constexpr (E::kFloat) {
        spFloat234::RowPairDiff<Col::kPrefetches>(src, buf, len, step);
    } else {
        using namespace spVariantDetail;
        using D = typename E::Diff;
        using X = typename E::Src;
        const auto a = At<X>(src), c = At<X>(src, 2 * step);
        D* out = static_cast<D*>(buf);
        spForElementsAhead<Col::kPrefetches>(len, c.p, sizeof(X), [=](std::ptrdiff_t i) SP_FORMULA {
            out[i] = static_cast<D>(E::Value(c[i]) - E::Value(a[i]));
        });
    }
}

// ---- Output kernels: buffer row (and the centre source row) into a destination row ----

namespace spVariantDetail {

// Writes value(k) to the n elements of type Dst of a destination row with the stores of kind
// K (every fourth element left as it was when KeepAlpha): whole passes, then element by
// element. The row may start anywhere: what is not a streaming store is a byte copy.
template <class Dst, spRowStores K, bool KeepAlpha, class Value>
void WriteRow(void* dst, std::ptrdiff_t n, const Value& value)
{
    constexpr std::ptrdiff_t size = sizeof(Dst);
    constexpr std::ptrdiff_t width = (K == spRowStores::Stream8 ? 8 : 16) / size;
    auto* d = static_cast<unsigned char*>(dst);
    const bool aligned = reinterpret_cast<std::uintptr_t>(d) % 16 == 0;
    std::ptrdiff_t k = 0;
    for (; n - k >= width; k += width) {
        Dst pass[width];
        if constexpr (KeepAlpha)
            std::memcpy(pass, d + k * size, sizeof pass);
        for (std::ptrdiff_t j = 0; j < width; ++j)
            if (!KeepAlpha || j % 4 != 3)
                pass[j] = value(k + j);
        if constexpr (K == spRowStores::Stream8) {
            __m64 v;
            std::memcpy(&v, pass, sizeof v);
            _mm_stream_pi(reinterpret_cast<__m64*>(d + k * size), v);
        } else if (K == spRowStores::Stream16 && aligned) {
            _mm_stream_si128(reinterpret_cast<__m128i*>(d + k * size),
                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(pass)));
        } else {
            std::memcpy(d + k * size, pass, sizeof pass);
        }
    }
    for (; k < n; ++k)
        if (!KeepAlpha || k % 4 != 3) {
            const Dst v = value(k);
            std::memcpy(d + k * size, &v, sizeof v);
        }
}

// Runs out(k) = saturate(formula(k, term)) into dst for the n elements of a row; `term(j)`
// reads buffer element k + j P as a true value (Acc) of sums carrying `offset`.
template <class E, class Col, int P, bool KeepAlpha, bool Narrow = true, class Formula>
void MapRow(const void* buf, std::int32_t offset, void* dst, std::ptrdiff_t n,
            const Formula& formula)
{
    using S = typename E::Sum;
    const S* b = static_cast<const S*>(buf);
    WriteRow<typename E::Dst, Col::template kStores<P, KeepAlpha, Narrow>, KeepAlpha>(
        dst, n, [=](std::ptrdiff_t k) {
        const auto term = [=](int j) {
            return static_cast<typename E::Acc>(b[k + j * P]) - offset;
        };
        return E::Saturate(formula(k, term));
    });
}

} // namespace spVariantDetail

// Floats take the kernels of spVariantFloat.h, whose rules add in the orders of their parts
// of a row; the other types run the integer formulas here.

// 9 x centre - (L + M + R).
template <class E, class Col, int P, bool KeepAlpha>
void spColCentreMinusSum3(const void* centre, const void* buf, void* dst, std::ptrdiff_t n)
{
    const auto x = spVariantDetail::At<typename E::Src>(centre);
    if constexpr (E::kFloat)
        spFloat234::Row<spFloat234::CentreMinusSum3, P, KeepAlpha>(
            static_cast<const float*>(centre), buf, dst, n);
    else
        spVariantDetail::MapRow<E, Col, P, KeepAlpha>(
            buf, 3 * E::kBias, dst, n, [=](std::ptrdiff_t k, const auto& t) {
                return ((E::Value(x[k]) * 9 - t(0)) - t(1)) - t(2);
            });
}

// 25 x centre - the 5x5 sum.
template <class E, class Col, int P, bool KeepAlpha>
void spColHipass5(const void* centre, const void* buf, void* dst, std::ptrdiff_t n)
{
    const auto x = spVariantDetail::At<typename E::Src>(centre);
    if constexpr (E::kFloat)
        spFloat234::Row<spFloat234::Hipass5, P, KeepAlpha>(static_cast<const float*>(centre), buf,
                                                           dst, n);
    else
        spVariantDetail::MapRow<E, Col, P, KeepAlpha>(
            buf, 5 * Col::template kFiveRowBias<E>, dst, n, [=](std::ptrdiff_t k, const auto& t) {
                return E::Value(x[k]) * 25 - ((((t(0) + t(1)) + t(2)) + t(3)) + t(4));
            });
}

// (17 x centre - the 3x3 sum) / 8, rounded to nearest, ties to even. The 8-bit kernels are
// 128-bit ones in every column.
template <class E, class Col, int P, bool KeepAlpha>
void spSharpenFromSums(const void* centre, const void* buf, void* dst, std::ptrdiff_t n)
{
    const auto x = spVariantDetail::At<typename E::Src>(centre);
    if constexpr (E::kFloat)
        spFloat234::Row<spFloat234::SharpenFromSums, P, KeepAlpha>(
            static_cast<const float*>(centre), buf, dst, n);
    else
        spVariantDetail::MapRow<E, Col, P, KeepAlpha, sizeof(typename E::Src) == 2>(
            buf, 3 * E::kBias, dst, n, [=](std::ptrdiff_t k, const auto& t) {
                const auto v = ((E::Value(x[k]) * 17 - t(0)) - t(1)) - t(2);
                return Col::template RoundShift<3>(v);
            });
}

// The 3x3 mean: the integer nearest the sum / 9.
template <class E, class Col, int P, bool KeepAlpha>
void spColMean3(const void* buf, void* dst, std::ptrdiff_t n)
{
    if constexpr (E::kFloat)
        spFloat234::Row<spFloat234::Mean3, P, KeepAlpha>(nullptr, buf, dst, n);
    else
        spVariantDetail::MapRow<E, Col, P, KeepAlpha>(
            buf, 3 * E::kBias, dst, n, [](std::ptrdiff_t, const auto& t) {
                return Col::template Div9<E>((t(0) + t(1)) + t(2));
            });
}

// The 5x5 mean: the integer nearest the sum / 25.
template <class E, class Col, int P, bool KeepAlpha>
void spColMean5(const void* buf, void* dst, std::ptrdiff_t n)
{
    if constexpr (E::kFloat)
        spFloat234::Row<spFloat234::Mean5, P, KeepAlpha>(nullptr, buf, dst, n);
    else
        spVariantDetail::MapRow<E, Col, P, KeepAlpha>(
            buf, 5 * Col::template kFiveRowBias<E>, dst, n, [](std::ptrdiff_t, const auto& t) {
                return Col::template Div25<E>((((t(0) + t(1)) + t(2)) + t(3)) + t(4));
            });
}

// The vertical Sobel from 1-2-1 (or 1-1-1) column sums: left minus right (the sums' offsets
// cancel).
template <class E, class Col, int P, bool KeepAlpha>
void spHorizDiff(const void* buf, void* dst, std::ptrdiff_t n)
{
    if constexpr (E::kFloat)
        spFloat234::Row<spFloat234::HorizDiff, P, KeepAlpha>(nullptr, buf, dst, n);
    else
        spVariantDetail::MapRow<E, Col, P, KeepAlpha>(
            buf, 0, dst, n, [](std::ptrdiff_t, const auto& t) { return t(0) - t(2); });
}

// The 3x3 Gauss from 1-2-1 column sums: / 16 rounded to nearest, ties to even.
template <class E, class Col, int P, bool KeepAlpha>
void spGaussRowPass3x3(const void* buf, void* dst, std::ptrdiff_t n)
{
    if constexpr (E::kFloat)
        spFloat234::Row<spFloat234::GaussRowPass3x3, P, KeepAlpha>(nullptr, buf, dst, n);
    else
        spVariantDetail::MapRow<E, Col, P, KeepAlpha>(
            buf, 4 * E::kBias, dst, n, [](std::ptrdiff_t, const auto& t) {
                return Col::template RoundShift<4>((t(0) + (t(1) + t(1))) + t(2));
            });
}

// The horizontal Sobel from row differences: d0 + d1 + d2 (Form 0), d0 + 2 d1 + d2 (1).
template <class E, class Col, int P, bool KeepAlpha, int Form>
void spSmooth(const void* buf, void* dst, std::ptrdiff_t n)
{
    using D = typename E::Diff;
    if constexpr (E::kFloat && Form == 0) {
        spFloat234::Row<spFloat234::Smooth111, P, KeepAlpha>(nullptr, buf, dst, n);
    } else if constexpr (E::kFloat) {
        spFloat234::Row<spFloat234::Smooth121, P, KeepAlpha>(nullptr, buf, dst, n);
    } else {
        const D* b = static_cast<const D*>(buf);
        spVariantDetail::WriteRow<typename E::Dst, Col::template kStores<P, KeepAlpha>, KeepAlpha>(
            dst, n, [=](std::ptrdiff_t k) {
                using A = typename E::Acc;
                const A mid = static_cast<A>(b[k + P]);
                return E::Saturate((static_cast<A>(b[k]) + (Form == 0 ? mid : mid + mid)) +
                                   static_cast<A>(b[k + 2 * P]));
            });
    }
}

// ---- The 5x5 Gauss and Laplace: three profiles per source row, five rows per output ----

// With p = x0 + x4, q = x1 + x3, m = x2 (taps P apart): Gauss outer ((2p + 7q) + 12m), middle
// ((7p + 31q) + 52m), centre ((12p + 52q) + 127m); Laplace outer ((-p - 3q) - 4m), middle
// (6m - 3p), centre ((20m + 6q) - 4p).
template <class E, class Col, bool Gauss, int P>
void spRowPass5x5(const void* src, void* outer, void* middle, void* centre, std::ptrdiff_t n)
{
    if constexpr (E::kFloat) {
        spFloat234::RowPass5x5<Gauss, P, Col::kPrefetches>(src, outer, middle, centre, n);
    } else {
        using R = spProfile<E, Gauss>;
        using A = typename E::Acc;
        const auto x = spVariantDetail::At<typename E::Src>(src);
        R *o = static_cast<R*>(outer), *mi = static_cast<R*>(middle), *c = static_cast<R*>(centre);
        spForElements(n, [=](std::ptrdiff_t i) SP_FORMULA {
            const A p = E::Value(x[i]) + E::Value(x[i + 4 * P]);
            const A q = E::Value(x[i + P]) + E::Value(x[i + 3 * P]);
            const A m = E::Value(x[i + 2 * P]);
            if constexpr (Gauss) {
                o[i] = static_cast<R>((p * A(2) + q * A(7)) + m * A(12));
                mi[i] = static_cast<R>((p * A(7) + q * A(31)) + m * A(52));
                c[i] = static_cast<R>((p * A(12) + q * A(52)) + m * A(127));
            } else {
                o[i] = static_cast<R>((-p - q * A(3)) - m * A(4));
                mi[i] = static_cast<R>(m * A(6) - p * A(3));
                c[i] = static_cast<R>((m * A(20) + q * A(6)) - p * A(4));
            }
        });
    }
}

// s = (((r0 + r1) + r2) + r3) + r4; Gauss s / 571 (float: s x the float nearest 1/571),
// Laplace s itself.
template <class E, class Col, bool Gauss, bool KeepAlpha>
void spColPass5x5(const void* r0, const void* r1, const void* r2, const void* r3, const void* r4,
                  void* dst, std::ptrdiff_t n)
{
    if constexpr (E::kFloat) {
        spFloat234::ColPass5x5<Gauss, KeepAlpha>(r0, r1, r2, r3, r4, dst, n);
    } else {
        using R = spProfile<E, Gauss>;
        using A = typename E::Acc;
        const R *a = static_cast<const R*>(r0), *b = static_cast<const R*>(r1),
                *c = static_cast<const R*>(r2), *d = static_cast<const R*>(r3),
                *e = static_cast<const R*>(r4);
        // The Gauss passes are 128-bit kernels in every column, the Laplace ones 64-bit in
        // columns 3 and 4.
        constexpr spRowStores stores = Col::template kStores<1, KeepAlpha, !Gauss>;
        using spVariantDetail::WriteRow;
        WriteRow<typename E::Dst, stores, KeepAlpha>(dst, n, [=](std::ptrdiff_t i) {
            const A s = (((A(a[i]) + A(b[i])) + A(c[i])) + A(d[i])) + A(e[i]);
            if constexpr (!Gauss)
                return E::Saturate(s);
            else
                return E::Saturate(Col::template Div571<E>(s));
        });
    }
}

// The kernels under the names of their roles in the tables.
template <class E, class Col>
inline constexpr spVerticalFn* spColumnSum111 = &spColSum3<E, Col, 0>;
template <class E, class Col>
inline constexpr spVerticalFn* spColSum121 = &spColSum3<E, Col, 1>;
template <class E, class Col>
inline constexpr spVerticalFn* spColumnSum121 = spColSum121<E, Col>;
template <class E, class Col, int P, bool KeepAlpha>
inline constexpr spRowFn* spSmooth111 = &spSmooth<E, Col, P, KeepAlpha, 0>;
template <class E, class Col, int P, bool KeepAlpha>
inline constexpr spRowFn* spSmooth121 = &spSmooth<E, Col, P, KeepAlpha, 1>;
template <class E, class Col, int P>
inline constexpr spRowPass5Fn* spLaplaceRowPass5x5 = &spRowPass5x5<E, Col, false, P>;
template <class E, class Col, int P>
inline constexpr spRowPass5Fn* spGaussRowPass5x5 = &spRowPass5x5<E, Col, true, P>;
template <class E, class Col, bool KeepAlpha>
inline constexpr spColPass5Fn* spLaplaceColumnPass5x5 = &spColPass5x5<E, Col, false, KeepAlpha>;
template <class E, class Col, bool KeepAlpha>
inline constexpr spColPass5Fn* spGaussColumnPass5x5 = &spColPass5x5<E, Col, true, KeepAlpha>;
