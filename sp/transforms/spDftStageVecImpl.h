// Bodies of the packed single-precision stage kernels (columns 2 to 4), written once over a
// vector policy and compiled in translation units of different instruction sets: the
// baseline one (128-bit), column 3's SSE3 one and the AVX2 one. Everything here has internal
// linkage, so no copy compiled for a wider instruction set can stand in for a baseline one.
//
// Data of a stage whose span is a multiple of 4 are blocked: four complex values as their
// four real parts, then their four imaginary parts (32 bytes). The twiddle tables of those
// stages are blocked alike: for every four rows, each entry as four real parts, then four
// imaginary parts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "sp/core/spTypes.h"
#include "sp/transforms/spBlocks.h"
#include "sp/transforms/spDftButterfly.h"

// The kernels' constants, twelve four-lane rows, 16-byte aligned: the rotation values of
// radix 3 and 5 in every lane, then sign masks and a mask that keeps lanes 0 and 1.
struct spVecConstantRows {
    alignas(16) std::uint32_t rows[12][4];
};
extern const spVecConstantRows spDftVecConstants;

namespace {

typedef float spF4 __attribute__((vector_size(16)));
typedef std::int32_t spI4 __attribute__((vector_size(16)));

inline bool spIsAligned16(const void* p) { return reinterpret_cast<std::uintptr_t>(p) % 16 == 0; }

template <bool Aligned>
inline spF4 spLoadF4(const float* p)
{
    if constexpr (Aligned)
        p = static_cast<const float*>(__builtin_assume_aligned(p, 16));
    spF4 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <bool Aligned>
inline void spStoreF4(float* p, spF4 v)
{
    if constexpr (Aligned)
        p = static_cast<float*>(__builtin_assume_aligned(p, 16));
    std::memcpy(p, &v, sizeof v);
}

// One complex value (8 bytes) into lanes 0 and 1 (2 and 3 cleared), or two from separate
// places; each complex value moves as one 64-bit unit.
typedef double spD2 __attribute__((vector_size(16)));

inline double spLoadBits64(const float* p)
{
    double d;
    std::memcpy(&d, p, sizeof d);
    return d;
}

inline spF4 spLoadOne(const float* p) { return reinterpret_cast<spF4>(spD2{spLoadBits64(p), 0.0}); }

inline spF4 spLoadTwo(const float* lo, const float* hi)
{
    return reinterpret_cast<spF4>(spD2{spLoadBits64(lo), spLoadBits64(hi)});
}

inline void spStoreLow(float* p, spF4 v)
{
    const double d = reinterpret_cast<spD2>(v)[0];
    std::memcpy(p, &d, sizeof d);
}

inline void spStoreHigh(float* p, spF4 v)
{
    const double d = reinterpret_cast<spD2>(v)[1];
    std::memcpy(p, &d, sizeof d);
}

inline spF4 spRow(int row) { return spLoadF4<true>(reinterpret_cast<const float*>(spDftVecConstants.rows[row])); }

inline spF4 spFlip(spF4 v, int row)
{
    spI4 mask;
    std::memcpy(&mask, spDftVecConstants.rows[row], sizeof mask);
    return reinterpret_cast<spF4>(reinterpret_cast<spI4>(v) ^ mask);
}

// ---- the 128-bit policy of the blocked kernels: a block as two vectors ----

using spBlk4 = spBlkOf<spF4>;

struct spNarrowVec {
    using Blk = spBlk4;
    using Real = spF4;

    static Real Const(int row) { return spRow(row); }
    static Real Splat(float c) { return Real{c, c, c, c}; }
    static Blk Zero() { return {Real{}, Real{}}; }

    template <bool Aligned>
    static Blk Load(const float* p)
    {
        return {spLoadF4<Aligned>(p), spLoadF4<Aligned>(p + 4)};
    }
    template <bool Aligned>
    static void Store(float* p, Blk b)
    {
        spStoreF4<Aligned>(p, b.re);
        spStoreF4<Aligned>(p + 4, b.im);
    }

    // -i a in the forward sense, +i a in the inverse one.
    template <bool Inverse>
    static Blk Rotate(Blk a)
    {
        return spRotateBlk<Inverse>(a);
    }

    using Tw = spBlk4;
    template <bool Inverse>
    static Tw Twiddle(const float* w)
    {
        return Load<true>(w);
    }
    // a w (forward) or a conj(w) (inverse).
    template <bool Inverse>
    static Blk Mul(Blk a, Tw w)
    {
        return spMulW<Inverse>(a, w);
    }
};

// ---- blocked kernels over a policy V ----

// Radix 2 to 5 on blocked data, four rows per step; offsets in floats. Rows outer, blocks
// inner: the twiddles of four rows are loaded once per call.
template <class V, int Radix, bool Inverse, bool Aligned>
void spBlockedStage(const float* src, float* dst, std::ptrdiff_t m, std::ptrdiff_t count, const float* tw)
{
    using B = typename V::Blk;
    const std::ptrdiff_t span = 2 * m, block = 2 * Radix * m;
    for (std::ptrdiff_t c = 0; c < span; c += 8, tw += 8 * (Radix - 1)) {
        typename V::Tw w[Radix];
        for (int t = 1; t < Radix; ++t)
            w[t] = V::template Twiddle<Inverse>(tw + 8 * (t - 1));
        for (std::ptrdiff_t h = 0; h < count; ++h) {
            const float* in = src + h * block + c;
            float* out = dst + h * block + c;
            B u[Radix];
            u[0] = V::template Load<Aligned>(in);
            for (int t = 1; t < Radix; ++t)
                u[t] = V::template Mul<Inverse>(V::template Load<Aligned>(in + t * span), w[t]);
            spRadixButterfly<V, Radix, Inverse>(u);
            for (int k = 0; k < Radix; ++k)
                V::template Store<Aligned>(out + k * span, u[k]);
        }
    }
}

// The roots r(k t mod p), t = 1, 2, ..., of output k, walked through the index behind a
// root table of p roots (2 p entries, entry e = 2 (e mod p), the float offset of root
// e mod p; see spDftInitRoots): no comparison, no reduction. Odd and even t walk apart, each
// by 2k, so neither waits on the other's loads.
struct spRootWalk {
    spRootWalk(const spComplex* roots, std::ptrdiff_t p, std::ptrdiff_t k)
        : m_roots(reinterpret_cast<const float*>(roots)),
          m_step(reinterpret_cast<const char*>(reinterpret_cast<const std::int32_t*>(roots + p) + (2 * k) % p)),
          m_odd(static_cast<std::int32_t>(2 * k)), m_even(static_cast<std::int32_t>(2 * ((2 * k) % p)))
    {
    }

    const spComplex& Odd() const { return *reinterpret_cast<const spComplex*>(m_roots + m_odd); }
    const spComplex& Even() const { return *reinterpret_cast<const spComplex*>(m_roots + m_even); }
    // On to t + 2: entry (q + 2k), found at byte 4 (q + 2k) = 2 f + 4 (2k) of the index.
    void Advance()
    {
        m_odd = Next(m_odd);
        m_even = Next(m_even);
    }

private:
    std::int32_t Next(std::int32_t f) const
    {
        std::int32_t next;
        std::memcpy(&next, m_step + 2 * static_cast<std::ptrdiff_t>(f), sizeof next);
        return next;
    }

    const float* m_roots;
    const char* m_step;
    std::int32_t m_odd;
    std::int32_t m_even;
};

// An odd radix on blocked data, one block, four rows per step: the twiddled inputs are
// folded into pair sums a(t) and differences b(t), one block each in `scratch` (64 bytes per
// pair), then outputs k and p - k come from one pass over the pairs.
template <class V, bool Inverse, bool Aligned>
void spBlockedOdd(const float* src, float* dst, std::ptrdiff_t p, std::ptrdiff_t m, const spComplex* roots,
                  const float* tw, float* scratch)
{
    using B = typename V::Blk;
    const std::ptrdiff_t span = 2 * m, pairs = (p - 1) / 2;
    for (std::ptrdiff_t c = 0; c < span; c += 8, tw += 8 * p) {
        const B u0 = V::template Load<Aligned>(src + c);
        B sum = u0;
        for (std::ptrdiff_t t = 1; t <= pairs; ++t) {
            const B ut = V::template Mul<Inverse>(V::template Load<Aligned>(src + t * span + c),
                                                  V::template Twiddle<Inverse>(tw + 8 * t));
            const B un = V::template Mul<Inverse>(V::template Load<Aligned>(src + (p - t) * span + c),
                                                  V::template Twiddle<Inverse>(tw + 8 * (p - t)));
            const B a = ut + un;
            V::template Store<true>(scratch + 16 * (t - 1), a);
            V::template Store<true>(scratch + 16 * (t - 1) + 8, ut - un);
            sum = sum + a;
        }
        V::template Store<Aligned>(dst + c, sum);
        for (std::ptrdiff_t k = 1; k <= pairs; ++k) {
            B re = u0, im = V::Zero();
            spRootWalk walk(roots, p, k);
            for (std::ptrdiff_t t = 1; t <= pairs; ++t) {
                // Odd t from the one walk, even t from the other.
                const spComplex& root = t % 2 != 0 ? walk.Odd() : walk.Even();
                const float* pair = scratch + 16 * (t - 1);
                re = re + V::Splat(root.re) * V::template Load<true>(pair);
                im = im + V::Splat(root.im) * V::template Load<true>(pair + 8);
                if (t % 2 == 0)
                    walk.Advance();
            }
            const B rot = V::template Rotate<Inverse>(im);
            V::template Store<Aligned>(dst + k * span + c, re - rot);
            V::template Store<Aligned>(dst + (p - k) * span + c, re + rot);
        }
    }
}

// ---- two interleaved rows per vector ----

// -i v (forward) or +i v (inverse) for both complex values of v.
template <bool Inverse>
inline spF4 spRotatePair(spF4 v)
{
    const spF4 swapped = __builtin_shuffle(v, spI4{1, 0, 3, 2});
    return spFlip(swapped, Inverse ? spRowFlip02 : spRowFlip13);
}

// The twiddles of two rows, spread for products: real parts duplicated, imaginary parts
// duplicated with the signs of the product folded in.
struct spPairTw {
    spF4 re;
    spF4 im;
};

template <bool Inverse>
inline spPairTw spSignPairTw(spF4 re, spF4 im)
{
    return {re, spFlip(im, Inverse ? spRowFlip13 : spRowFlip02)};
}

// The spreading by shuffles, of two twiddles already in a vector.
template <bool Inverse>
inline spPairTw spPreparePairTw(spF4 v)
{
    return spSignPairTw<Inverse>(__builtin_shuffle(v, spI4{0, 0, 2, 2}), __builtin_shuffle(v, spI4{1, 1, 3, 3}));
}

// Column 2 and 4's spreading of a pair-form table entry: a load and two shuffles.
struct spShufflePrep {
    template <bool Inverse>
    static spPairTw Prepare(const float* w)
    {
        return spPreparePairTw<Inverse>(spLoadF4<true>(w));
    }
};

inline spF4 spMulPair(spF4 a, const spPairTw& w)
{
    return a * w.re + __builtin_shuffle(a, spI4{1, 0, 3, 2}) * w.im;
}

// The interleaved policy for the butterfly: two complex values per vector.
struct spPairVec {
    using Blk = spF4;
    static spF4 Const(int row) { return spRow(row); }
    template <bool Inverse>
    static spF4 Rotate(spF4 v)
    {
        return spRotatePair<Inverse>(v);
    }
};

// ---- the length-4 first stage: each 4-point DFT written as one block ----

// One DFT alone.
template <bool Inverse, bool Aligned>
inline void spFirstStageR4One(const float* x, std::ptrdiff_t step, float* dst)
{
    const spF4 a = spLoadTwo(x, x + step);                 // x0, x1
    const spF4 b = spLoadTwo(x + 2 * step, x + 3 * step);  // x2, x3
    const spF4 sums = a + b, difs = a - b;                 // (x0 + x2, x1 + x3), (x0 - x2, x1 - x3)
    const spF4 y02 = __builtin_shuffle(sums, spI4{0, 1, 0, 1}) +
                     spFlip(__builtin_shuffle(sums, spI4{2, 3, 2, 3}), spRowFlip23);
    const spF4 rot = spRotatePair<Inverse>(__builtin_shuffle(difs, spI4{2, 3, 2, 3}));
    const spF4 y13 = __builtin_shuffle(difs, spI4{0, 1, 0, 1}) + spFlip(rot, spRowFlip23);
    spStoreF4<Aligned>(dst, __builtin_shuffle(y02, y13, spI4{0, 4, 2, 6}));
    spStoreF4<Aligned>(dst + 4, __builtin_shuffle(y02, y13, spI4{1, 5, 3, 7}));
}

// The DFTs in output order (DFT r of index group i reads from src + index[i] + r s), four at
// a time by `Four::Run` and the last ones alone; the sums are those of a single DFT.
template <class Four, bool Inverse, bool Aligned>
void spFirstStageR4(const float* src, std::ptrdiff_t s, float* dst, std::ptrdiff_t groups, std::ptrdiff_t count,
                    const std::int32_t* index)
{
    const std::ptrdiff_t step = 2 * s * groups, total = groups * count;
    std::ptrdiff_t i = 0, r = 0;
    const auto next = [&] {
        const float* x = src + 2 * (static_cast<std::ptrdiff_t>(index[i]) + r * s);
        if (++r == groups) {
            r = 0;
            ++i;
        }
        return x;
    };
    std::ptrdiff_t d = 0;
    for (; d + 4 <= total; d += 4, dst += 32) {
        const float* x[4] = {next(), next(), next(), next()};
        Four::template Run<Inverse>(x, step, dst);
    }
    for (; d < total; ++d, dst += 8)
        spFirstStageR4One<Inverse, Aligned>(next(), step, dst);
}

// Radix 3 or 5 on interleaved data for a span of 2 mod 4 (rows 0 and 1, 2 and 3, ...) or an
// odd one (row 0 alone without twiddles, then rows 1 and 2, 3 and 4, ...). The twiddles of a
// pair of rows start where the generic layout has its first row's, two rows side by side.
template <class Prep, int Radix, bool Inverse, bool Aligned>
void spPairStage(const float* src, float* dst, std::ptrdiff_t m, std::ptrdiff_t count, const float* tw)
{
    const std::ptrdiff_t span = 2 * m, block = 2 * Radix * m;
    const std::ptrdiff_t first = m % 2;
    if (first != 0) {
        for (std::ptrdiff_t h = 0; h < count; ++h) {
            spF4 u[Radix];
            for (int t = 0; t < Radix; ++t)
                u[t] = spLoadOne(src + h * block + t * span);
            spRadixButterfly<spPairVec, Radix, Inverse>(u);
            for (int k = 0; k < Radix; ++k)
                spStoreLow(dst + h * block + k * span, u[k]);
        }
    }
    for (std::ptrdiff_t j = first; j < m; j += 2) {
        spPairTw w[Radix];
        for (int t = 1; t < Radix; ++t)
            w[t] = Prep::template Prepare<Inverse>(tw + 2 * j * (Radix - 1) + 4 * (t - 1));
        for (std::ptrdiff_t h = 0; h < count; ++h) {
            const float* in = src + h * block + 2 * j;
            float* out = dst + h * block + 2 * j;
            spF4 u[Radix];
            u[0] = spLoadF4<Aligned>(in);
            for (int t = 1; t < Radix; ++t)
                u[t] = spMulPair(spLoadF4<Aligned>(in + t * span), w[t]);
            spRadixButterfly<spPairVec, Radix, Inverse>(u);
            for (int k = 0; k < Radix; ++k)
                spStoreF4<Aligned>(out + k * span, u[k]);
        }
    }
}

// The aligned loop when both arrays are 16-byte aligned and the span is even.
template <class Prep, int Radix, bool Inverse>
void spPairStageRun(const float* src, float* dst, std::ptrdiff_t m, std::ptrdiff_t count, const float* tw)
{
    if (m % 2 == 0 && spIsAligned16(src) && spIsAligned16(dst))
        spPairStage<Prep, Radix, Inverse, true>(src, dst, m, count, tw);
    else
        spPairStage<Prep, Radix, Inverse, false>(src, dst, m, count, tw);
}

// ---- odd lengths on interleaved data: one row's pairs side by side ----
//
// A row's inputs (never twiddled: the rows of a first stage and row 0 of a stage) are folded
// into the pair sums a(t) and differences b(t), 16 bytes per pair (a(t), b(t)); outputs k
// and p - k then come from one pass over the pairs with the root spread as (re, re, im, im),
// every sum split over odd and even t and the two partial sums added at the end. Rows run in
// batches that share each root and index step; a row's own arithmetic does not depend on the
// batch.

// (a(t), b(t)) of the pair (u(t), u(p - t)) in one vector.
inline spF4 spFoldPair(spF4 v)
{
    const spF4 lo = __builtin_shuffle(v, spI4{0, 1, 0, 1});
    const spF4 hi = spFlip(__builtin_shuffle(v, spI4{2, 3, 2, 3}), spRowFlip23);
    return lo + hi;
}

// Folds one row: inputs x[t * step] (floats); pair t goes to scratch + (t - 1) pairStep.
// Stores output 0 at y0 and returns the first input in lanes 0 and 1.
inline spF4 spFoldRow(const float* x, std::ptrdiff_t step, std::ptrdiff_t p, float* scratch, std::ptrdiff_t pairStep,
                      float* y0)
{
    const spF4 u0 = spLoadOne(x);
    spF4 sum = u0;
    for (std::ptrdiff_t t = 1; 2 * t < p; ++t, scratch += pairStep) {
        const spF4 ab = spFoldPair(spLoadTwo(x + t * step, x + (p - t) * step));
        spStoreF4<true>(scratch, ab);
        sum += ab;
    }
    spStoreLow(y0, sum);
    return u0;
}

// Outputs k and p - k of one row from its sum s = (Re, Im, Q, P): (Re -+ P, Im +- Q) and
// (Re +- P, Im -+ Q), forward signs first.
template <bool Inverse>
inline void spStoreOutputPair(spF4 s, float* out, std::ptrdiff_t k, std::ptrdiff_t p, std::ptrdiff_t stride)
{
    const spF4 y = __builtin_shuffle(s, spI4{0, 1, 0, 1}) +
                   spFlip(__builtin_shuffle(s, spI4{3, 2, 3, 2}), Inverse ? spRowFlip12 : spRowFlip03);
    spStoreLow(out + k * stride, y);
    spStoreHigh(out + (p - k) * stride, y);
}

// The 128-bit row policy: one row per vector.
struct spNarrowRows {
    using Acc = spF4;
    static constexpr int kRows = 1;
    static Acc Start(const spF4* first) { return first[0]; }
    static Acc Spread(const spComplex& root) { return __builtin_shuffle(spLoadOne(&root.re), spI4{0, 0, 1, 1}); }
    static Acc Load(const float* p) { return spLoadF4<true>(p); }
    static spF4 Row(Acc s, int) { return s; }
};

// Outputs of `Rows` rows whose pairs lie in `scratch`, pair-major: pair t of row i at
// 4 (Rows (t - 1) + i) floats. Row i starts from start[i] and writes out[i] + k stride.
template <class P, int Rows, bool Inverse>
inline void spRowOutputs(const float* scratch, std::ptrdiff_t p, const spComplex* roots, const spF4* start,
                         float* const* out, std::ptrdiff_t stride)
{
    constexpr int kVecs = Rows / P::kRows;
    const std::ptrdiff_t pairs = (p - 1) / 2;
    for (std::ptrdiff_t k = 1; k <= pairs; ++k) {
        typename P::Acc oddT[kVecs], evenT[kVecs];
        for (int v = 0; v < kVecs; ++v) {
            oddT[v] = P::Start(start + v * P::kRows);
            evenT[v] = typename P::Acc{};
        }
        spRootWalk walk(roots, p, k);
        std::ptrdiff_t t = 1;
        const float* pair = scratch;
        for (; t < pairs; t += 2, pair += 8 * Rows, walk.Advance()) {
            const typename P::Acc r1 = P::Spread(walk.Odd());
            const typename P::Acc r2 = P::Spread(walk.Even());
            for (int v = 0; v < kVecs; ++v)
                oddT[v] += P::Load(pair + 4 * P::kRows * v) * r1;
            for (int v = 0; v < kVecs; ++v)
                evenT[v] += P::Load(pair + 4 * Rows + 4 * P::kRows * v) * r2;
        }
        if (t == pairs) {
            const typename P::Acc r1 = P::Spread(walk.Odd());
            for (int v = 0; v < kVecs; ++v)
                oddT[v] += P::Load(pair + 4 * P::kRows * v) * r1;
        }
        for (int v = 0; v < kVecs; ++v) {
            const typename P::Acc s = oddT[v] + evenT[v];
            for (int i = 0; i < P::kRows; ++i)
                spStoreOutputPair<Inverse>(P::Row(s, i), out[v * P::kRows + i], k, p, stride);
        }
    }
}

// One batch of rows of an odd length: in[i] with `step` floats between inputs, outputs
// out[i] with `stride` floats between them. Reads every input of the batch before it writes
// an output other than a row's first.
template <class P, int Rows, bool Inverse>
inline void spRowBatch(const float* const* in, float* const* out, std::ptrdiff_t p, std::ptrdiff_t step,
                       std::ptrdiff_t stride, const spComplex* roots, float* scratch)
{
    spF4 start[Rows];
    for (int i = 0; i < Rows; ++i)
        start[i] = spFoldRow(in[i], step, p, scratch + 4 * i, 4 * Rows, out[i]);
    spRowOutputs<P, Rows, Inverse>(scratch, p, roots, start, out, stride);
}

// ---- odd radices on interleaved data, two adjacent rows per 128-bit vector ----
//
// Rows j and j + 1 of a block lie side by side, so their pair sums, differences and output
// sums can share vectors; each row's sums are formed exactly as one row's alone (two partial
// sums over alternate pairs, the same products in the same order), so the result does not
// depend on how rows are grouped.

// The 128-bit policy: one pair of rows per vector.
struct spPairRowsNarrow {
    using Vec = spF4;
    static constexpr int kPairs = 1;
    static constexpr int kFloats = 4;
    static Vec Load(const float* const* at, std::ptrdiff_t offset) { return spLoadF4<false>(at[0] + offset); }
    static void Store(float* const* at, std::ptrdiff_t offset, Vec v) { spStoreF4<false>(at[0] + offset, v); }
    static Vec Scratch(const float* at) { return spLoadF4<true>(at); }
    static Vec Splat(float c) { return Vec{c, c, c, c}; }
    // Entry t of the twiddle rows w[0] and w[1] (generic layout), spread for products.
    template <bool Inverse>
    static spPairTw Twiddles(const float* const* w, std::ptrdiff_t t)
    {
        return spPreparePairTw<Inverse>(spLoadTwo(w[0] + 2 * t, w[1] + 2 * t));
    }
    template <bool Inverse>
    static Vec Mul(Vec a, const spPairTw& w)
    {
        return spMulPair(a, w);
    }
    template <bool Inverse>
    static Vec Rotate(Vec v)
    {
        return spRotatePair<Inverse>(v);
    }
};

// `Items` pairs of rows of an odd radix p: rows at in[i] (and the next value), their
// twiddle rows w[2i] and w[2i + 1], outputs at out[i], `span` floats between a row's inputs
// and between its outputs.
template <class P, int Items, bool Inverse>
inline void spPairRowBatch(const float* const* in, const float* const* w, float* const* out, std::ptrdiff_t p,
                           std::ptrdiff_t span, const spComplex* roots, float* scratch)
{
    using V = typename P::Vec;
    constexpr int kVecs = Items / P::kPairs;
    constexpr std::ptrdiff_t kPair = 2 * kVecs * P::kFloats; // floats of one t: a, b per vector
    const std::ptrdiff_t pairs = (p - 1) / 2;
    V start[kVecs];
    for (int v = 0; v < kVecs; ++v) {
        const float* const* x = in + v * P::kPairs;
        const float* const* tw = w + 2 * v * P::kPairs;
        const V u0 = P::Load(x, 0);
        V sum = u0;
        float* pair = scratch + 2 * v * P::kFloats;
        for (std::ptrdiff_t t = 1; t <= pairs; ++t, pair += kPair) {
            const V ut = P::template Mul<Inverse>(P::Load(x, t * span), P::template Twiddles<Inverse>(tw, t));
            const V un = P::template Mul<Inverse>(P::Load(x, (p - t) * span), P::template Twiddles<Inverse>(tw, p - t));
            const V a = ut + un;
            std::memcpy(pair, &a, sizeof a);
            const V b = ut - un;
            std::memcpy(pair + P::kFloats, &b, sizeof b);
            sum += a;
        }
        P::Store(out + v * P::kPairs, 0, sum);
        start[v] = u0;
    }
    for (std::ptrdiff_t k = 1; k <= pairs; ++k) {
        V reOdd[kVecs], reEven[kVecs], imOdd[kVecs], imEven[kVecs];
        for (int v = 0; v < kVecs; ++v) {
            reOdd[v] = start[v];
            reEven[v] = imOdd[v] = imEven[v] = V{};
        }
        spRootWalk walk(roots, p, k);
        std::ptrdiff_t t = 1;
        const float* pair = scratch;
        for (; t < pairs; t += 2, pair += 2 * kPair, walk.Advance()) {
            const spComplex c1 = walk.Odd(), c2 = walk.Even();
            const V re1 = P::Splat(c1.re), im1 = P::Splat(c1.im), re2 = P::Splat(c2.re), im2 = P::Splat(c2.im);
            for (int v = 0; v < kVecs; ++v) {
                reOdd[v] += P::Scratch(pair + 2 * v * P::kFloats) * re1;
                imOdd[v] += P::Scratch(pair + 2 * v * P::kFloats + P::kFloats) * im1;
                reEven[v] += P::Scratch(pair + kPair + 2 * v * P::kFloats) * re2;
                imEven[v] += P::Scratch(pair + kPair + 2 * v * P::kFloats + P::kFloats) * im2;
            }
        }
        if (t == pairs) {
            const spComplex c1 = walk.Odd();
            const V re1 = P::Splat(c1.re), im1 = P::Splat(c1.im);
            for (int v = 0; v < kVecs; ++v) {
                reOdd[v] += P::Scratch(pair + 2 * v * P::kFloats) * re1;
                imOdd[v] += P::Scratch(pair + 2 * v * P::kFloats + P::kFloats) * im1;
            }
        }
        // Outputs k and p - k: A + i B and A - i B forward, the other way round inverse.
        for (int v = 0; v < kVecs; ++v) {
            const V a = reOdd[v] + reEven[v];
            const V rot = P::template Rotate<Inverse>(imOdd[v] + imEven[v]);
            P::Store(out + v * P::kPairs, k * span, a - rot);
            P::Store(out + v * P::kPairs, (p - k) * span, a + rot);
        }
    }
}

// The odd-radix stage for a span that is not a multiple of 4, over `groups` blocks: rows in
// adjacent pairs (0 and 1, 2 and 3, ...; an odd span keeps row 0 alone and pairs 1 and 2,
// ...), taken j of every block, then j + 2, ..., `Items` pairs at a time (policy P), and the
// lone rows 0 `Rows` at a time (policy R); the rest one by one.
template <class P, int Items, class R, int Rows, bool Inverse>
void spOddStageInterleaved(const float* src, float* dst, std::ptrdiff_t p, std::ptrdiff_t m, std::ptrdiff_t groups,
                           const spComplex* roots, const float* tw, float* scratch)
{
    const std::ptrdiff_t span = 2 * m, block = 2 * p * m;
    const std::ptrdiff_t first = m % 2;
    if (first != 0) {
        const float* in[Rows];
        float* out[Rows];
        std::ptrdiff_t h = 0;
        for (; h + Rows <= groups; h += Rows) {
            for (int i = 0; i < Rows; ++i) {
                in[i] = src + (h + i) * block;
                out[i] = dst + (h + i) * block;
            }
            spRowBatch<R, Rows, Inverse>(in, out, p, span, span, roots, scratch);
        }
        for (; h < groups; ++h) {
            in[0] = src + h * block;
            out[0] = dst + h * block;
            spRowBatch<spNarrowRows, 1, Inverse>(in, out, p, span, span, roots, scratch);
        }
    }
    const std::ptrdiff_t items = (m - first) / 2 * groups;
    const float* in[Items];
    const float* w[2 * Items];
    float* out[Items];
    const auto take = [&](int i, std::ptrdiff_t item) {
        const std::ptrdiff_t j = first + 2 * (item / groups), h = item % groups;
        in[i] = src + h * block + 2 * j;
        out[i] = dst + h * block + 2 * j;
        w[2 * i] = tw + 2 * j * p;
        w[2 * i + 1] = tw + 2 * (j + 1) * p;
    };
    std::ptrdiff_t item = 0;
    for (; item + Items <= items; item += Items) {
        for (int i = 0; i < Items; ++i)
            take(i, item + i);
        spPairRowBatch<P, Items, Inverse>(in, w, out, p, span, roots, scratch);
    }
    for (; item < items; ++item) {
        take(0, item);
        spPairRowBatch<spPairRowsNarrow, 1, Inverse>(in, w, out, p, span, roots, scratch);
    }
}

// The first stage of an odd length n above 5, one block: DFT r reads src[r s + t groups s]
// and writes dst[r n + k].
template <class P, int Rows, bool Inverse>
void spRowFirstStageAny(const float* src, std::ptrdiff_t s, float* dst, std::ptrdiff_t n, std::ptrdiff_t groups,
                        const spComplex* roots, float* scratch)
{
    const float* in[Rows];
    float* out[Rows];
    const std::ptrdiff_t step = 2 * s * groups;
    std::ptrdiff_t r = 0;
    for (; r + Rows <= groups; r += Rows) {
        for (int i = 0; i < Rows; ++i) {
            in[i] = src + 2 * (r + i) * s;
            out[i] = dst + 2 * (r + i) * n;
        }
        spRowBatch<P, Rows, Inverse>(in, out, n, step, 2, roots, scratch);
    }
    for (; r < groups; ++r) {
        in[0] = src + 2 * r * s;
        out[0] = dst + 2 * r * n;
        spRowBatch<spNarrowRows, 1, Inverse>(in, out, n, step, 2, roots, scratch);
    }
}

} // namespace
