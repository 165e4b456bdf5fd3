// The eight-column copies of the 2-D transforms of columns 2 to 4: one 64-byte stretch of
// each image row to or from eight contiguous runs. Rows come two at a time, so that with
// aligned data every 16-byte store holds one element of each row; otherwise every element
// moves on its own with an 8-byte store. Columns of an image lie one row step apart, mostly
// on pages of their own, so the rows a few steps ahead are requested before they are read.
#include <emmintrin.h>

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "sp/transforms/spSimd.h"
#include "sp/transforms/spTransform2D.h"

namespace {

using Bytes = std::uint8_t;

// Rows ahead of the current pair whose stretch is requested.
constexpr std::ptrdiff_t kPrefetchRows = 24;

// The 64-byte stretch of a row (two cache lines when it does not start one).
void Prefetch(const Bytes* row)
{
    _mm_prefetch(reinterpret_cast<const char*>(row), _MM_HINT_T0);
    _mm_prefetch(reinterpret_cast<const char*>(row + 63), _MM_HINT_T0);
}

void* Element(const spRuns& runs, std::ptrdiff_t k, std::ptrdiff_t r) { return runs.Run(k) + r; }

// Single elements at addresses of any alignment (images may sit on any 4-byte boundary).
__m128d Load8(const void* p) { return _mm_castsi128_pd(_mm_loadl_epi64(static_cast<const __m128i_u*>(p))); }
__m128d Load16(const void* p) { return _mm_loadu_pd(static_cast<const double*>(p)); }
void StoreLow(void* p, __m128d v) { _mm_storel_epi64(static_cast<__m128i_u*>(p), _mm_castpd_si128(v)); }
void StoreHigh(void* p, __m128d v) { StoreLow(p, _mm_unpackhi_pd(v, v)); }
void Store16(void* p, __m128d v) { _mm_store_pd(static_cast<double*>(p), v); }

// Rows r and r + 1 (at a and b) into the runs. Aligned: each pair of columns of both rows is
// one load per row and one store per column; else each element alone.
template <bool Aligned>
void GatherPair(const Bytes* a, const Bytes* b, const spRuns& runs, std::ptrdiff_t r)
{
    for (std::ptrdiff_t q = 0; q < 8; q += 2) {
        const __m128d x = Load16(a + 8 * q), y = Load16(b + 8 * q);
        if constexpr (Aligned) {
            Store16(Element(runs, q, r), _mm_unpacklo_pd(x, y));
            Store16(Element(runs, q + 1, r), _mm_unpackhi_pd(x, y));
        } else {
            StoreLow(Element(runs, q, r), x);
            StoreHigh(Element(runs, q + 1, r), x);
            StoreLow(Element(runs, q, r + 1), y);
            StoreHigh(Element(runs, q + 1, r + 1), y);
        }
    }
}

template <bool Aligned>
void ScatterPair(const spRuns& runs, std::ptrdiff_t r, Bytes* a, Bytes* b)
{
    for (std::ptrdiff_t q = 0; q < 8; q += 2) {
        const __m128d u = Load16(Element(runs, q, r)), v = Load16(Element(runs, q + 1, r));
        Bytes* pa = a + 8 * q;
        Bytes* pb = b + 8 * q;
        if constexpr (Aligned) {
            Store16(pa, _mm_unpacklo_pd(u, v));
            Store16(pb, _mm_unpackhi_pd(u, v));
        } else {
            StoreLow(pa, u);
            StoreLow(pa + 8, v);
            StoreHigh(pb, u);
            StoreHigh(pb + 8, v);
        }
    }
}

// The last row of an odd height, one element at a time.
void GatherRow(const Bytes* a, const spRuns& runs, std::ptrdiff_t r)
{
    for (std::ptrdiff_t k = 0; k < 8; ++k)
        StoreLow(Element(runs, k, r), Load8(a + 8 * k));
}

void ScatterRow(const spRuns& runs, std::ptrdiff_t r, Bytes* a)
{
    for (std::ptrdiff_t k = 0; k < 8; ++k)
        StoreLow(a + 8 * k, Load8(Element(runs, k, r)));
}

// The rows of an image in pairs; `pair(a, b, r)` gets rows r and r + 1 (from `base`,
// `step` bytes apart) after the stretch at `ahead` bytes into the rows a few pairs further
// on has been requested; `single(a, r)` the last row of an odd height.
template <class Pair, class Single>
void ForRowPairs(Bytes* base, std::ptrdiff_t step, std::ptrdiff_t height, std::ptrdiff_t ahead, Pair pair,
                 Single single)
{
    const std::ptrdiff_t pairs = height - height % 2;
    for (std::ptrdiff_t r = 0; r < pairs; r += 2) {
        Bytes* a = base + r * step;
        if (r + kPrefetchRows + 1 < height) {
            Prefetch(a + kPrefetchRows * step + ahead);
            Prefetch(a + (kPrefetchRows + 1) * step + ahead);
        }
        pair(a, a + step, r);
    }
    if (pairs < height)
        single(base + pairs * step, pairs);
}

// The same by the aligned moves when `aligned` (the height is then even), else by the
// unaligned ones and `single` for the last row of an odd height; `pair(aligned, a, b, r)`
// gets the choice as std::true_type or std::false_type.
template <class Pair, class Single>
void ForRowPairsBy(bool aligned, Bytes* base, std::ptrdiff_t step, std::ptrdiff_t height, std::ptrdiff_t ahead,
                   Pair pair, Single single)
{
    if (aligned)
        ForRowPairs(
            base, step, height, ahead, [&](Bytes* a, Bytes* b, std::ptrdiff_t r) { pair(std::true_type{}, a, b, r); },
            [](Bytes*, std::ptrdiff_t) {});
    else
        ForRowPairs(
            base, step, height, ahead, [&](Bytes* a, Bytes* b, std::ptrdiff_t r) { pair(std::false_type{}, a, b, r); },
            single);
}

Bytes* AsBytes(const spComplex* p) { return reinterpret_cast<Bytes*>(const_cast<spComplex*>(p)); }

} // namespace

