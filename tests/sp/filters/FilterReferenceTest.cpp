// Every filter and kernel size against the slow reference, bit for bit, over random
// shapes, row steps (also with 1 to 3 bytes beyond whole floats) and offsets; every border
// pixel holds its own random value, so a border the filter made up (zeros, mirrored,
// clamped) shows. And each public entry against a direct call of its column-0 routine.
#include <gtest/gtest.h>

#include "FilterTestSupport.h"

namespace {

// Runs op on one layout filled by `value`; checks the result against the reference and that
// nothing outside the destination region changed.
void CheckLayout(const FilterOp& op, const Layout& l, std::mt19937& rng,
                 float (*value)(std::mt19937&))
{
    const Index b = op.border;
    BorderedImage src(l.width, l.height, b, l.width + 2 * b + l.srcPad, l.srcOffset);
    src.Fill([&](Index, Index) { return value(rng); });
    const std::vector<float> want = ReferenceOutput(op, src);
    ForEachLoopKind([&](const char* loops) {
        Destination dst(l.width, l.height, l.width + l.dstPad, l.dstOffset);
        ASSERT_EQ(RunOp(op, src, dst, l.srcExtra, l.dstExtra), spStsNoErr);
        const std::vector<float> got = dst.Region();
        const Index k = FirstDifference(got, want);
        ASSERT_EQ(k, -1) << op.name << " " << l.width << "x" << l.height << " (" << loops
                         << ") at row " << k / l.width << " column " << k % l.width << ": got "
                         << got[static_cast<std::size_t>(k)] << ", reference "
                         << want[static_cast<std::size_t>(k)];
        ASSERT_TRUE(dst.MarginUntouched()) << op.name << " (" << loops << ")";
    });
}

class SpFilterReference : public ::testing::TestWithParam<FilterOp> {};

// `runs` regions of random shapes up to 70 x 9 filled by `value`.
void CheckRandomShapes(const FilterOp& op, unsigned seed, int runs, float (*value)(std::mt19937&))
{
    std::mt19937 rng(seed);
    for (int run = 0; run < runs; ++run) {
        const Index w = std::uniform_int_distribution<int>(1, 70)(rng);
        const Index h = std::uniform_int_distribution<int>(1, 9)(rng);
        CheckLayout(op, RandomLayout(rng, w, h), rng, value);
    }
}

TEST_P(SpFilterReference, ValuesSpanningManyBinades)
{
    CheckRandomShapes(GetParam(), 777, 120, WideValue);
}

TEST_P(SpFilterReference, RoundingTiesFollowTheEvaluationOrder)
{
    CheckRandomShapes(GetParam(), 4242, 300, TieProneValue);
}

TEST(SpFilterDispatch, EntryEqualsADirectCallOfColumnZero)
{
    std::mt19937 rng(31);
    for (const FilterOp& op : AllFilterOps()) {
        BorderedImage src(13, 6, op.border, 13 + 2 * op.border + 3, 1);
        src.Fill([&](Index, Index) { return ModerateValue(rng); });
        Destination viaEntry(13, 6, 15), direct(13, 6, 15);
        const spStatus status = RunOp(op, src, viaEntry, 2, 1);
        EXPECT_EQ(status, spStsNoErr) << op.name;
        EXPECT_EQ(status, RunOp(op, src, direct, 2, 1, op.generic)) << op.name;
        EXPECT_EQ(FirstDifference(viaEntry.plane, direct.plane), -1) << op.name;
    }
}

INSTANTIATE_TEST_SUITE_P(AllFilters, SpFilterReference, ::testing::ValuesIn(AllFilterOps()),
                         [](const auto& info) { return info.param.name; });

} // namespace
