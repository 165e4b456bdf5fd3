// The 1-D DFT entries: known answers, scaling, round trips, the conjugation identity,
// in-place and buffer variants bit for bit, and every status in its order.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "TransformTestSupport.h"
#include "sp/transforms/spDftPlan.h"

namespace {

using namespace sptest;

// One length of every path and of every FFT work-buffer case.
const int kPathLengths[] = {1, 2, 3, 4, 5, 6, 8, 12, 16, 97, 128, 149, 150,
                            151, 302, 1000, 1024, 2002, 2048, 4099, 8192, 22201};

Signal Forward(const spDftSpec* spec, const Signal& x, std::uint8_t* work = nullptr)
{
    Signal y(x.size());
    EXPECT_EQ(spDftForward(x.data(), y.data(), spec, work), spStsNoErr);
    return y;
}

Signal Inverse(const spDftSpec* spec, const Signal& x, std::uint8_t* work = nullptr)
{
    Signal y(x.size());
    EXPECT_EQ(spDftInverse(x.data(), y.data(), spec, work), spStsNoErr);
    return y;
}

double RelativeError(const Signal& y, const Signal& ref, double factor)
{
    long double err = 0, norm = 0;
    for (size_t k = 0; k < y.size(); ++k) {
        const long double dr = y[k].re - factor * ref[k].re, di = y[k].im - factor * ref[k].im;
        err += dr * dr + di * di;
        norm += factor * factor * (static_cast<long double>(ref[k].re) * ref[k].re +
                                   static_cast<long double>(ref[k].im) * ref[k].im);
    }
    return static_cast<double>(std::sqrt(err / norm));
}

TEST(DftKnownAnswers, LengthThreeAndFour)
{
    DftPlan three(3, spNoDivByAny);
    const Signal x3 = {{0, 0}, {1, 0}, {0, 0}};
    const Signal f3 = Forward(three.spec, x3);
    EXPECT_EQ(f3[0].re, 1.0f);
    EXPECT_EQ(f3[1].re, -0.5f);
    EXPECT_EQ(f3[1].im, -0.8660254f);
    EXPECT_EQ(f3[2].re, -0.5f);
    EXPECT_EQ(f3[2].im, 0.8660254f);
    const Signal i3 = Inverse(three.spec, x3);
    EXPECT_EQ(i3[1].im, 0.8660254f);
    EXPECT_EQ(i3[2].im, -0.8660254f);

    DftPlan four(4, spNoDivByAny);
    const Signal x4 = {{0, 0}, {1, 0}, {0, 0}, {0, 0}};
    const Signal f4 = Forward(four.spec, x4);
    const float fe[4][2] = {{1, 0}, {0, -1}, {-1, 0}, {0, 1}};
    const Signal i4 = Inverse(four.spec, x4);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(f4[k].re, fe[k][0]) << k;
        EXPECT_EQ(f4[k].im, fe[k][1]) << k;
        EXPECT_EQ(i4[k].re, fe[k][0]) << k;
        EXPECT_EQ(i4[k].im, -fe[k][1]) << k;
    }
}

TEST(DftKnownAnswers, ImpulsesOfEveryPath)
{
    for (int n : kPathLengths) {
        DftPlan plan(n, spNoDivByAny);
        Signal x(static_cast<size_t>(n), spComplex{0, 0});
        x[0] = {1, 0};
        for (bool inverse : {false, true}) {
            const Signal y = inverse ? Inverse(plan.spec, x) : Forward(plan.spec, x);
            for (int k = 0; k < n; ++k) {
                ASSERT_NEAR(y[k].re, 1.0, 1e-6) << n << " " << k;
                ASSERT_NEAR(y[k].im, 0.0, 1e-6) << n << " " << k;
            }
        }
    }
}

TEST(DftScaling, EachFlagScalesItsDirection)
{
    for (int n : kPathLengths) {
        const Signal x = RandomSignal(n, 3u + static_cast<unsigned>(n));
        DftPlan plain(n, spNoDivByAny);
        const Signal f = Forward(plain.spec, x), b = Inverse(plain.spec, x);
        const double tolerance = 4 * kEps;
        struct Case {
            spScaleFlag flag;
            double fwd, inv;
        };
        for (const Case& c : {Case{spDivFwdByN, 1.0 / n, 1.0}, Case{spDivInvByN, 1.0, 1.0 / n},
                              Case{spDivBySqrtN, 1 / std::sqrt(double(n)), 1 / std::sqrt(double(n))}}) {
            DftPlan scaled(n, c.flag);
            EXPECT_LE(RelativeError(Forward(scaled.spec, x), f, c.fwd), tolerance) << n << " flag " << c.flag;
            EXPECT_LE(RelativeError(Inverse(scaled.spec, x), b, c.inv), tolerance) << n << " flag " << c.flag;
        }
    }
}

TEST(DftScaling, PlanFieldsFollowTheFlag)
{
    DftPlan eight(5, spNoDivByAny);
    EXPECT_EQ(eight.spec->scale, 0.0f);
    EXPECT_EQ(eight.spec->scaleFwd, 0);
    EXPECT_EQ(eight.spec->scaleInv, 0);
    DftPlan one(5, spDivFwdByN);
    EXPECT_EQ(one.spec->scaleFwd, 1);
    EXPECT_EQ(one.spec->scaleInv, 0);
    EXPECT_EQ(one.spec->scale, 0.2f);
    DftPlan two(5, spDivInvByN);
    EXPECT_EQ(two.spec->scaleFwd, 0);
    EXPECT_EQ(two.spec->scaleInv, 1);
    DftPlan four(1, spDivBySqrtN);
    EXPECT_EQ(four.spec->scale, 1.0f);
    EXPECT_EQ(four.spec->scaleFwd, 1);
    EXPECT_EQ(four.spec->scaleInv, 1);
    // N = 1 with a scaled direction passes the value through the multiply by 1.
    const Signal x = {{0.3f, -2.5f}};
    const Signal y = Forward(four.spec, x);
    EXPECT_EQ(y[0].re, 0.3f);
    EXPECT_EQ(y[0].im, -2.5f);
}