bool spColumns8Aligned(const void* image, std::ptrdiff_t step, const spRuns& runs)
{
    return spIsAligned(image, 16) && step % 16 == 0 && spIsAligned(runs.base, 16) && runs.height % 2 == 0;
}

void spDft2DGatherColumns8(const spComplex* image, std::ptrdiff_t step, const spRuns& runs)
{
    ForRowPairsBy(
        spColumns8Aligned(image, step, runs), AsBytes(image), step, runs.height, 0,
        [&](auto aligned, Bytes* a, Bytes* b, std::ptrdiff_t r) { GatherPair<decltype(aligned)::value>(a, b, runs, r); },
        [&](Bytes* a, std::ptrdiff_t r) { GatherRow(a, runs, r); });
}

void spDft2DScatterColumns8(const spRuns& runs, spComplex* image, std::ptrdiff_t step)
{
    ForRowPairsBy(
        spColumns8Aligned(image, step, runs), AsBytes(image), step, runs.height, 0,
        [&](auto aligned, Bytes* a, Bytes* b, std::ptrdiff_t r) { ScatterPair<decltype(aligned)::value>(runs, r, a, b); },
        [&](Bytes* a, std::ptrdiff_t r) { ScatterRow(runs, r, a); });
}

void spDft2DScatterGatherColumns8(const spRuns& runs, spComplex* image, std::ptrdiff_t step, std::ptrdiff_t from,
                                  std::ptrdiff_t to)
{
    // Both stretches of a row pass before the next row: one visit of each row's page, and
    // the row's elements of a run are read before they are overwritten.
    const std::ptrdiff_t out = 8 * from, in = 8 * to;
    ForRowPairsBy(
        spColumns8Aligned(AsBytes(image) + out, step, runs) && (in - out) % 16 == 0, AsBytes(image), step,
        runs.height, in,
        [&](auto aligned, Bytes* a, Bytes* b, std::ptrdiff_t r) {
            ScatterPair<decltype(aligned)::value>(runs, r, a + out, b + out);
            GatherPair<decltype(aligned)::value>(a + in, b + in, runs, r);
        },
        [&](Bytes* a, std::ptrdiff_t r) {
            ScatterRow(runs, r, a + out);
            GatherRow(a + in, runs, r);
        });
}
