// The direct sums called on their own, at the even lengths no plan gives them.
#include <algorithm>

#include "TransformTestSupport.h"
#include "sp/transforms/spDftTables.h"
#include "sp/transforms/spFourierCommon.h"

namespace {

using namespace sptest;

using Table = spBlockPtr<spComplex>;

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
