// The blocked mixed-radix kernels in 256-bit vectors, for processors with AVX2 (chosen at run
// time). A vector holds one whole block, four real parts and four imaginary parts; products
// swap the halves instead of keeping real and imaginary parts apart, and every sum and
// product is the one the 128-bit kernels form, so both give the same bits.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include <immintrin.h>

#include "sp/transforms/spDftStageVec.h"

// Only the kernels' own bodies (internal linkage) are compiled for the wider instruction set.
#pragma GCC target("avx2")

#include "sp/transforms/spDftStageVecImpl.h"
#include "sp/transforms/spWide.h"

namespace {

inline spF4 spLowHalf(spF8 v) { return reinterpret_cast<spF4>(_mm256_castps256_ps128(reinterpret_cast<__m256>(v))); }
inline spF4 spHighHalf(spF8 v) { return reinterpret_cast<spF4>(_mm256_extractf128_ps(reinterpret_cast<__m256>(v), 1)); }

struct spWideVec {
    using Blk = spF8;
    using Real = spF8;

    static Real Splat(float c) { return Real{c, c, c, c, c, c, c, c}; }
    static Real Const(int row)
    {
        float c;
        std::memcpy(&c, spDftVecConstants.rows[row], sizeof c);
        return Splat(c);
    }
    static Blk Zero() { return Blk{}; }

    template <bool Aligned>
    static Blk Load(const float* p)
    {
        return spLoad8(p);
    }
    template <bool Aligned>
    static void Store(float* p, Blk v)
    {
        spStore8(p, v);
    }

    // -i a = (im, -re) forward, +i a = (-im, re) inverse.
    template <bool Inverse>
    static Blk Rotate(Blk a)
    {
        return Inverse ? spNegateLow(spSwapHalves(a)) : spNegateHigh(spSwapHalves(a));
    }

    using Tw = spWide;
    template <bool Inverse>
    static Tw Twiddle(const float* w)
    {
        const spF8 v = spLoad8(w);
        const spF8 re = __builtin_shuffle(v, spI8{0, 1, 2, 3, 0, 1, 2, 3});
        const spF8 im = __builtin_shuffle(v, spI8{4, 5, 6, 7, 4, 5, 6, 7});
        return {re, Inverse ? spNegateHigh(im) : spNegateLow(im)};
    }
    template <bool Inverse>
    static Blk Mul(Blk a, const Tw& w)
    {
        return spMul(a, w);
    }
};

typedef double spD4 __attribute__((vector_size(32)));

// Rows of an odd length two per vector: row i in the low half, row i + 1 in the high half.
struct spWideRows {
    using Acc = spF8;
    static constexpr int kRows = 2;
    static Acc Start(const spF4* first) { return spJoin(first[0], first[1]); }
    static Acc Spread(const spComplex& root)
    {
        const double bits = spLoadBits64(&root.re);
        return __builtin_shuffle(reinterpret_cast<spF8>(spD4{bits, bits, bits, bits}), spI8{0, 0, 1, 1, 4, 4, 5, 5});
    }
    static Acc Load(const float* p) { return spLoad8(p); }
    static spF4 Row(Acc s, int i) { return i == 0 ? spLowHalf(s) : spHighHalf(s); }
};

// Adjacent rows of the odd-radix stage, two pairs per vector from two places.
struct spPairRowsWide {
    using Vec = spF8;
    static constexpr int kPairs = 2;
    static constexpr int kFloats = 8;
    static Vec Load(const float* const* at, std::ptrdiff_t offset)
    {
        return spJoin(spLoadF4<false>(at[0] + offset), spLoadF4<false>(at[1] + offset));
    }
    static void Store(float* const* at, std::ptrdiff_t offset, Vec v)
    {
        spStoreF4<false>(at[0] + offset, spLowHalf(v));
        spStoreF4<false>(at[1] + offset, spHighHalf(v));
    }
    static Vec Splat(float c) { return spWideVec::Splat(c); }
    static Vec Scratch(const float* at) { return spLoad8(at); }
    struct Tw {
        spF8 re;
        spF8 im;
    };
    template <bool Inverse>
    static Tw Twiddles(const float* const* w, std::ptrdiff_t t)
    {
        const spPairTw lo = spPreparePairTw<Inverse>(spLoadTwo(w[0] + 2 * t, w[1] + 2 * t));
        const spPairTw hi = spPreparePairTw<Inverse>(spLoadTwo(w[2] + 2 * t, w[3] + 2 * t));
        return {spJoin(lo.re, hi.re), spJoin(lo.im, hi.im)};
    }
    template <bool Inverse>
    static Vec Mul(Vec a, const Tw& w)
    {
        return a * w.re + __builtin_shuffle(a, spI8{1, 0, 3, 2, 5, 4, 7, 6}) * w.im;
    }
    // -i v (forward) or +i v (inverse) for each complex value.
    template <bool Inverse>
    static Vec Rotate(Vec v)
    {
        const spF8 swapped = __builtin_shuffle(v, spI8{1, 0, 3, 2, 5, 4, 7, 6});
        constexpr std::int32_t s = spSignBit8;
        return spFlip(swapped, Inverse ? spI8{s, 0, s, 0, s, 0, s, 0} : spI8{0, s, 0, s, 0, s, 0, s});
    }
};

// Interleaved complex values, two per 128-bit half, for the butterfly of the length-4 first
// stage.
struct spWideInterleaved {
    using Blk = spF8;
    template <bool Inverse>
    static Blk Rotate(Blk v)
    {
        return spPairRowsWide::Rotate<Inverse>(v);
    }
};

// Four DFTs per step, two in each half of a vector as interleaved values; the in-lane
// shuffles and one exchange of halves per block turn them into their four blocks. The sums
// are those of the 128-bit stage.
struct spFourBlocksWide {
    template <bool Inverse>
    static void Run(const float* const* x, std::ptrdiff_t step, float* dst)
    {
        spF8 u[4];
        for (int t = 0; t < 4; ++t)
            u[t] = spJoin(spLoadTwo(x[0] + t * step, x[1] + t * step), spLoadTwo(x[2] + t * step, x[3] + t * step));
        spRadixButterfly<spWideInterleaved, 4, Inverse>(u);
        // Per half, u[t] holds output t of DFTs A and B as (A.re A.im B.re B.im); transposed,
        // A's real parts, its imaginary parts, then B's.
        spTransposeHalves(u[0], u[1], u[2], u[3]);
        spStore8(dst, spLowHalves(u[0], u[1]));
        spStore8(dst + 8, spLowHalves(u[2], u[3]));
        spStore8(dst + 16, spHighHalves(u[0], u[1]));
        spStore8(dst + 24, spHighHalves(u[2], u[3]));
    }
};

} // namespace

