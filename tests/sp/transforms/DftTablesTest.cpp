// Twiddle and root tables of the DFT, and the direct sums called on their own.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "TransformTestSupport.h"
#include "sp/transforms/spDftTables.h"
#include "sp/transforms/spFourierCommon.h"

namespace {

using namespace sptest;

using Table = spBlockPtr<spComplex>;

TEST(DftTwiddles, EveryEntryIsTheRootOfUnity)
{
    for (int n : {1, 2, 3, 5, 6, 7, 12, 16, 30, 97, 150, 1000, 1001}) {
        const Table t(spDftInitTwiddles(n));
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t.get()[0].re, 1.0f);
        EXPECT_TRUE(t.get()[0].im == 0.0f && std::signbit(t.get()[0].im)) << n;
        for (int k = 0; k < n; ++k) {
            ASSERT_NEAR(t.get()[k].re, std::cos(2 * M_PI * k / n), 6e-8) << n << " " << k;
            ASSERT_NEAR(t.get()[k].im, -std::sin(2 * M_PI * k / n), 6e-8) << n << " " << k;
        }
    }
}

TEST(DftTwiddles, SymmetryCopiesAreExact)
{
    // N = 12: entries 2 and 3 reflect 1 and 0 about the octant, 4 to 6 about the quadrant,
    // 7 to 11 are conjugates; every copy is bit exact.
    const Table t(spDftInitTwiddles(12));
    const spComplex* w = t.get();
    EXPECT_EQ(w[2].re, -w[1].im);
    EXPECT_EQ(w[2].im, -w[1].re);
    EXPECT_EQ(w[3].re, -w[0].im);
    EXPECT_EQ(w[5].re, -w[1].re);
    EXPECT_EQ(w[5].im, w[1].im);
    for (int k = 7; k < 12; ++k) {
        EXPECT_EQ(w[k].re, w[12 - k].re);
        EXPECT_EQ(w[k].im, -w[12 - k].im);
    }
    const Table six(spDftInitTwiddles(6));
    EXPECT_EQ(six.get()[2].re, -six.get()[1].re);
    EXPECT_EQ(six.get()[2].im, six.get()[1].im);
    EXPECT_EQ(six.get()[4].im, -six.get()[2].im);
}

TEST(DftTwiddles, RootsAreDecimatedCopies)
{
    const Table t(spDftInitTwiddles(15));
    const Table copy(spDftInitRoots(15, t.get(), 15));
    EXPECT_EQ(std::memcmp(copy.get(), t.get(), 15 * sizeof(spComplex)), 0);
    const Table five(spDftInitRoots(5, t.get(), 15));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(std::memcmp(&five.get()[i], &t.get()[3 * i], sizeof(spComplex)), 0) << i;
}

TEST(DftTwiddles, AllocationFailureGivesNull)
{
    spDebugFailAllocationsAfter(0);
    EXPECT_EQ(spDftInitTwiddles(12), nullptr);
    const spComplex one[1] = {{1, 0}};
    EXPECT_EQ(spDftInitRoots(1, one, 1), nullptr);
    spDebugFailAllocationsAfter(-1);
}

Signal Direct(const Signal& x, int direction)
{
    const int n = static_cast<int>(x.size());
    const Table roots(spDftInitTwiddles(n));
    Signal y(x.size());
    Signal work(static_cast<size_t>(std::max(1, 2 * (n - 1))));
    spDftDirect(x.data(), y.data(), n, direction, roots.get(), work.data());
    return y;
}

TEST(DftDirect, ImpulsesOfLengthFive)
{
    Signal x(5, spComplex{0, 0});
    x[0] = {1, 0};
    for (const auto& v : Direct(x, 1)) {
        EXPECT_EQ(v.re, 1.0f);
        EXPECT_EQ(v.im, 0.0f);
    }
    x[0] = {0, 0};
    x[1] = {1, 0};
    const Table roots(spDftInitTwiddles(5));
    const Signal y = Direct(x, 1);
    for (int j = 0; j < 5; ++j) {
        EXPECT_FLOAT_EQ(y[j].re, roots.get()[j].re) << j;
        EXPECT_FLOAT_EQ(y[j].im, roots.get()[j].im) << j;
    }
}

TEST(DftDirect, OddAndEvenLengthsMatchTheOracle)
{
    // The plans give the direct sums odd lengths only; even lengths are part of the routine.
    for (int n = 1; n <= 64; ++n) {
        const Signal x = RandomSignal(n, 50u + static_cast<unsigned>(n));
        EXPECT_LE(RelativeRms(Direct(x, 1), OracleDft(x, false)), SmallBound()) << n;
        EXPECT_LE(RelativeRms(Direct(x, -1), OracleDft(x, true)), SmallBound()) << n;
    }
    const Signal x4 = {{1, 0}, {2, 0}, {4, 0}, {8, 0}};
    EXPECT_EQ(Direct(x4, 1)[2].re, 1 - 2 + 4 - 8);
    const Signal x2 = {{1, 2}, {3, 5}};
    for (int direction : {1, -1}) {
        const Signal y = Direct(x2, direction);
        EXPECT_EQ(y[0].re, 4.0f);
        EXPECT_EQ(y[1].im, -3.0f);
    }
}

TEST(DftDirect, InverseReadsTheForwardBackwards)
{
    const Signal x = RandomSignal(149, 9);
    const Signal f = Direct(x, 1), b = Direct(x, -1);
    EXPECT_EQ(b[0].re, f[0].re);
    for (int j = 1; j < 149; ++j) {
        EXPECT_NEAR(b[j].re, f[149 - j].re, 1e-5) << j;
        EXPECT_NEAR(b[j].im, f[149 - j].im, 1e-5) << j;
    }
}

TEST(DftDirect, InPlaceEqualsSeparateArrays)
{
    for (int n : {4, 5, 10, 149}) {
        const Signal x = RandomSignal(n, 4);
        const Table roots(spDftInitTwiddles(n));
        Signal work(static_cast<size_t>(2 * (n - 1)));
        Signal data = x;
        spDftDirect(data.data(), data.data(), n, 1, roots.get(), work.data());
        EXPECT_TRUE(SameBits(data, Direct(x, 1))) << n;
    }
}

} // namespace
