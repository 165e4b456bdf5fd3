// Mixed-radix plans: stage geometry, groups, first-stage offsets and work sizes; the data
// layouts that the first stages and the last pass of columns 2 to 4 leave.
#include <algorithm>
#include <complex>
#include <cstring>
#include <vector>

#include "TransformTestSupport.h"
#include "sp/transforms/spDftPlan.h"
#include "sp/transforms/spDftStageKernels.h"

namespace {

using namespace sptest;

struct Geometry {
    int n;
    std::vector<int> span, stride, groups, index;
    int indexCount;
    int workBytes;
};

TEST(MixedRadixPlan, KnownGeometries)
{
    const Geometry cases[] = {
        {6, {3}, {1}, {1}, {0}, 1, 64},
        {24, {12, 3}, {1, 2}, {1, 2}, {0, 1}, 2, 208},
        {98, {49, 7}, {1, 2}, {1, 2}, {0, 1}, 2, 856},
        {150, {75, 25, 5}, {1, 2, 6}, {1, 2, 6}, {0, 2, 4, 1, 3, 5}, 6, 1216},
        {1000, {500, 125, 25, 5}, {1, 2, 8, 40}, {1, 2, 8, 40}, {0, 8, 16, 24, 32, 2, 10, 18}, 40, 8016},
        {2002, {1001, 143, 13}, {1, 2, 14}, {1, 1, 7}, {0, 2, 4, 6, 8, 10, 12}, 7, 16136},
        {2100, {525, 175, 35, 7}, {1, 4, 12, 60}, {1, 1, 3, 15}, {0, 12, 24, 36, 48, 4, 16}, 15, 16872},
        {75692, {18923, 149}, {1, 4}, {1, 1}, {0}, 1, 606744},
    };
    for (const Geometry& g : cases) {
        DftPlan plan(g.n, spNoDivByAny);
        ASSERT_NE(plan.spec, nullptr);
        const spDftSpec* s = plan.spec;
        ASSERT_EQ(s->stagesMinus2 + 1, static_cast<int>(g.span.size())) << g.n;
        for (size_t i = 0; i < g.span.size(); ++i) {
            EXPECT_EQ(s->stages[i].span, g.span[i]) << g.n << " stage " << i;
            EXPECT_EQ(s->stages[i].stride, g.stride[i]) << g.n << " stage " << i;
            EXPECT_EQ(s->stages[i].groups, g.groups[i]) << g.n << " stage " << i;
            EXPECT_NE(s->stages[i].twiddles, nullptr);
        }
        // The last factor's record holds no geometry and no twiddles.
        const spDftStage& last = s->stages[g.span.size()];
        EXPECT_EQ(last.span, 0);
        EXPECT_EQ(last.twiddles, nullptr);
        for (size_t t = 0; t < g.index.size(); ++t)
            EXPECT_EQ(s->mrIndex[t], g.index[t]) << g.n << " entry " << t;
        EXPECT_EQ(s->stages[s->stagesMinus2].groups, g.indexCount);
        EXPECT_EQ(s->workBytes, g.workBytes) << g.n;
    }
}

// Columns 2 to 4 move a 4 (or the single 2) into the first stage at every length, above 2000
// points too, so that every sub-length keeps N's residue mod 4; their odd-length kernels keep
// the pairs of eight rows, 8 N + 64 (R - 1) + 32 bytes of work.
TEST(MixedRadixPlan, ColumnsTwoToFourReorderEveryLength)
{
    for (int column = 2; column < spDispatchColumns; ++column) {
        spDispatchIndex = column;
        for (int n : {12, 6, 196, 1000, 2002, 2100, 4410, 75692}) {
            sptest::DftPlan plan(n, spNoDivByAny);
            const spDftSpec* s = plan.spec;
            const int last = s->stagesMinus2;
            EXPECT_EQ(s->stages[last + 1].radix, n % 4 == 0 ? 4 : 2) << n;
            for (int i = 0; i <= last; ++i)
                EXPECT_EQ(s->stages[i].span % 4, n % 4) << n << " stage " << i;
            int bytes = 0, largest = 0;
            ASSERT_EQ(spDftGetBufSize(s, &bytes), spStsNoErr);
            for (int i = 0; i <= last; ++i)
                largest = s->stages[i].radix > 5 ? std::max(largest, s->stages[i].radix) : largest;
            EXPECT_TRUE(largest == 0 || bytes >= 8 * n + 64 * (largest - 1) + 32) << n << ": " << bytes;
        }
    }
    spDispatchIndex = 0;
}

// Columns 2 to 4: the length-4 first stage writes each DFT as one block (four real parts,
// then four imaginary parts), the length-2 one interleaved values, and the last pass turns
// blocks back into interleaved values; at any destination alignment, in 128-bit and (where
// the processor has them) 256-bit vectors.
template <int Column>
void CheckFirstStageLayouts()
{
    // Five DFTs r of one group, inputs x[1 + 2 r + 10 t] (offset 1, stride 2, five per group).
    const Signal x = RandomSignal(64, 5);
    const std::int32_t index[] = {1};
    const auto dft = [&](int len, int r, int k, bool inverse) {
        std::complex<double> sum = 0;
        for (int t = 0; t < len; ++t) {
            const spComplex v = x[static_cast<std::size_t>(1 + 2 * r + 10 * t)];
            sum += std::complex<double>(v.re, v.im) * std::polar(1.0, (inverse ? 2 : -2) * M_PI * k * t / len);
        }
        return sum;
    };
    ForEachVectorWidth([&](bool wide) {
        for (std::size_t offset : {0, 8}) {
            WorkBuffer out(8 * 24);
            auto* y = reinterpret_cast<spComplex*>(out.aligned + offset);
            for (bool inverse : {false, true}) {
                (inverse ? spDftFirstStageR4Inv<Column> : spDftFirstStageR4Fwd<Column>)(x.data(), 2, y, 5, 1, index);
                const float* f = &y->re;
                for (int r = 0; r < 5; ++r)
                    for (int k = 0; k < 4; ++k) {
                        EXPECT_NEAR(f[8 * r + k], dft(4, r, k, inverse).real(), 1e-5) << r << " " << k;
                        EXPECT_NEAR(f[8 * r + 4 + k], dft(4, r, k, inverse).imag(), 1e-5) << r << " " << k;
                    }
                // Back to interleaved: value k of DFT r at 4 r + k.
                const Signal blocks(y, y + 20);
                spDftBlocksToInterleaved<Column>(y, 5);
                for (int v = 0; v < 20; ++v)
                    ASSERT_TRUE(y[v].re == (&blocks[0].re)[8 * (v / 4) + v % 4] &&
                                y[v].im == (&blocks[0].re)[8 * (v / 4) + 4 + v % 4])
                        << "value " << v << " wide " << wide << " offset " << offset;
            }
            spDftFirstStageR2<Column>(x.data(), 2, y, 5, 1, index);
            for (int r = 0; r < 5; ++r)
                for (int k = 0; k < 2; ++k) {
                    EXPECT_NEAR(y[2 * r + k].re, dft(2, r, k, false).real(), 1e-6);
                    EXPECT_NEAR(y[2 * r + k].im, dft(2, r, k, false).imag(), 1e-6);
                }
        }
    });
}

TEST(MixedRadixPlan, PackedFirstStagesAndLastPassLayouts)
{
    CheckFirstStageLayouts<2>();
    CheckFirstStageLayouts<3>();
    CheckFirstStageLayouts<4>();
}

} // namespace
