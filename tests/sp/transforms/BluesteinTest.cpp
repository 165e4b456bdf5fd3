// Bluestein plans: the convolution length, the chirp, the transformed kernel, work sizes,
// and the set-up and run on their own for the shortest lengths.
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
        EXPECT_EQ(plan.spec->bluesteinLen, c.m) << c.n;
        EXPECT_EQ(plan.spec->bluesteinFft->order, c.order) << c.n;
        EXPECT_EQ(plan.spec->bluesteinFft->scaleFwd, 0);
        int bytes = -1;
        EXPECT_EQ(spDftGetBufSize(plan.spec, &bytes), spStsNoErr);
        EXPECT_EQ(bytes, c.bytes) << c.n;
    }
    EXPECT_EQ(spDftBluesteinLen(1), 1);
    EXPECT_EQ(spDftBluesteinLen(2), 4);
    EXPECT_EQ(spDftBluesteinLen(302), 1024);
}

TEST(Bluestein, ChirpIsExpOfMinusPiIKSquaredOverN)
{
    DftPlan plan(151, spNoDivByAny);
    const spComplex* c = plan.spec->chirp;
    EXPECT_TRUE(c[0].re == 1.0f && c[0].im == 0.0f && std::signbit(c[0].im));
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
    for (int k = 0; k < 151; ++k)
        kernel[k] = kernel[(m - k) % m] = {plan.spec->chirp[k].re, -plan.spec->chirp[k].im};
    Exact expected = OracleDft(kernel, false);
    for (auto& v : expected)
        v /= m;
    const Signal spectrum(plan.spec->chirpSpectrum, plan.spec->chirpSpectrum + m);
    EXPECT_LE(RelativeRms(spectrum, expected), FftBound(m));
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
        WorkBuffer work(static_cast<size_t>(spec.workBytes));
        ASSERT_EQ(spDftBluestein(&spec, x.data(), fwd.data(), n, 1, work.aligned), spStsNoErr);
        ASSERT_EQ(spDftBluestein(&spec, x.data(), inv.data(), n, -1, work.aligned), spStsNoErr);
        EXPECT_LE(RelativeRms(fwd, OracleDft(x, false)), BluesteinBound(4)) << n;
        EXPECT_TRUE(SameBits(fwd, inv)) << n;
        spFree(spec.chirp);
        spFree(spec.chirpSpectrum);
        spFftFree(spec.bluesteinFft);
    }
}

} // namespace