template <bool Inverse>
void spVecFirstStageR4Wide(const float* src, std::ptrdiff_t s, float* dst, std::ptrdiff_t groups,
                           std::ptrdiff_t count, const std::int32_t* index)
{
    spFirstStageR4<spFourBlocksWide, Inverse, false>(src, s, dst, groups, count, index);
}

template <bool Inverse>
void spVecRowOddWide(const float* src, float* dst, std::ptrdiff_t radix, std::ptrdiff_t span, std::ptrdiff_t groups,
                     const spComplex* roots, const float* twiddles, float* scratch)
{
    spOddStageInterleaved<spPairRowsWide, spVecPairBatchWide, spWideRows, spVecRowBatchWide, Inverse>(
        src, dst, radix, span, groups, roots, twiddles, scratch);
}

template <bool Inverse>
void spVecRowFirstStageAnyWide(const float* src, std::ptrdiff_t stride, float* dst, std::ptrdiff_t len,
                               std::ptrdiff_t groups, const spComplex* roots, float* scratch)
{
    spRowFirstStageAny<spWideRows, spVecRowBatchWide, Inverse>(src, stride, dst, len, groups, roots, scratch);
}

template <int Radix, bool Inverse>
void spVecBlockedStageWide(const float* src, float* dst, std::ptrdiff_t span, std::ptrdiff_t count,
                           const float* twiddles)
{
    spBlockedStage<spWideVec, Radix, Inverse, false>(src, dst, span, count, twiddles);
}

template <bool Inverse>
void spVecBlockedOddWide(const float* src, float* dst, std::ptrdiff_t radix, std::ptrdiff_t span,
                         const spComplex* roots, const float* twiddles, float* scratch)
{
    spBlockedOdd<spWideVec, Inverse, false>(src, dst, radix, span, roots, twiddles, scratch);
}

void spVecBlocksToInterleavedWide(float* data, std::ptrdiff_t blocks)
{
    for (std::ptrdiff_t b = 0; b < blocks; ++b, data += 8)
        spStore8(data, spInterleaved(spLoad8(data)));
}

#define SP_WIDE_DIRECTION(inv)                                                                      \
    template void spVecBlockedStageWide<2, inv>(const float*, float*, std::ptrdiff_t, std::ptrdiff_t, const float*); \
    template void spVecBlockedStageWide<3, inv>(const float*, float*, std::ptrdiff_t, std::ptrdiff_t, const float*); \
    template void spVecBlockedStageWide<4, inv>(const float*, float*, std::ptrdiff_t, std::ptrdiff_t, const float*); \
    template void spVecBlockedStageWide<5, inv>(const float*, float*, std::ptrdiff_t, std::ptrdiff_t, const float*); \
    template void spVecBlockedOddWide<inv>(const float*, float*, std::ptrdiff_t, std::ptrdiff_t, const spComplex*, const float*, float*); \
    template void spVecRowOddWide<inv>(const float*, float*, std::ptrdiff_t, std::ptrdiff_t, std::ptrdiff_t, const spComplex*, const float*, float*); \
    template void spVecFirstStageR4Wide<inv>(const float*, std::ptrdiff_t, float*, std::ptrdiff_t, std::ptrdiff_t, const std::int32_t*); \
    template void spVecRowFirstStageAnyWide<inv>(const float*, std::ptrdiff_t, float*, std::ptrdiff_t, std::ptrdiff_t, const spComplex*, float*);
SP_WIDE_DIRECTION(false)
SP_WIDE_DIRECTION(true)
