// Bluestein plans: the convolution length, the chirp, the transformed kernel, work sizes,
// and the run's reversal for the inverse.
#include <gtest/gtest.h>

#include <cmath>

#include "TransformTestSupport.h"
#include "sp/transforms/spDftBluestein.h"
#include "sp/transforms/spDftPlan.h"
#include "sp/transforms/spFftPlan.h"

namespace {

using namespace sptest;

TEST(Bluestein, ConvolutionLengthsAndWorkSizes)
{
    struct Case {
        int n, m, order, bytes;
    };
    for (const Case& c : {Case{151, 512, 9, 4112}, Case{257, 1024, 10, 8208},
                          Case{1021, 2048, 11, 16400}, Case{4099, 16384, 14, 133152}}) {
        DftPlan plan(c.n, spNoDivByAny);
        ASSERT_NE(plan.spec, nullptr);
        EXPECT_EQ(plan.spec->bluesteinLen, c.m) << c.n;
        ASSERT_NE(plan.spec->bluesteinFft, nullptr);
        EXPECT_EQ(plan.spec->bluesteinFft->order, c.order) << c.n;
        EXPECT_EQ(plan.spec->bluesteinFft->scaleFwd, 0);
        EXPECT_EQ(plan.spec->workBytes, c.bytes) << c.n;
    }
    EXPECT_EQ(spDftBluesteinLen(1), 1);
    EXPECT_EQ(spDftBluesteinLen(2), 4);
    EXPECT_EQ(spDftBluesteinLen(302), 1024);
}

TEST(Bluestein, ChirpIsExpOfMinusPiIKSquaredOverN)
{
    DftPlan plan(151, spNoDivByAny);
    const spComplex* c = plan.spec->chirp;
    EXPECT_EQ(c[0].re, 1.0f);
    EXPECT_TRUE(c[0].im == 0.0f && std::signbit(c[0].im));
    for (int k = 0; k < 151; ++k) {
        const double angle = M_PI * std::fmod(static_cast<double>(k) * k, 302.0) / 151.0;
        ASSERT_NEAR(c[k].re, std::cos(angle), 6e-8) << k;
        ASSERT_NEAR(c[k].im, -std::sin(angle), 6e-8) << k;
    }
}

TEST(Bluestein, KernelSpectrumIsTheScaledTransformOfTheMirroredChirp)
{
    DftPlan plan(151, spNoDivByAny);
    const int m = 512;
    Signal kernel(m, spComplex{0, 0});
    for (int k = 0; k < 151; ++k) {
        kernel[k] = {plan.spec->chirp[k].re, -plan.spec->chirp[k].im};
        if (k > 0)
            kernel[m - k] = kernel[k];
    }
    Exact expected = OracleDft(kernel, false);
    for (auto& v : expected)
        v /= m;
    const Signal spectrum(plan.spec->chirpSpectrum, plan.spec->chirpSpectrum + m);
    EXPECT_LE(RelativeRms(spectrum, expected), FftBound(m));
}

TEST(Bluestein, InverseIsTheForwardReversed)
{
    DftPlan plan(151, spNoDivByAny);
    const Signal x = RandomSignal(151, 8);
    Signal f(151), b(151);
    ASSERT_EQ(spDftForward(x.data(), f.data(), plan.spec, nullptr), spStsNoErr);
    ASSERT_EQ(spDftInverse(x.data(), b.data(), plan.spec, nullptr), spStsNoErr);
    EXPECT_EQ(b[0].re, f[0].re);
    for (int j = 1; j < 151; ++j) {
        ASSERT_EQ(b[j].re, f[151 - j].re) << j;
        ASSERT_EQ(b[j].im, f[151 - j].im) << j;
    }
}

TEST(Bluestein, RunsOfLengthOneAndTwoReverseNothing)
{
    // Called on their own, the set-up and the run serve the shortest lengths too.
    for (int n : {1, 2}) {
        spDftSpec spec{};
        spec.len = n;
        ASSERT_EQ(spDftInitBluestein(&spec, n), spStsNoErr);
        const Signal x = RandomSignal(n, 2);
        Signal fwd(static_cast<size_t>(n)), inv(static_cast<size_t>(n));
        std::vector<std::uint8_t> work(static_cast<size_t>(spec.workBytes) + 16);
        std::uint8_t* aligned = work.data() + (16 - reinterpret_cast<std::uintptr_t>(work.data()) % 16) % 16;
        ASSERT_EQ(spDftBluestein(&spec, x.data(), fwd.data(), n, 1, aligned), spStsNoErr);
        ASSERT_EQ(spDftBluestein(&spec, x.data(), inv.data(), n, -1, aligned), spStsNoErr);
        EXPECT_LE(RelativeRms(fwd, OracleDft(x, false)), BluesteinBound(4)) << n;
        EXPECT_TRUE(SameBits(fwd, inv)) << n;
        spFree(spec.chirp);
        spFree(spec.chirpSpectrum);
        spFftFree(spec.bluesteinFft);
    }
}

} // namespace
