// Twiddle and root tables of the DFT, and the direct sums called on their own.
#include <cmath>
#include <cstring>

#include "TransformTestSupport.h"
#include "sp/transforms/spDftTables.h"
#include "sp/transforms/spFourierCommon.h"

namespace {

using namespace sptest;

using Table = spBlockPtr<spComplex>;

bool SameEntry(spComplex a, spComplex b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(DftTwiddles, EveryEntryIsTheRootOfUnity)
{
    for (int n : {1, 2, 3, 5, 6, 7, 12, 16, 30, 97, 150, 1000, 1001}) {
        const Table t(spDftInitTwiddles(n));
        EXPECT_TRUE(SameEntry(t.get()[0], spComplex{1.0f, -0.0f})) << n;
        for (int k = 0; k < n; ++k) {
            ASSERT_NEAR(t.get()[k].re, std::cos(2 * M_PI * k / n), 6e-8) << n << " " << k;
            ASSERT_NEAR(t.get()[k].im, -std::sin(2 * M_PI * k / n), 6e-8) << n << " " << k;
        }
    }
}

TEST(DftTwiddles, SymmetryCopiesAreExact)
{
    // N = 12: entries 2 and 3 reflect 1 and 0 about the octant, 4 to 6 about the quadrant,
    // 7 to 11 are conjugates; N = 6 reflects about the quadrant. Every copy is bit exact.
    const Table twelve(spDftInitTwiddles(12)), six(spDftInitTwiddles(6));
    const spComplex* w = twelve.get();
    const spComplex* v = six.get();
    EXPECT_TRUE(SameEntry(w[2], spComplex{-w[1].im, -w[1].re}));
    EXPECT_TRUE(SameEntry(w[3], spComplex{-w[0].im, -w[0].re}));
    EXPECT_TRUE(SameEntry(w[5], spComplex{-w[1].re, w[1].im}));
    for (int k = 7; k < 12; ++k)
        EXPECT_TRUE(SameEntry(w[k], spComplex{w[12 - k].re, -w[12 - k].im})) << k;
    EXPECT_TRUE(SameEntry(v[2], spComplex{-v[1].re, v[1].im}));
    EXPECT_TRUE(SameEntry(v[4], spComplex{v[2].re, -v[2].im}));
}

TEST(DftTwiddles, RootsAreDecimatedCopies)
{
    const Table t(spDftInitTwiddles(15));
    const Table copy(spDftInitRoots(15, t.get(), 15)), five(spDftInitRoots(5, t.get(), 15));
    for (int i = 0; i < 15; ++i)
        EXPECT_TRUE(SameEntry(copy.get()[i], t.get()[i])) << i;
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(SameEntry(five.get()[i], t.get()[3 * i])) << i;
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

TEST(DftDirect, OddAndEvenLengthsMatchTheOracle)
{
    // The plans give the direct sums odd lengths only; even lengths are part of the routine.
    for (int n = 1; n <= 64; ++n) {
        const Signal x = RandomSignal(n, 50u + static_cast<unsigned>(n));
        EXPECT_LE(RelativeRms(Direct(x, 1), OracleDft(x, false)), SmallBound()) << n;
        EXPECT_LE(RelativeRms(Direct(x, -1), OracleDft(x, true)), SmallBound()) << n;
    }
    // Output N/2 is the alternating sum of the inputs.
    EXPECT_EQ(Direct({{1, 0}, {2, 0}, {4, 0}, {8, 0}}, 1)[2].re, 1 - 2 + 4 - 8);
    for (int direction : {1, -1}) {
        const Signal y = Direct({{1, 2}, {3, 5}}, direction);
        EXPECT_TRUE(y[0].re == 4.0f && y[1].im == -3.0f);
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
