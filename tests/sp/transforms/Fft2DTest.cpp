// The 2-D FFT: every small order pair against the oracle with gaps between rows, the gathered
// single column, the two-column pass, work sizes and statuses.
#include <gtest/gtest.h>

#include "Transform2DSupport.h"
#include "sp/transforms/spFft2D.h"

namespace {

using namespace sptest;

TEST(Fft2D, SmallOrdersWithGapsMatchTheOracle)
{
    for (int ox = 0; ox <= 3; ++ox)
        for (int oy = 0; oy <= 3; ++oy) {
            const int w = 1 << ox, h = 1 << oy;
            spFft2DSpec* spec = nullptr;
            ASSERT_EQ(spFft2DInitAlloc(&spec, ox, oy, spNoDivByAny, 0), spStsNoErr);
            for (bool inverse : {false, true}) {
                const Image src = RandomImage(w, h, 8 * w + 24, static_cast<unsigned>(ox * 7 + oy));
                Image dst(w, h, 8 * w + 16);
                const auto run = inverse ? spFft2DInverse : spFft2DForward;
                ASSERT_EQ(run(src.data(), src.step, dst.data(), dst.step, spec, nullptr), spStsNoErr);
                EXPECT_TRUE(dst.GapsUntouched()) << w << "x" << h;
                EXPECT_LE(RelativeRms(dst.Values(), Oracle2D(src, inverse)), FftBound(w) + FftBound(h))
                    << w << "x" << h;
            }
            EXPECT_EQ(spFft2DFree(spec), spStsNoErr);
        }
}

TEST(Fft2D, LargeOrdersAndRoundTrip)
{
    spFft2DSpec* spec = nullptr;
    ASSERT_EQ(spFft2DInitAlloc(&spec, 12, 3, spDivFwdByN, 0), spStsNoErr);
    const int w = 4096, h = 8;
    const Image src = RandomImage(w, h, 8 * w, 2);
    Image mid(w, h, 8 * w), back(w, h, 8 * w);
    ASSERT_EQ(spFft2DForward(src.data(), src.step, mid.data(), mid.step, spec, nullptr), spStsNoErr);
    ASSERT_EQ(spFft2DInverse(mid.data(), mid.step, back.data(), back.step, spec, nullptr), spStsNoErr);
    const Signal a = src.Values(), b = back.Values();
    for (size_t k = 0; k < a.size(); ++k)
        ASSERT_NEAR(b[k].re, a[k].re, 3e-6);
    EXPECT_EQ(spFft2DFree(spec), spStsNoErr);
}

TEST(Fft2D, PlanRecordAndWorkSizes)
{
    struct Case {
        int ox, oy, bytes;
    };
    for (const Case& c : {Case{3, 1, 128}, Case{1, 3, 512}, Case{13, 2, 1040}, Case{2, 2, 256}}) {
        spFft2DSpec* spec = nullptr;
        ASSERT_EQ(spFft2DInitAlloc(&spec, c.ox, c.oy, spNoDivByAny, 5), spStsNoErr);
        EXPECT_EQ(spec->id, 25);
        EXPECT_EQ(spec->orderX, c.ox);
        EXPECT_EQ(spec->orderY, c.oy);
        EXPECT_EQ(spec->hint, 5);
        EXPECT_EQ(spec->workBytes, c.bytes) << c.ox << " " << c.oy;
        EXPECT_EQ(spec->colPlan == nullptr, c.ox == c.oy);
        EXPECT_EQ(spFft2DFree(spec), spStsNoErr);
    }
}

TEST(Fft2D, StatusesInTheirOrder)
{
    spFft2DSpec* const sentinel = reinterpret_cast<spFft2DSpec*>(std::uintptr_t{0x99});
    spFft2DSpec* spec = sentinel;
    const long live = spDebugLiveBlocks();
    EXPECT_EQ(spFft2DInitAlloc(nullptr, 31, 0, spNoDivByAny, 0), spStsNullPtrErr);
    spDebugFailAllocationsAfter(0);
    EXPECT_EQ(spFft2DInitAlloc(&spec, 31, 2, static_cast<spScaleFlag>(3), 0), spStsFftOrderErr);
    EXPECT_EQ(spFft2DInitAlloc(&spec, 2, -1, spNoDivByAny, 0), spStsFftOrderErr);
    // Orders whose column runs alone pass 2^31 bytes are refused before any allocation.
    EXPECT_EQ(spFft2DInitAlloc(&spec, 0, 25, spNoDivByAny, 0), spStsMemAllocErr);
    spDebugFailAllocationsAfter(-1);
    EXPECT_EQ(spFft2DInitAlloc(&spec, 2, 3, static_cast<spScaleFlag>(3), 0), spStsFftFlagErr);
    EXPECT_EQ(spec, sentinel);
    EXPECT_EQ(spDebugLiveBlocks(), live);

    spFft2DSpec* plan = nullptr;
    ASSERT_EQ(spFft2DInitAlloc(&plan, 2, 2, spNoDivByAny, 0), spStsNoErr);
    spDft2DSpec* other = nullptr;
    ASSERT_EQ(spDft2DInitAlloc(&other, 4, 4, spNoDivByAny, 0), spStsNoErr);
    const auto* foreign = reinterpret_cast<const spFft2DSpec*>(other);
    const Image src = RandomImage(4, 4, 32, 1);
    Image dst(4, 4, 32);
    for (auto run : {spFft2DForward, spFft2DInverse}) {
        EXPECT_EQ(run(nullptr, 32, dst.data(), 32, nullptr, nullptr), spStsNullPtrErr);
        EXPECT_EQ(run(nullptr, 32, dst.data(), 32, foreign, nullptr), spStsContextMatchErr);
        EXPECT_EQ(run(nullptr, 32, dst.data(), 32, plan, nullptr), spStsNullPtrErr);
        EXPECT_EQ(run(src.data(), 32, nullptr, 32, plan, nullptr), spStsNullPtrErr);
        EXPECT_EQ(run(src.data(), 0, dst.data(), 32, plan, nullptr), spStsStepErr);
        EXPECT_EQ(run(src.data(), 32, dst.data(), 0, plan, nullptr), spStsStepErr);
    }
    for (std::uint8_t b : dst.bytes)
        ASSERT_EQ(b, kGapPattern);
    EXPECT_EQ(spFft2DFree(nullptr), spStsNullPtrErr);
    EXPECT_EQ(spFft2DFree(reinterpret_cast<spFft2DSpec*>(other)), spStsContextMatchErr);
    EXPECT_EQ(spFft2DFree(plan), spStsNoErr);
    EXPECT_EQ(spDft2DFree(other), spStsNoErr);
}

} // namespace
