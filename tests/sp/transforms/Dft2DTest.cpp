// The 2-D DFT: every special shape against the oracle with gaps between rows, scaling, the
// agreement with the 2-D FFT on powers of two, buffers, work sizes and statuses.
#include <gtest/gtest.h>

#include <cmath>

#include "Transform2DSupport.h"
#include "sp/transforms/spDft2D.h"
#include "sp/transforms/spDftPlan.h"
#include "sp/transforms/spFft2D.h"

namespace {

using namespace sptest;

struct Plan2D {
    spDft2DSpec* spec = nullptr;
    Plan2D(int w, int h, spScaleFlag flag)
    {
        EXPECT_EQ(spDft2DInitAlloc(&spec, w, h, flag, 1), spStsNoErr) << w << "x" << h;
    }
    ~Plan2D()
    {
        if (spec != nullptr) {
            EXPECT_EQ(spDft2DFree(spec), spStsNoErr);
        }
    }
};

double Bound2D(int w, int h)
{
    DftPlan row(w, spNoDivByAny), column(h, spNoDivByAny);
    return PathBound(row.spec) + PathBound(column.spec);
}

TEST(Dft2D, SpecialShapesWithGapsMatchTheOracle)
{
    const int sizes[] = {1, 2, 3, 4, 7};
    for (int w : sizes)
        for (int h : sizes) {
            Plan2D plan(w, h, spNoDivByAny);
            for (bool inverse : {false, true}) {
                const Image src = RandomImage(w, h, 8 * w + 24, static_cast<unsigned>(10 * w + h));
                const Image before = src;
                Image dst(w, h, 8 * w + 40);
                const spStatus status =
                    inverse ? spDft2DInverse(src.data(), src.step, dst.data(), dst.step, plan.spec, nullptr)
                            : spDft2DForward(src.data(), src.step, dst.data(), dst.step, plan.spec, nullptr);
                ASSERT_EQ(status, spStsNoErr) << w << "x" << h;
                EXPECT_TRUE(dst.GapsUntouched()) << w << "x" << h;
                EXPECT_EQ(src.bytes, before.bytes);
                EXPECT_LE(RelativeRms(dst.Values(), Oracle2D(src, inverse)), Bound2D(w, h))
                    << w << "x" << h << " inverse " << inverse;
            }
        }
}

TEST(Dft2D, LargerSizesOfEveryPath)
{
    for (auto [w, h] : {std::pair{12, 10}, std::pair{31, 16}, std::pair{151, 6}, std::pair{5, 64}}) {
        Plan2D plan(w, h, spNoDivByAny);
        const Image src = RandomImage(w, h, 8 * w, static_cast<unsigned>(w + h));
        Image dst(w, h, 8 * w);
        ASSERT_EQ(spDft2DForward(src.data(), src.step, dst.data(), dst.step, plan.spec, nullptr), spStsNoErr);
        EXPECT_LE(RelativeRms(dst.Values(), Oracle2D(src, false)), Bound2D(w, h)) << w << "x" << h;
    }
}

TEST(Dft2D, ContiguousSingleColumnGoesStraightThrough)
{
    Plan2D plan(1, 6, spNoDivByAny);
    const Signal x = RandomSignal(6, 3);
    Signal y(6);
    ASSERT_EQ(spDft2DForward(x.data(), 8, y.data(), 8, plan.spec, nullptr), spStsNoErr);
    DftPlan line(6, spNoDivByAny);
    Signal expected(6);
    ASSERT_EQ(spDftForward(x.data(), expected.data(), line.spec, nullptr), spStsNoErr);
    EXPECT_TRUE(SameBits(y, expected));
}

TEST(Dft2D, EveryFlagRoundTrips)
{
    for (spScaleFlag flag : {spDivFwdByN, spDivInvByN, spDivBySqrtN, spNoDivByAny}) {
        Plan2D plan(7, 12, flag);
        const Image src = RandomImage(7, 12, 64, 5);
        Image mid(7, 12, 64), back(7, 12, 64);
        ASSERT_EQ(spDft2DForward(src.data(), 64, mid.data(), 64, plan.spec, nullptr), spStsNoErr);
        ASSERT_EQ(spDft2DInverse(mid.data(), 64, back.data(), 64, plan.spec, nullptr), spStsNoErr);
        const double factor = flag == spNoDivByAny ? 84.0 : 1.0;
        const Signal a = src.Values(), b = back.Values();
        for (size_t k = 0; k < a.size(); ++k) {
            ASSERT_NEAR(b[k].re, factor * a[k].re, 2e-6 * factor) << flag;
            ASSERT_NEAR(b[k].im, factor * a[k].im, 2e-6 * factor) << flag;
        }
    }
}

TEST(Dft2D, InPlaceAndCallerBuffersAgreeBitForBit)
{
    for (auto [w, h] : {std::pair{7, 7}, std::pair{6, 10}, std::pair{1, 9}, std::pair{9, 1}, std::pair{151, 3}}) {
        Plan2D plan(w, h, spNoDivByAny);
        const int step = 8 * w + 8;
        const Image src = RandomImage(w, h, step, 17);
        Image reference(w, h, step);
        ASSERT_EQ(spDft2DForward(src.data(), step, reference.data(), step, plan.spec, nullptr), spStsNoErr);
        Image inPlace = src;
        ASSERT_EQ(spDft2DForward(inPlace.data(), step, inPlace.data(), step, plan.spec, nullptr), spStsNoErr);
        EXPECT_EQ(inPlace.Values().size(), reference.Values().size());
        EXPECT_TRUE(SameBits(inPlace.Values(), reference.Values())) << w << "x" << h;
        std::vector<std::uint8_t> storage(static_cast<size_t>(plan.spec->workBytes) + 32);
        std::uint8_t* aligned = storage.data() + (16 - reinterpret_cast<std::uintptr_t>(storage.data()) % 16) % 16;
        for (std::uint8_t* buffer : {aligned, aligned + 4}) {
            Image out(w, h, step);
            ASSERT_EQ(spDft2DForward(src.data(), step, out.data(), step, plan.spec, buffer), spStsNoErr);
            EXPECT_TRUE(SameBits(out.Values(), reference.Values())) << w << "x" << h;
        }
    }
}

TEST(Dft2D, EqualsTheFftOnPowersOfTwo)
{
    for (auto [ox, oy] : {std::pair{0, 3}, std::pair{3, 0}, std::pair{1, 4}, std::pair{4, 1}, std::pair{2, 2},
                          std::pair{5, 3}, std::pair{6, 6}, std::pair{7, 11}}) {
        const int w = 1 << ox, h = 1 << oy;
        Plan2D dft(w, h, spDivBySqrtN);
        spFft2DSpec* fft = nullptr;
        ASSERT_EQ(spFft2DInitAlloc(&fft, ox, oy, spDivBySqrtN, 0), spStsNoErr);
        const Image src = RandomImage(w, h, 8 * w, 23);
        for (bool inverse : {false, true}) {
            Image a(w, h, 8 * w), b(w, h, 8 * w);
            const auto run2 = inverse ? spDft2DInverse : spDft2DForward;
            const auto runF = inverse ? spFft2DInverse : spFft2DForward;
            ASSERT_EQ(run2(src.data(), src.step, a.data(), a.step, dft.spec, nullptr), spStsNoErr);
            ASSERT_EQ(runF(src.data(), src.step, b.data(), b.step, fft, nullptr), spStsNoErr);
            EXPECT_TRUE(SameBits(a.Values(), b.Values())) << w << "x" << h;
        }
        EXPECT_EQ(spFft2DFree(fft), spStsNoErr);
    }
}

TEST(Dft2D, PlanRecordAndWorkSizes)
{
    struct Case {
        int w, h, bytes;
    };
    for (const Case& c : {Case{3, 4, 256}, Case{2, 2, 128}, Case{151, 2, 4112}, Case{2, 151, 64 * 151 + 4112}}) {
        Plan2D plan(c.w, c.h, spNoDivByAny);
        ASSERT_NE(plan.spec, nullptr);
        EXPECT_EQ(plan.spec->id, 27);
        EXPECT_EQ(plan.spec->width, c.w);
        EXPECT_EQ(plan.spec->height, c.h);
        EXPECT_EQ(plan.spec->hint, 1);
        EXPECT_EQ(plan.spec->workBytes, c.bytes) << c.w << "x" << c.h;
        EXPECT_EQ(plan.spec->rowPlan->len, c.w);
        EXPECT_EQ(plan.spec->colPlan == nullptr, c.w == c.h);
        if (plan.spec->colPlan != nullptr) {
            EXPECT_EQ(plan.spec->colPlan->len, c.h);
        }
    }
}

TEST(Dft2D, StatusesInTheirOrder)
{
    spDft2DSpec* const sentinel = reinterpret_cast<spDft2DSpec*>(std::uintptr_t{0x77});
    spDft2DSpec* spec = sentinel;
    const long live = spDebugLiveBlocks();
    EXPECT_EQ(spDft2DInitAlloc(nullptr, 0, 0, spNoDivByAny, 0), spStsNullPtrErr);
    EXPECT_EQ(spDft2DInitAlloc(&spec, 0, 4, static_cast<spScaleFlag>(3), 0), spStsSizeErr);
    EXPECT_EQ(spDft2DInitAlloc(&spec, 4, -1, spNoDivByAny, 0), spStsSizeErr);
    EXPECT_EQ(spDft2DInitAlloc(&spec, 4, 6, static_cast<spScaleFlag>(3), 0), spStsFftFlagErr);
    // Heights whose column runs alone pass 2^31 bytes are refused before any allocation.
    EXPECT_EQ(spDft2DInitAlloc(&spec, 1, 1 << 25, spNoDivByAny, 0), spStsMemAllocErr);
    EXPECT_EQ(spec, sentinel);
    EXPECT_EQ(spDebugLiveBlocks(), live);

    Plan2D plan(4, 4, spNoDivByAny);
    spFft2DSpec* other = nullptr;
    ASSERT_EQ(spFft2DInitAlloc(&other, 2, 2, spNoDivByAny, 0), spStsNoErr);
    const auto* foreign = reinterpret_cast<const spDft2DSpec*>(other);
    Image src = RandomImage(4, 4, 32, 1), dst(4, 4, 32);
    for (auto run : {spDft2DForward, spDft2DInverse}) {
        EXPECT_EQ(run(nullptr, 32, dst.data(), 32, nullptr, nullptr), spStsNullPtrErr);
        EXPECT_EQ(run(nullptr, 32, dst.data(), 32, foreign, nullptr), spStsContextMatchErr);
        EXPECT_EQ(run(nullptr, 32, dst.data(), 32, plan.spec, nullptr), spStsNullPtrErr);
        EXPECT_EQ(run(src.data(), 32, nullptr, 32, plan.spec, nullptr), spStsNullPtrErr);
        EXPECT_EQ(run(src.data(), 0, dst.data(), 32, plan.spec, nullptr), spStsStepErr);
        EXPECT_EQ(run(src.data(), 32, dst.data(), -8, plan.spec, nullptr), spStsStepErr);
        spDebugFailAllocationsAfter(0);
        EXPECT_EQ(run(src.data(), 32, dst.data(), 32, plan.spec, nullptr), spStsMemAllocErr);
        spDebugFailAllocationsAfter(-1);
    }
    for (std::uint8_t b : dst.bytes)
        ASSERT_EQ(b, kGapPattern);
    EXPECT_EQ(spDft2DFree(nullptr), spStsNullPtrErr);
    EXPECT_EQ(spDft2DFree(reinterpret_cast<spDft2DSpec*>(other)), spStsContextMatchErr);
    EXPECT_EQ(spFft2DFree(other), spStsNoErr);
}

} // namespace
