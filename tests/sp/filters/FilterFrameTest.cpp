// The shared frame: the dispatch entries, the caller's border, and byte steps.
#include <gtest/gtest.h>

#include "FilterTestSupport.h"

namespace {

using Index = std::ptrdiff_t;

BorderedImage RandomImage(const FilterOp& op, Index w, Index h, unsigned seed)
{
    std::mt19937 rng(seed);
    BorderedImage img(w, h, op.border, w + 2 * op.border + 3, 1);
    img.Fill([&](Index, Index) { return ModerateValue(rng); });
    return img;
}

TEST(SpFilterDispatch, ColumnZeroOfEveryRowIsTheGenericRoutine)
{
    EXPECT_EQ(spFilterGaussRow[0], &spFilterGauss_px);
    EXPECT_EQ(spFilterLaplaceRow[0], &spFilterLaplace_px);
    EXPECT_EQ(spFilterLowpassRow[0], &spFilterLowpass_px);
    EXPECT_EQ(spFilterHipassRow[0], &spFilterHipass_px);
    EXPECT_EQ(spFilterSharpenRow[0], &spFilterSharpen_px);
    EXPECT_EQ(spFilterSobelVertRow[0], &spFilterSobelVert_px);
    EXPECT_EQ(spFilterSobelHorizRow[0], &spFilterSobelHoriz_px);
    EXPECT_EQ(spDispatchIndex, 0);
}

TEST(SpFilterDispatch, EntryEqualsADirectCallOfColumnZero)
{
    for (const FilterOp& op : AllFilterOps()) {
        const BorderedImage src = RandomImage(op, 13, 6, 31);
        Destination viaEntry(13, 6, 15), direct(13, 6, 15);
        const spStatus a = RunOp(op, src, viaEntry, 2, 1);
        const spStatus b = RunOp(op, src, direct, 2, 1, &op.generic);
        EXPECT_EQ(a, spStsNoErr) << op.name;
        EXPECT_EQ(a, b) << op.name;
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
                for (float v : out)
                    if (v != 0.0f) {
                        ++responding;
                        break;
                    }
            }
        EXPECT_GT(responding, 0) << op.name;
    }
}

TEST(SpFilterSteps, OddByteStepsBehaveAsTheRoundedStep)
{
    for (const FilterOp& op : AllFilterOps()) {
        const BorderedImage src = RandomImage(op, 11, 7, 17);
        Destination exact(11, 7, 12);
        ASSERT_EQ(RunOp(op, src, exact), spStsNoErr);
        for (int srcExtra = 0; srcExtra < 4; ++srcExtra)
            for (int dstExtra = 0; dstExtra < 4; ++dstExtra) {
                Destination odd(11, 7, 12);
                ASSERT_EQ(RunOp(op, src, odd, srcExtra, dstExtra), spStsNoErr);
                EXPECT_EQ(FirstDifference(odd.plane, exact.plane), -1)
                    << op.name << " +" << srcExtra << " +" << dstExtra;
            }
    }
}

TEST(SpFilterSteps, ApplicationLayoutWithATwoPixelBorder)
{
    // How the image processing calls the filters: a border of two on every side, source
    // step (width + 4) x 4, a tight destination of width x 4 bytes per row, for 3x3 masks too.
    for (const FilterOp& op : AllFilterOps()) {
        const Index w = 17, h = 9;
        std::mt19937 rng(3);
        BorderedImage plane(w, h, 2, w + 4);
        plane.Fill([&](Index, Index) { return ModerateValue(rng); });
        Destination dst(w, h, w);
        ASSERT_EQ(op.entry(plane.Origin(), static_cast<int>((w + 4) * 4), dst.Origin(),
                           static_cast<int>(w * 4), {static_cast<int>(w), static_cast<int>(h)},
                           op.mask),
                  spStsNoErr);
        std::vector<float> want;
        for (Index y = 0; y < h; ++y)
            for (Index i = 0; i < w; ++i)
                want.push_back(op.reference(plane, y, i));
        EXPECT_EQ(FirstDifference(dst.Region(), want), -1) << op.name;
        EXPECT_TRUE(dst.MarginUntouched());
    }
}

} // namespace
