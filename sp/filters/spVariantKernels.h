// The kernels of the processor columns, written once as templates over the element type E,
// the column's traits Col, the pixel pitch P (elements between horizontal neighbours: 1, 3
// or 4) and KeepAlpha (the fourth element of every destination pixel is left as it was).
//
// Kernels take element counts n and byte steps, check nothing and allocate nothing. Each
// writes exactly its n output elements. The float kernels of columns 2 to 4 are those of
// spVariantFloat.h, with the orders of addition of their parts of a row; the float orders
// written here are the other columns'. Float kernels compute in single precision; integer
// kernels compute exactly and round and saturate once at the store. Every loop here runs
// through spForElements: the compiler vectorises it, and a second copy compiled for AVX2
// runs where the processor has it (the same operations per element).
#pragma once

#include <cstddef>

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

template <bool KeepAlpha, class Body>
__attribute__((always_inline)) inline void Loop(std::ptrdiff_t n, const Body& body)
{
    for (std::ptrdiff_t k = 0; k < n; ++k)
        if (!KeepAlpha || k % 4 != 3)
            body(k);
}

template <bool KeepAlpha, class Body>
__attribute__((target("avx2"))) void LoopAvx2(std::ptrdiff_t n, const Body& body)
{
    Loop<KeepAlpha>(n, body);
}

template <bool KeepAlpha, class Body>
void LoopPlain(std::ptrdiff_t n, const Body& body)
{
    Loop<KeepAlpha>(n, body);
}

template <class T>
const T* At(const void* p, std::ptrdiff_t bytes = 0)
{
    return reinterpret_cast<const T*>(static_cast<const unsigned char*>(p) + bytes);
}

template <class T>
T* Out(void* p)
{
    return static_cast<T*>(p);
}

} // namespace spVariantDetail

// Whether a kernel of type E in column Col is one of the float kernels of columns 2 to 4.
template <class E, class Col>
inline constexpr bool spFloat234Kernel = E::kFloat && Col::kColumn != 1;

template <bool KeepAlpha = false, class Body>
inline void spForElements(std::ptrdiff_t n, const Body& body)
{
    if (spUseAvx2Loops())
        spVariantDetail::LoopAvx2<KeepAlpha>(n, body);
    else
        spVariantDetail::LoopPlain<KeepAlpha>(n, body);
}

// ---- Vertical kernels: rows src, src + step, ... into one buffer row of len elements ----

// Form 0: (a + b) + c; form 1: (a + 2b) + c.
template <class E, class Col, int Form>
void spColSum3(const void* src, void* buf, std::ptrdiff_t len, std::ptrdiff_t step)
{
    if constexpr (spFloat234Kernel<E, Col>) {
        spFloat234::ColSum3<Form, Col::kPrefetches>(src, buf, len, step);
    } else {
        using namespace spVariantDetail;
        using S = typename E::Sum;
        const auto *a = At<typename E::Src>(src), *b = At<typename E::Src>(src, step),
                   *c = At<typename E::Src>(src, 2 * step);
        S* out = Out<S>(buf);
        spForElements(len, [=](std::ptrdiff_t i) SP_FORMULA {
            const S y = E::Widen(b[i]);
            const S mid = Form == 0 ? y : static_cast<S>(y + y);
            out[i] = static_cast<S>(static_cast<S>(E::Widen(a[i]) + mid) + E::Widen(c[i]));
        });
    }
}

// (((r0 + r1) + r2) + r3) + r4
template <class E, class Col>
void spColSum5(const void* src, void* buf, std::ptrdiff_t len, std::ptrdiff_t step)
{
    if constexpr (spFloat234Kernel<E, Col>) {
        spFloat234::ColSum5(src, buf, len, step);
    } else {
        using namespace spVariantDetail;
        using S = typename E::Sum;
        const auto* r = At<typename E::Src>(src);
        const std::ptrdiff_t s = step / static_cast<std::ptrdiff_t>(sizeof(typename E::Src));
        S* out = Out<S>(buf);
        spForElements(len, [=](std::ptrdiff_t i) SP_FORMULA {
            S acc = E::Widen(r[i]);
            for (int k = 1; k < 5; ++k)
                acc = static_cast<S>(acc + E::Widen(r[i + k * s]));
            out[i] = acc;
        });
    }
}

// Moves the five-row sums one row down: src is the top row of the current window. The new
// window is summed afresh, so no rounding error (or infinity) is carried down the image.
template <class E, class Col>
void spColSlide5(const void* src, void* buf, std::ptrdiff_t len, std::ptrdiff_t step)
{
    if constexpr (spFloat234Kernel<E, Col>) {
        spFloat234::ColSum5(spVariantDetail::At<unsigned char>(src, step), buf, len, step);
    } else {
        spColSum5<E, Col>(spVariantDetail::At<unsigned char>(src, step), buf, len, step);
    }
}

