// Mixed-radix plans against tables worked out by hand: stage geometry, groups, first-stage offsets,
// shared root tables, twiddle blocks and work sizes.
#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "TransformTestSupport.h"
#include "sp/transforms/spDftPlan.h"

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

TEST(MixedRadixPlan, FirstStageOffsetsAreDistinct)
{
    DftPlan plan(1000, spNoDivByAny);
    std::vector<int> offsets(plan.spec->mrIndex, plan.spec->mrIndex + 40), expected(40);
    std::sort(offsets.begin(), offsets.end());
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(offsets, expected);
}

// Entry `at` of a table is exp(-2 pi i e / n).
void ExpectRoot(const spComplex* table, int at, double e, double n)
{
    EXPECT_NEAR(table[at].re, std::cos(2 * M_PI * e / n), 1e-7) << at << ": " << e << "/" << n;
    EXPECT_NEAR(table[at].im, -std::sin(2 * M_PI * e / n), 1e-7) << at << ": " << e << "/" << n;
}

TEST(MixedRadixPlan, TwiddlesOfRadicesUpToFiveSkipTheFirstInput)
{
    // 6 = 2 | 3: stage 0 (radix 2, span 3) holds exp(-2 pi i j / 6) for butterfly j.
    DftPlan plan(6, spNoDivByAny);
    for (int j = 0; j < 3; ++j)
        ExpectRoot(plan.spec->stages[0].twiddles, j, j, 6);
    EXPECT_TRUE(plan.spec->stages[0].roots == nullptr && plan.spec->stages[1].roots == nullptr);
}

TEST(MixedRadixPlan, TwiddlesOfAnOddRadixHoldEveryInput)
{
    // 98 = 2, 7 | 7: stage 1 (radix 7, span 7, stride 2) holds exp(-2 pi i j q / 49) at j 7 + q;
    // one table of seven roots serves stage 1 and the last factor.
    DftPlan plan(98, spNoDivByAny);
    const spDftStage& stage = plan.spec->stages[1];
    for (int j = 0; j < 7; ++j)
        for (int q = 0; q < 7; ++q)
            ExpectRoot(stage.twiddles, j * 7 + q, j * q, 49);
    ASSERT_NE(stage.roots, nullptr);
    EXPECT_EQ(plan.spec->stages[2].roots, stage.roots);
    for (int q = 0; q < 7; ++q)
        ExpectRoot(stage.roots, q, q, 7);
}

TEST(MixedRadixPlan, DifferentOddRadicesHaveTheirOwnRoots)
{
    // 2002 = 2, 7, 11 | 13.
    DftPlan plan(2002, spNoDivByAny);
    const spDftStage* st = plan.spec->stages;
    EXPECT_EQ(st[0].roots, nullptr);
    for (int i = 1; i <= 3; ++i)
        ASSERT_NE(st[i].roots, nullptr) << i;
    EXPECT_TRUE(st[1].roots != st[2].roots && st[2].roots != st[3].roots);
    ExpectRoot(st[3].roots, 1, 1, 13);
}

} // namespace

namespace {

// Columns 2 to 4 move a 4 (or the single 2) into the first stage at every length, above 2000
// points too, so that every sub-length keeps N's residue mod 4; their odd-radix stages keep
// 8 N + 32 (R - 1) + 32 bytes of work.
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
            if (largest > 0)
                EXPECT_GE(bytes, 8 * n + 32 * (largest - 1) + 32) << n;
        }
    }
    spDispatchIndex = 0;
}

} // namespace