TEST(DftRoundTrip, EveryFlagReturnsTheInput)
{
    for (int n : kPathLengths) {
        const Signal x = RandomSignal(n, 11u + static_cast<unsigned>(n));
        for (spScaleFlag flag : {spDivFwdByN, spDivInvByN, spDivBySqrtN, spNoDivByAny}) {
            DftPlan plan(n, flag);
            const double factor = flag == spNoDivByAny ? n : 1.0;
            const double bound = 3 * FftBound(std::max(n, 4)) + 4 * kEps;
            EXPECT_LE(RelativeError(Inverse(plan.spec, Forward(plan.spec, x)), x, factor), bound)
                << "N " << n << " flag " << flag;
        }
    }
}

TEST(DftIdentities, InverseIsConjugatedForwardOfConjugate)
{
    for (int n : kPathLengths) {
        DftPlan plan(n, spNoDivByAny);
        const Signal x = RandomSignal(n, 21u + static_cast<unsigned>(n));
        const Signal direct = Inverse(plan.spec, x);
        const Signal viaForward = Conjugated(Forward(plan.spec, Conjugated(x)));
        EXPECT_LE(RelativeError(direct, viaForward, 1.0), 2 * FftBound(std::max(n, 4)) + 8 * kEps) << n;
    }
}

TEST(DftIdentities, InPlaceEqualsOutOfPlaceBitForBit)
{
    for (int n : kPathLengths)
        for (spScaleFlag flag : {spNoDivByAny, spDivBySqrtN}) {
            DftPlan plan(n, flag);
            const Signal x = RandomSignal(n, 31u + static_cast<unsigned>(n));
            for (bool inverse : {false, true}) {
                const Signal out = inverse ? Inverse(plan.spec, x) : Forward(plan.spec, x);
                Signal data = x;
                const spStatus status = inverse ? spDftInverse(data.data(), data.data(), plan.spec, nullptr)
                                                : spDftForward(data.data(), data.data(), plan.spec, nullptr);
                EXPECT_EQ(status, spStsNoErr);
                EXPECT_TRUE(SameBits(data, out)) << "N " << n << " inverse " << inverse;
            }
        }
}

TEST(DftIdentities, CallerBufferEqualsOwnBufferBitForBit)
{
    for (int n : kPathLengths) {
        DftPlan plan(n, spNoDivByAny);
        int bytes = -1;
        ASSERT_EQ(spDftGetBufSize(plan.spec, &bytes), spStsNoErr);
        const Signal x = RandomSignal(n, 41u + static_cast<unsigned>(n));
        const Signal reference = Forward(plan.spec, x);
        // The buffer at offsets 0 and 4 from a 16-byte boundary; the plan's size covers both.
        std::vector<std::uint8_t> storage(static_cast<size_t>(bytes) + 32, 0xA5);
        std::uint8_t* aligned = storage.data() + (16 - reinterpret_cast<std::uintptr_t>(storage.data()) % 16) % 16;
        for (std::uint8_t* buffer : {aligned, aligned + 4}) {
            EXPECT_TRUE(SameBits(Forward(plan.spec, x, buffer), reference)) << n;
            EXPECT_TRUE(SameBits(Inverse(plan.spec, x, buffer), Inverse(plan.spec, x))) << n;
        }
        if (bytes == 0) {
            // A plan that needs no buffer leaves the caller's alone.
            for (std::uint8_t v : storage)
                ASSERT_EQ(v, 0xA5) << n;
        }
    }
}

TEST(DftStatus, ChecksComeInTheirOrder)
{
    DftPlan plan(12, spNoDivByAny);
    FftPlan other(3, spNoDivByAny);
    Signal x(12), y(12, spComplex{7, 7});
    const auto* foreign = reinterpret_cast<const spDftSpec*>(other.spec);
    for (auto run : {spDftForward, spDftInverse}) {
        EXPECT_EQ(run(nullptr, y.data(), nullptr, nullptr), spStsNullPtrErr);
        EXPECT_EQ(run(nullptr, nullptr, foreign, nullptr), spStsContextMatchErr);
        EXPECT_EQ(run(nullptr, y.data(), plan.spec, nullptr), spStsNullPtrErr);
        EXPECT_EQ(run(x.data(), nullptr, plan.spec, nullptr), spStsNullPtrErr);
    }
    for (const auto& v : y)
        EXPECT_EQ(v.re, 7.0f);
}

TEST(DftStatus, OwnBufferThatCannotBeAllocated)
{
    for (int n : {8192, 1000, 97, 151}) {
        DftPlan plan(n, spNoDivByAny);
        const Signal x = RandomSignal(n, 1);
        Signal y(static_cast<size_t>(n), spComplex{7, 7});
        const long live = spDebugLiveBlocks();
        spDebugFailAllocationsAfter(0);
        EXPECT_EQ(spDftForward(x.data(), y.data(), plan.spec, nullptr), spStsMemAllocErr) << n;
        EXPECT_EQ(spDftInverse(x.data(), y.data(), plan.spec, nullptr), spStsMemAllocErr) << n;
        spDebugFailAllocationsAfter(-1);
        EXPECT_EQ(spDebugLiveBlocks(), live);
        for (const auto& v : y)
            ASSERT_EQ(v.re, 7.0f) << n;
    }
}

} // namespace
