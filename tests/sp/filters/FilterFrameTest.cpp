// The shared frame: the dispatch entries and the caller's border. Byte steps that carry 1 to
// 3 extra bytes run in the reference tests' random layouts.
#include <gtest/gtest.h>

#include <algorithm>

#include "FilterTestSupport.h"

namespace {

TEST(SpFilterDispatch, EntryEqualsADirectCallOfColumnZero)
{
    std::mt19937 rng(31);
    for (const FilterOp& op : AllFilterOps()) {
        BorderedImage src(13, 6, op.border, 13 + 2 * op.border + 3, 1);
        src.Fill([&](Index, Index) { return ModerateValue(rng); });
        Destination viaEntry(13, 6, 15), direct(13, 6, 15);
        const spStatus a = RunOp(op, src, viaEntry, 2, 1);
        EXPECT_EQ(a, spStsNoErr) << op.name;
        EXPECT_EQ(a, RunOp(op, src, direct, 2, 1, &op.generic)) << op.name;
        EXPECT_EQ(FirstDifference(viaEntry.plane, direct.plane), -1) << op.name;
    }
}

TEST(SpFilterBorder, EveryBorderPixelIsReadFromTheCaller)
{
    // An impulse on each border pixel in turn: the output must be the kernel's response to
    // it, so a border made up by the filter (zeros, mirrored, clamped) shows.
    for (const FilterOp& op : AllFilterOps()) {
        const Index w = 5, h = 4, b = op.border;
        int responding = 0;
        for (Index pr = -b; pr < h + b; ++pr)
            for (Index pc = -b; pc < w + b; ++pc) {
                if (pr >= 0 && pr < h && pc >= 0 && pc < w)
                    continue;
                BorderedImage src(w, h, b, w + 2 * b);
                src.at(pr, pc) = 3.0f;
                Destination dst(w, h, w);
                ASSERT_EQ(RunOp(op, src, dst), spStsNoErr);
                const std::vector<float> out = dst.Region();
                ASSERT_EQ(FirstDifference(out, ReferenceOutput(op, src)), -1)
                    << op.name << " border pixel " << pr << "," << pc;
                responding += std::any_of(out.begin(), out.end(), [](float v) { return v != 0; });
            }
        EXPECT_GT(responding, 0) << op.name;
    }
}

} // namespace
