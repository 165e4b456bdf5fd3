// Mixed-radix plans against their worked tables: stage geometry, groups, first-stage offsets,
// shared root tables, twiddle blocks and work sizes.
#include <gtest/gtest.h>

#include <cmath>
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

TEST(MixedRadixPlan, WorkedExamples)
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

TEST(MixedRadixPlan, FirstStageOffsetsAreDigitReversedAndDistinct)
{
    DftPlan plan(1000, spNoDivByAny);
    std::vector<int> seen(1000, 0);
    for (int t = 0; t < 40; ++t) {
        const int offset = plan.spec->mrIndex[t];
        ASSERT_GE(offset, 0);
        ASSERT_LT(offset, 40);
        ++seen[static_cast<size_t>(offset)];
    }
    for (int v = 0; v < 40; ++v)
        EXPECT_EQ(seen[static_cast<size_t>(v)], 1) << v;
}

TEST(MixedRadixPlan, TwiddlesOfLengthSix)
{
    DftPlan plan(6, spNoDivByAny);
    const spComplex* w = plan.spec->stages[0].twiddles;
    EXPECT_EQ(w[0].re, 1.0f);
    EXPECT_EQ(w[0].im, 0.0f);
    for (int j = 1; j < 3; ++j) {
        EXPECT_NEAR(w[j].re, std::cos(2 * M_PI * j / 6), 1e-7);
        EXPECT_NEAR(w[j].im, -std::sin(2 * M_PI * j / 6), 1e-7);
    }
    EXPECT_EQ(plan.spec->stages[0].roots, nullptr);
    EXPECT_EQ(plan.spec->stages[1].roots, nullptr);
}

TEST(MixedRadixPlan, TwiddlesOfAnOddRadixHoldEveryInput)
{
    // 98 = 2, 7 | 7: stage 1 (radix 7, span 7, stride 2) holds exp(-2 pi i j q / 49) at j 7 + q.
    DftPlan plan(98, spNoDivByAny);
    const spDftStage& stage = plan.spec->stages[1];
    for (int j = 0; j < 7; ++j)
        for (int q = 0; q < 7; ++q) {
            const spComplex w = stage.twiddles[j * 7 + q];
            EXPECT_NEAR(w.re, std::cos(2 * M_PI * j * q / 49), 1e-7) << j << " " << q;
            EXPECT_NEAR(w.im, -std::sin(2 * M_PI * j * q / 49), 1e-7) << j << " " << q;
        }
    // One table of seven roots serves stage 1 and the last factor.
    ASSERT_NE(stage.roots, nullptr);
    EXPECT_EQ(plan.spec->stages[2].roots, stage.roots);
    for (int q = 0; q < 7; ++q)
        EXPECT_NEAR(stage.roots[q].re, std::cos(2 * M_PI * q / 7), 1e-7);
}

TEST(MixedRadixPlan, DifferentOddRadicesHaveTheirOwnRoots)
{
    // 2002 = 2, 7, 11 | 13.
    DftPlan plan(2002, spNoDivByAny);
    const spDftStage* st = plan.spec->stages;
    EXPECT_EQ(st[0].roots, nullptr);
    ASSERT_NE(st[1].roots, nullptr);
    ASSERT_NE(st[2].roots, nullptr);
    ASSERT_NE(st[3].roots, nullptr);
    EXPECT_NE(st[1].roots, st[2].roots);
    EXPECT_NE(st[2].roots, st[3].roots);
    EXPECT_NEAR(st[3].roots[1].re, std::cos(2 * M_PI / 13), 1e-7);
}

} // namespace