// The row below minus the row above, as true values.
template <class E, class Col>
void spRowPairDiff(const void* src, void* buf, std::ptrdiff_t len, std::ptrdiff_t step)
{
    if constexpr (spFloat234Kernel<E, Col>) {
        spFloat234::RowPairDiff<Col::kPrefetches>(src, buf, len, step);
    } else {
        using namespace spVariantDetail;
        using D = typename E::Diff;
        const auto *a = At<typename E::Src>(src), *c = At<typename E::Src>(src, 2 * step);
        D* out = Out<D>(buf);
        spForElements(len, [=](std::ptrdiff_t i) SP_FORMULA {
            out[i] = static_cast<D>(E::Value(c[i]) - E::Value(a[i]));
        });
    }
}

// ---- Output kernels: buffer row (and the centre source row) into a destination row ----

namespace spVariantDetail {

// Runs out(k) = finish(formula(neighbours)) into dst for the n elements of a row; `term(j)`
// reads buffer element k + j P as a true value (Acc).
template <class E, int P, bool KeepAlpha, class Formula>
void MapRow(const void* buf, int sumTerms, void* dst, std::ptrdiff_t n, const Formula& formula)
{
    using S = typename E::Sum;
    const S* b = At<S>(buf);
    typename E::Dst* d = Out<typename E::Dst>(dst);
    spForElements<KeepAlpha>(n, [=](std::ptrdiff_t k) SP_FORMULA {
        const auto term = [=](int j) SP_FORMULA {
            return E::Unbiased(b[k + j * P], sumTerms);
        };
        d[k] = E::Saturate(formula(k, term));
    });
}

} // namespace spVariantDetail

// 9 x centre - (L + M + R): float ((9x - L) - M) - R.
template <class E, class Col, int P, bool KeepAlpha>
void spColCentreMinusSum3(const void* centre, const void* buf, void* dst, std::ptrdiff_t n)
{
    if constexpr (spFloat234Kernel<E, Col>) {
        spFloat234::Row<spFloat234::CentreMinusSum3, P, KeepAlpha>(static_cast<const float*>(centre), buf, dst, n);
    } else {
        const auto* x = spVariantDetail::At<typename E::Src>(centre);
        spVariantDetail::MapRow<E, P, KeepAlpha>(buf, 3, dst, n, [=](std::ptrdiff_t k, const auto& t)
                                                     SP_FORMULA {
            using A = typename E::Acc;
            return ((E::Value(x[k]) * A(9) - t(0)) - t(1)) - t(2);
        });
    }
}

// 25 x centre - S, S = ((w0 + w4) + (w1 + w2)) + w3 for float.
template <class E, class Col, int P, bool KeepAlpha>
void spColHipass5(const void* centre, const void* buf, void* dst, std::ptrdiff_t n)
{
    if constexpr (spFloat234Kernel<E, Col>) {
        spFloat234::Row<spFloat234::Hipass5, P, KeepAlpha>(static_cast<const float*>(centre), buf, dst, n);
    } else {
        const auto* x = spVariantDetail::At<typename E::Src>(centre);
        spVariantDetail::MapRow<E, P, KeepAlpha>(buf, 5, dst, n, [=](std::ptrdiff_t k, const auto& t)
                                                     SP_FORMULA {
            using A = typename E::Acc;
            return E::Value(x[k]) * A(25) - (((t(0) + t(4)) + (t(1) + t(2))) + t(3));
        });
    }
}

// (17 x centre - S) / 8: float (((17x - L) - M) - R) x 0.125; integers rounded, ties to even.
template <class E, class Col, int P, bool KeepAlpha>
void spSharpenFromSums(const void* centre, const void* buf, void* dst, std::ptrdiff_t n)
{
    if constexpr (spFloat234Kernel<E, Col>) {
        spFloat234::Row<spFloat234::SharpenFromSums, P, KeepAlpha>(static_cast<const float*>(centre), buf, dst, n);
    } else {
        const auto* x = spVariantDetail::At<typename E::Src>(centre);
        spVariantDetail::MapRow<E, P, KeepAlpha>(buf, 3, dst, n, [=](std::ptrdiff_t k, const auto& t)
                                                     SP_FORMULA {
            using A = typename E::Acc;
            const A v = ((E::Value(x[k]) * A(17) - t(0)) - t(1)) - t(2);
            if constexpr (E::kFloat)
                return v * 0.125f;
            else
                return Col::template RoundShift<3>(v);
        });
    }
}

// The 3x3 mean: float ((c0 + c1) + c2) x 0x3DE38E39.
template <class E, class Col, int P, bool KeepAlpha>
void spColMean3(const void* buf, void* dst, std::ptrdiff_t n)
{
    if constexpr (spFloat234Kernel<E, Col>) {
        spFloat234::Row<spFloat234::Mean3, P, KeepAlpha>(nullptr, buf, dst, n);
    } else {
        spVariantDetail::MapRow<E, P, KeepAlpha>(buf, 3, dst, n, [](std::ptrdiff_t, const auto& t)
                                                     SP_FORMULA {
            const auto s = (t(0) + t(1)) + t(2);
            if constexpr (E::kFloat)
                return s * spVariantMean3;
            else
                return Col::template Div9<E>(s);
        });
    }
}

