#include "sp/transforms/spDftStageKernels.h"

#include <cstddef>

#include "sp/transforms/spColumns.h"
#include "sp/transforms/spDftButterfly.h"
#include "sp/transforms/spDftStageVec.h"
#include "sp/transforms/spPairDft.h"

namespace {

// ---- columns 0 and 1: one complex value at a time in double precision ----

// The rotation constants widened exactly; each column's instance carries its own copy.
template <int Column>
struct spRadixConstants {
    static constexpr double values[] = {spRadixRotations[spRowC3],  spRadixRotations[spRowS3],
                                        spRadixRotations[spRowC5a], spRadixRotations[spRowS5a],
                                        spRadixRotations[spRowC5b], spRadixRotations[spRowS5b]};
};

// The butterflies' arithmetic: one complex value in double precision.
template <int Column>
struct spDoubleValue {
    using Blk = spCd;
    static double Const(int row) { return spRadixConstants<Column>::values[row]; }
    template <bool Inverse>
    static spCd Rotate(spCd a)
    {
        return spRotateCd<Inverse>(a);
    }
};

// Butterfly outer, block inner: each butterfly's twiddles are widened once per call.
template <int Column, int Radix, bool Inverse>
void spGenericStage(const spComplex* src, spComplex* dst, std::int32_t span, std::int32_t count,
                    const spComplex* twiddles)
{
    const std::ptrdiff_t m = span;
    for (std::ptrdiff_t j = 0; j < m; ++j) {
        spCd w[Radix];
        for (int t = 1; t < Radix; ++t)
            w[t] = spLoadCd(twiddles[j * (Radix - 1) + t - 1]);
        for (std::ptrdiff_t h = 0; h < count; ++h) {
            const spComplex* in = src + h * Radix * m + j;
            spComplex* out = dst + h * Radix * m + j;
            spCd u[Radix];
            u[0] = spLoadCd(in[0]);
            for (int t = 1; t < Radix; ++t)
                u[t] = j == 0 ? spLoadCd(in[t * m]) : spMulCd<Inverse>(spLoadCd(in[t * m]), w[t]);
            spRadixButterfly<spDoubleValue<Column>, Radix, Inverse>(u);
            for (int k = 0; k < Radix; ++k)
                spStoreCd(out[k * m], u[k]);
        }
    }
}

template <bool Inverse>
void spGenericStageOdd(const spComplex* src, spComplex* dst, std::int32_t radix, std::int32_t span,
                       const spComplex* roots, const spComplex* twiddles, spComplex* scratch)
{
    const std::ptrdiff_t p = radix;
    const std::ptrdiff_t m = span;
    const std::ptrdiff_t pairs = (p - 1) / 2;
    for (std::ptrdiff_t j = 0; j < m; ++j) {
        const spComplex* w = twiddles + j * p;
        const auto input = [&](std::ptrdiff_t t) {
            const spCd x = spLoadCd(src[j + t * m]);
            return j == 0 ? x : spMulCd<Inverse>(x, spLoadCd(w[t]));
        };
        const spCd u0 = spLoadCd(src[j]);
        const spCd y0 = spPairFold(input, pairs, p, scratch, u0);
        spStoreCd(dst[j], y0);
        spPairOutputs<Inverse>(
            scratch, pairs, roots, p, [&](std::ptrdiff_t) { return u0; },
            [&](std::ptrdiff_t k, spCd v) { spStoreCd(dst[j + k * m], v); });
    }
}

template <int Column, int Length, bool Inverse>
void spGenericFirstStage(const spComplex* src, std::int32_t stride, spComplex* dst, std::int32_t groups,
                         std::int32_t count, const std::int32_t* index)
{
    const std::ptrdiff_t s = stride;
    const std::ptrdiff_t step = s * groups;
    for (std::ptrdiff_t i = 0; i < count; ++i) {
        const spComplex* base = src + index[i];
        for (std::ptrdiff_t r = 0; r < groups; ++r, dst += Length) {
            spCd u[Length];
            for (int t = 0; t < Length; ++t)
                u[t] = spLoadCd(base[r * s + t * step]);
            spRadixButterfly<spDoubleValue<Column>, Length, Inverse>(u);
            for (int k = 0; k < Length; ++k)
                spStoreCd(dst[k], u[k]);
        }
    }
}

template <bool Inverse>
void spGenericFirstStageAny(const spComplex* src, std::int32_t stride, spComplex* dst, std::int32_t len,
                            std::int32_t groups, const spComplex* roots, spComplex* scratch)
{
    const std::ptrdiff_t n = len;
    const std::ptrdiff_t step = static_cast<std::ptrdiff_t>(stride) * groups;
    const std::ptrdiff_t pairs = (n - 1) / 2;
    for (std::ptrdiff_t r = 0; r < groups; ++r) {
        const spComplex* x = src + r * stride;
        spComplex* y = dst + r * n;
        const spCd x0 = spLoadCd(x[0]);
        const auto input = [&](std::ptrdiff_t t) { return spLoadCd(x[t * step]); };
        spStoreCd(y[0], spPairFold(input, pairs, n, scratch, x0));
        spPairOutputs<Inverse>(
            scratch, pairs, roots, n, [&](std::ptrdiff_t) { return x0; },
            [&](std::ptrdiff_t k, spCd v) { spStoreCd(y[k], v); });
    }
}

// ---- every column: the column's own form of each kernel ----

template <int Column, int Radix, bool Inverse>
void spStage(const spComplex* src, spComplex* dst, std::int32_t span, std::int32_t count, const spComplex* twiddles)
{
    // Only the radix-3 and radix-5 stages spread two rows' twiddles.
    constexpr bool duplicating = spColumnDuplicatingLoads(Column) && (Radix == 3 || Radix == 5);
    if constexpr (spColumnReordersFactors(Column))
        spVecStage<Radix, Inverse, duplicating>(src, dst, span, count, twiddles);
    else
        spGenericStage<Column, Radix, Inverse>(src, dst, span, count, twiddles);
}

template <int Column, int Length, bool Inverse>
void spFirstStage(const spComplex* src, std::int32_t stride, spComplex* dst, std::int32_t groups,
                  std::int32_t count, const std::int32_t* index)
{
    if constexpr (spColumnReordersFactors(Column))
        spVecFirstStage<Length, Inverse>(src, stride, dst, groups, count, index);
    else
        spGenericFirstStage<Column, Length, Inverse>(src, stride, dst, groups, count, index);
}

template <int Column, bool Inverse>
void spStageOdd(const spComplex* src, spComplex* dst, std::int32_t radix, std::int32_t span,
                const spComplex* roots, const spComplex* twiddles, spComplex* scratch)
{
    if constexpr (spColumnReordersFactors(Column))
        spVecStageOdd<Inverse>(src, dst, radix, span, 1, roots, twiddles, scratch);
    else
        spGenericStageOdd<Inverse>(src, dst, radix, span, roots, twiddles, scratch);
}

template <int Column, bool Inverse>
void spFirstStageAny(const spComplex* src, std::int32_t stride, spComplex* dst, std::int32_t len,
                     std::int32_t groups, const spComplex* roots, spComplex* scratch)
{
    if constexpr (spColumnReordersFactors(Column))
        spVecFirstStageAny<Inverse>(src, stride, dst, len, groups, roots, scratch);
    else
        spGenericFirstStageAny<Inverse>(src, stride, dst, len, groups, roots, scratch);
}

} // namespace

