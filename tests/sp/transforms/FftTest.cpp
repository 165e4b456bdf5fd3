// The power-of-two FFT: accuracy of every order against the oracle, scaling, round trips,
// in-place and buffer variants, and every status of the plan and the transforms.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "TransformTestSupport.h"
#include "sp/transforms/spDftPlan.h"
#include "sp/transforms/spFftPlan.h"

namespace {

using namespace sptest;

Signal Transform(const spFftSpec* spec, const Signal& x, bool inverse, std::uint8_t* work = nullptr)
{
    Signal y(x.size());
    const spStatus status = inverse ? spFftInverse(x.data(), y.data(), spec, work)
                                    : spFftForward(x.data(), y.data(), spec, work);
    EXPECT_EQ(status, spStsNoErr);
    return y;
}

void CheckOrder(int order)
{
    FftPlan plan(order, spNoDivByAny);
    ASSERT_NE(plan.spec, nullptr);
    const std::int64_t n = std::int64_t{1} << order;
    const Signal x = RandomSignal(n, 900u + static_cast<unsigned>(order));
    for (bool inverse : {false, true}) {
        const Signal y = Transform(plan.spec, x, inverse);
        if (order <= 12) {
            EXPECT_LE(RelativeRms(y, OracleDft(x, inverse)), FftBound(n)) << "order " << order;
        } else {
            std::mt19937 gen(static_cast<unsigned>(order));
            // Each bin costs N long-double steps: fewer of them for the longest orders.
            std::vector<std::int64_t> bins = {1, static_cast<std::int64_t>(gen() % static_cast<unsigned>(n))};
            for (int i = 0; i < (order <= 20 ? 8 : 0); ++i)
                bins.push_back(static_cast<std::int64_t>(gen() % static_cast<unsigned>(n)));
            EXPECT_LE(RelativeRmsAt(y, x, bins, inverse), FftBound(n)) << "order " << order;
        }
    }
}

TEST(FftAccuracy, OrdersZeroToTwelve)
{
    for (int order = 0; order <= 12; ++order)
        CheckOrder(order);
}

TEST(FftAccuracy, OrdersThirteenToTwenty)
{
    for (int order = 13; order <= 20; ++order)
        CheckOrder(order);
}

TEST(FftAccuracy, OrdersTwentyOneAndTwentyTwo)
{
    for (int order = 21; order <= 22; ++order)
        CheckOrder(order);
}

TEST(FftAccuracy, OrdersTwentyThreeAndTwentyFour)
{
    for (int order = 23; order <= 24; ++order)
        CheckOrder(order);
}

TEST(FftAccuracy, OrdersTwentyFiveToTwentySeven)
{
    if (!LongTests())
        GTEST_SKIP() << "orders 25 to 27 (up to 1 GB of tables) run with SPM_LONG_TESTS=1";
    for (int order = 25; order <= 27; ++order)
        CheckOrder(order);
}

TEST(FftKnownAnswers, ImpulsesAndConstants)
{
    for (int order = 0; order <= 14; ++order) {
        FftPlan plan(order, spNoDivByAny);
        const std::int64_t n = std::int64_t{1} << order;
        Signal impulse(static_cast<size_t>(n), spComplex{0, 0});
        impulse[0] = {1, 0};
        for (bool inverse : {false, true})
            for (const auto& v : Transform(plan.spec, impulse, inverse)) {
                ASSERT_NEAR(v.re, 1.0, 1e-6) << order;
                ASSERT_NEAR(v.im, 0.0, 1e-6) << order;
            }
        // A unit at element 1 gives W^v forward and W^-v inverse at element v.
        Signal one(static_cast<size_t>(n), spComplex{0, 0});
        if (n > 1) {
            one[1] = {1, 0};
            const Signal f = Transform(plan.spec, one, false), b = Transform(plan.spec, one, true);
            for (std::int64_t v = 0; v < n; ++v) {
                const double angle = 2 * M_PI * static_cast<double>(v) / static_cast<double>(n);
                ASSERT_NEAR(f[v].re, std::cos(angle), 2e-6) << order << " " << v;
                ASSERT_NEAR(f[v].im, -std::sin(angle), 2e-6) << order << " " << v;
                ASSERT_NEAR(b[v].im, std::sin(angle), 2e-6) << order << " " << v;
            }
        }
    }
    FftPlan eight(3, spNoDivByAny);
    const Signal ones(8, spComplex{1, 0});
    const Signal y = Transform(eight.spec, ones, false);
    EXPECT_EQ(y[0].re, 8.0f);
    for (int k = 1; k < 8; ++k) {
        EXPECT_NEAR(y[k].re, 0.0, 1e-6);
        EXPECT_NEAR(y[k].im, 0.0, 1e-6);
    }
}

TEST(FftScaling, EachFlagScalesItsDirectionOnce)
{
    // Orders of the small kernels, the core, the block path and both split depths.
    for (int order : {0, 1, 2, 3, 4, 9, 11, 12, 13, 16}) {
        const std::int64_t n = std::int64_t{1} << order;
        const Signal x = RandomSignal(n, 60u + static_cast<unsigned>(order));
        FftPlan plain(order, spNoDivByAny);
        const Signal f = Transform(plain.spec, x, false), b = Transform(plain.spec, x, true);
        for (spScaleFlag flag : {spDivFwdByN, spDivInvByN, spDivBySqrtN}) {
            FftPlan scaled(order, flag);
            const float s = scaled.spec->scale;
            const Signal sf = Transform(scaled.spec, x, false), sb = Transform(scaled.spec, x, true);
            const bool fwd = flag != spDivInvByN, inv = flag != spDivFwdByN;
            for (std::int64_t k = 0; k < n; ++k) {
                const double ef = fwd ? s * static_cast<double>(f[k].re) : f[k].re;
                const double eb = inv ? s * static_cast<double>(b[k].im) : b[k].im;
                ASSERT_NEAR(sf[k].re, ef, 1e-5 * std::sqrt(double(n)) * (fwd ? s : 1.0f)) << order << " " << flag;
                ASSERT_NEAR(sb[k].im, eb, 1e-5 * std::sqrt(double(n)) * (inv ? s : 1.0f)) << order << " " << flag;
            }
        }
    }
}

TEST(FftRoundTrip, ForwardThenInverse)
{
    for (int order : {0, 1, 2, 3, 4, 5, 10, 11, 12, 13, 17, 19})
        for (spScaleFlag flag : {spDivFwdByN, spDivInvByN, spDivBySqrtN, spNoDivByAny}) {
            FftPlan plan(order, flag);
            const std::int64_t n = std::int64_t{1} << order;
            const Signal x = RandomSignal(n, 70u + static_cast<unsigned>(order));
            const Signal back = Transform(plan.spec, Transform(plan.spec, x, false), true);
            const double factor = flag == spNoDivByAny ? static_cast<double>(n) : 1.0;
            long double err = 0, norm = 0;
            for (std::int64_t k = 0; k < n; ++k) {
                const long double dr = back[k].re - factor * x[k].re, di = back[k].im - factor * x[k].im;
                err += dr * dr + di * di;
                norm += factor * factor * (static_cast<long double>(x[k].re) * x[k].re + x[k].im * x[k].im);
            }
            EXPECT_LE(std::sqrt(static_cast<double>(err / norm)), 2 * FftBound(std::max<std::int64_t>(n, 2)))
                << order << " flag " << flag;
        }
}

TEST(FftVariants, InPlaceAndCallerBuffersAgreeBitForBit)
{
    for (int order = 0; order <= 19; ++order) {
        FftPlan plan(order, spDivBySqrtN);
        const std::int64_t n = std::int64_t{1} << order;
        const Signal x = RandomSignal(n, 80u + static_cast<unsigned>(order));
        int bytes = -1;
        ASSERT_EQ(spFftGetBufSize(plan.spec, &bytes), spStsNoErr);
        std::vector<std::uint8_t> storage(static_cast<size_t>(bytes) + 64, 0x5A);
        std::uint8_t* aligned = storage.data() + (16 - reinterpret_cast<std::uintptr_t>(storage.data()) % 16) % 16;
        for (bool inverse : {false, true}) {
            const Signal reference = Transform(plan.spec, x, inverse);
            Signal data = x;
            EXPECT_EQ(inverse ? spFftInverse(data.data(), data.data(), plan.spec, nullptr)
                              : spFftForward(data.data(), data.data(), plan.spec, nullptr),
                      spStsNoErr);
            EXPECT_TRUE(SameBits(data, reference)) << "in place, order " << order;
            for (std::uint8_t* buffer : {aligned, aligned + 4, aligned + 12})
                EXPECT_TRUE(SameBits(Transform(plan.spec, x, inverse, buffer), reference))
                    << "caller buffer, order " << order;
        }
        if (order <= 12) {
            for (std::uint8_t v : storage)
                ASSERT_EQ(v, 0x5A) << "orders up to 12 leave the caller's buffer alone: " << order;
        }
    }
}

TEST(FftStatus, PlanChecksInTheirOrder)
{
    spFftSpec* const sentinel = reinterpret_cast<spFftSpec*>(std::uintptr_t{0x4321});
    spFftSpec* spec = sentinel;
    const long live = spDebugLiveBlocks();
    EXPECT_EQ(spFftInitAlloc(nullptr, 31, static_cast<spScaleFlag>(3), 0), spStsNullPtrErr);
    // Orders outside 0..30 are refused before any allocation: even a failing allocator is
    // never asked.
    spDebugFailAllocationsAfter(0);
    EXPECT_EQ(spFftInitAlloc(&spec, -1, spNoDivByAny, 0), spStsFftOrderErr);
    EXPECT_EQ(spFftInitAlloc(&spec, 31, static_cast<spScaleFlag>(3), 0), spStsFftOrderErr);
    EXPECT_EQ(spFftInitAlloc(&spec, 4, static_cast<spScaleFlag>(3), 0), spStsMemAllocErr);
    spDebugFailAllocationsAfter(-1);
    for (int flag : {0, 3, 16})
        for (int order : {0, 4, 11, 13})
            EXPECT_EQ(spFftInitAlloc(&spec, order, static_cast<spScaleFlag>(flag), 0), spStsFftFlagErr);
    // Orders whose tables pass 2^31 bytes are refused without allocating them.
    for (int order = 28; order <= 30; ++order)
        EXPECT_EQ(spFftInitAlloc(&spec, order, spNoDivByAny, 0), spStsMemAllocErr) << order;
    EXPECT_EQ(spec, sentinel);
    EXPECT_EQ(spDebugLiveBlocks(), live);
}

TEST(FftStatus, FreeAndSizeQuery)
{
    DftPlan dft(13, spNoDivByAny);
    auto* foreign = reinterpret_cast<spFftSpec*>(dft.spec);
    EXPECT_EQ(spFftFree(nullptr), spStsNullPtrErr);
    EXPECT_EQ(spFftFree(foreign), spStsContextMatchErr);
    EXPECT_EQ(dft.spec->id, 13);
    int size = -1;
    EXPECT_EQ(spFftGetBufSize(foreign, &size), spStsContextMatchErr);
    EXPECT_EQ(spFftGetBufSize(nullptr, &size), spStsNullPtrErr);
    FftPlan plan(13, spNoDivByAny);
    EXPECT_EQ(spFftGetBufSize(plan.spec, nullptr), spStsNullPtrErr);
    EXPECT_EQ(spFftGetBufSize(plan.spec, &size), spStsNoErr);
    EXPECT_EQ(size, 1040);
}

TEST(FftStatus, TransformChecksInTheirOrder)
{
    FftPlan plan(13, spNoDivByAny);
    DftPlan dft(8, spNoDivByAny);
    const auto* foreign = reinterpret_cast<const spFftSpec*>(dft.spec);
    const Signal x = RandomSignal(8192, 1);
    Signal y(8192, spComplex{7, 7});
    for (auto run : {spFftForward, spFftInverse}) {
        EXPECT_EQ(run(nullptr, y.data(), nullptr, nullptr), spStsNullPtrErr);
        EXPECT_EQ(run(nullptr, nullptr, foreign, nullptr), spStsContextMatchErr);
        EXPECT_EQ(run(nullptr, y.data(), plan.spec, nullptr), spStsNullPtrErr);
        EXPECT_EQ(run(x.data(), nullptr, plan.spec, nullptr), spStsNullPtrErr);
        // Order 13 wants 1024 bytes of work area; without a buffer the call allocates them.
        const long live = spDebugLiveBlocks();
        spDebugFailAllocationsAfter(0);
        EXPECT_EQ(run(x.data(), y.data(), plan.spec, nullptr), spStsMemAllocErr);
        spDebugFailAllocationsAfter(-1);
        EXPECT_EQ(spDebugLiveBlocks(), live);
    }
    for (const auto& v : y)
        ASSERT_EQ(v.re, 7.0f);
}

} // namespace