// The 5x5 mean: float (((c0 + c4) + (c1 + c2)) + c3) x 0.04.
template <class E, class Col, int P, bool KeepAlpha>
void spColMean5(const void* buf, void* dst, std::ptrdiff_t n)
{
    if constexpr (spFloat234Kernel<E, Col>) {
        spFloat234::Row<spFloat234::Mean5, P, KeepAlpha>(nullptr, buf, dst, n);
    } else {
        spVariantDetail::MapRow<E, P, KeepAlpha>(buf, 5, dst, n, [](std::ptrdiff_t, const auto& t)
                                                     SP_FORMULA {
            const auto s = ((t(0) + t(4)) + (t(1) + t(2))) + t(3);
            if constexpr (E::kFloat)
                return s * spVariantMean5;
            else
                return Col::template Div25<E>(s);
        });
    }
}

// The vertical Sobel from 1-2-1 (or 1-1-1) column sums: left minus right.
template <class E, class Col, int P, bool KeepAlpha>
void spHorizDiff(const void* buf, void* dst, std::ptrdiff_t n)
{
    if constexpr (spFloat234Kernel<E, Col>) {
        spFloat234::Row<spFloat234::HorizDiff, P, KeepAlpha>(nullptr, buf, dst, n);
    } else {
        // The sums' offsets cancel in the difference.
        spVariantDetail::MapRow<E, P, KeepAlpha>(buf, 0, dst, n, [](std::ptrdiff_t, const auto& t)
                                                     SP_FORMULA { return t(0) - t(2); });
    }
}

// The 3x3 Gauss from 1-2-1 column sums: float ((e0 + 2 e1) + e2) x 0.0625; integers / 16
// rounded to nearest, ties to even.
template <class E, class Col, int P, bool KeepAlpha>
void spGaussRowPass3x3(const void* buf, void* dst, std::ptrdiff_t n)
{
    if constexpr (spFloat234Kernel<E, Col>) {
        spFloat234::Row<spFloat234::GaussRowPass3x3, P, KeepAlpha>(nullptr, buf, dst, n);
    } else {
        spVariantDetail::MapRow<E, P, KeepAlpha>(buf, 4, dst, n, [](std::ptrdiff_t, const auto& t)
                                                     SP_FORMULA {
            const auto mid = t(1);
            const auto h = (t(0) + (mid + mid)) + t(2);
            if constexpr (E::kFloat)
                return h * 0.0625f;
            else
                return Col::template RoundShift<4>(h);
        });
    }
}

// The horizontal Sobel from row differences: (d0 + d1) + d2 (Form 0), (d0 + 2 d1) + d2 (1).
template <class E, class Col, int P, bool KeepAlpha, int Form>
void spSmooth(const void* buf, void* dst, std::ptrdiff_t n)
{
    using D = typename E::Diff;
    if constexpr (spFloat234Kernel<E, Col> && Form == 0) {
        spFloat234::Row<spFloat234::Smooth111, P, KeepAlpha>(nullptr, buf, dst, n);
    } else if constexpr (spFloat234Kernel<E, Col>) {
        spFloat234::Row<spFloat234::Smooth121, P, KeepAlpha>(nullptr, buf, dst, n);
    } else {
        const D* b = spVariantDetail::At<D>(buf);
        typename E::Dst* d = spVariantDetail::Out<typename E::Dst>(dst);
        spForElements<KeepAlpha>(n, [=](std::ptrdiff_t k) SP_FORMULA {
            using A = typename E::Acc;
            const A mid = static_cast<A>(b[k + P]);
            d[k] = E::Saturate((static_cast<A>(b[k]) + (Form == 0 ? mid : mid + mid)) +
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
    if constexpr (spFloat234Kernel<E, Col>) {
        spFloat234::RowPass5x5<Gauss, P, Col::kPrefetches>(src, outer, middle, centre, n);
    } else {
        using R = spProfile<E, Gauss>;
        using A = typename E::Acc;
        const auto* x = spVariantDetail::At<typename E::Src>(src);
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
    if constexpr (spFloat234Kernel<E, Col>) {
        spFloat234::ColPass5x5<Gauss, KeepAlpha>(r0, r1, r2, r3, r4, dst, n);
    } else {
        using R = spProfile<E, Gauss>;
        using A = typename E::Acc;
        const R *a = static_cast<const R*>(r0), *b = static_cast<const R*>(r1),
                *c = static_cast<const R*>(r2), *d = static_cast<const R*>(r3),
                *e = static_cast<const R*>(r4);
        typename E::Dst* out = spVariantDetail::Out<typename E::Dst>(dst);
        spForElements<KeepAlpha>(n, [=](std::ptrdiff_t i) SP_FORMULA {
            const A s = (((A(a[i]) + A(b[i])) + A(c[i])) + A(d[i])) + A(e[i]);
            if constexpr (!Gauss)
                out[i] = E::Saturate(s);
            else if constexpr (E::kFloat)
                out[i] = s * spVariantInv571;
            else
                out[i] = E::Saturate(Col::template Div571<E>(s));
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