// The named kernels. Column 1 has radix-3 and radix-5 kernels of its own and runs column 0's
// radix-2, radix-4 and odd ones, so those have no column-1 instance.

#define SP_STAGE_KERNEL(name, radix, inverse)                                                       \
    template <int Column>                                                                           \
    void name(const spComplex* src, spComplex* dst, std::int32_t span, std::int32_t count,          \
              const spComplex* twiddles)                                                            \
    {                                                                                               \
        spStage<Column, radix, inverse>(src, dst, span, count, twiddles);                           \
    }
SP_STAGE_KERNEL(spDftStageR2Fwd, 2, false)
SP_STAGE_KERNEL(spDftStageR2Inv, 2, true)
SP_STAGE_KERNEL(spDftStageR3Fwd, 3, false)
SP_STAGE_KERNEL(spDftStageR3Inv, 3, true)
SP_STAGE_KERNEL(spDftStageR4Fwd, 4, false)
SP_STAGE_KERNEL(spDftStageR4Inv, 4, true)
SP_STAGE_KERNEL(spDftStageR5Fwd, 5, false)
SP_STAGE_KERNEL(spDftStageR5Inv, 5, true)
#undef SP_STAGE_KERNEL

#define SP_FIRST_STAGE_KERNEL(name, length, inverse)                                                \
    template <int Column>                                                                           \
    void name(const spComplex* src, std::int32_t stride, spComplex* dst, std::int32_t groups,       \
              std::int32_t count, const std::int32_t* index)                                        \
    {                                                                                               \
        spFirstStage<Column, length, inverse>(src, stride, dst, groups, count, index);              \
    }
SP_FIRST_STAGE_KERNEL(spDftFirstStageR3Fwd, 3, false)
SP_FIRST_STAGE_KERNEL(spDftFirstStageR3Inv, 3, true)
SP_FIRST_STAGE_KERNEL(spDftFirstStageR5Fwd, 5, false)
SP_FIRST_STAGE_KERNEL(spDftFirstStageR5Inv, 5, true)
SP_FIRST_STAGE_KERNEL(spDftFirstStageR4Fwd, 4, false)
SP_FIRST_STAGE_KERNEL(spDftFirstStageR4Inv, 4, true)
SP_FIRST_STAGE_KERNEL(spDftFirstStageR2, 2, false)
#undef SP_FIRST_STAGE_KERNEL

template <int Column>
void spDftStageOddFwd(const spComplex* src, spComplex* dst, std::int32_t radix, std::int32_t span,
                      const spComplex* roots, const spComplex* twiddles, spComplex* scratch)
{
    spStageOdd<Column, false>(src, dst, radix, span, roots, twiddles, scratch);
}

template <int Column>
void spDftStageOddInv(const spComplex* src, spComplex* dst, std::int32_t radix, std::int32_t span,
                      const spComplex* roots, const spComplex* twiddles, spComplex* scratch)
{
    spStageOdd<Column, true>(src, dst, radix, span, roots, twiddles, scratch);
}

template <int Column>
void spDftFirstStageAnyFwd(const spComplex* src, std::int32_t stride, spComplex* dst, std::int32_t len,
                           std::int32_t groups, const spComplex* roots, spComplex* scratch)
{
    spFirstStageAny<Column, false>(src, stride, dst, len, groups, roots, scratch);
}

template <int Column>
void spDftFirstStageAnyInv(const spComplex* src, std::int32_t stride, spComplex* dst, std::int32_t len,
                           std::int32_t groups, const spComplex* roots, spComplex* scratch)
{
    spFirstStageAny<Column, true>(src, stride, dst, len, groups, roots, scratch);
}

template <int Column>
void spDftBlocksToInterleaved(spComplex* data, std::int32_t blocks)
{
    static_assert(spColumnReordersFactors(Column));
    spVecBlocksToInterleaved(data, blocks);
}

#define SP_COLUMN_KERNELS(c)                                                                        \
    template void spDftStageR3Fwd<c>(const spComplex*, spComplex*, std::int32_t, std::int32_t, const spComplex*); \
    template void spDftStageR3Inv<c>(const spComplex*, spComplex*, std::int32_t, std::int32_t, const spComplex*); \
    template void spDftStageR5Fwd<c>(const spComplex*, spComplex*, std::int32_t, std::int32_t, const spComplex*); \
    template void spDftStageR5Inv<c>(const spComplex*, spComplex*, std::int32_t, std::int32_t, const spComplex*); \
    template void spDftFirstStageR3Fwd<c>(const spComplex*, std::int32_t, spComplex*, std::int32_t, std::int32_t, const std::int32_t*); \
    template void spDftFirstStageR3Inv<c>(const spComplex*, std::int32_t, spComplex*, std::int32_t, std::int32_t, const std::int32_t*); \
    template void spDftFirstStageR5Fwd<c>(const spComplex*, std::int32_t, spComplex*, std::int32_t, std::int32_t, const std::int32_t*); \
    template void spDftFirstStageR5Inv<c>(const spComplex*, std::int32_t, spComplex*, std::int32_t, std::int32_t, const std::int32_t*);
#define SP_SHARED_KERNELS(c)                                                                        \
    template void spDftStageR2Fwd<c>(const spComplex*, spComplex*, std::int32_t, std::int32_t, const spComplex*); \
    template void spDftStageR2Inv<c>(const spComplex*, spComplex*, std::int32_t, std::int32_t, const spComplex*); \
    template void spDftStageR4Fwd<c>(const spComplex*, spComplex*, std::int32_t, std::int32_t, const spComplex*); \
    template void spDftStageR4Inv<c>(const spComplex*, spComplex*, std::int32_t, std::int32_t, const spComplex*); \
    template void spDftStageOddFwd<c>(const spComplex*, spComplex*, std::int32_t, std::int32_t, const spComplex*, const spComplex*, spComplex*); \
    template void spDftStageOddInv<c>(const spComplex*, spComplex*, std::int32_t, std::int32_t, const spComplex*, const spComplex*, spComplex*); \
    template void spDftFirstStageAnyFwd<c>(const spComplex*, std::int32_t, spComplex*, std::int32_t, std::int32_t, const spComplex*, spComplex*); \
    template void spDftFirstStageAnyInv<c>(const spComplex*, std::int32_t, spComplex*, std::int32_t, std::int32_t, const spComplex*, spComplex*);
#define SP_VECTOR_KERNELS(c)                                                                        \
    template void spDftFirstStageR4Fwd<c>(const spComplex*, std::int32_t, spComplex*, std::int32_t, std::int32_t, const std::int32_t*); \
    template void spDftFirstStageR4Inv<c>(const spComplex*, std::int32_t, spComplex*, std::int32_t, std::int32_t, const std::int32_t*); \
    template void spDftFirstStageR2<c>(const spComplex*, std::int32_t, spComplex*, std::int32_t, std::int32_t, const std::int32_t*); \
    template void spDftBlocksToInterleaved<c>(spComplex*, std::int32_t);
SP_FOR_EACH_COLUMN(SP_COLUMN_KERNELS)
SP_SHARED_KERNELS(0)
SP_SHARED_KERNELS(2)
SP_SHARED_KERNELS(3)
SP_SHARED_KERNELS(4)
SP_VECTOR_KERNELS(2)
SP_VECTOR_KERNELS(3)
SP_VECTOR_KERNELS(4)
